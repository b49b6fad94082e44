#include "link_peers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fl::testing {

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

sockaddr_un UnixAddress(const std::string& path) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
  return a;
}

}  // namespace

UdpPeer::UdpPeer(bool ipv6) : v6_(ipv6) {
  fd_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  int big = 4 * 1024 * 1024;
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
  if (ipv6) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin6_port);
  } else {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
}

UdpPeer::~UdpPeer() { ::close(fd_); }

void UdpPeer::SendTo(int port, const std::string& bytes) {
  if (v6_) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    a.sin6_port = htons(static_cast<uint16_t>(port));
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  } else {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
}

std::optional<std::string> UdpPeer::Receive(int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
  std::string buf(70000, '\0');
  ssize_t n = ::recv(fd_, buf.data(), buf.size(), 0);
  if (n < 0) return std::nullopt;
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

std::string Encode(const Poke& p) {
  std::string body = p.application + '\0' + p.topic + '\0' + p.item + '\0' + p.text;
  uint32_t n = htonl(static_cast<uint32_t>(body.size()));
  return std::string(reinterpret_cast<const char*>(&n), 4) + body;
}

FakeCopy::FakeCopy(const std::string& dir, long pid, const std::string& tag) {
  std::filesystem::create_directories(dir);
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  std::string path = dir + "/" + std::to_string(pid) + ".sock";
  ::unlink(path.c_str());
  listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a = UnixAddress(path);
  ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(listen_, 16);
  std::ofstream(dir + "/" + std::to_string(pid) + ".endpoint", std::ios::binary) << "quillnet\t" << tag;
}

FakeCopy::~FakeCopy() {
  for (auto& c : conns_) ::close(c.fd);
  ::close(listen_);
}

bool FakeCopy::Work(int timeoutMs) {
  std::vector<pollfd> fds{{listen_, POLLIN, 0}};
  for (auto& c : conns_) fds.push_back({c.fd, POLLIN, 0});
  if (::poll(fds.data(), fds.size(), timeoutMs) <= 0) return false;
  if (fds[0].revents & POLLIN) conns_.push_back({::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC), {}});
  for (std::size_t i = 1; i < fds.size(); ++i) {
    if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
    Conn& c = conns_[i - 1];
    char buf[65536];
    ssize_t n = ::read(c.fd, buf, sizeof buf);
    if (n <= 0) {
      ::close(c.fd);
      c.fd = -1;
      continue;
    }
    c.buffer.append(buf, static_cast<std::size_t>(n));
    while (c.buffer.size() >= 4) {
      uint32_t len;
      std::memcpy(&len, c.buffer.data(), 4);
      len = ntohl(len);
      if (c.buffer.size() < 4 + len) break;
      std::string body = c.buffer.substr(4, len);
      c.buffer.erase(0, 4 + len);
      Poke p;
      std::size_t a = body.find('\0'), t = body.find('\0', a + 1), it = body.find('\0', t + 1);
      p.application = body.substr(0, a);
      p.topic = body.substr(a + 1, t - a - 1);
      p.item = body.substr(t + 1, it - t - 1);
      p.text = body.substr(it + 1);
      got_.push_back(p);
      (void)!::write(c.fd, "OK\n", 3);
    }
  }
  std::erase_if(conns_, [](const Conn& c) { return c.fd < 0; });
  return true;
}

std::optional<Poke> FakeCopy::Receive(int timeoutMs) {
  long long end = NowMs() + timeoutMs;
  while (got_.empty()) {
    long long left = end - NowMs();
    if (left <= 0) return std::nullopt;
    Work(static_cast<int>(left));
  }
  Poke p = got_.front();
  got_.erase(got_.begin());
  return p;
}

IpcClient::IpcClient(const std::string& path) {
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a = UnixAddress(path);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

IpcClient::~IpcClient() {
  if (fd_ >= 0) ::close(fd_);
}

void IpcClient::SendRaw(const std::string& bytes) {
  std::size_t done = 0;
  while (fd_ >= 0 && done < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

void IpcClient::Send(const Poke& poke) { SendRaw(Encode(poke)); }

std::string IpcClient::Answer(int timeoutMs) {
  long long end = NowMs() + timeoutMs;
  for (;;) {
    if (std::size_t nl = buffer_.find('\n'); nl != std::string::npos) {
      std::string line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      return line;
    }
    long long left = end - NowMs();
    pollfd p{fd_, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return "";
    char buf[4096];
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n <= 0) return "";
    buffer_.append(buf, static_cast<std::size_t>(n));
  }
}

bool IpcClient::ClosedByPeer(int timeoutMs) {
  long long end = NowMs() + timeoutMs;
  for (;;) {
    long long left = end - NowMs();
    pollfd p{fd_, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buf[4096];
    if (::read(fd_, buf, sizeof buf) <= 0) return true;
  }
}

int UdpPortOf(long pid) {
  std::set<std::string> inodes;
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
       !ec && it != end; it.increment(ec)) {
    std::string target = std::filesystem::read_symlink(it->path(), ec).string();
    if (target.rfind("socket:[", 0) == 0) inodes.insert(target.substr(8, target.size() - 9));
  }
  for (const char* table : {"/proc/net/udp", "/proc/net/udp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // heading
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retr, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retr >> uid >> timeout >> inode;
      if (inodes.count(inode)) return std::stoi(local.substr(local.find(':') + 1), nullptr, 16);
    }
  }
  return 0;
}

std::string FindEndpoint(const std::string& dir, const std::string& application) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".endpoint") continue;
    std::ifstream in(it->path());
    std::string line;
    std::getline(in, line);
    if (line.rfind(application + "\t", 0) == 0) return dir + "/" + it->path().stem().string() + ".sock";
  }
  return "";
}

}  // namespace fl::testing
