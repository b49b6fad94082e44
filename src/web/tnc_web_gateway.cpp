#include "web/tnc_web_gateway.h"

#include <cctype>

#include "core/text.h"
#include "web/web_submission.h"

namespace qn {

namespace {

// The status bar shows this much of a command or an awaited text.
constexpr std::size_t kShownLength = 20;
// A page is kept to this however the limit is set: the parser reads no more.
constexpr std::size_t kPageKeep = kPageReplyLimit;

}  // namespace

TncGatewayConfig ParseTncGatewayLines(const std::vector<std::string>& scriptLines) {
  TncGatewayConfig c;
  int commands = 0, awaited = 0;
  for (const std::string& raw : scriptLines) {
    std::string line = Trim(raw);
    if (line.size() < 2 || (line[0] != '/' && line[0] != '\\')) continue;
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(line[1])));
    std::string value = Trim(line.substr(2));
    switch (key) {
      case 'S':
        if (commands == 0) c.connectCommand = value;
        if (commands == 1) c.pageCommand = value;
        ++commands;
        break;
      case 'W':
        if (awaited == 0) c.awaitConnect = value;
        if (awaited == 1) c.awaitPage = value;
        ++awaited;
        break;
      case 'T': {
        std::int64_t minutes = ValInt(value);
        if (minutes > 0 && minutes <= 24 * 60) c.timeoutSeconds = static_cast<int>(minutes * 60);
        break;
      }
      case 'L': {
        std::int64_t limit = ValInt(value);
        c.sizeLimit = limit > 0 ? static_cast<std::size_t>(limit) : 0;
        break;
      }
      case 'K': {
        std::int64_t code = ValInt(value);
        c.stopCode = code >= 0 && code <= 255 ? static_cast<int>(code) : -1;
        break;
      }
      default:
        break;
    }
  }
  c.jac = IsJacPath(c.pageCommand);
  if (c.connectCommand.empty() || c.pageCommand.empty() || c.awaitConnect.empty() || c.awaitPage.empty())
    return TncGatewayConfig{};
  return c;
}

bool IsGatewaySubmission(std::string_view line) {
  // A submission with a DX callsign after its frequency, or an announcement:
  // two words with a number second ("TXDELAY 30") are the TNC's.
  if (!CheckSubmissionLine(std::string(line) + "\r\n", SubmitVariant::Web).Accepted()) return false;
  SubmissionFields fields = ParseSubmission(line, false);
  return fields.announcement || !fields.dxCallsign.empty();
}

TncWebGateway::TncWebGateway(EventLoop& loop, TncGatewayConfig config,
                             std::function<void(const std::string&)> send,
                             std::function<void(const std::string&)> status)
    : loop_(loop), config_(std::move(config)), send_(std::move(send)), status_(std::move(status)) {
  timer_ = loop_.CreateTimer(config_.timeoutSeconds * 1000, false, [this] { Timeout(); });
}

TncWebGateway::~TncWebGateway() = default;

std::string TncWebGateway::Start(const std::string& text) { return text.substr(0, kShownLength); }

bool TncWebGateway::CanStart() {
  if (!config_.On()) return false;
  if (step_ != Step::Idle || (speechQueued && speechQueued())) {
    if (messageBox) messageBox(kGatewayBusy);
    return false;
  }
  return true;
}

void TncWebGateway::Begin() {
  page_.clear();
  stopSent_ = false;
  if (status_) status_("S:" + Start(config_.connectCommand) + "...");
  send_(config_.connectCommand + "\r");
  Await(config_.awaitConnect, Step::WaitConnect);
}

bool TncWebGateway::Retrieve(std::function<void(const std::string& page, bool timedOut)> done) {
  if (!CanStart()) return false;
  retrieval_ = true;
  done_ = std::move(done);
  Begin();
  return true;
}

bool TncWebGateway::Submit(const std::string& line, std::function<void(bool timedOut)> done) {
  if (!CanStart()) return false;
  retrieval_ = false;
  submission_ = line;
  done_ = [done = std::move(done)](const std::string&, bool timedOut) {
    if (done) done(timedOut);
  };
  Begin();
  return true;
}

void TncWebGateway::Await(const std::string& text, Step step) {
  step_ = step;
  waiter_ = std::make_unique<ScriptWaiter>(text);
  if (status_) status_("W:" + Start(text) + "...");
  timer_->SetEnabled(false);
  timer_->SetEnabled(true);
}

std::size_t TncWebGateway::OnReceived(std::string_view text) {
  if (step_ == Step::Idle || text.empty()) return 0;
  // Any data keeps the wait alive.
  timer_->SetEnabled(false);
  timer_->SetEnabled(true);
  const bool matched = waiter_->Feed(text);
  if (step_ == Step::WaitConnect) {
    if (!matched) return 0;
    page_.clear();
    send_(retrieval_ ? config_.pageCommand + "\r\r" : BuildSubmissionRequest(submission_, config_.jac, true));
    Await(config_.awaitPage, Step::WaitPage);
    return 0;
  }
  const std::string_view page = matched ? text.substr(0, waiter_->MatchEnd()) : text;
  page_.append(page.substr(0, kPageKeep - std::min(page_.size(), kPageKeep)));
  if (config_.sizeLimit > 0 && config_.stopCode >= 0 && !stopSent_ && page_.size() > config_.sizeLimit) {
    stopSent_ = true;
    send_(std::string(1, static_cast<char>(config_.stopCode)) + "\r");
  }
  if (matched) End(false);
  return page.size();
}

void TncWebGateway::Timeout() {
  if (status_) status_("Timeout");
  End(true);
}

void TncWebGateway::Stop() {
  if (step_ != Step::Idle) End(true);
}

void TncWebGateway::End(bool timedOut) {
  timer_->SetEnabled(false);
  step_ = Step::Idle;
  waiter_.reset();
  auto done = std::move(done_);
  done_ = nullptr;
  std::string page = std::move(page_);
  page_.clear();
  if (done) done(page, timedOut);
}

}  // namespace qn
