#include "irc/irc_session.h"

#include <cstdlib>

#include "core/text.h"
#include "session/received_line.h"

namespace qn {

namespace {

// What a relayed message may carry: the server puts the sender's full prefix
// in front before the 512-byte limit applies.
constexpr std::size_t kMessageBytes = 400;
// Senders remembered for the CTCP limit; a crowd of new senders beyond it is
// not answered at all.
constexpr std::size_t kMaxRememberedSenders = 256;

}  // namespace

IrcSession::IrcSession(Clock& clock, IrcSessionHooks hooks) : clock_(clock), hooks_(std::move(hooks)) {}

void IrcSession::StartSession() {
  stripper_.Reset();
  nickSuffix_.clear();
  pingSeen_ = false;
  welcomed_ = false;
  gaveUp_ = false;
  collisions_ = 0;
  lastCtcp_.clear();
  answersInSpan_ = 0;
}

std::string IrcSession::Nickname() const {
  const std::string call = Trim(Get(hooks_.ownCall));
  const bool digitFirst = !call.empty() && call[0] >= '0' && call[0] <= '9';
  return (digitFirst ? "_" : "") + call + nickSuffix_;
}

void IrcSession::RegisterIrc() {
  const std::string call = Trim(Get(hooks_.ownCall));
  std::string host = Get(hooks_.localHost);
  std::string port = Get(hooks_.localPort);
  if (host.empty()) host = call;
  if (port.empty()) port = call;
  Send("NICK " + Nickname());
  Send("USER " + call + nickSuffix_ + " \"" + host + "\" \"" + port + "\" :" + call);
}

void IrcSession::Send(const std::string& line) {
  if (hooks_.sendLine) hooks_.sendLine(line);
}

bool IrcSession::HandlePing(const std::string& body) {
  if (StartsWith(UCase(body), "PING")) {
    pingSeen_ = true;
    std::string answer = body;
    if (answer.size() >= 2 && answer[1] == 'I') answer[1] = 'O';
    if (answer.size() >= 2 && answer[1] == 'i') answer[1] = 'o';
    Send(answer);
    return true;
  }
  // Some servers put their name in front of the request.
  IrcMessage m;
  if (ParseIrcLine(body, m) && UCase(m.command) == "PING") {
    pingSeen_ = true;
    Send("PONG :" + (m.text.empty() ? m.target : m.text));
    return true;
  }
  return false;
}

void IrcSession::HandleCollision(const std::string& body, const IrcLineResult& parsed) {
  if (pingSeen_ || welcomed_ || gaveUp_) return;
  if (UCase(body).find("ALREADY IN USE") == std::string::npos) return;
  // Users' messages quoting the words are no answer of the server.
  const std::string command = UCase(parsed.message.command);
  if (command == "PRIVMSG" || command == "NOTICE") return;
  if (++collisions_ > kMaxCollisions) {
    gaveUp_ = true;
    if (hooks_.show)
      hooks_.show("*** Every nickname from " + Trim(Get(hooks_.ownCall)) +
                  "-0 to -15 is in use: " + "change the nickname with /nick\r\n");
    return;
  }
  nickSuffix_ = "-" + std::to_string((std::abs(ValInt32(nickSuffix_)) + 1) % 16);
  RegisterIrc();
}

bool IrcSession::MayAnswerCtcp(const std::string& nick) {
  const std::int64_t now = clock_.TickMs();
  for (auto it = lastCtcp_.begin(); it != lastCtcp_.end();) {
    if (now - it->second >= kCtcpSenderSpanMs || now < it->second)
      it = lastCtcp_.erase(it);
    else
      ++it;
  }
  const std::string key = UCase(nick);
  if (lastCtcp_.count(key) || lastCtcp_.size() >= kMaxRememberedSenders) return false;
  if (now - spanStart_ >= kCtcpSpanMs || now < spanStart_) {
    spanStart_ = now;
    answersInSpan_ = 0;
  }
  if (answersInSpan_ >= kCtcpAnswersPerSpan) return false;
  ++answersInSpan_;
  lastCtcp_[key] = now;
  return true;
}

void IrcSession::OnLine(ReceivedLine& line) {
  const std::string body(line.Body());
  if (HandlePing(body)) {
    line.done = true;
    return;
  }
  IrcLineContext context{Get(hooks_.ownCall), Get(hooks_.robotNick), hooks_.taprMode && hooks_.taprMode()};
  IrcLineResult r = HandleIrcLine(body, context);
  HandleCollision(body, r);
  const IrcMessage& m = r.message;
  if (m.command == "001" && !welcomed_) {
    // The script's "JOIN " only named the channel: joined once the nickname is ours.
    welcomed_ = true;
    const std::string channel = Trim(Get(hooks_.channel));
    const std::string key = Trim(Get(hooks_.channelKey));
    if (!channel.empty()) Send("JOIN " + channel + (key.empty() ? "" : " " + key));
  }
  if (!r.ctcpAnswer.empty() && MayAnswerCtcp(m.nick)) Send(r.ctcpAnswer);
  if (r.show && hooks_.show) hooks_.show(r.display + "\r\n");

  if (r.privateToMe) {
    privateMessage.Fire(m.nick, m.text);
  } else if (UCase(m.command) == "PRIVMSG" && !m.nick.empty() && !m.target.empty() &&
             (m.target[0] == '#' || m.target[0] == '&')) {
    channelMessage.Fire(m.nick, m.text);
  }
  if (r.show && r.isTraffic) {
    line.text = r.display + "\r\n";
  } else {
    line.done = true;
  }
}

void IrcSession::TncFunctionKey(int n) {
  if (n < 1 || n > 3) return;
  if (hooks_.setIrcMode) hooks_.setIrcMode(n != 2);
  if (n == 1) {
    StartSession();
    RegisterIrc();
  }
}

void IrcSession::SendPrivateMessage(const std::string& nick, const std::string& text) {
  for (std::string whole : SplitLines(text)) {
    // A CR or NUL inside would end the line early and start a command of its own.
    std::erase_if(whole, [](char c) { return c == '\r' || c == '\0'; });
    std::string_view rest = whole;
    while (!rest.empty()) {
      std::string_view piece = rest.substr(0, kMessageBytes);
      rest.remove_prefix(piece.size());
      Send("PRIVMSG " + nick + " :" + std::string(piece));
    }
  }
}

}  // namespace qn
