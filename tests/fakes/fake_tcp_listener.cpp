#include "fakes/fake_tcp_listener.h"

namespace qn::fakes {

namespace {
constexpr int kFirstFreePort = 40000;
}

bool FakeTcpListener::Listen(const std::string& addr, int port) {
  Close();
  ++listenCalls;
  error_.clear();
  if (port < 0 || port > 65535 || busyPorts_.count(port)) {
    error_ = "The bound address is already in use";
    return false;
  }
  address = addr;
  port_ = port == 0 ? kFirstFreePort : port;
  listening_ = true;
  return true;
}

std::unique_ptr<TcpSocket> FakeTcpListener::Accept() {
  if (waiting_.empty()) return nullptr;
  auto s = std::move(waiting_.front());
  waiting_.pop_front();
  return s;
}

void FakeTcpListener::Close() {
  waiting_.clear();
  listening_ = false;
}

FakeSocket* FakeTcpListener::Call(const std::string& from) {
  if (!listening_) return nullptr;
  auto s = std::make_unique<FakeSocket>();
  s->remoteAddress = from;
  s->StartConnected();
  FakeSocket* raw = s.get();
  waiting_.push_back(std::move(s));
  if (listener_) listener_->OnIncoming();
  return raw;
}

std::unique_ptr<TcpListener> FakeTcpListenerFactory::CreateListener() {
  auto l = std::make_unique<FakeTcpListener>(busyPorts);
  made.push_back(l.get());
  return l;
}

}  // namespace qn::fakes
