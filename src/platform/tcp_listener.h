// The listening side of server mode: listen on a local port (every interface,
// IPv4 and IPv6, or one address such as 127.0.0.1 or ::1), hear of callers,
// and take each one as a TcpSocket that is already connected.
#pragma once

#include <memory>
#include <string>

#include "platform/tcp_socket.h"

namespace qn {

class TcpListenerListener {
 public:
  virtual ~TcpListenerListener() = default;
  // Callers are waiting; Accept takes them one by one.
  virtual void OnIncoming() = 0;
};

class TcpListener {
 public:
  virtual ~TcpListener() = default;
  virtual void SetListener(TcpListenerListener* listener) = 0;
  // address "" listens on every interface of both families. False, with
  // ErrorText, when the port is taken or not ours to use.
  virtual bool Listen(const std::string& address, int port) = 0;
  virtual bool IsListening() const = 0;
  // The port actually listened on (port 0 asks the system for a free one).
  virtual int LocalPort() const = 0;
  virtual std::string ErrorText() const = 0;
  // The next waiting caller, connected; null when none waits.
  virtual std::unique_ptr<TcpSocket> Accept() = 0;
  // Stops listening; callers not yet taken are turned away.
  virtual void Close() = 0;
};

class TcpListenerFactory {
 public:
  virtual ~TcpListenerFactory() = default;
  virtual std::unique_ptr<TcpListener> CreateListener() = 0;
};

}  // namespace qn
