// Server mode of an "ACCEPT" site: listens on the site's port (on every
// interface, or only on the address the site names, such as 127.0.0.1), hands
// one caller at a time to the session's TCP link, turns further callers away
// with a line of explanation, listens for the next one a second after the
// caller left, and passes the caller's escape-string lines on to the other
// copies. Talks to the TcpListener port, the TcpLink and the frame through
// ServerModeHooks.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/tcp_listener.h"
#include "session/tcp_link.h"

namespace qn {

struct ServerModeHooks {
  std::function<void(const std::string& text)> status;
  std::function<void(const std::string& title)> title;
  // The script's own title, which the "PORT:" title gives way to.
  std::function<std::string()> customTitle;
  // A line of the program's own in the terminal window.
  std::function<void(const std::string& text)> message;
  // A caller is about to be taken: the receive path starts from empty
  // buffers, so the last caller's unfinished line is not this one's.
  std::function<void()> newConnection;
  // A caller was taken: the incoming-call sound, the frame to the front.
  std::function<void()> incomingCall;
  // The current site is still an "ACCEPT" site.
  std::function<bool()> active;
  // The command escape string (working copy).
  std::function<std::string()> escape;
  // This copy's title begins with "RELAY": every caller line is passed on.
  std::function<bool()> relayCopy;
  // A line for the other copies and the linked program (Textout).
  std::function<void(const std::string& line)> toOthers;
};

class ServerMode : private TcpListenerListener {
 public:
  static constexpr int kListenWaitMs = 60000;
  static constexpr int kRearmMs = 1000;
  static constexpr const char* kBusy =
      "Sorry, this station is busy with another caller. Please try again later.\r\n";

  ServerMode(TcpListenerFactory& listeners, TcpLink& link, EventLoop& loop);
  ~ServerMode() override;
  ServerMode(const ServerMode&) = delete;
  ServerMode& operator=(const ServerMode&) = delete;

  ServerModeHooks& Hooks() { return hooks_; }

  // Listens on address ("" or "*" or "0.0.0.0": every interface) and port.
  // False, with the reason in the status line and the terminal, when the
  // port cannot be listened on.
  bool Start(const std::string& address, int port);
  void Stop();
  // The caller went away: the next one is taken a second from now.
  void CallerLeft();

  bool Listening() const { return listener_ && listener_->IsListening(); }
  // Waiting for a caller (listening and no caller on the link).
  bool Armed() const { return armed_; }
  int Port() const { return listener_ ? listener_->LocalPort() : 0; }
  int TurnedAway() const { return turnedAway_; }

  // A complete line from the caller (line end included).
  void OnCallerLine(const std::string& line);

 private:
  void OnIncoming() override;
  void ShowWaiting();

  TcpListenerFactory& listeners_;
  TcpLink& link_;
  EventLoop& loop_;
  ServerModeHooks hooks_;
  std::unique_ptr<TcpListener> listener_;
  std::unique_ptr<Timer> rearm_;
  bool armed_ = false;
  int turnedAway_ = 0;
};

}  // namespace qn
