#include "traffic/clicked_word.h"

#include <gtest/gtest.h>

#include <string>

namespace qn {
namespace {

// The caret on the first character of `word` in `text`.
std::size_t At(const std::string& text, const std::string& word) { return text.find(word); }

TEST(CallShape, AcceptsTheShapesOfCallsAndPrefixes) {
  for (const char* call : {"G4ABC", "DL1ABC", "9A1A", "JA1XYZ", "K1A", "3D2AG", "VP8", "4X4", "2E0ABC", "HB9",
                           "W", "9", "DL", "K1", "9A", "JN58", "G4ABCDEFGHIJ"}) {
    EXPECT_TRUE(LooksLikeCall(call)) << call;
  }
  for (const char* word :
       {"", "14025", "1432Z", "LOUD", "HERE", "CQW", "12A", "G4ABCDEFGHIJK", "G-4A", "/P", "ABC1", "1234"}) {
    EXPECT_FALSE(LooksLikeCall(word)) << word;
  }
}

TEST(IotaReference, ContinentCodeWithDigitsPaddedToThree) {
  EXPECT_EQ(FindIotaReference(" DX DE W3LPL: 14025.0 VK9XX IOTA OC-123 1432Z"), "OC123");
  EXPECT_EQ(FindIotaReference(" CQ EU-5 ISLAND"), "EU005");
  EXPECT_EQ(FindIotaReference(" NA 12 AND EU 5"), "EU005") << "continents are tried in their order";
  EXPECT_EQ(FindIotaReference(" AS042"), "AS042");
  // A letter in the run, a preceding letter or digit, or a long number is no reference.
  EXPECT_EQ(FindIotaReference(" SA1ABC 14025"), "");
  EXPECT_EQ(FindIotaReference(" EURO 5"), "");
  EXPECT_EQ(FindIotaReference(" TEU-5"), "");
  EXPECT_EQ(FindIotaReference(" AS 14025.0"), "");
  EXPECT_EQ(FindIotaReference(" AS YOU LIKE"), "");
  EXPECT_EQ(FindIotaReference(" SA1ABC OC-12"), "OC012") << "a cancelled code does not stop the others";
}

TEST(ClickedWord, CallOnASpotLine) {
  std::string text =
      " Received DX Spots:\r\nDX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                "
      "1432Z\r\n";
  ClickedWord cw;
  auto talker = cw.Analyse(text, At(text, "JA1XYZ") + 2, false);
  EXPECT_FALSE(talker);
  EXPECT_EQ(cw.Values().call, "JA1XYZ");
  EXPECT_EQ(cw.Values().locator, "");
  // The spotter with its colon, the frequency and a plain word.
  cw.Analyse(text, At(text, "W3LPL"), false);
  EXPECT_EQ(cw.Values().call, "W3LPL");
  cw.Analyse(text, At(text, "loud") + 1, false);
  EXPECT_EQ(cw.Values().call, "") << "every click replaces what the last one left";
}

TEST(ClickedWord, IotaOnTheLineWinsOverTheWord) {
  std::string text = "DX de K1ABC:     14260.0  VK9XX        IOTA OC-123 big pileup         1200Z\r\n";
  ClickedWord cw;
  cw.Analyse(text, At(text, "VK9XX"), false);
  EXPECT_EQ(cw.Values().iota, "OC123");
  EXPECT_EQ(cw.Values().iotaCopy, "OC123");
  EXPECT_EQ(cw.Values().call, "");
  // The next click elsewhere leaves the copy as the IOTA question's default.
  std::string other = "DX de K1ABC:     14260.0  G4ABC        cq\r\n";
  cw.Analyse(other, At(other, "G4ABC"), false);
  EXPECT_EQ(cw.Values().iota, "");
  EXPECT_EQ(cw.Values().iotaCopy, "OC123");
}

TEST(ClickedWord, PortableCallsEitherWayRound) {
  ClickedWord cw;
  std::string a = "DX de G3XYZ:      7005.0  DL/G4ABC     portable\r\n";
  cw.Analyse(a, At(a, "G4ABC"), false);
  EXPECT_EQ(cw.Values().call, "DL/G4ABC");
  EXPECT_EQ(cw.Values().secondPart, "G4ABC");
  std::string b = "DX de G3XYZ:      7005.0  G4ABC/P      portable\r\n";
  cw.Analyse(b, At(b, "G4ABC"), false);
  EXPECT_EQ(cw.Values().call, "G4ABC/P");
  EXPECT_EQ(cw.Values().secondPart, "P");
  std::string c = "DX de G3XYZ:      7005.0  G4ABC/JN58   rover\r\n";
  cw.Analyse(c, At(c, "JN58"), false);
  EXPECT_EQ(cw.Values().call, "G4ABC/JN58");
  EXPECT_EQ(cw.Values().locator, "JN58AA") << "a locator after the slash";
  EXPECT_EQ(cw.Values().secondPart, "");
}

TEST(ClickedWord, LocatorsWithSuffixesAndLongWords) {
  ClickedWord cw;
  std::string a = "To ALL de G3XYZ: QRV from IO91WM/P tonight\r\n";
  cw.Analyse(a, At(a, "IO91"), false);
  EXPECT_EQ(cw.Values().locator, "IO91WM");
  std::string b = "To ALL de G3XYZ: DL1ABCDEFGHIJ and G4ABCDEFGHIJ/P or G4ABCDEFGHIJ\r\n";
  cw.Analyse(b, At(b, "DL1ABC"), false);
  EXPECT_EQ(cw.Values().call, "") << "13 characters are no call";
  cw.Analyse(b, At(b, "G4ABCDEFGHIJ/P"), false);
  EXPECT_EQ(cw.Values().call, "") << "the suffix counts to the length";
  cw.Analyse(b, b.rfind("G4ABC"), false);
  EXPECT_EQ(cw.Values().call, "G4ABCDEFGHIJ");
}

TEST(ClickedWord, TalkerAndChatPrefix) {
  ClickedWord cw;
  std::string talk = "<ea3xyz>: hello there\r\n";
  auto talker = cw.Analyse(talk, 3, false);
  ASSERT_TRUE(talker);
  EXPECT_EQ(*talker, "EA3XYZ");
  std::string chat = "<robot> DX/OH2BH 14025\r\n";
  cw.Analyse(chat, At(chat, "OH2BH"), true);
  EXPECT_EQ(cw.Values().call, "OH2BH");
  cw.Analyse(chat, At(chat, "OH2BH"), false);
  EXPECT_EQ(cw.Values().call, "DX/OH2BH");
}

TEST(ClickedWord, LineOfTheLimitAndCaretsAtTheEdges) {
  std::string huge(28000, 'A');
  huge += " G4ABC";
  ClickedWord cw;
  cw.Analyse(huge, huge.size(), false);
  EXPECT_EQ(cw.Values().call, "G4ABC");
  cw.Analyse(huge, 0, false);
  EXPECT_EQ(cw.Values().call, "");
  cw.Analyse("", 0, false);
  cw.Analyse("abc\r\n", 99, false);
  EXPECT_EQ(cw.Values().call, "");
  std::size_t inLine = 0;
  EXPECT_EQ(LineAt("one\r\ntwo\r\n", 5, inLine), "two");
  EXPECT_EQ(inLine, 0u);
  EXPECT_EQ(LineAt("one\r\ntwo", 3, inLine), "one") << "a caret on a line end belongs to its line";
  EXPECT_EQ(inLine, 3u);
}

}  // namespace
}  // namespace qn
