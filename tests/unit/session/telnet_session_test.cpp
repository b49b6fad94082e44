#include <gtest/gtest.h>

#include "core/text.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/tcp_link.h"

namespace qn {
namespace {

SiteRecord Site(const std::string& name, const std::string& address, int autoFlags = 0,
                const std::string& port = "") {
  SiteRecord r;
  r.SetName(name);
  r.SetAddress(address);
  r.SetPortType(port.empty() ? '0' : '1');
  r.SetCustomPort(port);
  r.SetKeepAliveEnabled(false);
  r.SetKeepAlivePeriod("0");
  r.SetAutoFlags(autoFlags);
  return r;
}

class TelnetSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.StartWithCall("");
    link = std::make_unique<TcpLink>(sockets);
    session = std::make_unique<ConnectionControl>(*t.app, *link);
    session->onReceived = [this](std::string_view b) {
      t.app->Append(WindowId::Terminal, b);
      session->CheckLoginPrompt();
    };
    t.app->onSendLine = [this](const std::string& s) { link->Write(s); };
  }
  void WriteSites(const std::vector<SiteRecord>& sites) {
    t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile(sites));
  }
  fakes::FakeSocket& Sock() { return *sockets.made.back(); }
  std::string Terminal() { return t.app->Window(WindowId::Terminal).Text(); }

  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  std::unique_ptr<TcpLink> link;
  std::unique_ptr<ConnectionControl> session;
};

TEST_F(TelnetSessionTest, AdHocHostConnectsAndTitles) {
  session->ConnectHost("dxc.example.net:7300");
  EXPECT_EQ(t.app->Frame().Status(), "Trying:dxc.example.net");
  EXPECT_TRUE(t.app->Flashing());
  EXPECT_EQ(Sock().lastHost, "dxc.example.net");
  EXPECT_EQ(Sock().lastPort, "7300");
  Sock().remoteName = "a-very-long-host-name.of-some-cluster.example.net";
  Sock().AcceptConnection();
  EXPECT_FALSE(t.app->Flashing());
  EXPECT_EQ(t.app->Frame().Title(), "Quillnet [a-very-long-host-name.of-so...]");
  EXPECT_EQ(session->Marker(), LinkMarker::WatchingPrompts);
  EXPECT_TRUE(t.app->Frame().Connected());
}

TEST_F(TelnetSessionTest, SiteConnectSwapsTheRecordAndPicksTheTerminator) {
  WriteSites({Site("first", "one.example"), Site("node_2", "two.example", 0, "7300")});
  ASSERT_TRUE(session->ConnectSite("NODE_2", true));
  EXPECT_EQ(Sock().lastHost, "two.example");
  EXPECT_EQ(Sock().lastPort, "7300");
  EXPECT_EQ(t.app->State().sendTerminator, "\r\n");
  auto records = ParseSiteFile(*t.Folder().Read("qln.sit"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Name(), "node_2");
  EXPECT_EQ(records[1].Name(), "first");
  EXPECT_FALSE(session->ConnectSite("nothere", true));
  WriteSites({Site("cr_1", "x.example")});
  session->ConnectSite("cr_1", true);
  EXPECT_EQ(t.app->State().sendTerminator, "\r");
}

TEST_F(TelnetSessionTest, WordWithoutDotConnectsTheSite) {
  WriteSites({Site("MyNode", "node.example")});
  session->ConnectHost("mynode");
  EXPECT_EQ(Sock().lastHost, "node.example");
}

TEST_F(TelnetSessionTest, DropShowsDisconnectedAndReconnectsWhenTheSiteAsks) {
  WriteSites({Site("node", "node.example", 2)});
  session->ConnectSite("node", true);
  Sock().AcceptConnection();
  Sock().RemoteClose();
  EXPECT_TRUE(EndsWith(Terminal(), "\r\n***  DISCONNECTED\r\n"));
  EXPECT_EQ(t.app->Frame().Title(), "Quillnet");
  EXPECT_EQ(sockets.made.size(), 1u);
  t.loop.Advance(60000);
  EXPECT_EQ(sockets.made.size(), 2u);  // reconnecting at the next tick
}

TEST_F(TelnetSessionTest, MenuDisconnectNeverReconnects) {
  WriteSites({Site("node", "node.example", 2)});
  session->ConnectSite("node", true);
  Sock().AcceptConnection();
  session->MenuDisconnect();
  t.loop.Advance(10 * 60000);
  EXPECT_EQ(sockets.made.size(), 1u);
  EXPECT_TRUE(EndsWith(Terminal(), "***  DISCONNECTED\r\n"));
}

TEST_F(TelnetSessionTest, RetryLimitOfThreeThenFallback) {
  WriteSites({Site("node", "node.example", 1), Site("backup", "backup.example")});
  t.app->State().retryCounter = 3;  // as a script's "/R 3" arms it
  session->FallbackSite() = "backup";
  session->ConnectSite("node", true);
  std::vector<std::int64_t> attempts = {t.clock.NowMs()};
  Sock().Refuse();
  EXPECT_EQ(t.app->Frame().Status(), "Connection refused");
  EXPECT_TRUE(t.prompter.shown.empty());  // no message box during an automatic connection
  for (int minute = 1; minute <= 7; ++minute) {
    std::size_t before = sockets.made.size();
    t.loop.Advance(60000);
    if (sockets.made.size() != before) {
      attempts.push_back(t.clock.NowMs());
      if (Sock().lastHost == "node.example") Sock().Refuse();
    }
  }
  ASSERT_EQ(attempts.size(), 4u);
  EXPECT_EQ(attempts[1] - attempts[0], 120000);
  EXPECT_EQ(attempts[2] - attempts[1], 120000);
  EXPECT_EQ(Sock().lastHost, "backup.example");
  EXPECT_EQ(attempts[3] - attempts[2], 120000);
}

TEST_F(TelnetSessionTest, EscapeAsksBeforeStoppingTheRetries) {
  EXPECT_FALSE(session->OfferToStopConnection());  // nothing running: Escape goes on
  EXPECT_TRUE(t.prompter.shown.empty());
  WriteSites({Site("node", "node.example", 1)});
  session->ConnectSite("node", true);
  Sock().Refuse();
  ASSERT_TRUE(session->AutoTimerRunning());
  // No is preselected: the default answer keeps the retries going.
  EXPECT_TRUE(session->OfferToStopConnection());
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, "Stop current connection process?");
  EXPECT_EQ(t.prompter.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(session->AutoTimerRunning());
  t.prompter.buttonAnswers.push_back(MsgResult::Yes);
  EXPECT_TRUE(session->OfferToStopConnection());
  EXPECT_FALSE(session->AutoTimerRunning());
  t.loop.Advance(10 * 60000);
  EXPECT_EQ(sockets.made.size(), 1u);
}

TEST_F(TelnetSessionTest, EscapeDuringAnUnansweredConnectClosesIt) {
  session->ConnectHost("slow.example:7300");
  t.prompter.buttonAnswers.push_back(MsgResult::Yes);
  EXPECT_TRUE(session->OfferToStopConnection());
  EXPECT_FALSE(t.app->Flashing());
  EXPECT_GE(Sock().closeCalls, 1);
  EXPECT_FALSE(session->OfferToStopConnection());
}

TEST_F(TelnetSessionTest, ManualConnectFailureShowsTheError) {
  session->ConnectHost("nowhere.example");
  Sock().Refuse(11001, "Host not found");
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, "Host not found");
  EXPECT_FALSE(t.app->Flashing());
}

TEST_F(TelnetSessionTest, KeepAliveWithOneLineWaitsForIdleMinutes) {
  t.app->State().keepAliveLines[0] = "sh/dx";
  session->ConnectHost("dxc.example.net:k3");
  Sock().AcceptConnection();
  t.loop.Advance(2 * 60000);
  EXPECT_EQ(Sock().sent, "");
  session->ResetKeepAliveMinutes();  // the user typed a line
  t.loop.Advance(2 * 60000);
  EXPECT_EQ(Sock().sent, "");
  t.loop.Advance(60000);
  EXPECT_EQ(Sock().sent, "SH/DX\r\n");
}

TEST_F(TelnetSessionTest, KeepAliveNoneLinesAndEmptyList) {
  t.app->State().keepAliveLines[0] = "NONE";
  t.app->State().keepAliveLines[1] = "sh/dx";
  session->ConnectHost("dxc.example.net:k1");
  Sock().AcceptConnection();
  t.loop.Advance(60000);
  EXPECT_EQ(Sock().sent, "SH/DX\r\n");
  t.app->State().keepAliveLines.fill(std::string(1, '\0'));
  t.loop.Advance(60000);
  EXPECT_EQ(Sock().sent, "SH/DX\r\n\r\n");
}

TEST(NodeHop, KeepAliveLinesGoToTheNewNodeOnlyWithReconnectionOn) {
  for (int autoFlags : {2, 0}) {
    fakes::TestApp t;
    fakes::FakeSocketFactory sockets;
    t.sockets = &sockets;
    t.StartWithCall("");
    t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile({Site("node", "node.example", autoFlags)}));
    ASSERT_TRUE(t.app->Connection()->ConnectSite("node", true));
    auto& sock = *sockets.made.back();
    sock.AcceptConnection();
    // A site without a login script has its reconnection switched off at connect.
    t.app->Connection()->MutableFlags().autoReconnect = autoFlags == 2;
    t.app->State().keepAliveLines[0] = "sh/dx";
    sock.Arrive("*** connected to GB7DJK\r\n");
    EXPECT_EQ(t.app->Frame().Title(), "Quillnet [GB7DJK]");
    EXPECT_EQ(sock.sent, autoFlags == 2 ? "SH/DX\r\n" : "") << autoFlags;
  }
}

TEST_F(TelnetSessionTest, LoginPromptEnablesInputOnceAndSetsCrForCallsignColon) {
  session->ConnectHost("dxc.example.net");
  Sock().AcceptConnection();
  EXPECT_FALSE(t.app->Frame().Item("Textsend").enabled);
  Sock().Arrive("Welcome\r\nPlease enter your callsign : ");
  EXPECT_TRUE(t.app->Frame().Item("Textsend").enabled);
  EXPECT_EQ(t.app->State().sendTerminator, "\r");
}

TEST_F(TelnetSessionTest, LongPromptsAreSeenToo) {
  int callPrompts = 0;
  session->onCallPrompt = [&] { ++callPrompts; };
  session->ConnectHost("dxc.example.net");
  Sock().AcceptConnection();
  Sock().Arrive("Please enter your call: ");
  EXPECT_EQ(callPrompts, 1);
  EXPECT_TRUE(t.app->Frame().Item("Textsend").enabled);
  // The same prompt is acted on once, however often the text changes after it.
  session->CheckLoginPrompt();
  EXPECT_EQ(callPrompts, 1);
}

TEST_F(TelnetSessionTest, PendingOutputKeepsOrderAndGoesOnReady) {
  session->ConnectHost("dxc.example.net");
  Sock().AcceptConnection();
  Sock().LimitSend(5);
  link->Write("hello world");
  EXPECT_EQ(Sock().sent, "hello");
  EXPECT_TRUE(link->HasPending());
  link->Write("!");
  EXPECT_EQ(Sock().sent, "hello");
  Sock().Drain();
  EXPECT_EQ(Sock().sent, "hello world!");
  EXPECT_FALSE(link->HasPending());
}

TEST_F(TelnetSessionTest, LogoutWordsBySubMode) {
  WriteSites({Site("IRCNET", "irc.example"), Site("mychat", "chat.example"), Site("node", "n.example")});
  session->ConnectSite("ircnet", true);
  EXPECT_EQ(session->LogoutCommand(), "/Q");
  EXPECT_EQ(session->Modes().ircChannel, "#CQDX");
  session->ConnectSite("mychat", true);
  EXPECT_EQ(session->LogoutCommand(), "/EX");
  session->ConnectSite("node", true);
  EXPECT_EQ(session->LogoutCommand(), "b");
}

}  // namespace
}  // namespace qn
