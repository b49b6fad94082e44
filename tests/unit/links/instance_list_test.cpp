#include "links/instance_list.h"

#include <gtest/gtest.h>

#include "links/link_text.h"

namespace qn {
namespace {

TEST(InstanceList, OwnTagSkippedEachTagOnceRelaysApart) {
  std::vector<std::string> titles{
      "Quillnet [dx.example.org]", "Quillnet [TNC:3]", "Quillnet [me]", "K1ABC,14025.0>Quillnet [relay1]",
      "Quillnet [TNC:3]",          "Quillnet",         "Other [x]",     "Quillnet [open"};
  InstanceLists l = FindInstances(titles, "me");
  EXPECT_EQ(l.instances, "dx.example.org\x01TNC:3\x01relay1\x01");
  EXPECT_EQ(l.relays, "relay1\x01");
  EXPECT_EQ(SplitInstanceList(l.instances), (std::vector<std::string>{"dx.example.org", "TNC:3", "relay1"}));
  EXPECT_EQ(InstanceTag("x,1>Quillnet [Web:www.example]"), "Web:www.example");
  EXPECT_EQ(InstanceTag("Quillnet"), "");
}

TEST(LinkText, WebSubmissionFromACommand) {
  EXPECT_EQ(WebSubmissionFromCommand("DX 14025.0 K1ABC up 2\r\n", "G4TST"), "G4TST 14025.0 K1ABC up 2\r\n");
  EXPECT_EQ(WebSubmissionFromCommand("ann/f hello all\r\n", "G4TST"), "G4TST >hello all\r\n");
  EXPECT_EQ(WebSubmissionFromCommand("ANN hi\r\n", "G4TST"), "G4TST >hi\r\n");
  EXPECT_EQ(WebSubmissionFromCommand("g4tst 7005 DL1A\r\n", "G4TST"), "g4tst 7005 DL1A\r\n");
}

TEST(LinkText, OutgoingTextBySessionKind) {
  const std::string spot = "DX K1ABC 14025.0 up 2\r\n";
  EXPECT_EQ(ConvertOutgoingText(spot, LinkSessionMode::Plain, "G4TST"), spot);
  EXPECT_EQ(ConvertOutgoingText(spot, LinkSessionMode::Chat, "G4TST"), "!" + spot);
  EXPECT_EQ(ConvertOutgoingText("ann hi\r\n", LinkSessionMode::Chat, ""), "!ann hi\r\n");
  EXPECT_EQ(ConvertOutgoingText("sh/dx\r\n", LinkSessionMode::Chat, ""), "sh/dx\r\n");
  // Callsign before the frequency: swapped for web and IRC.
  EXPECT_EQ(ConvertOutgoingText("  " + spot, LinkSessionMode::Web, "G4TST"), "G4TST 14025.0 K1ABC up 2\r\n");
  EXPECT_EQ(ConvertOutgoingText(spot, LinkSessionMode::Irc, "G4TST"), "DX 14025.0 K1ABC up 2\r\n");
  EXPECT_EQ(ConvertOutgoingText("DX 14025.0 K1ABC\r\n", LinkSessionMode::Web, "G4TST"),
            "G4TST 14025.0 K1ABC\r\n");
  EXPECT_EQ(ConvertOutgoingText("DX K1ABC 14025\r\n", LinkSessionMode::Irc, ""), "DX 14025 K1ABC\r\n");
  EXPECT_EQ(ConvertOutgoingText("ANN QRV 40m\r\n", LinkSessionMode::Web, "G4TST"), "G4TST >QRV 40m\r\n");
  EXPECT_EQ(ConvertOutgoingText("ANN\r\n", LinkSessionMode::Web, "G4TST"), std::nullopt);
  EXPECT_EQ(ConvertOutgoingText("ANN QRV\r\n", LinkSessionMode::Irc, ""), "ANN QRV\r\n");
  EXPECT_EQ(ConvertOutgoingText("sh/dx\r\n", LinkSessionMode::Web, "G4TST"), std::nullopt);
  EXPECT_EQ(ConvertOutgoingText("sh/dx\r\n", LinkSessionMode::Irc, ""), "sh/dx\r\n");
}

}  // namespace
}  // namespace qn
