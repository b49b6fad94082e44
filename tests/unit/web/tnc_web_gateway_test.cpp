// The web gateway of a TNC session in virtual time: the script lines, both
// dialogues over a stand-in for the aux port, the stop character past the
// size limit, the time-out and the busy refusal.
#include "web/tnc_web_gateway.h"

#include <gtest/gtest.h>

#include "fakes/virtual_time.h"
#include "web/web_submission.h"

namespace qn {
namespace {

const std::vector<std::string> kScript = {"/S C GW7WEB", "/W CONNECTED", "\\s GET /JAC/allbands.html",
                                          "/W *** END",  "/T 3",         "/L 100",
                                          "/K 3",        "' a comment"};

TEST(TncGatewayLines, ReadInOrder) {
  TncGatewayConfig c = ParseTncGatewayLines(kScript);
  EXPECT_TRUE(c.On());
  EXPECT_EQ(c.connectCommand, "C GW7WEB");
  EXPECT_EQ(c.pageCommand, "GET /JAC/allbands.html");
  EXPECT_EQ(c.awaitConnect, "CONNECTED");
  EXPECT_EQ(c.awaitPage, "*** END");
  EXPECT_EQ(c.timeoutSeconds, 180);
  EXPECT_EQ(c.sizeLimit, 100u);
  EXPECT_EQ(c.stopCode, 3);
  EXPECT_TRUE(c.jac);
  TncGatewayConfig partial = ParseTncGatewayLines({"/S C GW7WEB", "/W CONNECTED", "/S GET X"});
  EXPECT_FALSE(partial.On());
  EXPECT_TRUE(partial.pageCommand.empty());
  EXPECT_EQ(ParseTncGatewayLines({"/S a", "/W b", "/S c", "/W d", "/T x", "/K 300"}).timeoutSeconds,
            kGatewayDefaultTimeoutSeconds);
}

struct Gateway : ::testing::Test {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  std::string sent;
  std::vector<std::string> status;
  std::vector<std::string> boxes;
  std::unique_ptr<TncWebGateway> gw;
  Gateway() {
    gw = std::make_unique<TncWebGateway>(
        loop, ParseTncGatewayLines(kScript), [this](const std::string& t) { sent += t; },
        [this](const std::string& t) { status.push_back(t); });
    gw->messageBox = [this](const std::string& t) { boxes.push_back(t); };
  }
};

TEST_F(Gateway, RetrievesAPageAndStopsAnOverlongOne) {
  std::string page;
  bool timedOut = true;
  ASSERT_TRUE(gw->Retrieve([&](const std::string& p, bool t) {
    page = p;
    timedOut = t;
  }));
  EXPECT_EQ(sent, "C GW7WEB\r");
  EXPECT_EQ(status.back(), "W:CONNECTED...");
  gw->OnReceived("*** CONNEC");
  gw->OnReceived("TED to GW7WEB\r");
  EXPECT_EQ(sent, "C GW7WEB\rGET /JAC/allbands.html\r\r");
  gw->OnReceived(std::string(90, 'x'));
  gw->OnReceived(std::string(20, 'y'));
  EXPECT_EQ(sent.substr(sent.size() - 2), "\x03\r");
  gw->OnReceived(std::string(20, 'z'));
  EXPECT_EQ(std::count(sent.begin(), sent.end(), '\x03'), 1) << "the stop goes once";
  // What follows the awaited text is the session's again.
  const std::string tail = "\r*** END\r*** DISCONNECTED\rcmd:";
  EXPECT_EQ(gw->OnReceived(tail), std::string("\r*** END").size());
  EXPECT_EQ(page.substr(page.size() - 8), "\r*** END");
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(page.substr(0, 90), std::string(90, 'x'));
  EXPECT_FALSE(gw->Running());
}

TEST_F(Gateway, SubmitsWithCrLineEndsAndTimesOut) {
  bool timedOut = false;
  ASSERT_TRUE(gw->Submit("G4TST 14025.5 K1ABC up 2", [&](bool t) { timedOut = t; }));
  // Before the request nothing is the gateway's: the TNC's notices are shown.
  EXPECT_EQ(gw->OnReceived("*** CONNECTED to GW7WEB\r"), 0u);
  EXPECT_EQ(sent, "C GW7WEB\r" + BuildSubmissionRequest("G4TST 14025.5 K1ABC up 2", true, true));
  EXPECT_EQ(gw->OnReceived("still here"), 10u);
  EXPECT_EQ(sent.find('\n'), std::string::npos);
  // A busy gateway refuses another go.
  EXPECT_FALSE(gw->Retrieve(nullptr));
  EXPECT_EQ(boxes, (std::vector<std::string>{kGatewayBusy}));
  loop.Advance(179000);
  gw->OnReceived("and here");
  loop.Advance(179000);
  EXPECT_TRUE(gw->Running());
  loop.Advance(2000);
  EXPECT_FALSE(gw->Running());
  EXPECT_TRUE(timedOut);
  EXPECT_EQ(status.back(), "Timeout");
}

TEST_F(Gateway, WaitsForTheSpeechToEnd) {
  bool speaking = true;
  gw->speechQueued = [&] { return speaking; };
  EXPECT_FALSE(gw->Retrieve(nullptr));
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(sent, "");
  speaking = false;
  EXPECT_TRUE(gw->Retrieve(nullptr));
}

TEST(TncGatewayLines, TypedSpotsAndAnnouncementsAreTheGatewaysTncCommandsAreNot) {
  EXPECT_TRUE(IsGatewaySubmission("G4TST 14025.5 K1ABC up 2"));
  EXPECT_TRUE(IsGatewaySubmission("G4TST  7012 JA1ZZZ"));
  EXPECT_TRUE(IsGatewaySubmission("G4TST >QRV 6m tonight>2"));
  EXPECT_FALSE(IsGatewaySubmission("C GB7XX"));
  EXPECT_FALSE(IsGatewaySubmission("TXDELAY 30"));
  EXPECT_FALSE(IsGatewaySubmission("G4TST >"));
  EXPECT_FALSE(IsGatewaySubmission("UNPROTO CQ VIA RELAY"));
  EXPECT_FALSE(IsGatewaySubmission(""));
}

}  // namespace
}  // namespace qn
