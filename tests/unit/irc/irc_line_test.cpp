#include "irc/irc_line.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

IrcLineContext Ctx() { return IrcLineContext{"G4TST", "DXBOT", false}; }

TEST(IrcLine, ParsesPrefixCommandTargetText) {
  IrcMessage m;
  ASSERT_TRUE(ParseIrcLine(":K1ABC!k@host.example PRIVMSG #CQDX :hello: there", m));
  EXPECT_EQ(m.prefix, "K1ABC!k@host.example");
  EXPECT_EQ(m.nick, "K1ABC");
  EXPECT_EQ(m.command, "PRIVMSG");
  EXPECT_EQ(m.target, "#CQDX");
  EXPECT_EQ(m.text, "hello: there");
  ASSERT_TRUE(ParseIrcLine(":n!u@h MODE #CQDX +o n", m));
  EXPECT_EQ(m.text, "+o n");
  ASSERT_TRUE(ParseIrcLine(":irc.test", m));
  EXPECT_EQ(m.command, "");
  EXPECT_EQ(m.nick, "");
  EXPECT_FALSE(ParseIrcLine("NOTICE AUTH :hi", m));
}

TEST(IrcLine, ServerRepliesEventsAndNotices) {
  EXPECT_EQ(HandleIrcLine(":irc.test 001 G4TST :Welcome to IRC", Ctx()).display, "Welcome to IRC");
  EXPECT_EQ(HandleIrcLine("ERROR :Closing link", Ctx()).display, "ERROR :Closing link");
  EXPECT_EQ(HandleIrcLine(":K1ABC!k@h JOIN :#CQDX", Ctx()).display, "<K1ABC> JOIN: #CQDX");
  EXPECT_EQ(HandleIrcLine(":K1ABC!k@h QUIT", Ctx()).display, "<K1ABC> Quitting");
  EXPECT_EQ(HandleIrcLine(":K1ABC!k@h QUIT :gone fishing", Ctx()).display, "<K1ABC> QUIT: gone fishing");
  IrcLineResult n = HandleIrcLine(":K1ABC!k@h NOTICE #CQDX :listen", Ctx());
  EXPECT_EQ(n.display, ">>K1ABC<< listen");
  EXPECT_FALSE(n.isTraffic);
  EXPECT_EQ(HandleIrcLine(":K1ABC!k@h PRIVMSG #CQDX :\x03"
                          "hi",
                          Ctx())
                .display,
            "<K1ABC> hi");
}

TEST(IrcLine, PrivateMessagesBecomeTalks) {
  IrcLineResult r = HandleIrcLine(":K1ABC!k@h PRIVMSG G4TST-1 :are you there?", Ctx());
  EXPECT_TRUE(r.isTraffic);
  EXPECT_TRUE(r.privateToMe);
  EXPECT_EQ(r.display, "G4TST de K1ABC: are you there?");
  // A service keeps its prefix, and a server notice is no talk.
  EXPECT_EQ(HandleIrcLine(":SC!s@h PRIVMSG G4TST :registered", Ctx()).display, "<SC> registered");
  IrcLineResult server = HandleIrcLine(":irc.test NOTICE G4TST :*** Looking up", Ctx());
  EXPECT_EQ(server.display, "*** Looking up");
  EXPECT_FALSE(server.privateToMe);
  // Without an own callsign nothing is addressed to us.
  EXPECT_FALSE(HandleIrcLine(":K1ABC!k@h PRIVMSG #CQDX :x", IrcLineContext{}).isTraffic);
}

TEST(IrcLine, RobotsAreKnownByNick) {
  EXPECT_TRUE(IsSpotRobot("DXS", ""));
  EXPECT_TRUE(IsSpotRobot(" ddx ", ""));
  EXPECT_TRUE(IsSpotRobot("KQ0Z-bot", ""));
  EXPECT_TRUE(IsSpotRobot("myIDXbot", ""));
  EXPECT_TRUE(IsSpotRobot("dxbot2", "DXBOT"));
  EXPECT_FALSE(IsSpotRobot("DXSX", ""));
  // An empty robot nickname is in every nick; it must not make everyone a robot.
  EXPECT_FALSE(IsSpotRobot("K1ABC", ""));
  EXPECT_FALSE(IsSpotRobot("", "DXBOT"));
}

TEST(IrcLine, RobotTextsBecomeClusterLines) {
  const std::string spot = "DX de K1ABC:     14025.0  DL1XYZ       cq test                        1234Z";
  EXPECT_EQ(RobotTextToCluster(spot), spot);
  EXPECT_EQ(RobotTextToCluster("  SFI=150 A=5 K=1"), "WWV de SFI=150 A=5 K=1");
  EXPECT_EQ(RobotTextToCluster("WWV de W1AW SFI=150"), "WWV de W1AW SFI=150");
  EXPECT_EQ(RobotTextToCluster("K1ABC (1234Z): qrv 40m"), "To ALL de K1ABC (1234Z) : qrv 40m");
  EXPECT_EQ(RobotTextToCluster("K1ABC: 14025.0 DL1XYZ cq test 1234Z"),
            "DX de K1ABC:     14025.0  DL1XYZ       cq test                        1234Z");
  EXPECT_EQ(RobotTextToCluster("VERYLONGSPOTTERCALL 144300.0 DL1XYZ 1234"),
            "DX de VERYLONG: 144300.0  DL1XYZ                                      1234Z");
  // No time, no frequency, too few words: no spot.
  EXPECT_EQ(RobotTextToCluster("K1ABC 14025.0 DL1XYZ"), "");
  EXPECT_EQ(RobotTextToCluster("hello there everyone 1234Z"), "");
  EXPECT_EQ(RobotTextToCluster("ab"), "");

  IrcLineResult r = HandleIrcLine(":DXBOT!b@h PRIVMSG #CQDX :K1ABC 14025.0 DL1XYZ cq 1234Z", Ctx());
  EXPECT_TRUE(r.isTraffic);
  EXPECT_EQ(r.display.substr(0, 31), "DX de K1ABC:     14025.0  DL1XY");
  IrcLineResult chat = HandleIrcLine(":DXS!b@h PRIVMSG G4TST :Your DX has been submitted", Ctx());
  EXPECT_EQ(chat.display, "<DXS> Your DX has been submitted");
}

TEST(IrcLine, CtcpVersionAndPingAreAnsweredNotShown) {
  IrcLineResult v = HandleIrcLine(":K1ABC!k@h PRIVMSG G4TST :\x01VERSION\x01", Ctx());
  EXPECT_FALSE(v.show);
  EXPECT_EQ(v.ctcpAnswer, "NOTICE K1ABC :\x01VERSION Quillnet v5.5 by ZX9QQQ\x01");
  IrcLineResult p = HandleIrcLine(":K1ABC!k@h PRIVMSG G4TST :\x01PING 12345\x01 junk", Ctx());
  EXPECT_FALSE(p.show);
  EXPECT_EQ(p.ctcpAnswer, "NOTICE K1ABC :\x01PING 12345\x01");
  // A NOTICE is never answered; other requests are shown.
  IrcLineResult n = HandleIrcLine(":K1ABC!k@h NOTICE G4TST :\x01PING 1\x01", Ctx());
  EXPECT_TRUE(n.ctcpAnswer.empty());
  IrcLineResult a = HandleIrcLine(
      ":K1ABC!k@h PRIVMSG #CQDX :\x01"
      "ACTION waves\x01",
      Ctx());
  EXPECT_TRUE(a.show);
  EXPECT_EQ(a.display,
            "<K1ABC> \x01"
            "ACTION waves\x01");
}

TEST(IrcLine, TaprPairsAndMalformedLines) {
  IrcLineContext tapr = Ctx();
  tapr.taprMode = true;
  EXPECT_EQ(HandleIrcLine("|A|B:K1ABC!k@h PRIVMSG #CQDX :hi", tapr).display, "<K1ABC> hi");
  EXPECT_EQ(HandleIrcLine("|", tapr).display, "");
  EXPECT_EQ(HandleIrcLine(":", Ctx()).display, "");
  EXPECT_EQ(HandleIrcLine(":" + std::string(5000, 'p'), Ctx()).display, "");
  EXPECT_EQ(HandleIrcLine(":!x PRIVMSG", Ctx()).display, "");
  EXPECT_EQ(HandleIrcLine(":a!b@c PRIVMSG G4TST", Ctx()).display, "G4TST de a: ");
}

}  // namespace
}  // namespace qn
