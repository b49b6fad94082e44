#include "irc/irc_colours.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

std::string Stripped(std::string text) {
  IrcColourStripper s;
  s.Strip(text);
  return text;
}

TEST(IrcColours, ColourNumbersAndFormatCodesGo) {
  EXPECT_EQ(Stripped("\x03"
                     "4,15DX de K1ABC"),
            "DX de K1ABC");
  EXPECT_EQ(Stripped("\x03"
                     "12hello"),
            "hello");
  EXPECT_EQ(Stripped("\x02"
                     "bold\x02 \x1funder\x1f \x16rev\x0f."),
            "bold under rev.");
  // Two digits at most: the third is text again.
  EXPECT_EQ(Stripped("\x03"
                     "123"),
            "3");
  EXPECT_EQ(Stripped("\x03"
                     "4,123"),
            "3");
  // A second comma is text; a bare colour code ends at the first other character.
  EXPECT_EQ(Stripped("\x03"
                     "4,5,6"),
            ",6");
  EXPECT_EQ(Stripped("\x03"
                     "x"),
            "x");
  // A format code closes an open sequence, so the digit after it is text.
  EXPECT_EQ(Stripped("\x03\x02"
                     "7"),
            "7");
  EXPECT_EQ(Stripped("a\xa0"
                     "b"),
            "a b");
  // CTCP's character 1, bells and line ends stay.
  EXPECT_EQ(Stripped("\x01VERSION\x01\a\r\n"), "\x01VERSION\x01\a\r\n");
  EXPECT_EQ(Stripped(std::string("a\0b", 3)), "ab");
  EXPECT_EQ(Stripped("\x03\x03\x03"), "");
}

TEST(IrcColours, SequenceStateCrossesChunks) {
  const std::string text =
      "\x03"
      "04,15K1ABC \x03"
      "3spot\x02!\r\n";
  for (std::size_t split = 0; split <= text.size(); ++split) {
    IrcColourStripper s;
    std::string a = text.substr(0, split), b = text.substr(split);
    s.Strip(a);
    s.Strip(b);
    EXPECT_EQ(a + b, "K1ABC spot!\r\n") << "split at " << split;
  }
}

TEST(IrcColours, LongLinesAreCutNotKept) {
  IrcColourStripper s;
  std::string flood(1 << 20, 'x');
  s.Strip(flood);
  EXPECT_EQ(flood.size(), IrcColourStripper::kMaxLineBytes);
  std::string more = "yyy\r\nnext\r\n";
  s.Strip(more);
  EXPECT_EQ(more, "\r\nnext\r\n");
}

TEST(IrcColours, RemnantsAfterAColonLoseTheirValues) {
  EXPECT_EQ(RemoveColourRemnants("<DXS> K1ABC:1,15 hello :12,15there"), "<DXS> K1ABC: hello :there");
  EXPECT_EQ(RemoveColourRemnants("14025 1,15 x"), "14025 1,15 x");
}

}  // namespace
}  // namespace qn
