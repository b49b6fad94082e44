#include "session/sender.h"

#include "core/app.h"
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

std::string WithoutLineEnd(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
  return std::string(text.substr(0, n));
}

}  // namespace

Sender::Sender(App& app, SessionTransport* transport) : app_(app), transport_(transport) {}

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
  AppState& state = app_.State();
  switch (state.sessionKind) {
    case SessionKind::Web:
      if (sendToWeb) sendToWeb(text);
      return;
    case SessionKind::Tnc: {
      SessionFlags flags = Flags();
      std::string out = (flags.irc || flags.chat) ? TranslateComplete(text, flags) : text;
      if (writeAuxPort && !out.empty()) writeAuxPort(out);
      return;
    }
    case SessionKind::Telnet:
      break;
  }
  if (state.replayMode) {
    app_.Folder().Append(kReplayFile, WithoutLineEnd(text) + "\r\n");
    return;
  }
  if (!transport_ || !transport_->Connected()) return;
  SessionFlags flags = Flags();
  if (flags.irc || flags.chat) {
    SendToSocket(TranslateComplete(text, flags));
  } else {
    SendToSocket(text);
  }
}

void Sender::SendToSocket(std::string_view text) {
  bool resetKeepAlive = DefinedKeepAliveLines() <= 1;
  for (std::size_t pos = 0; pos < text.size(); pos += kPieceSize) {
    std::string_view piece = text.substr(pos, kPieceSize);
    if (cryptText) {
      transport_->SendRaw(cryptText(piece));
    } else {
      transport_->SendRaw(piece);
    }
    if (resetKeepAlive && resetKeepAliveMinutes) resetKeepAliveMinutes();
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

int Sender::DefinedKeepAliveLines() const {
  // Counted as the keep-alive tick reads the list: up to the first empty entry,
  // "NONE" entries being placeholders that send nothing.
  int count = 0;
  for (const std::string& line : app_.State().keepAliveLines) {
    if (line.empty() || line == std::string(1, '\0')) break;
    if (UCase(Trim(line)) != "NONE") ++count;
  }
  return count;
}

void Sender::FlushPending() {
  if (transport_ && transport_->Connected() && transport_->HasPendingOutput()) transport_->FlushPending();
}

void Sender::RawSend(std::string_view text) {
  if (StartsWith(text, "!!!")) text.remove_prefix(3);
  const std::string lineEnd =
      app_.State().sessionKind == SessionKind::Tnc ? "\r" : app_.State().sendTerminator;
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
      app_.Loop().WaitUntil(kPauseMs, [] { return false; });
    } else if (c == ',') {
      run += lineEnd;
    } else {
      run += c;
    }
  }
  if (!run.empty()) Send(run);
}

}  // namespace qn
