#include "test_node.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace qn::testing {

namespace {
long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

void NodeConnection::Send(const std::string& bytes) {
  if (fd_ < 0) return;
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool NodeConnection::ReadUntil(const std::string& text, int timeoutMs) {
  const long long end = NowMs() + timeoutMs;
  while (received_.find(text) == std::string::npos) {
    long long left = end - NowMs();
    if (left <= 0 || fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buf[4096];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) return received_.find(text) != std::string::npos;
    received_.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

void NodeConnection::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

TestNode::TestNode(Dialogue dialogue, int maxCalls) : maxCalls_(maxCalls), dialogue_(std::move(dialogue)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  ::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(listenFd_, 4);
  socklen_t len = sizeof a;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
  port_ = ntohs(a.sin_port);
  thread_ = std::thread([this] { Run(); });
}

TestNode::~TestNode() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
}

void TestNode::Run() {
  while (!stop_ && calls_ < maxCalls_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int call = ++calls_;
    NodeConnection c(fd);
    dialogue_(c, call);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      transcripts_.resize(static_cast<std::size_t>(call));
      transcripts_[static_cast<std::size_t>(call - 1)] = c.Received();
    }
    c.Close();
  }
}

std::string TestNode::Transcript(int call) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (call < 1 || static_cast<std::size_t>(call) > transcripts_.size()) return {};
  return transcripts_[static_cast<std::size_t>(call - 1)];
}

}  // namespace qn::testing
