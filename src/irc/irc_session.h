// The IRC side of a session (telnet site or TNC aux port): owns the nickname
// suffix, the first-PING and welcome flags, the colour stripper and the CTCP
// answer limits. Takes each complete received line from the receive path and
// gives back display text and cluster lines; sends its own IRC lines through
// the hook the session gives it (the send path, or the aux port).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/event_list.h"
#include "irc/irc_colours.h"
#include "irc/irc_line.h"
#include "platform/clock.h"

namespace qn {

struct ReceivedLine;

struct IrcSessionHooks {
  // One IRC line, without its line end, to the server.
  std::function<void(const std::string& line)> sendLine;
  // Display text with its line end, for the terminal (and capture).
  std::function<void(const std::string& text)> show;
  std::function<std::string()> ownCall;
  std::function<std::string()> robotNick;
  // The channel to join once the server has welcomed us, and its key.
  std::function<std::string()> channel;
  std::function<std::string()> channelKey;
  // The socket's local host and port; empty in a TNC session.
  std::function<std::string()> localHost;
  std::function<std::string()> localPort;
  // A TNC in TAPR mode.
  std::function<bool()> taprMode;
  // Switches the session's IRC handling (a TNC session's function keys).
  std::function<void(bool on)> setIrcMode;
};

class IrcSession {
 public:
  // One answer per sender in this span; more requests are dropped quietly.
  static constexpr std::int64_t kCtcpSenderSpanMs = 5000;
  // Whatever the senders, no more answers than this per span: a server
  // disconnects a client that floods it.
  static constexpr int kCtcpAnswersPerSpan = 4;
  static constexpr std::int64_t kCtcpSpanMs = 10000;
  // Collisions answered with a new suffix: each of the sixteen once.
  static constexpr int kMaxCollisions = 16;

  IrcSession(Clock& clock, IrcSessionHooks hooks);

  // A new connection: empty suffix, no PING seen, nothing answered yet.
  void StartSession();
  // Sends the NICK and USER lines.
  void RegisterIrc();
  // Received bytes, before line assembly.
  void StripColours(std::string& chunk) { stripper_.Strip(chunk); }
  // One complete line of the receive path in IRC mode. A line that is only
  // shown (or not even that) is done; cluster traffic is rewritten in place
  // and goes on to the classifier.
  void OnLine(ReceivedLine& line);
  // A TNC session's Ctrl+Shift+F1 (on, and register), F2 (off), F3 (on only).
  void TncFunctionKey(int n);
  // A private message to a user (the robot's answers), one IRC line per line of text.
  void SendPrivateMessage(const std::string& nick, const std::string& text);

  std::string Nickname() const;
  const std::string& NickSuffix() const { return nickSuffix_; }
  bool PingSeen() const { return pingSeen_; }
  bool Welcomed() const { return welcomed_; }

  // "PRIVMSG"s addressed to us: (sender's nick, text). The robot answers them.
  EventList<const std::string&, const std::string&> privateMessage;
  // Channel messages: (sender's nick, text).
  EventList<const std::string&, const std::string&> channelMessage;

 private:
  bool HandlePing(const std::string& body);
  void HandleCollision(const std::string& body, const IrcLineResult& parsed);
  bool MayAnswerCtcp(const std::string& nick);
  void Send(const std::string& line);
  std::string Get(const std::function<std::string()>& f) const { return f ? f() : std::string(); }

  Clock& clock_;
  IrcSessionHooks hooks_;
  IrcColourStripper stripper_;
  std::string nickSuffix_;
  bool pingSeen_ = false;
  bool welcomed_ = false;
  bool gaveUp_ = false;
  int collisions_ = 0;
  // Last answer per sender (upper-cased nick) and the answers of the current span.
  std::map<std::string, std::int64_t> lastCtcp_;
  std::int64_t spanStart_ = 0;
  int answersInSpan_ = 0;
};

}  // namespace qn
