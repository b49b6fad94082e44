#include "udp_link.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <QTimer>

namespace fl {

namespace {

// Taken per event before the loop gets a turn, so a storm leaves the window
// and the links usable; the kernel's buffer bounds what waits meanwhile.
constexpr int kDatagramsPerTurn = 256;
constexpr std::size_t kMaxWaitingPerHost = 256;

QHostAddress BindAddress(const std::string& text) {
  QString t = QString::fromLatin1(text.c_str()).trimmed();
  if (t.isEmpty() || t == "0.0.0.0") return QHostAddress(QHostAddress::AnyIPv4);
  // "::" takes both families.
  if (t == "::") return QHostAddress(QHostAddress::Any);
  return QHostAddress(t);
}

}  // namespace

bool UdpLink::Open(const FlingerSettings& settings) {
  Close();
  resolved_.clear();
  bound_ = BindAddress(settings.bindAddress);
  remotePort_ = static_cast<quint16>(settings.remotePort);
  if (bound_.isNull()) {
    if (onError) onError("Bind address " + settings.bindAddress + " is not an IP address");
    return false;
  }
  socket_ = new QUdpSocket(this);
  if (!socket_->bind(bound_, static_cast<quint16>(settings.localPort),
                     QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
    std::string why = socket_->errorString().toStdString();
    delete socket_;
    socket_ = nullptr;
    if (onError)
      onError("Cannot open UDP port " + std::to_string(settings.localPort) + " on " + settings.bindAddress +
              ": " + why);
    return false;
  }
  connect(socket_, &QUdpSocket::readyRead, this, [this] { ReadPending(); });
  return true;
}

void UdpLink::Close() {
  if (!socket_) return;
  socket_->close();
  socket_->deleteLater();
  socket_ = nullptr;
  waiting_.clear();
}

int UdpLink::LocalPort() const { return socket_ ? socket_->localPort() : 0; }

std::string UdpLink::LocalAddressText() const {
  if (!socket_) return "";
  QHostAddress a = socket_->localAddress();
  bool any = a == QHostAddress(QHostAddress::AnyIPv4) || a == QHostAddress(QHostAddress::AnyIPv6) ||
             a == QHostAddress(QHostAddress::Any);
  if (any) {
    a = QHostAddress(QHostAddress::LocalHost);
    for (const QHostAddress& cand : QNetworkInterface::allAddresses()) {
      if (cand.protocol() == QAbstractSocket::IPv4Protocol && !cand.isLoopback()) {
        a = cand;
        break;
      }
    }
  }
  return a.toString().toStdString();
}

void UdpLink::ReadPending() {
  readScheduled_ = false;
  for (int n = 0; socket_ && n < kDatagramsPerTurn && socket_->hasPendingDatagrams(); ++n) {
    qint64 size = socket_->pendingDatagramSize();
    std::string data(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    qint64 got = socket_->readDatagram(data.data(), static_cast<qint64>(data.size()));
    if (got < 0) break;
    data.resize(static_cast<std::size_t>(got));
    if (onDatagram) onDatagram(data);
  }
  if (socket_ && socket_->hasPendingDatagrams() && !readScheduled_) {
    readScheduled_ = true;
    QTimer::singleShot(0, this, [this] { ReadPending(); });
  }
}

void UdpLink::SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) {
  if (!socket_) {
    if (onError) onError("The UDP socket is not open");
    return;
  }
  if (host.empty()) {
    if (!broadcast) {
      if (onError) onError("No host to send to: fill in \"Send to\" or tick \"Broadcast\"");
      return;
    }
    bool v6 = bound_.protocol() == QAbstractSocket::IPv6Protocol;
    SendTo(v6 ? QHostAddress("ff02::1") : QHostAddress(QHostAddress::Broadcast), bytes);
    return;
  }
  QHostAddress literal(QString::fromLatin1(host.c_str()));
  if (!literal.isNull()) return SendTo(literal, bytes);
  if (auto it = resolved_.find(host); it != resolved_.end()) return SendTo(it->second, bytes);
  auto& queue = waiting_[host];
  bool first = queue.empty();
  if (queue.size() < kMaxWaitingPerHost) queue.push_back(bytes);
  if (!first) return;
  QHostInfo::lookupHost(QString::fromLatin1(host.c_str()), this, [this, host](const QHostInfo& info) {
    QHostAddress found;
    for (const QHostAddress& a : info.addresses()) {
      if (found.isNull() || (a.protocol() == bound_.protocol())) found = a;
      if (a.protocol() == bound_.protocol()) break;
    }
    Resolved(host, found);
  });
}

void UdpLink::Resolved(const std::string& host, const QHostAddress& address) {
  std::deque<std::string> queue = std::move(waiting_[host]);
  waiting_.erase(host);
  if (address.isNull()) {
    if (onError) onError("Host " + host + " not found");
    return;
  }
  resolved_[host] = address;
  for (const std::string& bytes : queue) SendTo(address, bytes);
}

void UdpLink::SendTo(const QHostAddress& to, const std::string& bytes) {
  if (!socket_) return;
  if (socket_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), to, remotePort_) < 0) {
    if (onError)
      onError("UDP send to " + to.toString().toStdString() + ": " + socket_->errorString().toStdString());
    return;
  }
  if (onSent) onSent(bytes);
}

}  // namespace fl
