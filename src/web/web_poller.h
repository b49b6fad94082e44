// The web session: the poll timer Timerweb and its minute counter, the
// rotation over the configured pages, the first round whose alarms are held
// back, and the queue of spots and announcements to submit. Owns the one
// WebExchange, so a poll and a submission never overlap. Talks to the
// windows, the pipeline and the status bar only through its hooks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_settings.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"
#include "web/web_exchange.h"

namespace qn {

inline constexpr int kWebTickMs = 60000;
inline constexpr int kWebRetryMs = 2000;

struct WebPollerHooks {
  // The state text of the status bar.
  std::function<void(const std::string& text)> status;
  // The status prompt back to "F11: manual refresh".
  std::function<void()> restorePrompt;
  // The session cannot start an exchange now (work is then left pending).
  std::function<bool()> sessionBusy;
  // A page that arrived, for ParseWebPage.
  std::function<void(const std::string& reply, bool jac)> parsePage;
  // A page of the first round arrived: nothing it brought may sound an alarm.
  std::function<void()> firstRoundPage;
  // The first round is over: alarms from now on.
  std::function<void()> firstRoundDone;
};

class WebPoller {
 public:
  enum Pending { kPollDue = 1, kSubmissionDue = 2 };
  enum FirstRound { kNormal = 0, kFirstRound = 1, kFirstRoundInterrupted = 2 };

  // random: uniform in [0, 1), for the interval before a poll.
  WebPoller(const AppSettings& settings, EventLoop& loop, SocketFactory& sockets, WebScript script,
            std::function<double()> random);
  ~WebPoller();

  // Splits the server and page lists; false when either has no first entry.
  bool Configure();
  // The first round: the timer armed and the first page fetched at once.
  void Start();

  void WebTimerTick();
  void PollNow();
  // "Refresh Data" (F11).
  void RefreshData();
  // Work left pending while the session was busy.
  void RunPendingWebWork();
  void ArmWebTimer();
  // Timerweb in 2,000 ms (after a refused or failed submission).
  void ArmRetry();

  // The send path's text for the queue (lines end with CR LF in it).
  void QueueText(std::string_view text);
  // After text was queued: sent now, or when the running poll ends.
  void RequestSubmission();
  // after: runs when the run ends (whether it got everything out or not).
  void SendQueuedSubmissions(std::function<void()> after = {});

  bool PollRunning() const { return pollRunning_; }
  bool SubmissionRunning() const { return submissionRunning_; }
  bool IgnoringFirstRetrieval() const { return firstRound_ == kFirstRound; }
  int FirstRoundState() const { return firstRound_; }
  int PendingWork() const { return pending_; }
  int PageIndex() const { return pageIndex_; }
  int MinuteCounter() const { return minuteCounter_; }
  int RefreshMinutes() const;
  const std::string& Queue() const { return queue_; }
  const std::vector<std::string>& Servers() const { return servers_; }
  const std::vector<std::string>& Paths() const { return paths_; }
  const std::vector<int>& FailureCounts() const { return failures_; }
  const WebScript& Script() const { return script_; }
  Timer& WebTimer() { return *timerWeb_; }
  WebExchange& Exchange() { return *exchange_; }
  WebPollerHooks& Hooks() { return hooks_; }

 private:
  void PollNextPage(std::function<void()> done);
  void PageFailed(std::size_t index);
  void NextSubmission(std::function<void()> after);
  void EndSubmissionRun(const std::function<void()>& after);
  int RandomIntervalMs();
  bool Busy() const { return hooks_.sessionBusy && hooks_.sessionBusy(); }

  const AppSettings& settings_;
  EventLoop& loop_;
  WebScript script_;
  std::function<double()> random_;
  std::unique_ptr<WebExchange> exchange_;
  std::unique_ptr<Timer> timerWeb_;
  WebPollerHooks hooks_;
  std::vector<std::string> servers_;
  std::vector<std::string> paths_;
  std::vector<int> failures_;
  std::string queue_;
  int pageIndex_ = 0;
  int minuteCounter_ = 0;
  int firstRound_ = kNormal;
  int pending_ = 0;
  bool pollRunning_ = false;
  bool submissionRunning_ = false;
};

}  // namespace qn
