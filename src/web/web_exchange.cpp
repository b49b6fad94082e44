#include "web/web_exchange.h"

#include "core/text.h"

namespace qn {

namespace {

// A reply that trickles in keeps the stall watchdog quiet for ever; the
// whole reply gets this long before what has come is taken as it is.
constexpr int kReplyDeadlineMs = 2 * kWebStallMs;

std::size_t LimitOf(ReplyKind kind) {
  switch (kind) {
    case ReplyKind::JacPage:
      return kJacReplyLimit;
    case ReplyKind::Submission:
      return kSubmissionReplyLimit;
    default:
      return kPageReplyLimit;
  }
}

}  // namespace

WebServerEntry ParseWebServerEntry(std::string_view entry) {
  WebServerEntry e;
  std::size_t blank = entry.find(' ');
  if (blank == std::string_view::npos) {
    e.host = Trim(entry);
    return e;
  }
  e.host = Trim(entry.substr(0, blank));
  std::int64_t port = ValInt(Trim(entry.substr(blank + 1)));
  e.port = port > 0 && port <= 65535 ? static_cast<int>(port) : 80;
  return e;
}

bool IsJacPath(std::string_view path) { return UCase(path).find("JAC") != std::string::npos; }

std::vector<std::string> SplitWebList(std::string_view list) {
  std::vector<std::string> items;
  std::string rest = std::string(list) + ",";
  while (!rest.empty()) {
    std::size_t comma = rest.find(',');
    std::string item = Trim(rest.substr(0, comma));
    if (item.empty()) break;
    items.push_back(item);
    rest = Trim(rest.substr(comma + 1));
  }
  return items;
}

std::string WebScript::SendLineFor(int cluster) const {
  std::size_t comma = sendLine.find(',');
  if (comma == std::string::npos) return sendLine;
  return Trim(cluster == 2 ? sendLine.substr(comma + 1) : sendLine.substr(0, comma));
}

WebScript ParseWebScript(std::string_view text) {
  WebScript script;
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.size() < 2 || line[0] == '\'') continue;
    std::string key = UCase(line.substr(0, 2));
    std::string value = Trim(line.substr(2));
    if (key == "/I" || key == "\\I")
      script.expectBefore = value;
    else if (key == "/O" || key == "\\O")
      script.sendLine = value;
    else if (key == "/W" || key == "\\W")
      script.expectAfter = value;
  }
  return script;
}

WebScript LoadWebScript(const DataFolder& folder) {
  auto text = folder.Read("SCRIPT\\WEB.SCR");
  return text ? ParseWebScript(*text) : WebScript{};
}

std::string StripTelnetNulls(std::string_view chunk) {
  if (!chunk.empty() && chunk.front() == '\0') chunk.remove_prefix(1);
  std::string out;
  out.reserve(chunk.size());
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    if (chunk[i] == '\r' && i + 1 < chunk.size() && chunk[i + 1] == '\0') {
      ++i;
      continue;
    }
    out += chunk[i];
  }
  return out;
}

std::string BuildPageRequest(std::string_view path) {
  std::string r = "GET " + std::string(path) + " HTTP/1.0\r\n";
  r += "User-Agent: Quillweb/5.5\r\n";
  r += std::string("Host: ") + (IsJacPath(path) ? kWebJacHost : kWebPageHost) + "\r\n";
  r += "Pragma: no-cache\r\n";
  r += "\r\n\r\n\r\n";
  return r;
}

bool ReplyReader::Feed(std::string_view chunk) {
  if (full_) return true;
  // Only what is kept is appended, so a flood costs no more than the limit.
  const std::size_t limit = LimitOf(kind_);
  const std::size_t room = limit + 1 - std::min(reply_.size(), limit + 1);
  reply_.append(chunk.substr(0, std::min(chunk.size(), room)));
  if (reply_.size() > limit) {
    full_ = true;
    // A submission's reply is not read, only bounded.
    if (kind_ != ReplyKind::Submission) reply_.resize(limit);
  }
  return full_;
}

ScriptWaiter::ScriptWaiter(std::string expected) : expected_(LCase(expected)) {}

bool ScriptWaiter::Feed(std::string_view chunk) {
  window_ += LCase(chunk);
  if (std::size_t at = window_.find(expected_); at != std::string::npos) {
    matchEnd_ = at + expected_.size() - (window_.size() - chunk.size());
    return true;
  }
  const std::size_t keep = expected_.empty() ? 0 : expected_.size() - 1;
  if (window_.size() > keep) window_.erase(0, window_.size() - keep);
  return false;
}

WebExchange::WebExchange(SocketFactory& sockets, EventLoop& loop, const WebScript& script)
    : sockets_(sockets), loop_(loop), script_(script) {
  watchdog_ = loop_.CreateTimer(kWebStallMs, false, [this] { Watchdog(); });
  deadline_ = loop_.CreateTimer(kReplyDeadlineMs, false, [this] {
    deadline_->SetEnabled(false);
    if (step_ == Step::Reading) {
      Show(kConnectionTimeOut);
      Succeed();
    }
  });
}

WebExchange::~WebExchange() { Abort(); }

bool WebExchange::Start(const WebRequest& request, std::function<void(const WebResult&)> done) {
  if (running_) return false;
  running_ = true;
  done_ = std::move(done);
  request_ = request;
  peerClosed_ = false;
  unsent_.clear();
  waiter_.reset();
  reader_.reset();
  WebServerEntry entry = ParseWebServerEntry(request.server);
  host_ = entry.host;
  socket_ = sockets_.CreateSocket();
  socket_->SetListener(this);
  Show("Trying: " + host_);
  step_ = Step::Connecting;
  RestartWatchdog();
  if (host_.empty()) {
    Fail(kUnableToConnect);
    return true;
  }
  socket_->Connect(host_, std::to_string(entry.port));
  return true;
}

void WebExchange::Abort() {
  ++*generation_;
  if (socket_) {
    socket_->SetListener(nullptr);
    socket_->Close();
  }
  watchdog_->SetEnabled(false);
  deadline_->SetEnabled(false);
  step_ = Step::Idle;
  running_ = false;
  done_ = nullptr;
}

void WebExchange::Show(const std::string& text) {
  if (status) status(text);
}

void WebExchange::RestartWatchdog() {
  watchdog_->SetEnabled(false);
  watchdog_->SetEnabled(true);
}

void WebExchange::Watchdog() {
  switch (step_) {
    case Step::Connecting:
      Fail(kUnableToConnect);
      break;
    case Step::WaitBefore:
    case Step::WaitAfter:
      Fail(kTimeoutOn + awaited_);
      break;
    case Step::Sending:
      Fail(kUnableToSend);
      break;
    case Step::Reading:
      // What came so far is the reply.
      Show(kConnectionTimeOut);
      Succeed();
      break;
    case Step::Idle:
      watchdog_->SetEnabled(false);
      break;
  }
}

void WebExchange::OnConnected() {
  if (step_ != Step::Connecting) return;
  Show("Connected: " + host_);
  AfterConnect();
}

void WebExchange::AfterConnect() {
  const std::string& before = script_.expectBefore;
  if (before.empty()) {
    AfterFirstWait(false);
    return;
  }
  if (before == "!") {
    // Go on at once; whatever has come already is the banner.
    socket_->ReadAvailable();
    AfterFirstWait(false);
    return;
  }
  step_ = Step::WaitBefore;
  awaited_ = before;
  waiter_ = std::make_unique<ScriptWaiter>(before);
  RestartWatchdog();
  TakeArrivals();
}

void WebExchange::AfterFirstWait(bool peerClosed) {
  std::string line = script_.SendLineFor(request_.cluster);
  if (!peerClosed && !line.empty()) {
    unsent_ += line + "\r\n";
    PushOut();
    if (step_ == Step::Idle) return;
  }
  const std::string& after = script_.expectAfter;
  if (after.empty() || peerClosed_) {
    AfterSecondWait();
    return;
  }
  step_ = Step::WaitAfter;
  awaited_ = after;
  waiter_ = std::make_unique<ScriptWaiter>(after);
  RestartWatchdog();
  TakeArrivals();
}

void WebExchange::AfterSecondWait() { SendRequest(); }

void WebExchange::SendRequest() {
  if (peerClosed_ || !socket_->IsConnected()) {
    // The request never left: the caller must not take this for an answer.
    Fail(kUnableToSend);
    return;
  }
  ReplyKind kind = request_.submission        ? ReplyKind::Submission
                   : IsJacPath(request_.path) ? ReplyKind::JacPage
                                              : ReplyKind::Page;
  reader_ = std::make_unique<ReplyReader>(kind);
  waiter_.reset();
  unsent_ += request_.request.empty() ? BuildPageRequest(request_.path) : request_.request;
  step_ = Step::Sending;
  RestartWatchdog();
  PushOut();
}

void WebExchange::PushOut() {
  if (unsent_.empty() || step_ == Step::Idle) return;
  std::size_t n = socket_->Send(unsent_);
  if (n == 0 && !socket_->IsConnected()) {
    Fail(kUnableToSend);
    return;
  }
  unsent_.erase(0, n);
  if (n > 0) RestartWatchdog();
  if (unsent_.empty() && step_ == Step::Sending) {
    step_ = Step::Reading;
    deadline_->SetEnabled(true);
    RestartWatchdog();
    TakeArrivals();
  }
}

void WebExchange::OnReadyToSend() { PushOut(); }

void WebExchange::OnDataArrived(std::size_t) { TakeArrivals(); }

void WebExchange::TakeArrivals() {
  if (step_ == Step::Idle || step_ == Step::Connecting) return;
  std::string chunk = StripTelnetNulls(socket_->ReadAvailable());
  if (chunk.empty()) return;
  switch (step_) {
    case Step::WaitBefore:
      RestartWatchdog();
      if (waiter_->Feed(chunk)) AfterFirstWait(false);
      break;
    case Step::WaitAfter:
      RestartWatchdog();
      if (waiter_->Feed(chunk)) AfterSecondWait();
      break;
    case Step::Sending:
    case Step::Reading:
      RestartWatchdog();
      if (reader_->Feed(chunk)) Succeed();
      break;
    default:
      break;
  }
}

void WebExchange::OnClosed() {
  if (step_ == Step::Idle) return;
  // What the peer sent before closing is still to be read.
  TakeArrivals();
  peerClosed_ = true;
  switch (step_) {
    case Step::Connecting:
      Fail(kUnableToConnect);
      break;
    case Step::WaitBefore:
      AfterFirstWait(true);
      break;
    case Step::WaitAfter:
      AfterSecondWait();
      break;
    case Step::Sending:
      Fail(kUnableToSend);
      break;
    case Step::Reading:
      Succeed();
      break;
    case Step::Idle:
      break;
  }
}

void WebExchange::OnError(int, const std::string&) {
  switch (step_) {
    case Step::Connecting:
      Fail(kUnableToConnect);
      break;
    case Step::Reading:
      // A reset after the request: what came is the reply.
      Succeed();
      break;
    case Step::Idle:
      break;
    default:
      Fail(kUnableToSend);
      break;
  }
}

void WebExchange::Fail(const std::string& text) {
  Show(text);
  WebResult r;
  r.failure = text;
  Finish(std::move(r));
}

void WebExchange::Succeed() {
  WebResult r;
  r.ok = true;
  if (reader_) r.reply = reader_->Reply();
  Finish(std::move(r));
}

void WebExchange::Finish(WebResult result) {
  step_ = Step::Idle;
  watchdog_->SetEnabled(false);
  deadline_->SetEnabled(false);
  socket_->SetListener(nullptr);
  socket_->Close();
  waiter_.reset();
  reader_.reset();
  unsent_.clear();
  // Called from a socket event: the caller may start the next exchange,
  // which replaces the socket, so that waits until the event is over.
  std::weak_ptr<int> alive = generation_;
  int generation = *generation_;
  loop_.Post([this, alive, generation, result = std::move(result)] {
    auto g = alive.lock();
    if (!g || *g != generation) return;
    running_ = false;
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(result);
  });
}

}  // namespace qn
