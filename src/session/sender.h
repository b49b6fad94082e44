// The one way text leaves for the session: the outgoing text, SendToSession with
// its re-entry guard, the IRC and chat translation, and the raw-send path of
// macros and script texts. Hands the text to the session's transport, whatever
// it is (telnet link, aux port, web submission queue, replay file).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/event_loop.h"
#include "session/command_translation.h"
#include "session/session_transport.h"

namespace qn {

class Sender {
 public:
  static constexpr int kPauseMs = 1000;

  // sendTerminator: the session's line end, as scripts and prompts change it.
  Sender(const std::string& sendTerminator, EventLoop& loop, SessionTransport* transport);

  void SetTransport(SessionTransport* transport) { transport_ = transport; }
  SessionTransport* Transport() const { return transport_; }

  // Callers put their text, with its line end, here and then run SendToSession.
  std::string& Outgoing() { return outgoing_; }
  // Sends the outgoing text to the current session. A call made while a send
  // is under way only leaves its text in the outgoing text, which the running
  // send delivers before it returns.
  void SendToSession();
  // The outgoing text plus text, then SendToSession.
  void Send(std::string_view text);
  bool Sending() const { return sending_; }

  // Macros, script texts beginning with "!!!" and script answers: a leading
  // "!!!" is dropped, "^X" is a control character, "^<" ESC, "+" a one-second
  // pause, "," the line end, "/+" "\+" "/^" "\^" the character itself.
  void RawSend(std::string_view text);
  // Pushes what the transport has not taken yet.
  void FlushPending();

  // The session's flags; all clear when unset.
  SessionFlags Flags() const { return sessionFlags ? sessionFlags() : SessionFlags{}; }

  // Filled by the subsystems that own these steps; empty ones are skipped.
  std::function<SessionFlags()> sessionFlags;
  // The robot-spot format check of "DX ..." lines in IRC sessions.
  RobotSpotCheck checkRobotSpot;

 private:
  void Deliver(const std::string& text);
  // IRC and chat servers get whole lines; a piece without its line end waits
  // here for the rest (a macro such as "/away :" is completed by typing).
  std::string TranslateComplete(std::string_view text, const SessionFlags& flags);

  const std::string& sendTerminator_;
  EventLoop& loop_;
  SessionTransport* transport_;
  std::string outgoing_;
  std::string unfinishedLine_;
  bool sending_ = false;
};

}  // namespace qn
