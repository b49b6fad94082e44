// The bridge step on accepted spots: the lines it builds, which link gets
// what under which switches, and that a spot never goes back where it came from.
#include "bridge/bridge.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

SpotRecord Spot(const std::string& comment = "cq test", const std::string& spotter = "K1TTT") {
  SpotRecord s;
  s.spotter = spotter;
  s.frequency = "14025.0";
  s.dxCall = "ja1xyz";
  s.comment = comment;
  s.line = "DX de " + spotter + ":   14025.0  JA1XYZ       " + comment + "\r\n";
  return s;
}

TEST(BridgeLinesTest, OwnTagRules) {
  EXPECT_EQ(TaggedComment("cq test", "G4TST", false), "cq test !*G4TST");
  EXPECT_EQ(TaggedComment("", "G4TST", false), "!*G4TST");
  EXPECT_EQ(TaggedComment("", "", false), " ");
  EXPECT_EQ(TaggedComment("cq test", "G4TST", true), "cq test");
  // Another station's tag gives way to ours.
  EXPECT_EQ(TaggedComment("big sig !*DL1ABC", "G4TST", false), "big sig !*G4TST");
  // A long call is cut to the tag's nine characters.
  EXPECT_EQ(TaggedComment("x", "VK2/G4TSTLONG", false), "x !*VK2/G4");
  // 28 characters leave no room for the tag.
  std::string c28(28, 'c');
  EXPECT_EQ(TaggedComment(c28, "G4TST", false), c28);
  std::string c22(22, 'c');
  EXPECT_EQ(TaggedComment(c22, "G4TST", false), c22 + " !*G4TST");
}

TEST(BridgeLinesTest, DxAndPc11Lines) {
  BridgeParams p;
  p.flags = 1;
  p.nodeCall = "GB7XYZ";
  p.hopsField = "H99";
  p.dateFormat = "dd-mm-yyyy";
  p.ircPrefix = "<";
  p.ircSuffix = ">";
  DateTime utc{2026, 12, 8, 18, 42, 5, 0};
  BridgeLines l = BuildBridgeLines(Spot("cq test", "W1AW-@"), SpotSource::Main, p, "G4TST", false, utc);
  EXPECT_EQ(l.dx, "DX/W1AW 14025.0 ja1xyz cq test !*G4TST\r\n");
  EXPECT_EQ(l.pc11, "PC11^14025.0^JA1XYZ^08-12-2026^1842Z^cq test !*G4TST^W1AW^GB7XYZ^H99^~\r\n");
  BridgeLines irc = BuildBridgeLines(Spot(), SpotSource::Main, p, "G4TST", true, utc);
  EXPECT_EQ(irc.dx, "<DX/K1TTT> 14025.0 ja1xyz cq test !*G4TST\r\n");
  // A spot that came as a node record is not made one again; none without flags.
  EXPECT_TRUE(BuildBridgeLines(Spot(), SpotSource::Node, p, "G4TST", false, utc).pc11.empty());
  p.flags = 0;
  EXPECT_TRUE(BuildBridgeLines(Spot(), SpotSource::Main, p, "G4TST", false, utc).pc11.empty());
}

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override { Wire(); }
  void Wire(BridgeParams p = {}) {
    bridge = std::make_unique<Bridge>(p);
    BridgeHooks& h = bridge->Hooks();
    h.exchangeOn = [this] { return exchange; };
    h.bridgeFrom = [this] { return from; };
    h.bridgeTo = [this] { return to; };
    h.automaticIdle = [this] { return idle; };
    h.auxInputOnly = [this] { return inputOnly; };
    h.ownCall = [] { return std::string("G4TST"); };
    h.auxOpen = [this] { return auxOpen; };
    h.sendToAux = [this](const std::string& t) { aux.push_back(t); };
    h.logPortMode = [this] { return logPort; };
    h.writeLogPort = [this](const std::string& t) { logged.push_back(t); };
    h.pendingSend = [this]() -> std::string& { return pending; };
    h.sendToSession = [this] {
      session += pending;
      pending.clear();
      ++sends;
    };
  }
  std::unique_ptr<Bridge> bridge;
  bool exchange = true, from = false, to = false, idle = true, inputOnly = false, auxOpen = true,
       logPort = false;
  std::vector<std::string> aux, logged;
  std::string pending, session;
  int sends = 0;
};

TEST_F(BridgeTest, ToTheAuxPortEndsInCrAndNeverEchoesTheAuxPort) {
  to = true;
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], "DX/K1TTT 14025.0 ja1xyz cq test !*G4TST\r");
  // From the aux port: not back to it, and not as plain exchange either.
  bridge->BridgeSpot(s, s.line, SpotSource::Serial);
  EXPECT_EQ(aux.size(), 1u);
  BridgeParams echo;
  echo.echoAuxSpots = true;
  Wire(echo);
  bridge->BridgeSpot(s, s.line, SpotSource::Serial);
  EXPECT_EQ(aux.size(), 2u);
}

TEST_F(BridgeTest, AuxPrefixSuffixAndThePipeRule) {
  to = true;
  BridgeParams p;
  p.auxPrefix = "PRIVMSG #dx :";
  p.auxSuffix = "|END";
  Wire(p);
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], "PRIVMSG #dx :DX/K1TTT 14025.0 ja1xyz cq test !*G4TST\r|END");
  SpotRecord piped = Spot("a|b");
  bridge->BridgeSpot(piped, piped.line, SpotSource::Main);
  EXPECT_EQ(aux.size(), 1u);
}

TEST_F(BridgeTest, Pc11ToThePortWhenItsBitIsSet) {
  to = true;
  BridgeParams p;
  p.flags = 1;
  p.dateFormat = "yyyy";
  Wire(p);
  bridge->Hooks().utcNow = [] { return DateTime{2026, 12, 8, 9, 5, 0, 0}; };
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], "PC11^14025.0^JA1XYZ^2026^0905Z^cq test !*G4TST^K1TTT^^^~\r");
}

TEST_F(BridgeTest, NothingPassesWithExchangeOffOrThePortClosed) {
  to = true;
  exchange = false;
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  to = false;
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  EXPECT_TRUE(aux.empty());
  exchange = true;
  to = true;
  auxOpen = false;
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  EXPECT_TRUE(aux.empty());
  EXPECT_TRUE(logged.empty());
}

TEST_F(BridgeTest, PlainExchangeRingsTwiceOrGoesToTheLogPort) {
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], s.line.substr(0, s.line.size() - 2) + "\a\a\r\n");
  bridge->BridgeSpot(s, s.line, SpotSource::Node);
  bridge->BridgeSpot(s, s.line, SpotSource::Serial);
  inputOnly = true;
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  EXPECT_EQ(aux.size(), 1u);
  inputOnly = false;
  auxOpen = false;
  logPort = true;
  bridge->BridgeSpot(s, s.line, SpotSource::Link);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], aux[0]);
}

TEST_F(BridgeTest, FromOtherLinksIntoTheSessionButNeverItsOwnSpots) {
  from = true;
  SpotRecord s = Spot();
  bridge->BridgeSpot(s, s.line, SpotSource::Main);
  EXPECT_TRUE(session.empty());
  // Typed text waiting without its line end is ended first.
  pending = "sh/dx";
  bridge->BridgeSpot(s, s.line, SpotSource::Serial);
  EXPECT_EQ(session, "sh/dx\r\nDX/K1TTT 14025.0 ja1xyz cq test !*G4TST\r\n");
  session.clear();
  idle = false;
  bridge->BridgeSpot(s, s.line, SpotSource::Link);
  exchange = false;
  idle = true;
  bridge->BridgeSpot(s, s.line, SpotSource::Link);
  EXPECT_TRUE(session.empty());
}

}  // namespace
}  // namespace qn
