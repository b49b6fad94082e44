// An IRC site through the program's own wiring: the script's words, the
// receive path in IRC mode, the classifier and the send path.
#include <gtest/gtest.h>

#include "core/site_file.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "irc/irc_session.h"
#include "session/connection_control.h"
#include "session/script_loader.h"
#include "session/sender.h"

namespace qn {
namespace {

const char* const kScript =
    "' an IRC site\r\n"
    "/S JOIN #dxspots secret\r\n"
    "/S \"ROBOT\" DXBOT\r\n"
    "/S \"NICK\"\r\n";

// A session as a server sends it: colours, a line split anywhere, a PING.
const std::string kSession =
    ":irc.test 001 G4TST :Welcome\r\n"
    ":DXBOT!b@h PRIVMSG #DXSPOTS :\x03"
    "4K1ABC 14025.0 DL1XYZ cq test 1234Z\r\n"
    "PING :irc.test\r\n"
    ":K1ABC!k@h PRIVMSG G4TST :\x02hello\x02 there\r\n"
    ":DXBOT!b@h PRIVMSG #DXSPOTS :SFI=150 A=5 K=1 \xff\r\n"
    ":K1ABC!k@h PRIVMSG #DXSPOTS :just chat\r\n";

struct IrcSite {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;

  explicit IrcSite(const std::string& script = kScript, const std::string& name = "CQDX-IRC") {
    t.sockets = &sockets;
    t.StartWithCall("");
    SiteRecord site;
    site.SetName(name);
    site.SetAddress("irc.example");
    site.SetPortType('0');
    site.SetKeepAliveEnabled(false);
    site.SetKeepAlivePeriod("0");
    site.SetAutoFlags(1);
    t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile({site}));
    t.Folder().WriteAtomic(ScriptFileName(name, false), script);
    App& app = *t.app;
    EXPECT_TRUE(app.Connection()->ConnectSite(name, true));
    Sock().AcceptConnection();
  }
  fakes::FakeSocket& Sock() { return *sockets.made.back(); }
  App& app() { return *t.app; }
  std::string Window(WindowId id) { return t.app->Window(id).Text(); }
};

TEST(AppIrc, ScriptWordsRegisterAndTheWelcomeJoins) {
  IrcSite s;
  EXPECT_TRUE(s.app().Connection()->Modes().irc);
  EXPECT_EQ(s.app().Connection()->Modes().robotNick, "DXBOT");
  EXPECT_EQ(s.app().Connection()->Modes().ircChannel, "#DXSPOTS");
  EXPECT_EQ(s.Sock().sent, "NICK G4TST\nUSER G4TST \"G4TST\" \"G4TST\" :G4TST\n");
  s.Sock().sent.clear();
  s.Sock().Arrive(":irc.test 433 * G4TST :Nickname already in use\r\n");
  EXPECT_EQ(s.Sock().sent, "NICK G4TST-1\nUSER G4TST-1 \"G4TST\" \"G4TST\" :G4TST\n");
  s.Sock().sent.clear();
  s.Sock().Arrive(":irc.test 001 G4TST-1 :Welcome\r\n");
  EXPECT_EQ(s.Sock().sent, "JOIN #DXSPOTS secret\n");
  // Typed requests go to the robot the script named; plain text to the channel.
  s.Sock().sent.clear();
  s.app().TypeLine("sh/dx");
  s.app().TypeLine("hello all");
  EXPECT_EQ(s.Sock().sent, "PRIVMSG DXBOT :sh/dx\nPRIVMSG #DXSPOTS :hello all\n");
  // Closing the frame logs out with a command the server knows.
  s.Sock().sent.clear();
  s.app().Close();
  EXPECT_EQ(s.Sock().sent, "QUIT\n");
}

TEST(AppIrc, TheReceivePathGivesTheSameResultAtEveryChunkSplit) {
  // One instance, a new connection per chunk size, the windows emptied each time.
  IrcSite s;
  std::string spots, talks, terminal, sent;
  for (std::size_t size = 1; size <= kSession.size(); ++size) {
    if (size > 1) {
      ASSERT_TRUE(s.app().Connection()->ConnectSite("CQDX-IRC", true));
      s.Sock().AcceptConnection();
    }
    for (WindowId id : {WindowId::Spots, WindowId::Talks, WindowId::Terminal}) s.app().Window(id).Clear();
    s.Sock().sent.clear();
    for (std::size_t at = 0; at < kSession.size(); at += size) s.Sock().Arrive(kSession.substr(at, size));
    if (size == 1) {
      spots = s.Window(WindowId::Spots);
      talks = s.Window(WindowId::Talks);
      terminal = s.Window(WindowId::Terminal);
      sent = s.Sock().sent;
      continue;
    }
    ASSERT_EQ(s.Window(WindowId::Spots), spots) << "chunks of " << size;
    ASSERT_EQ(s.Window(WindowId::Talks), talks) << "chunks of " << size;
    ASSERT_EQ(s.Window(WindowId::Terminal), terminal) << "chunks of " << size;
    ASSERT_EQ(s.Sock().sent, sent) << "chunks of " << size;
  }
  EXPECT_NE(spots.find("DX de K1ABC:     14025.0  DL1XYZ"), std::string::npos) << spots;
  EXPECT_NE(talks.find("G4TST de K1ABC: hello there"), std::string::npos) << talks;
  EXPECT_NE(terminal.find("<K1ABC> just chat"), std::string::npos);
  EXPECT_NE(terminal.find("WWV de SFI=150"), std::string::npos);
  // Byte 255 is text on an IRC server: no telnet answer went out.
  EXPECT_EQ(sent, "JOIN #DXSPOTS secret\nPONG :irc.test\n");
  EXPECT_EQ(terminal.find("PING"), std::string::npos);
}

TEST(AppIrc, AFloodKeepsMemoryBoundedAndSpotsFiled) {
  IrcSite s;
  std::string flood(1 << 20, 'x');
  s.Sock().Arrive(flood);
  s.Sock().Arrive("\r\n");
  std::string burst;
  for (int i = 0; i < 10000; ++i) burst += ":K1ABC!k@h PRIVMSG #DXSPOTS :chat " + std::to_string(i) + "\r\n";
  s.Sock().Arrive(burst);
  s.Sock().Arrive(":DXBOT!b@h PRIVMSG #DXSPOTS :K1ABC 7025.0 JA1XYZ cq 0101Z\r\n");
  EXPECT_NE(s.Window(WindowId::Spots).find("JA1XYZ"), std::string::npos);
  EXPECT_LT(s.Window(WindowId::Terminal).size(), TextWindow::kLimit);
}

TEST(AppIrc, TalkAnswersReachTheTalkerAsPrivateMessages) {
  IrcSite s;
  s.Sock().Arrive(":K1ABC!k@h PRIVMSG G4TST :hello\r\n");
  s.Sock().sent.clear();
  ASSERT_TRUE(s.app().PressKey("F12"));
  // F12 puts the answer into the typed line; the user types the rest.
  s.app().TypeLine("t K1ABC hi there");
  EXPECT_EQ(s.Sock().sent, "PRIVMSG K1ABC :hi there\n");
}

TEST(AppIrc, TheScriptWordMakesAnyCallSiteAnIrcSite) {
  IrcSite s("/S \"IRC\"\r\n/S \"NICK\"\r\n", "EFNET");
  EXPECT_TRUE(s.app().Connection()->Modes().irc);
  EXPECT_TRUE(s.app().Frame().Item("Textsend").enabled);
  s.Sock().Arrive(":irc.test 001 G4TST :Welcome\r\n");
  EXPECT_NE(s.Sock().sent.find("JOIN #CQDX\n"), std::string::npos);
}

// A robot copy on IRC answers users' private requests by private message.
TEST(AppIrc, ARobotCopyAnswersPrivateRequests) {
  IrcSite s("/S \"NICK\"\r\n/F DXROBOT\r\n");
  s.Sock().Arrive(":irc.test 001 G4TST :Welcome\r\n");
  // A bridging robot keeps the spots it accepts for "SH/DX".
  s.app().Connection()->MutableFlags().bridgeToRemote = true;
  s.app().Events().spotLine.Fire(
      "DX de K1ABC:     14025.0  DL1XYZ       cq                             1234Z\r\n", SpotSource::Main);
  s.Sock().sent.clear();
  s.Sock().Arrive(":W1AW!w@h PRIVMSG G4TST :sh/dx\r\n");
  EXPECT_NE(s.Sock().sent.find("PRIVMSG W1AW :K1ABC: 14025.0 DL1XYZ"), std::string::npos) << s.Sock().sent;
  s.Sock().sent.clear();
  s.Sock().Arrive(":W1AW!w@h PRIVMSG G4TST :!DX 7005.0 VK9XX up 2\r\n");
  EXPECT_NE(s.Sock().sent.find("PRIVMSG W1AW :Your DX has been submitted"), std::string::npos)
      << s.Sock().sent;
  EXPECT_NE(s.Window(WindowId::Spots).find("VK9XX"), std::string::npos) << "the submitted spot is not filed";
  // Another user's request in the channel is no request to the robot.
  s.Sock().sent.clear();
  s.Sock().Arrive(":W1AW!w@h PRIVMSG #CQDX :sh/dx\r\n");
  EXPECT_EQ(s.Sock().sent.find("PRIVMSG W1AW"), std::string::npos);
}

TEST(AppIrc, ChatSitesGreetArrivals) {
  IrcSite s("/B2 Hello!/Good DX\r\n", "DXCHAT");
  EXPECT_FALSE(s.app().Connection()->Modes().irc);
  s.Sock().sent.clear();
  s.Sock().Arrive("*** K1ABC@node logged in\r\n*** K1ABC@node logged in\r\n");
  EXPECT_EQ(s.Sock().sent, "/M K1ABC Hello!\n/M K1ABC Good DX\n");
  s.Sock().sent.clear();
  s.app().TypeLine("t K1ABC thanks");
  EXPECT_EQ(s.Sock().sent, "/M K1ABC thanks\n");
}

}  // namespace
}  // namespace qn
