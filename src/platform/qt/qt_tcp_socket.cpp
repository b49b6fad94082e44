#include "platform/qt/qt_tcp_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QHostAddress>
#include <QTimer>

namespace qn {

namespace {
// Probe after a minute of silence, every 20 s, give up after 5 misses:
// a dead node is noticed within about three minutes.
constexpr int kKeepIdle = 60;
constexpr int kKeepInterval = 20;
constexpr int kKeepCount = 5;
}  // namespace

QtTcpSocket::QtTcpSocket() = default;

QtTcpSocket::QtTcpSocket(std::unique_ptr<QTcpSocket> accepted) : socket_(std::move(accepted)) {
  Wire(socket_.get());
  EnableKeepAlive();
}

QtTcpSocket::~QtTcpSocket() {
  listener_ = nullptr;
  Close();
}

int QtTcpSocket::ResolvePort(const std::string& port) {
  if (port.empty()) return 0;
  bool digits = port.find_first_not_of("0123456789") == std::string::npos;
  if (digits) {
    long v = port.size() > 6 ? 0 : std::stol(port);
    return v > 0 && v <= 65535 ? static_cast<int>(v) : 0;
  }
  servent* s = ::getservbyname(port.c_str(), "tcp");
  return s ? ntohs(static_cast<uint16_t>(s->s_port)) : 0;
}

void QtTcpSocket::Connect(const std::string& host, const std::string& port) {
  Close();
  socket_ = std::make_unique<QTcpSocket>();
  hostName_ = host;
  QTcpSocket* s = socket_.get();
  Wire(s);

  int number = ResolvePort(port);
  if (number == 0) {
    std::string why = "Unknown port or service: " + port;
    // Reported like any other failure, after the caller has returned.
    QTimer::singleShot(0, this, [this, why] {
      if (listener_)
        listener_->OnError(static_cast<int>(QAbstractSocket::UnsupportedSocketOperationError), why);
    });
    return;
  }
  QString h = QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size()));
  if (h.startsWith('[') && h.endsWith(']')) h = h.mid(1, h.size() - 2);
  s->connectToHost(h, static_cast<quint16>(number));
}

void QtTcpSocket::Wire(QTcpSocket* s) {
  s->setReadBufferSize(kReadLimit);
  connect(s, &QTcpSocket::connected, this, [this] {
    EnableKeepAlive();
    if (listener_) listener_->OnConnected();
  });
  connect(s, &QTcpSocket::readyRead, this, [this, s] {
    if (listener_) listener_->OnDataArrived(static_cast<std::size_t>(s->bytesAvailable()));
  });
  connect(s, &QTcpSocket::bytesWritten, this, [this, s] {
    if (wantReady_ && s->bytesToWrite() < kBufferLimit / 2) {
      wantReady_ = false;
      if (listener_) listener_->OnReadyToSend();
    }
  });
  connect(s, &QTcpSocket::disconnected, this, [this] {
    if (listener_) listener_->OnClosed();
  });
  connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError e) {
    // A connection that ends shows as disconnected; errors before that are
    // failures to connect.
    if (e == QAbstractSocket::RemoteHostClosedError) return;
    if (s->state() == QAbstractSocket::ConnectedState) return;
    if (listener_) listener_->OnError(static_cast<int>(e), s->errorString().toStdString());
  });
}

void QtTcpSocket::EnableKeepAlive() {
  if (!socket_) return;
  socket_->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  int fd = static_cast<int>(socket_->socketDescriptor());
  if (fd < 0) return;
  int on = 1, idle = kKeepIdle, interval = kKeepInterval, count = kKeepCount;
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

std::size_t QtTcpSocket::Send(std::string_view data) {
  if (!IsConnected() || data.empty()) return 0;
  qint64 room = kBufferLimit - socket_->bytesToWrite();
  if (room <= 0) {
    wantReady_ = true;
    return 0;
  }
  qint64 n = std::min<qint64>(room, static_cast<qint64>(data.size()));
  qint64 w = socket_->write(data.data(), n);
  if (w < 0) return 0;
  if (static_cast<std::size_t>(w) < data.size()) wantReady_ = true;
  return static_cast<std::size_t>(w);
}

std::string QtTcpSocket::ReadAvailable() {
  if (!socket_) return {};
  QByteArray b = socket_->readAll();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

void QtTcpSocket::Close() {
  if (!socket_) return;
  QTcpSocket* s = socket_.release();
  s->disconnect(this);
  // What was written last (the logout line) is still in Qt's buffer; hand it
  // to the kernel now, without blocking, instead of throwing it away.
  if (s->state() == QAbstractSocket::ConnectedState) {
    s->flush();
    s->disconnectFromHost();
  } else {
    s->abort();
  }
  s->deleteLater();
  wantReady_ = false;
}

bool QtTcpSocket::IsConnected() const {
  return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

std::string QtTcpSocket::RemoteHostName() const {
  if (!socket_) return {};
  QString n = socket_->peerName();
  return n.isEmpty() ? hostName_ : n.toStdString();
}

std::string QtTcpSocket::RemoteAddress() const {
  if (!socket_) return {};
  return socket_->peerAddress().toString().toStdString();
}

std::string QtTcpSocket::LocalAddress() const {
  if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) return {};
  return socket_->localAddress().toString().toStdString();
}

std::string QtTcpSocket::LocalPort() const {
  if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) return {};
  return std::to_string(socket_->localPort());
}

}  // namespace qn
