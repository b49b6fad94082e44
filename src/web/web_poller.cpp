#include "web/web_poller.h"

#include <cmath>

#include "core/text.h"
#include "web/web_submission.h"

namespace qn {

WebPoller::WebPoller(const AppSettings& settings, EventLoop& loop, SocketFactory& sockets, WebScript script,
                     std::function<double()> random)
    : settings_(settings), loop_(loop), script_(std::move(script)), random_(std::move(random)) {
  exchange_ = std::make_unique<WebExchange>(sockets, loop_, script_);
  exchange_->status = [this](const std::string& text) {
    if (hooks_.status) hooks_.status(text);
  };
  timerWeb_ = loop_.CreateTimer(kWebTickMs, false, [this] { WebTimerTick(); });
}

WebPoller::~WebPoller() { exchange_->Abort(); }

int WebPoller::RefreshMinutes() const {
  // 0 (or a file edited to nonsense) would divide by zero: the default then.
  return settings_.webRefreshMinutes >= 1 ? settings_.webRefreshMinutes : 2;
}

bool WebPoller::Configure() {
  servers_ = SplitWebList(settings_.webServerList);
  paths_ = SplitWebList(settings_.webPagePathList);
  failures_.assign(paths_.size(), 0);
  return !servers_.empty() && !paths_.empty();
}

void WebPoller::Start() {
  firstRound_ = settings_.ignoreVeryFirstConnection ? kFirstRound : kNormal;
  ArmWebTimer();
  PollNow();
}

int WebPoller::RandomIntervalMs() {
  double r = random_ ? random_() : 0.0;
  if (!(r >= 0.0 && r < 1.0)) r = 0.0;
  return 30000 + static_cast<int>(std::floor(r * 30001));
}

void WebPoller::ArmWebTimer() {
  timerWeb_->SetEnabled(false);
  timerWeb_->SetInterval(RefreshMinutes() == 1 ? RandomIntervalMs() : kWebTickMs);
  timerWeb_->SetEnabled(true);
  minuteCounter_ = 0;
}

void WebPoller::ArmRetry() {
  timerWeb_->SetEnabled(false);
  timerWeb_->SetInterval(kWebRetryMs);
  timerWeb_->SetEnabled(true);
}

void WebPoller::WebTimerTick() {
  const int period = RefreshMinutes();
  minuteCounter_ = (minuteCounter_ + 1) % period;
  if (period > 1) timerWeb_->SetInterval(minuteCounter_ != period - 1 ? kWebTickMs : RandomIntervalMs());
  if (minuteCounter_ != 0) return;
  if (hooks_.restorePrompt) hooks_.restorePrompt();
  if (Busy() || submissionRunning_ || exchange_->Running()) {
    pending_ |= kPollDue;
    timerWeb_->SetEnabled(false);
    return;
  }
  PollNow();
}

void WebPoller::PollNow() {
  if (pollRunning_) return;
  pollRunning_ = true;
  pending_ &= ~kPollDue;
  // The exchange may take a minute; no tick may start another meanwhile.
  timerWeb_->SetEnabled(false);
  PollNextPage([this] {
    pollRunning_ = false;
    if (queue_.find("\r\n") != std::string::npos) SendQueuedSubmissions([this] { ArmWebTimer(); });
  });
}

void WebPoller::PollNextPage(std::function<void()> done) {
  if (paths_.empty() || servers_.empty()) {
    done();
    return;
  }
  const std::size_t index = static_cast<std::size_t>(pageIndex_) % paths_.size();
  pageIndex_ = static_cast<int>(index);
  const std::string path = paths_[index];
  const std::string server = index < servers_.size() ? servers_[index] : servers_[0];
  if (firstRound_ == kFirstRoundInterrupted) firstRound_ = kFirstRound;
  WebRequest request;
  request.server = server;
  request.path = path;
  request.cluster = static_cast<int>(index) + 1;
  bool started = exchange_->Start(request, [this, index, path, done](const WebResult& result) {
    if (!result.ok) {
      if (firstRound_ == kFirstRound) firstRound_ = kFirstRoundInterrupted;
      ArmWebTimer();
      PageFailed(index);
      done();
      return;
    }
    ArmWebTimer();
    if (hooks_.parsePage) hooks_.parsePage(result.reply, IsJacPath(path));
    failures_[index] = 0;
    ++pageIndex_;
    if (firstRound_ == kFirstRound) {
      if (hooks_.firstRoundPage) hooks_.firstRoundPage();
      if (pageIndex_ == static_cast<int>(paths_.size())) {
        firstRound_ = kNormal;
        if (hooks_.firstRoundDone) hooks_.firstRoundDone();
      }
    }
    done();
  });
  if (!started) {
    pending_ |= kPollDue;
    done();
  }
}

void WebPoller::PageFailed(std::size_t index) {
  if (++failures_[index] >= 2) {
    failures_[index] = 0;
    if (firstRound_ == kFirstRoundInterrupted) firstRound_ = kNormal;
  }
  ++pageIndex_;
}

void WebPoller::RefreshData() {
  if (pollRunning_) return;
  timerWeb_->SetEnabled(false);
  if (Busy() || submissionRunning_ || exchange_->Running()) {
    pending_ |= kPollDue;
    return;
  }
  PollNow();
}

void WebPoller::RunPendingWebWork() {
  const int pending = pending_;
  pending_ = 0;
  if (pending & kPollDue) {
    PollNow();
  } else if (pending & kSubmissionDue) {
    if (!queue_.empty()) SendQueuedSubmissions([this] { ArmWebTimer(); });
  }
}

void WebPoller::QueueText(std::string_view text) {
  // Every line of the queue ends with CR LF, whoever sent it.
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n' && (queue_.empty() || queue_.back() != '\r')) queue_ += '\r';
    queue_ += c;
  }
}

void WebPoller::RequestSubmission() {
  if (Busy()) {
    pending_ |= kSubmissionDue;
    return;
  }
  // A running poll sends the queue when it ends.
  if (!pollRunning_) SendQueuedSubmissions();
}

void WebPoller::SendQueuedSubmissions(std::function<void()> after) {
  if (submissionRunning_) return;
  submissionRunning_ = true;
  timerWeb_->SetEnabled(false);
  NextSubmission(std::move(after));
}

void WebPoller::EndSubmissionRun(const std::function<void()>& after) {
  submissionRunning_ = false;
  if (after) after();
  // A refresh asked for during the run.
  if (pending_ & kPollDue)
    loop_.Post([this] {
      if (!pollRunning_ && !submissionRunning_) RunPendingWebWork();
    });
}

void WebPoller::NextSubmission(std::function<void()> after) {
  std::string taken;
  while (taken.empty()) {
    std::size_t end = queue_.find("\r\n");
    if (end == std::string::npos) {
      queue_.clear();
      ArmRetry();
      EndSubmissionRun(after);
      return;
    }
    // Empty lines carry nothing to submit.
    taken = Trim(queue_.substr(0, end));
    queue_.erase(0, end + 2);
  }
  std::string line = taken;
  std::size_t site = 1;
  if (servers_.size() >= 2 || !script_.sendLine.empty()) {
    if (EndsWith(line, ">1") || EndsWith(line, ">2")) {
      site = line.back() == '2' ? 2 : 1;
      line = Trim(line.substr(0, line.size() - 2));
    }
  }
  WebRequest request;
  request.server = site <= servers_.size() ? servers_[site - 1] : servers_.empty() ? "" : servers_[0];
  request.path = site <= paths_.size() ? paths_[site - 1] : paths_.empty() ? "" : paths_[0];
  request.cluster = static_cast<int>(site);
  request.submission = true;
  request.request = BuildSubmissionRequest(line, IsJacPath(request.path), false);
  auto failed = [this, taken, after] {
    // Back to the front, so the queued lines keep their order.
    queue_.insert(0, taken + "\r\n");
    pending_ |= kSubmissionDue;
    ArmRetry();
    EndSubmissionRun(after);
  };
  bool started = exchange_->Start(request, [this, failed, after](const WebResult& result) {
    if (!result.ok) {
      failed();
      return;
    }
    NextSubmission(after);
  });
  if (!started) failed();
}

}  // namespace qn
