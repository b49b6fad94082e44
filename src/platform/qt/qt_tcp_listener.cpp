#include "platform/qt/qt_tcp_listener.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>

#include "platform/qt/qt_tcp_socket.h"

namespace qn {

QtTcpListener::QtTcpListener() {
  connect(&server_, &QTcpServer::newConnection, this, [this] {
    if (listener_) listener_->OnIncoming();
  });
}

QtTcpListener::~QtTcpListener() {
  listener_ = nullptr;
  Close();
}

bool QtTcpListener::Listen(const std::string& address, int port) {
  Close();
  error_.clear();
  if (port < 0 || port > 65535) {
    error_ = "Port " + std::to_string(port) + " is not a TCP port";
    return false;
  }
  QHostAddress bind = QHostAddress::Any;  // both families where the system has both
  if (!address.empty()) {
    QString a = QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size()));
    if (a.startsWith('[') && a.endsWith(']')) a = a.mid(1, a.size() - 2);
    if (a.compare("localhost", Qt::CaseInsensitive) == 0) {
      bind = QHostAddress::LocalHost;
    } else if (!bind.setAddress(a)) {
      // A host name of this machine: its first address.
      QHostInfo info = QHostInfo::fromName(a);
      if (info.addresses().isEmpty()) {
        error_ = "Unknown local address: " + address;
        return false;
      }
      bind = info.addresses().first();
    }
  }
  if (!server_.listen(bind, static_cast<quint16>(port))) {
    error_ = server_.errorString().toStdString();
    if (port > 0 && port < 1024)
      error_ += " (ports below 1024 need extra rights on Linux; use a higher port)";
    return false;
  }
  return true;
}

std::unique_ptr<TcpSocket> QtTcpListener::Accept() {
  QTcpSocket* s = server_.nextPendingConnection();
  if (!s) return nullptr;
  // The socket is ours now, not the server's.
  s->setParent(nullptr);
  return std::make_unique<QtTcpSocket>(std::unique_ptr<QTcpSocket>(s));
}

void QtTcpListener::Close() {
  while (QTcpSocket* s = server_.nextPendingConnection()) {
    s->abort();
    s->deleteLater();
  }
  server_.close();
}

}  // namespace qn
