#include "links/link_message.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(LinkMessage, FrameCarriesFourFieldsAndAnyBytesOfText) {
  std::string text("DX de K1ABC:\0\xff\r\n", 16);
  std::string frame = EncodePoke({"quillnet", "dx.example.org", "Textin", text});
  ASSERT_EQ(frame.size(), 4 + 8 + 1 + 14 + 1 + 6 + 1 + text.size());
  EXPECT_EQ(PokeLength(frame.substr(0, 4)), frame.size() - 4);
  EXPECT_EQ(frame.substr(0, 4), std::string("\0\0\0\x2f", 4));
  auto m = DecodePokeBody(std::string_view(frame).substr(4));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->application, "quillnet");
  EXPECT_EQ(m->topic, "dx.example.org");
  EXPECT_EQ(m->item, "Textin");
  EXPECT_EQ(m->text, text);
}

TEST(LinkMessage, LimitsAndMalformedBodies) {
  EXPECT_FALSE(PokeLengthAllowed(0));
  EXPECT_TRUE(PokeLengthAllowed(1));
  EXPECT_TRUE(PokeLengthAllowed(kMaxPokeBytes));
  EXPECT_FALSE(PokeLengthAllowed(kMaxPokeBytes + 1));
  EXPECT_EQ(PokeLength(std::string("\xff\xff\xff\xff", 4)), 0xFFFFFFFFu);
  // Three NULs are needed; an empty text is fine.
  EXPECT_FALSE(DecodePokeBody(std::string("a\0b\0c", 5)));
  auto empty = DecodePokeBody(std::string("a\0b\0c\0", 6));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->text, "");
  EXPECT_TRUE(EncodePoke({"a", "b", "c", std::string(kMaxPokeBytes, 'x')}).empty());
  EXPECT_FALSE(EncodePoke({"a", "b", "c", std::string(kMaxPokeBytes - 6, 'x')}).empty());
}

TEST(LinkMessage, AnswerLinesBothWays) {
  EXPECT_EQ(AnswerLine(PokeAnswer::Ok), "OK\n");
  EXPECT_EQ(AnswerLine(PokeAnswer::UnknownItem), "ERROR unknown-item\n");
  for (PokeAnswer a : {PokeAnswer::Ok, PokeAnswer::UnknownEndpoint, PokeAnswer::UnknownItem,
                       PokeAnswer::TooLong, PokeAnswer::Malformed})
    EXPECT_EQ(ParseAnswerLine(AnswerLine(a)), a);
  EXPECT_EQ(ParseAnswerLine("OK\r\n"), PokeAnswer::Ok);
  EXPECT_EQ(ParseAnswerLine("okay\n"), PokeAnswer::NoAnswer);
}

}  // namespace
}  // namespace qn
