// The TcpSocket port on QTcpSocket. It asks the system for TCP keep-alive
// probes so that a node that vanished without closing is noticed within a few
// minutes, and it limits what it buffers so that "cannot take it yet" is real.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <memory>

#include "platform/tcp_socket.h"

namespace qn {

class QtTcpSocket : public QObject, public TcpSocket {
  Q_OBJECT
 public:
  // What may wait in the socket's own buffer before Send takes no more.
  static constexpr qint64 kBufferLimit = 64 * 1024;
  // What Qt may read ahead of us; the rest waits in the kernel, which slows a
  // flooding node down instead of growing our memory.
  static constexpr qint64 kReadLimit = 64 * 1024;

  QtTcpSocket();
  // A caller that a listener accepted: connected already.
  explicit QtTcpSocket(std::unique_ptr<QTcpSocket> accepted);
  ~QtTcpSocket() override;

  void SetListener(TcpSocketListener* listener) override { listener_ = listener; }
  void Connect(const std::string& host, const std::string& port) override;
  std::size_t Send(std::string_view data) override;
  std::string ReadAvailable() override;
  void Close() override;
  bool IsConnected() const override;
  std::string RemoteHostName() const override;
  std::string RemoteAddress() const override;
  std::string LocalAddress() const override;
  std::string LocalPort() const override;

  // A port number for a number or a service name; 0 when unknown.
  static int ResolvePort(const std::string& port);

 private:
  void EnableKeepAlive();
  void Wire(QTcpSocket* s);
  std::unique_ptr<QTcpSocket> socket_;
  TcpSocketListener* listener_ = nullptr;
  std::string hostName_;
  bool wantReady_ = false;
};

class QtSocketFactory : public SocketFactory {
 public:
  std::unique_ptr<TcpSocket> CreateSocket() override { return std::make_unique<QtTcpSocket>(); }
};

}  // namespace qn
