#include "session/sender.h"

#include "core/text.h"

namespace qn {

namespace {

// Clears a flag however the scope is left, so a failing hook cannot leave the
// sender locked for the rest of the session.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

Sender::Sender(const std::string& sendTerminator, EventLoop& loop, SessionTransport* transport)
    : sendTerminator_(sendTerminator), loop_(loop), transport_(transport) {}

void Sender::Send(std::string_view text) {
  outgoing_.append(text);
  SendToSession();
}

void Sender::SendToSession() {
  if (sending_) return;
  FlagGuard guard(sending_);
  // Text put here by a nested call during the send goes out after ours.
  while (!outgoing_.empty()) {
    std::string text;
    text.swap(outgoing_);
    Deliver(text);
  }
}

void Sender::Deliver(const std::string& text) {
  if (!transport_ || !transport_->Connected()) return;
  SessionFlags flags = Flags();
  if (transport_->Translates() && (flags.irc || flags.chat)) {
    std::string out = TranslateComplete(text, flags);
    if (!out.empty()) transport_->Deliver(out);
  } else {
    transport_->Deliver(text);
  }
}

std::string Sender::TranslateComplete(std::string_view text, const SessionFlags& flags) {
  std::string all = unfinishedLine_;
  all.append(text);
  unfinishedLine_.clear();
  std::size_t last = all.find_last_of("\r\n");
  if (last == std::string::npos) {
    unfinishedLine_ = std::move(all);
    return {};
  }
  unfinishedLine_ = all.substr(last + 1);
  all.resize(last + 1);
  return TranslateLines(all, flags, checkRobotSpot);
}

void Sender::FlushPending() {
  if (transport_ && transport_->Connected()) transport_->FlushPending();
}

void Sender::RawSend(std::string_view text) {
  if (StartsWith(text, "!!!")) text.remove_prefix(3);
  std::string lineEnd = transport_ ? transport_->RawLineEnd() : std::string();
  if (lineEnd.empty()) lineEnd = sendTerminator_;
  std::string run;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool hasNext = i + 1 < text.size();
    if (c == '^' && hasNext) {
      char x = text[++i];
      if (x == '<') {
        run += '\x1b';
      } else if (x == '^') {
        run += '\0';
      } else {
        unsigned char code = static_cast<unsigned char>(UCase(std::string(1, x))[0]);
        // Below "@" there is no control character to name; nothing is sent.
        if (code >= 64) run += static_cast<char>(code - 64);
      }
    } else if ((c == '/' || c == '\\') && hasNext && (text[i + 1] == '+' || text[i + 1] == '^')) {
      run += text[++i];
    } else if (c == '+') {
      if (!run.empty()) Send(run);
      run.clear();
      FlushPending();
      loop_.WaitUntil(kPauseMs, [] { return false; });
    } else if (c == ',') {
      run += lineEnd;
    } else {
      run += c;
    }
  }
  if (!run.empty()) Send(run);
}

}  // namespace qn
