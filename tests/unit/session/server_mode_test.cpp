// Server mode on the fake listener: the waiting status and title, one caller
// at a time, the others turned away with a line, listening again a second
// after the caller left, and the caller's escape lines passed on.
#include "session/server_mode.h"

#include <gtest/gtest.h>

#include "fakes/fake_socket.h"
#include "fakes/fake_tcp_listener.h"
#include "fakes/virtual_time.h"

namespace qn {
namespace {

struct LinkEvents : ByteLinkListener {
  int opened = 0, closed = 0;
  std::string data;
  void OnLinkOpened() override { ++opened; }
  void OnLinkData(std::string_view b) override { data.append(b); }
  void OnLinkWritable() override {}
  void OnLinkClosed() override { ++closed; }
  void OnLinkError(int, const std::string&) override {}
};

class ServerModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link.SetListener(&events);
    ServerModeHooks& h = server.Hooks();
    h.status = [this](const std::string& s) { status = s; };
    h.title = [this](const std::string& t) { title = t; };
    h.customTitle = [this] { return custom; };
    h.message = [this](const std::string& m) { messages.push_back(m); };
    h.incomingCall = [this] { ++calls; };
    h.escape = [] { return std::string("+++"); };
    h.relayCopy = [this] { return relay; };
    h.toOthers = [this](const std::string& l) { others.push_back(l); };
  }
  fakes::FakeTcpListener& Listener() { return *listeners.made.back(); }

  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakeSocketFactory sockets;
  fakes::FakeTcpListenerFactory listeners;
  TcpLink link{sockets};
  LinkEvents events;
  ServerMode server{listeners, link, loop};
  std::string status, title, custom;
  std::vector<std::string> messages, others;
  int calls = 0;
  bool relay = false;
};

TEST_F(ServerModeTest, WaitsThenTakesOneCallerAndTurnsTheNextAway) {
  ASSERT_TRUE(server.Start("", 7300));
  EXPECT_EQ(Listener().address, "");
  EXPECT_EQ(status, "Waiting for incoming calls (7300)...");
  EXPECT_EQ(title, "Quillnet [PORT:7300]");
  fakes::FakeSocket* first = Listener().Call();
  first->Arrive("typed before we looked\r\n");
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(events.opened, 1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(events.data, "typed before we looked\r\n");
  link.Write("hello caller\r\n");
  EXPECT_EQ(first->sent, "hello caller\r\n");

  fakes::FakeSocket* second = Listener().Call("192.0.2.7");
  EXPECT_EQ(second->sent, ServerMode::kBusy);
  EXPECT_FALSE(second->IsConnected());
  EXPECT_EQ(server.TurnedAway(), 1);
  EXPECT_EQ(Listener().Waiting(), 0u);
}

TEST_F(ServerModeTest, ListensAgainOneSecondAfterTheCallerLeft) {
  custom = "RELAY GATE";
  ASSERT_TRUE(server.Start("127.0.0.1", 7300));
  EXPECT_EQ(Listener().address, "127.0.0.1");
  EXPECT_EQ(title, "Quillnet [RELAY GATE]");
  fakes::FakeSocket* caller = Listener().Call();
  caller->RemoteClose();
  EXPECT_EQ(events.closed, 1);
  status.clear();
  link.Close();
  server.CallerLeft();
  // Within the second a new caller is told to wait.
  loop.Advance(500);
  EXPECT_FALSE(server.Armed());
  EXPECT_EQ(Listener().Call()->sent, ServerMode::kBusy);
  loop.Advance(500);
  EXPECT_TRUE(server.Armed());
  EXPECT_EQ(status, "Waiting for incoming calls (7300)...");
  Listener().Call();
  EXPECT_EQ(events.opened, 2);
}

TEST_F(ServerModeTest, AHundredCallersAtOnceLeaveNothingBehind) {
  ASSERT_TRUE(server.Start("*", 7300));
  EXPECT_EQ(Listener().address, "");
  for (int i = 0; i < 100; ++i) Listener().Call();
  EXPECT_EQ(events.opened, 1);
  EXPECT_EQ(server.TurnedAway(), 99);
  EXPECT_EQ(Listener().Waiting(), 0u);
}

TEST_F(ServerModeTest, APortInUseIsSaidPlainly) {
  listeners.busyPorts.insert(23);
  EXPECT_FALSE(server.Start("", 23));
  EXPECT_FALSE(server.Listening());
  EXPECT_EQ(status, "Cannot listen on port 23: The bound address is already in use");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_FALSE(server.Start("", 70000));
  EXPECT_FALSE(server.Start("", 0));
  EXPECT_EQ(status, "Cannot listen on port 0: the site gives no port");
  // A refusal is at once, not after the listen wait.
  EXPECT_EQ(clock.NowMs(), 0);
}

TEST_F(ServerModeTest, EscapeLinesAndRelayCopiesPassCallerLinesOn) {
  server.OnCallerLine("+++DX de K1ABC: 14025.0 JA1XYZ\r\n");
  server.OnCallerLine("++ not quite the escape\r\n");
  server.OnCallerLine("sh/dx\r\n");
  ASSERT_EQ(others.size(), 1u);
  EXPECT_EQ(others[0], "+++DX de K1ABC: 14025.0 JA1XYZ\r\n");
  relay = true;
  server.OnCallerLine("sh/dx\r\n");
  EXPECT_EQ(others.back(), "+++sh/dx\r\n");
}

TEST_F(ServerModeTest, AfterTheUserMovedOnCallersAreNoLongerTaken) {
  bool active = true;
  server.Hooks().active = [&] { return active; };
  ASSERT_TRUE(server.Start("", 7300));
  active = false;
  Listener().Call();
  EXPECT_FALSE(server.Listening());
  EXPECT_EQ(Listener().Call(), nullptr);
  EXPECT_EQ(events.opened, 0);
}

}  // namespace
}  // namespace qn
