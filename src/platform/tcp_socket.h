// A TCP connection as the session sees it: connect by host and port or
// service name, send what the socket can take now, read what has arrived, and
// the events of the connection. Server mode's listening side is TcpListener.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace qn {

class TcpSocketListener {
 public:
  virtual ~TcpSocketListener() = default;
  virtual void OnConnected() = 0;
  virtual void OnDataArrived(std::size_t byteCount) = 0;
  // The socket can take more after a Send that took less than it was given.
  virtual void OnReadyToSend() = 0;
  // The other end closed, or the connection died (keep-alive probes unanswered).
  virtual void OnClosed() = 0;
  virtual void OnError(int code, const std::string& description) = 0;
};

class TcpSocket {
 public:
  virtual ~TcpSocket() = default;
  virtual void SetListener(TcpSocketListener* listener) = 0;
  // Starts connecting; the outcome arrives as OnConnected or OnError. port is
  // a number or a service name of the system's services database. host may be
  // a name, a dotted address or an IPv6 literal.
  virtual void Connect(const std::string& host, const std::string& port) = 0;
  // Returns how many bytes were taken; fewer than given when the socket
  // cannot take more yet (OnReadyToSend follows).
  virtual std::size_t Send(std::string_view data) = 0;
  virtual std::string ReadAvailable() = 0;
  // Abandons a connect in progress, or closes the connection; no events follow.
  virtual void Close() = 0;
  virtual bool IsConnected() const = 0;
  virtual std::string RemoteHostName() const = 0;
  virtual std::string RemoteAddress() const = 0;
  // This end of the connection (an IRC server asks for it); empty when unknown.
  virtual std::string LocalAddress() const { return {}; }
  virtual std::string LocalPort() const { return {}; }
};

// Makes sockets; the session keeps one and the web client makes its own.
class SocketFactory {
 public:
  virtual ~SocketFactory() = default;
  virtual std::unique_ptr<TcpSocket> CreateSocket() = 0;
};

}  // namespace qn
