// The RF gateway: what reaches the TNC, the APRS marks and beacon, radio
// users' lines with their leave words and the login wait on virtual time.
#include "bridge/rf_gateway.h"

#include <gtest/gtest.h>

#include "fakes/virtual_time.h"

namespace qn {
namespace {

class RfGatewayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RfGatewayHooks& h = gw.Hooks();
    h.exchangeOn = [this] { return exchange; };
    h.bridgeTo = [] { return false; };
    h.auxOpen = [this] { return auxOpen; };
    h.sendToAux = [this](const std::string& t) { aux.push_back(t); };
    h.ownCall = [] { return std::string("G4TST"); };
    h.customTitle = [this] { return title; };
    h.sessionConnected = [this] { return connected; };
    h.loginPending = [this] { return loginPending; };
    h.disconnect = [this] {
      connected = false;
      ++disconnects;
    };
    h.discardAuxInput = [this] { ++discards; };
    h.sessionReset = [this] {
      exchange = true;
      ++resets;
    };
    h.sendToSession = [this](const std::string& t) { session.push_back(t); };
  }
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  RfGateway gw{loop};
  bool exchange = true, auxOpen = true, connected = true, loginPending = false;
  std::string title;
  std::vector<std::string> aux, session;
  int disconnects = 0, discards = 0, resets = 0;
};

TEST_F(RfGatewayTest, ClusterLinesToTheTncOnlyWithExchangeOn) {
  gw.CopyToRf("To ALL de K1ABC: hello\r\n");
  exchange = false;
  gw.CopyToRf("To ALL de K1ABC: again\r\n");
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], "To ALL de K1ABC: hello\r\n");
}

TEST_F(RfGatewayTest, AprsMarksAndTheBeaconBeforeThe200thLine) {
  title = "aprs gate";
  gw.CopyToRf("\r\n");
  EXPECT_TRUE(aux.empty());
  for (int i = 1; i <= 200; ++i) gw.CopyToRf("line " + std::to_string(i) + "\r\n");
  ASSERT_EQ(aux.size(), 200u);
  EXPECT_EQ(aux[0], "}line 1\r\n");
  EXPECT_EQ(aux[199], "}G4TST>BEACON: Internet-RF service provided by G4TST with Quillnet -> " +
                          std::string(RfGateway::kWebAddress) + "\r\n}line 200\r\n");
  EXPECT_EQ(gw.LineCount(), 0);
}

TEST_F(RfGatewayTest, ByeResetsAndStillGoesToTheCluster) {
  exchange = false;
  gw.OnRfLine("bye\r");
  EXPECT_EQ(resets, 1);
  ASSERT_EQ(session.size(), 1u);
  EXPECT_EQ(session[0], "bye\r\n");
  gw.OnRfLine("sh/dx 5\r");
  EXPECT_EQ(session.back(), "sh/dx 5\r\n");
  EXPECT_EQ(resets, 1);
  connected = false;
  gw.OnRfLine("sh/dx\r");
  EXPECT_EQ(session.size(), 2u);
}

TEST_F(RfGatewayTest, LoginWaitEndsWithTheLoginOrAfterAMinute) {
  loginPending = true;
  gw.OnSessionConnected();
  loop.onStep = [this](std::int64_t now) {
    if (now >= 5000) loginPending = false;
  };
  gw.OnRfLine("sh/dx\r");
  EXPECT_EQ(session.back(), "sh/dx\r\n");
  EXPECT_LT(clock.NowMs(), RfGateway::kLoginWaitMs);

  loop.onStep = nullptr;
  loginPending = true;
  gw.OnSessionConnected();
  std::int64_t start = clock.NowMs();
  gw.OnRfLine("dir\r");
  EXPECT_GE(clock.NowMs() - start, RfGateway::kLoginWaitMs);
  EXPECT_EQ(disconnects, 1);
  EXPECT_EQ(discards, 1);
  EXPECT_EQ(aux.back(), RfGateway::kLoginTimeout);
  EXPECT_EQ(session.size(), 1u);
}

TEST_F(RfGatewayTest, TypedEscapeTextAndNotices) {
  EXPECT_TRUE(gw.TypedToPort("+++MYCALL G4TST\n", "+++"));
  EXPECT_FALSE(gw.TypedToPort("sh/dx\n", "+++"));
  ASSERT_EQ(aux.size(), 1u);
  EXPECT_EQ(aux[0], "MYCALL G4TST");
  gw.OnSessionConnected();
  gw.OnSessionDropped();
  EXPECT_EQ(aux[1], "*** CONNECTED\r\n");
  EXPECT_EQ(aux[2], "*** DISCONNECTED\r\n");
  auxOpen = false;
  gw.OnSessionConnected();
  EXPECT_EQ(aux.size(), 3u);
}

}  // namespace
}  // namespace qn
