// The TcpListener port on QTcpServer. Callers are handed out as QtTcpSocket,
// with the same buffer limits and keep-alive probes as outgoing connections.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <memory>

#include "platform/tcp_listener.h"

namespace qn {

class QtTcpListener : public QObject, public TcpListener {
  Q_OBJECT
 public:
  QtTcpListener();
  ~QtTcpListener() override;

  void SetListener(TcpListenerListener* listener) override { listener_ = listener; }
  bool Listen(const std::string& address, int port) override;
  bool IsListening() const override { return server_.isListening(); }
  int LocalPort() const override { return server_.isListening() ? server_.serverPort() : 0; }
  std::string ErrorText() const override { return error_; }
  std::unique_ptr<TcpSocket> Accept() override;
  void Close() override;

 private:
  QTcpServer server_;
  TcpListenerListener* listener_ = nullptr;
  std::string error_;
};

class QtListenerFactory : public TcpListenerFactory {
 public:
  std::unique_ptr<TcpListener> CreateListener() override { return std::make_unique<QtTcpListener>(); }
};

}  // namespace qn
