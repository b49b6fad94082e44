// The Internet-to-RF gateway through the aux port: the cluster lines of the
// telnet session copied to the TNC (marked as relayed APRS packets, with a
// beacon every 200 lines, under an "APRS" title), radio users' lines sent to
// the cluster with their "BYE" reset and the 60-second login wait, typed text
// after the escape string sent to the port, and the connect notices. Talks to
// the aux port and the session through RfGatewayHooks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/event_loop.h"

namespace qn {

struct RfGatewayHooks {
  std::function<bool()> exchangeOn;
  std::function<bool()> bridgeTo;
  std::function<bool()> auxInputOnly;
  std::function<bool()> auxOpen;
  std::function<bool()> logPortMode;
  std::function<void(const std::string& text)> sendToAux;
  std::function<void(const std::string& text)> writeLogPort;
  // The aux port's receive buffer is thrown away.
  std::function<void()> discardAuxInput;
  std::function<std::string()> ownCall;
  std::function<std::string()> customTitle;
  std::function<bool()> sessionConnected;
  // The node has not shown its login prompt yet on this connection.
  std::function<bool()> loginPending;
  std::function<void()> disconnect;
  // The session reset of a leave word: exchange on, script state cleared.
  std::function<void()> sessionReset;
  // Onto the pending-send text, then SendToSession.
  std::function<void(const std::string& text)> sendToSession;
};

class RfGateway {
 public:
  static constexpr int kLoginWaitMs = 60000;
  static constexpr int kBeaconEvery = 200;
  static constexpr const char* kWebAddress = "https://quillnet.example.org/";
  static constexpr const char* kLoginTimeout = "*** Login Time out: disconnecting...\r\n";

  explicit RfGateway(EventLoop& loop) : loop_(loop) {}

  RfGatewayHooks& Hooks() { return hooks_; }

  // A received session line that is not a spot (with its line end).
  void CopyToRf(const std::string& line);
  // A radio user's line from the aux port.
  void OnRfLine(const std::string& line);
  // Typed text with its line end: true when it began with the escape string
  // and went to the port instead of the cluster.
  bool TypedToPort(const std::string& text, const std::string& escape);
  // The session connected (a caller or the node) or dropped.
  void OnSessionConnected();
  void OnSessionDropped();

  int LineCount() const { return lineCount_; }

 private:
  bool On(const std::function<bool()>& hook) const { return hook && hook(); }
  void ToPort(const std::string& text);
  bool NoticesWanted() const;

  EventLoop& loop_;
  RfGatewayHooks hooks_;
  std::uint16_t lineCount_ = 0;
  // The login wait applies to the first radio line after a connect only.
  bool loginWaitOver_ = false;
};

}  // namespace qn
