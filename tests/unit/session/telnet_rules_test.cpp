// The telnet rules a node cannot talk us out of: options answered only when
// their state changes, data bytes 255 doubled on the way out (commands not),
// and a pending output with a limit past which a node that never reads is
// dropped.
#include <gtest/gtest.h>

#include "core/text.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/sender.h"
#include "session/tcp_link.h"
#include "session/telnet_codec.h"
#include "unit/session/receive_harness.h"

namespace qn {
namespace {

using testing::ReceiveHarness;

std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(TelnetOptions, OnlyChangesOfStateAreAnswered) {
  struct Case {
    std::string in;
    std::string replies;
  } cases[] = {
      // Asked again and again to do what we already do: one agreement.
      {Repeat(Bytes({255, 253, 0}), 50), Bytes({255, 251, 0})},
      {Repeat(Bytes({255, 251, 24}), 50), Bytes({255, 253, 24})},
      // Switched off, then on again: each change acknowledged once.
      {Bytes({255, 253, 0, 255, 254, 0, 255, 254, 0, 255, 253, 0}),
       Bytes({255, 251, 0, 255, 252, 0, 255, 251, 0})},
      {Bytes({255, 251, 0, 255, 252, 0, 255, 252, 0}), Bytes({255, 253, 0, 255, 254, 0})},
      // Told not to do what we never did: nothing to say.
      {Bytes({255, 254, 1, 255, 252, 1}), ""},
      // A refusal leaves the option off; a new request is a new question.
      {Bytes({255, 253, 1, 255, 253, 1}), Bytes({255, 252, 1, 255, 252, 1})},
  };
  for (const auto& c : cases) {
    ReceiveHarness h;
    h.Feed(c.in + "x\r\n");
    EXPECT_EQ(h.replies, c.replies) << ::testing::PrintToString(c.in);
  }
  // A new connection starts with every option off again.
  ReceiveHarness h;
  h.Feed(Bytes({255, 253, 0}));
  h.rx.MarkNewConnection();
  h.Feed(Bytes({255, 253, 0}));
  EXPECT_EQ(h.replies, Bytes({255, 251, 0, 255, 251, 0}));
}

TEST(TelnetEscape, DoublesEveryByte255AndNothingElse) {
  EXPECT_EQ(TelnetEscape(""), "");
  EXPECT_EQ(TelnetEscape("sh/dx\n"), "sh/dx\n");
  EXPECT_EQ(TelnetEscape(Bytes({'a', 255, 244, 'b', 255})), Bytes({'a', 255, 255, 244, 'b', 255, 255}));
  EXPECT_EQ(TelnetEscape(Bytes({255, 255})), Bytes({255, 255, 255, 255}));
}

class TelnetLink : public ::testing::Test {
 protected:
  void SetUp() override {
    t.sockets = &sockets;
    t.StartWithCall("");
    t.app->Connection()->ConnectHost("dxc.example.net");
    Sock().AcceptConnection();
  }
  fakes::FakeSocket& Sock() { return *sockets.made.back(); }
  std::string Terminal() { return t.app->Window(WindowId::Terminal).Text(); }

  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
};

TEST_F(TelnetLink, DataBytes255GoOutDoubledNegotiationRepliesDoNot) {
  Sock().Arrive(Bytes({255, 253, 0}) + "login: ");
  EXPECT_EQ(Sock().sent, Bytes({255, 251, 0}));
  Sock().sent.clear();
  // Typed text, macros and script texts all leave through the same socket path.
  t.app->TypeLine(Bytes({'K', 255, 244, 'X'}));
  t.app->SendPath()->RawSend(Bytes({'!', '!', '!', 255, 'y', ','}));
  EXPECT_EQ(Sock().sent, Bytes({'K', 255, 255, 244, 'X', '\n', 255, 255, 'y', '\n'}));
}

TEST_F(TelnetLink, ANodeThatNeverReadsIsDroppedOnceThePendingOutputIsFull) {
  Sock().LimitSend(0);
  // Each refusal is three bytes of pending output.
  std::string requests = Repeat(Bytes({255, 253, 7}), 4096);
  for (std::size_t fed = 0; fed < 2 * TcpLink::kMaxPending && t.app->Connection()->Connected();
       fed += requests.size()) {
    Sock().Arrive(requests);
  }
  EXPECT_FALSE(t.app->Connection()->Connected());
  EXPECT_NE(Terminal().find("the node does not read what is sent\r\n"), std::string::npos);
  EXPECT_NE(Terminal().find("DISCONNECTED"), std::string::npos);
}

}  // namespace
}  // namespace qn
