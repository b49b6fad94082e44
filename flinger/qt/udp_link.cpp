#include "udp_link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostInfo>
#include <QNetworkInterface>
#include <cerrno>
#include <cstring>

namespace fl {

namespace {

// Taken per turn of the event loop, so a storm leaves the window and the
// links usable; the kernel's buffer bounds what waits meanwhile.
constexpr int kDatagramsPerTurn = 256;
constexpr std::size_t kMaxWaitingPerHost = 256;
constexpr std::size_t kMaxUnsent = 4096;
constexpr std::size_t kMaxDatagram = 65536;

QHostAddress BindAddress(const std::string& text) {
  QString t = QString::fromLatin1(text.c_str()).trimmed();
  if (t.isEmpty()) return QHostAddress(QHostAddress::AnyIPv4);
  return QHostAddress(t);
}

bool IsV6(const QHostAddress& a) { return a.protocol() == QAbstractSocket::IPv6Protocol; }

socklen_t ToSockaddr(const QHostAddress& a, quint16 port, bool v6Socket, sockaddr_storage* out) {
  std::memset(out, 0, sizeof *out);
  if (v6Socket) {
    auto* s = reinterpret_cast<sockaddr_in6*>(out);
    s->sin6_family = AF_INET6;
    s->sin6_port = htons(port);
    // An IPv4 address from a dual-stack socket goes as ::ffff:a.b.c.d.
    if (IsV6(a)) {
      Q_IPV6ADDR bytes = a.toIPv6Address();
      std::memcpy(&s->sin6_addr, &bytes, 16);
    } else {
      quint32 v4 = htonl(a.toIPv4Address());
      s->sin6_addr.s6_addr[10] = s->sin6_addr.s6_addr[11] = 0xFF;
      std::memcpy(&s->sin6_addr.s6_addr[12], &v4, 4);
    }
    s->sin6_scope_id = a.scopeId().toUInt();
    return sizeof(sockaddr_in6);
  }
  auto* s = reinterpret_cast<sockaddr_in*>(out);
  s->sin_family = AF_INET;
  s->sin_port = htons(port);
  s->sin_addr.s_addr = htonl(a.toIPv4Address());
  return sizeof(sockaddr_in);
}

}  // namespace

bool UdpLink::Open(const FlingerSettings& settings) {
  Close();
  resolved_.clear();
  bound_ = BindAddress(settings.bindAddress);
  remotePort_ = static_cast<quint16>(settings.remotePort);
  auto fail = [&](const std::string& why) {
    if (onError)
      onError("Cannot open UDP port " + std::to_string(settings.localPort) + " on " + settings.bindAddress +
              ": " + why);
    Close();
    return false;
  };
  if (bound_.isNull()) return fail("not an IP address");
  bool v6 = IsV6(bound_);
  fd_ = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return fail(std::strerror(errno));
  int on = 1, off = 0;
  // Several programs of the machine may listen to the same broadcasts.
  ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  // "::" takes IPv4 as well.
  if (v6) ::setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
  sockaddr_storage addr;
  socklen_t len = ToSockaddr(bound_, static_cast<quint16>(settings.localPort), v6, &addr);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0) return fail(std::strerror(errno));
  len = sizeof addr;
  ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  localPort_ = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                        : reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadPending(); });
  writable_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
  writable_->setEnabled(false);
  connect(writable_, &QSocketNotifier::activated, this, [this] { Flush(); });
  return true;
}

void UdpLink::Close() {
  for (QSocketNotifier** n : {&notifier_, &writable_}) {
    if (!*n) continue;
    (*n)->setEnabled(false);
    (*n)->deleteLater();
    *n = nullptr;
  }
  unsent_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  localPort_ = 0;
  waiting_.clear();
}

int UdpLink::LocalPort() const { return localPort_; }

std::string UdpLink::LocalAddressText() const {
  if (fd_ < 0) return "";
  QHostAddress a = bound_;
  if (a == QHostAddress(QHostAddress::AnyIPv4) || a == QHostAddress(QHostAddress::AnyIPv6)) {
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
  std::string data(kMaxDatagram, '\0');
  for (int n = 0; fd_ >= 0 && n < kDatagramsPerTurn; ++n) {
    ssize_t got = ::recv(fd_, data.data(), data.size(), MSG_DONTWAIT);
    if (got < 0) break;  // EAGAIN, or an ICMP error of an earlier send
    if (onDatagram) onDatagram(data.substr(0, static_cast<std::size_t>(got)));
  }
}

void UdpLink::SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) {
  if (fd_ < 0) {
    if (onError) onError("The UDP socket is not open");
    return;
  }
  if (host.empty()) {
    if (!broadcast) {
      if (onError) onError("No host to send to: fill in \"Send to\" or tick \"Broadcast\"");
      return;
    }
    SendTo(IsV6(bound_) ? QHostAddress("ff02::1") : QHostAddress(QHostAddress::Broadcast), bytes);
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
      if (found.isNull() || IsV6(a) == IsV6(bound_)) found = a;
      if (IsV6(a) == IsV6(bound_)) break;
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
  if (fd_ < 0) return;
  if (IsV6(to) && !IsV6(bound_)) {
    if (onError) onError("UDP send to " + to.toString().toStdString() + ": the socket is bound to IPv4");
    return;
  }
  if (!unsent_.empty() || !Write(to, bytes)) {
    if (unsent_.size() >= kMaxUnsent) {
      if (!droppingSends_ && onError) onError("UDP send: the network takes no more; datagrams are dropped");
      droppingSends_ = true;
      return;
    }
    if (fd_ < 0) return;
    unsent_.emplace_back(to, bytes);
    writable_->setEnabled(true);
  }
}

// False when the kernel's buffer is full for now; other failures are told
// and the datagram is gone.
bool UdpLink::Write(const QHostAddress& to, const std::string& bytes) {
  sockaddr_storage addr;
  socklen_t len = ToSockaddr(to, remotePort_, IsV6(bound_), &addr);
  if (::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr), len) < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) return false;
    if (onError) onError("UDP send to " + to.toString().toStdString() + ": " + std::strerror(errno));
    return true;
  }
  if (onSent) onSent(bytes);
  return true;
}

void UdpLink::Flush() {
  while (!unsent_.empty()) {
    if (!Write(unsent_.front().first, unsent_.front().second)) return;
    unsent_.pop_front();
  }
  droppingSends_ = false;
  if (writable_) writable_->setEnabled(false);
}

}  // namespace fl
