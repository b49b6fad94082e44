#include "session/server_mode.h"

#include "core/text.h"

namespace qn {

ServerMode::ServerMode(TcpListenerFactory& listeners, TcpLink& link, EventLoop& loop)
    : listeners_(listeners), link_(link), loop_(loop) {
  rearm_ = loop_.CreateTimer(kRearmMs, false, [this] {
    rearm_->SetEnabled(false);
    if (!Listening()) return;
    armed_ = true;
    ShowWaiting();
  });
}

ServerMode::~ServerMode() {
  if (listener_) listener_->SetListener(nullptr);
}

bool ServerMode::Start(const std::string& address, int port) {
  Stop();
  std::string where = Trim(address);
  if (where == "*" || where == "0.0.0.0") where.clear();
  listener_ = listeners_.CreateListener();
  listener_->SetListener(this);
  // Port 0 would listen on a port nobody knows to call.
  const bool started = port > 0 && listener_->Listen(where, port);
  // The system answers at once; the wait only keeps a slow one from hanging us.
  if (started) loop_.WaitUntil(kListenWaitMs, [this] { return !listener_ || listener_->IsListening(); });
  if (!started || !Listening()) {
    std::string reason = port <= 0 ? std::string("the site gives no port") : listener_->ErrorText();
    std::string why = "Cannot listen on port " + std::to_string(port) + ": " + reason;
    if (hooks_.status) hooks_.status(why);
    if (hooks_.message) hooks_.message(why);
    Stop();
    return false;
  }
  armed_ = true;
  ShowWaiting();
  return true;
}

void ServerMode::Stop() {
  rearm_->SetEnabled(false);
  armed_ = false;
  if (listener_) {
    listener_->SetListener(nullptr);
    listener_->Close();
    listener_.reset();
  }
}

void ServerMode::ShowWaiting() {
  const std::string port = std::to_string(Port());
  if (hooks_.status) hooks_.status("Waiting for incoming calls (" + port + ")...");
  std::string custom = hooks_.customTitle ? hooks_.customTitle() : std::string();
  if (hooks_.title) hooks_.title("Quillnet [" + (custom.empty() ? "PORT:" + port : custom) + "]");
}

void ServerMode::CallerLeft() {
  armed_ = false;
  if (!Listening()) return;
  rearm_->SetEnabled(false);
  rearm_->SetEnabled(true);
}

void ServerMode::OnIncoming() {
  if (!listener_) return;
  if (hooks_.active && !hooks_.active()) {
    // The user has moved on to another site meanwhile. The listener itself
    // stays until the next start: this runs inside its own event.
    rearm_->SetEnabled(false);
    armed_ = false;
    listener_->Close();
    return;
  }
  while (auto caller = listener_->Accept()) {
    if (armed_ && !link_.IsOpen()) {
      armed_ = false;
      if (hooks_.newConnection) hooks_.newConnection();
      link_.Adopt(std::move(caller));
      if (hooks_.incomingCall) hooks_.incomingCall();
      continue;
    }
    // One caller at a time: the others are told so rather than left hanging.
    ++turnedAway_;
    caller->Send(kBusy);
    caller->Close();
  }
}

void ServerMode::OnCallerLine(const std::string& line) {
  std::string escape = hooks_.escape ? hooks_.escape() : std::string();
  if (!escape.empty() && StartsWith(line, escape)) {
    if (hooks_.toOthers) hooks_.toOthers(line);
  } else if (hooks_.relayCopy && hooks_.relayCopy()) {
    if (hooks_.toOthers) hooks_.toOthers(escape + line);
  }
}

}  // namespace qn
