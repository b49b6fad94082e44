// The poll schedule, page rotation, first round and the submission queue, in
// virtual time over scripted sockets.
#include "web/web_poller.h"

#include <gtest/gtest.h>

#include "fakes/fake_socket.h"
#include "fakes/virtual_time.h"
#include "web/web_submission.h"

namespace qn {
namespace {

struct Poller : ::testing::Test {
  AppSettings settings;
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakeSocketFactory sockets;
  double r = 0.5;
  std::unique_ptr<WebPoller> poller;
  std::vector<std::string> pages;
  int firstRoundPages = 0, firstRoundDone = 0;

  void Make(const std::string& servers, const std::string& paths, int period = 2, WebScript script = {}) {
    settings.webServerList = servers;
    settings.webPagePathList = paths;
    settings.webRefreshMinutes = static_cast<std::int16_t>(period);
    poller = std::make_unique<WebPoller>(settings, loop, sockets, script, [this] { return r; });
    poller->Hooks().parsePage = [this](const std::string& reply, bool) { pages.push_back(reply); };
    poller->Hooks().firstRoundPage = [this] { ++firstRoundPages; };
    poller->Hooks().firstRoundDone = [this] { ++firstRoundDone; };
    ASSERT_TRUE(poller->Configure());
  }
  std::size_t Made() const { return sockets.made.size(); }
  fakes::FakeSocket& Current() { return *sockets.made.back(); }
  // The running exchange gets a page and the server closes.
  void Answer(const std::string& reply = "page\r\n") {
    auto& s = Current();
    s.AcceptConnection();
    s.Arrive(reply);
    s.RemoteClose();
    loop.RunPosted();
  }
  void Refuse() {
    Current().Refuse();
    loop.RunPosted();
  }
};

TEST_F(Poller, OnePeriodMinuteGivesRandomIntervals) {
  Make("a 80", "/p.html", 1);
  r = 0.0;
  poller->ArmWebTimer();
  EXPECT_EQ(poller->WebTimer().Interval(), 30000);
  r = 0.9999999;
  poller->ArmWebTimer();
  EXPECT_EQ(poller->WebTimer().Interval(), 60000);
  r = 7.0;  // a broken source cannot stretch the interval
  poller->ArmWebTimer();
  EXPECT_EQ(poller->WebTimer().Interval(), 30000);
  settings.webRefreshMinutes = 0;  // a file edited by hand: no division by zero
  EXPECT_EQ(poller->RefreshMinutes(), 2);
  poller->WebTimerTick();
}

TEST_F(Poller, ThreeMinutePeriodPollsEveryThirdTick) {
  Make("a 80", "/p.html", 3);
  r = 0.5;
  poller->ArmWebTimer();
  EXPECT_EQ(poller->WebTimer().Interval(), 60000);
  loop.Advance(60000);
  EXPECT_EQ(Made(), 0u);
  EXPECT_EQ(poller->WebTimer().Interval(), 60000);
  loop.Advance(60000);
  EXPECT_EQ(Made(), 0u);
  EXPECT_EQ(poller->WebTimer().Interval(), 45000) << "the tick before the poll comes at random";
  loop.Advance(44999);
  EXPECT_EQ(Made(), 0u);
  loop.Advance(1);
  EXPECT_EQ(Made(), 1u);
  EXPECT_FALSE(poller->WebTimer().Enabled()) << "no tick while the page is read";
  Answer();
  EXPECT_TRUE(poller->WebTimer().Enabled());
  EXPECT_EQ(poller->MinuteCounter(), 0);
}

TEST_F(Poller, TwoPathsOneServerAlternate) {
  Make("one.example 8000", "/a.html, /b.html");
  poller->Start();
  ASSERT_EQ(Made(), 1u);
  EXPECT_EQ(Current().lastHost, "one.example");
  EXPECT_TRUE(Current().writes.empty());
  Current().AcceptConnection();
  EXPECT_EQ(Current().sent.substr(0, 12), "GET /a.html ");
  Current().RemoteClose();
  loop.RunPosted();
  poller->RefreshData();
  Current().AcceptConnection();
  EXPECT_EQ(Current().lastHost, "one.example");
  EXPECT_EQ(Current().sent.substr(0, 12), "GET /b.html ");
  Current().RemoteClose();
  loop.RunPosted();
  poller->RefreshData();
  Current().AcceptConnection();
  EXPECT_EQ(Current().sent.substr(0, 12), "GET /a.html ");
}

TEST_F(Poller, FirstRoundHoldsAlarmsUntilEveryPageCame) {
  settings.ignoreVeryFirstConnection = true;
  Make("a 80", "/a.html, /b.html");
  poller->Start();
  EXPECT_TRUE(poller->IgnoringFirstRetrieval());
  Answer();
  EXPECT_EQ(firstRoundPages, 1);
  EXPECT_TRUE(poller->IgnoringFirstRetrieval());
  poller->RefreshData();
  Refuse();
  EXPECT_EQ(poller->FirstRoundState(), WebPoller::kFirstRoundInterrupted);
  EXPECT_EQ(poller->FailureCounts()[1], 1);
  // The next page (the first again) resumes the round; the failed one is next.
  poller->RefreshData();
  EXPECT_EQ(poller->FirstRoundState(), WebPoller::kFirstRound);
  Answer();
  EXPECT_EQ(poller->PageIndex(), 1);
  poller->RefreshData();
  Answer();
  EXPECT_EQ(poller->FirstRoundState(), WebPoller::kNormal);
  EXPECT_EQ(firstRoundDone, 1);
  EXPECT_EQ(poller->FailureCounts()[1], 0);
}

TEST_F(Poller, TwoFailuresOfAPageAbandonTheFirstRound) {
  settings.ignoreVeryFirstConnection = true;
  Make("a 80", "/only.html");
  poller->Start();
  Refuse();
  EXPECT_EQ(poller->FirstRoundState(), WebPoller::kFirstRoundInterrupted);
  poller->RefreshData();
  Refuse();
  EXPECT_EQ(poller->FirstRoundState(), WebPoller::kNormal);
  EXPECT_EQ(poller->FailureCounts()[0], 0);
  EXPECT_TRUE(pages.empty());
}

TEST_F(Poller, RefreshIsIgnoredWhileAPollRuns) {
  Make("a 80", "/a.html");
  poller->PollNow();
  poller->RefreshData();
  poller->PollNow();
  EXPECT_EQ(Made(), 1u);
  Answer("x\r\n");
  EXPECT_EQ(pages, (std::vector<std::string>{"x\r\n"}));
}

TEST_F(Poller, SubmissionTypedDuringAPollGoesAfterIt) {
  Make("a 80", "/a.html");
  poller->PollNow();
  poller->QueueText("G4TST 14025.5 K1ABC up 2\r\n");
  poller->RequestSubmission();
  EXPECT_EQ(Made(), 1u);
  EXPECT_FALSE(poller->SubmissionRunning());
  Answer();
  ASSERT_EQ(Made(), 2u);
  EXPECT_TRUE(poller->SubmissionRunning());
  Current().AcceptConnection();
  EXPECT_EQ(Current().sent, BuildSubmissionRequest("G4TST 14025.5 K1ABC up 2", false, false));
  Current().RemoteClose();
  loop.RunPosted();
  EXPECT_FALSE(poller->SubmissionRunning());
  EXPECT_EQ(poller->Queue(), "");
  EXPECT_EQ(poller->WebTimer().Interval(), 60000) << "after a poll the timer runs as usual";
}

TEST_F(Poller, FailedSubmissionStaysAtTheFrontAndComesBackInTwoSeconds) {
  Make("a 80", "/a.html", 1);
  poller->QueueText("G4TST 14025 K1ABC one\nG4TST 14025 K1ABC two\r\n");
  poller->RequestSubmission();
  EXPECT_TRUE(poller->SubmissionRunning());
  Refuse();
  EXPECT_FALSE(poller->SubmissionRunning());
  EXPECT_EQ(poller->Queue(), "G4TST 14025 K1ABC one\r\nG4TST 14025 K1ABC two\r\n");
  EXPECT_EQ(poller->PendingWork() & WebPoller::kSubmissionDue, WebPoller::kSubmissionDue);
  EXPECT_EQ(poller->WebTimer().Interval(), kWebRetryMs);
  loop.Advance(kWebRetryMs - 1);
  EXPECT_EQ(Made(), 1u);
  loop.Advance(1);
  // The tick polls; the poll sends the queue when it ends.
  ASSERT_EQ(Made(), 2u);
  Answer();
  ASSERT_EQ(Made(), 3u);
  Current().AcceptConnection();
  EXPECT_NE(Current().sent.find("info=one"), std::string::npos);
  Current().RemoteClose();
  loop.RunPosted();
  ASSERT_EQ(Made(), 4u);
  Current().AcceptConnection();
  EXPECT_NE(Current().sent.find("info=two"), std::string::npos);
  Current().RemoteClose();
  loop.RunPosted();
  EXPECT_EQ(poller->Queue(), "");
}

TEST_F(Poller, SiteSuffix) {
  Make("one 80", "/a.html");
  poller->QueueText("G4TST 14025 K1ABC hi >2\r\n");
  poller->RequestSubmission();
  EXPECT_EQ(Current().lastHost, "one");
  Current().AcceptConnection();
  EXPECT_NE(Current().sent.find("info=hi%20%3E2 "), std::string::npos) << "one site: the suffix stays";
  Current().RemoteClose();
  loop.RunPosted();

  Make("one 80, two 81", "/a.html, /JAC/allbands.html");
  poller->QueueText("G4TST 14025.5 K1ABC hi >2\r\n");
  poller->RequestSubmission();
  EXPECT_EQ(Current().lastHost, "two");
  Current().AcceptConnection();
  EXPECT_EQ(Current().sent, BuildSubmissionRequest("G4TST 14025.5 K1ABC hi", true, false));
}

TEST_F(Poller, EmptyLinesAreNotSubmitted) {
  Make("one 80", "/a.html");
  std::string blanks;
  for (int i = 0; i < 100000; ++i) blanks += " \r\n";
  poller->QueueText(blanks);
  poller->RequestSubmission();
  EXPECT_EQ(Made(), 0u);
  EXPECT_FALSE(poller->SubmissionRunning());
  EXPECT_EQ(poller->Queue(), "");
}

TEST_F(Poller, RefreshDuringASubmissionPollsAfterIt) {
  Make("one 80", "/a.html");
  poller->QueueText("G4TST 14025 K1ABC x\r\n");
  poller->RequestSubmission();
  poller->RefreshData();
  EXPECT_EQ(Made(), 1u);
  Answer("ok");
  loop.RunPosted();
  EXPECT_EQ(Made(), 2u);
  EXPECT_TRUE(poller->PollRunning());
}

}  // namespace
}  // namespace qn
