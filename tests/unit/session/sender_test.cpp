#include "session/sender.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "fakes/fake_byte_link.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/tcp_link.h"
#include "session/transports.h"

namespace qn {
namespace {

class SenderTest : public ::testing::Test {
 protected:
  SenderTest()
      : app(t.Make()),
        transport(link, app.State().keepAliveLines),
        sender(app.State().sendTerminator, app.Loop(), &transport) {
    transport.resetKeepAliveMinutes = [this] { ++keepAliveResets; };
  }
  std::vector<std::size_t> WriteSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto& w : link.writes) sizes.push_back(w.size());
    return sizes;
  }
  void Irc() {
    sender.sessionFlags = [] {
      SessionFlags f;
      f.irc = true;
      f.robotNick = "ROBOT";
      f.ircChannel = "#CQDX";
      return f;
    };
  }

  fakes::TestApp t;
  App& app;
  fakes::FakeByteLink link;
  LinkTransport transport;
  Sender sender;
  int keepAliveResets = 0;
};

TEST_F(SenderTest, LongLineLeavesInPiecesOf32) {
  std::string line(69, 'x');
  sender.Outgoing() = line + "\n";
  sender.SendToSession();
  EXPECT_EQ(WriteSizes(), (std::vector<std::size_t>{32, 32, 6}));
  EXPECT_EQ(link.sent, line + "\n");
  EXPECT_TRUE(sender.Outgoing().empty());
  EXPECT_FALSE(sender.Sending());
}

TEST_F(SenderTest, EachPiecePassesTheLinkCrypto) {
  transport.cryptText = [](std::string_view piece) { return "[" + std::string(piece) + "]"; };
  sender.Send(std::string(40, 'a'));
  EXPECT_EQ(link.sent, "[" + std::string(32, 'a') + "][" + std::string(8, 'a') + "]");
}

TEST_F(SenderTest, NestedCallReturnsAtOnceAndItsTextFollows) {
  bool nestedReturnedAtOnce = false;
  link.onSend = [&](std::string_view) {
    if (link.writes.size() != 1) return;
    sender.Send("nested\n");
    nestedReturnedAtOnce = link.writes.size() == 1 && sender.Sending();
  };
  sender.Send("first\n");
  EXPECT_TRUE(nestedReturnedAtOnce);
  EXPECT_EQ(link.sent, "first\nnested\n");
  EXPECT_FALSE(sender.Sending());
}

TEST_F(SenderTest, NothingLeavesWithoutAConnection) {
  link.connected = false;
  sender.Send("sh/dx\n");
  EXPECT_TRUE(link.writes.empty());
  EXPECT_TRUE(sender.Outgoing().empty());
  EXPECT_EQ(keepAliveResets, 0);

  Sender unplugged(app.State().sendTerminator, app.Loop(), nullptr);
  unplugged.Send("sh/dx\n");
  EXPECT_TRUE(unplugged.Outgoing().empty());
}

TEST_F(SenderTest, ReplayModeWritesAskinfoInstead) {
  ReplayTransport replay(t.Folder());
  Sender sender(app.State().sendTerminator, app.Loop(), &replay);
  sender.Send("sh/dx\n");
  sender.Send("sh/wwv\r\n");
  EXPECT_TRUE(link.writes.empty());
  EXPECT_EQ(t.Folder().Read("ARCHIVE\\askinfo.txt"), "sh/dx\r\nsh/wwv\r\n");
}

TEST_F(SenderTest, KeepAliveRestartsOnlyWithAtMostOneKeepAliveLine) {
  // None defined.
  sender.Send(std::string(40, 'a'));
  EXPECT_EQ(keepAliveResets, 2);  // once per piece

  keepAliveResets = 0;
  app.State().keepAliveLines[0] = "SH/DX";
  sender.Send("x\n");
  EXPECT_EQ(keepAliveResets, 1);

  keepAliveResets = 0;
  app.State().keepAliveLines[1] = "SH/WWV";
  sender.Send("x\n");
  EXPECT_EQ(keepAliveResets, 0);

  // "NONE" sends nothing, so it does not count as a line.
  app.State().keepAliveLines[0] = "none";
  sender.Send("x\n");
  EXPECT_EQ(keepAliveResets, 1);
}

TEST_F(SenderTest, WhatTheSocketCannotTakeWaitsAsPendingOutput) {
  link.room = 10;
  sender.Send(std::string(20, 'z'));
  EXPECT_EQ(link.sent.size(), 10u);
  EXPECT_TRUE(link.HasPending());
  link.room = static_cast<std::size_t>(-1);
  // The socket's ready event: nothing left in the outgoing text, the pending output goes.
  sender.SendToSession();
  transport.FlushPending();
  EXPECT_EQ(link.sent, std::string(20, 'z'));
}

TEST_F(SenderTest, RawSendEscapes) {
  sender.RawSend("!!!^C^c^<^^/+\\^a,b^1");
  EXPECT_EQ(link.sent, std::string("\x03\x03\x1b") + '\0' + "+^a\nb");
  link.sent.clear();
  app.State().sendTerminator = "\r\n";
  sender.RawSend("sh/dx,x^");
  EXPECT_EQ(link.sent, "sh/dx\r\nx^");
}

TEST_F(SenderTest, PlusPausesOneSecondAfterFlushing) {
  std::vector<std::pair<std::string, std::int64_t>> at;
  link.onSend = [&](std::string_view b) { at.emplace_back(std::string(b), t.clock.NowMs()); };
  link.room = 1;
  sender.RawSend("ab+cd");
  ASSERT_EQ(at.size(), 2u);
  EXPECT_EQ(at[0], (std::pair<std::string, std::int64_t>{"ab", 0}));
  EXPECT_EQ(at[1], (std::pair<std::string, std::int64_t>{"cd", Sender::kPauseMs}));
  EXPECT_EQ(link.flushes, 1);  // before the pause, with "b" waiting
}

TEST_F(SenderTest, IrcLinesAreTranslatedWhole) {
  Irc();
  sender.Send("sh/dx\n");
  EXPECT_EQ(link.sent, "PRIVMSG ROBOT :sh/dx\n");
  link.sent.clear();
  // A macro that begins a line waits for the typed rest.
  sender.RawSend("/away :");
  EXPECT_TRUE(link.sent.empty());
  sender.Send("gone\n");
  EXPECT_EQ(link.sent, "away :gone\n");
}

TEST_F(SenderTest, TncAndWebSessionsUseTheirOwnWriters) {
  std::string aux, web;
  HookTransport auxPort(true, "\r");
  auxPort.deliver = [&](const std::string& s) { aux += s; };
  HookTransport webQueue(false, "");
  webQueue.deliver = [&](const std::string& s) { web += s; };

  Sender tnc(app.State().sendTerminator, app.Loop(), &auxPort);
  tnc.RawSend("sh/dx,");  // "," is CR on a TNC
  tnc.sessionFlags = [] {
    SessionFlags f;
    f.chat = true;
    return f;
  };
  tnc.Send("T ZX9AB hi\r");
  EXPECT_EQ(aux, "sh/dx\r/M ZX9AB hi\r");

  Sender webSender(app.State().sendTerminator, app.Loop(), &webQueue);
  webSender.sessionFlags = tnc.sessionFlags;
  webSender.Send("ZX9AB 14025 ZX1AA tnx\r\n");
  EXPECT_EQ(web, "ZX9AB 14025 ZX1AA tnx\r\n");
  EXPECT_TRUE(link.writes.empty());
}

// The same path on the telnet session itself, as the program wires it.
TEST(SenderOnTelnet, PiecesReachTheSocketAndWaitWhenItIsFull) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  fakes::FakeSocketFactory sockets;
  TcpLink tcp(sockets);
  ConnectionControl session(app, tcp);
  LinkTransport transport(tcp, app.State().keepAliveLines);
  Sender sender(app.State().sendTerminator, app.Loop(), &transport);
  session.onSendReady = [&] { sender.SendToSession(); };
  transport.resetKeepAliveMinutes = [&] { session.ResetKeepAliveMinutes(); };
  session.ConnectHost("node.example");
  fakes::FakeSocket& sock = *sockets.made.back();
  sock.AcceptConnection();

  std::string line(69, 'k');
  sender.Send(line + "\n");
  ASSERT_EQ(sock.writes.size(), 3u);
  EXPECT_EQ(sock.writes[0].size(), 32u);
  EXPECT_EQ(sock.writes[1].size(), 32u);
  EXPECT_EQ(sock.writes[2].size(), 6u);

  sock.LimitSend(5);
  sender.Send("sh/dx 10\n");
  EXPECT_TRUE(tcp.HasPending());
  sock.Drain();
  EXPECT_EQ(sock.sent, line + "\nsh/dx 10\n");
  EXPECT_FALSE(tcp.HasPending());
}

}  // namespace
}  // namespace qn
