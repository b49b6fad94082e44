// flinger's rules between the UDP socket, the local links and the exchange
// folders. The socket and the links are ports so the rules run without them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "datagram.h"
#include "exchange.h"
#include "settings.h"
#include "terminal.h"

namespace fl {

// What the window's boxes hold right now; sends read them as they are, while
// the socket takes its ports and address only at "Apply".
struct Controls {
  std::string host;
  bool fileExchange = false;
  bool broadcast = false;
  bool ctNet = false;
  std::string header = "B0";
};

class DatagramOut {
 public:
  virtual ~DatagramOut() = default;
  // host empty: no "Send to" given.
  virtual void SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) = 0;
};

class CopyPoker {
 public:
  virtual ~CopyPoker() = default;
  // Hands text to item "Textin" of every running Quillnet copy.
  virtual void PokeAllCopies(const std::string& text) = 0;
};

class Flinger {
 public:
  Flinger(Terminal& terminal, ExchangeFolders& exchange, DatagramOut& out, CopyPoker& poker)
      : terminal_(terminal), exchange_(exchange), out_(out), poker_(poker) {}

  Controls& Boxes() { return controls_; }

  // Text a Quillnet copy (or a script) put into item "Textin"; each spot line
  // of it leaves as one datagram.
  void TakeTextin(std::string_view text);
  // A datagram that arrived on the socket.
  void Receive(std::string_view datagram);
  void SendTyped(std::string_view line);
  void SendTestSpot();
  // The one-second look at the exchange folders' "outgoing.txt".
  void PollExchange();

 private:
  void TakeTextinLine(std::string_view line);
  void Send(const std::string& bytes) { out_.SendDatagram(Trim(controls_.host), controls_.broadcast, bytes); }

  Terminal& terminal_;
  ExchangeFolders& exchange_;
  DatagramOut& out_;
  CopyPoker& poker_;
  Controls controls_;
  ReceiveHistory history_;
  int testCounter_ = 0;
};

}  // namespace fl
