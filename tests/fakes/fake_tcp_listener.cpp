#include "fakes/fake_tcp_listener.h"

namespace qn::fakes {

namespace {

constexpr int kFirstFreePort = 40000;

// What the program holds of a caller; the caller itself stays with the test.
class CallerHandle : public TcpSocket {
 public:
  explicit CallerHandle(FakeSocket& s) : s_(s) {}
  ~CallerHandle() override { s_.SetListener(nullptr); }
  void SetListener(TcpSocketListener* l) override { s_.SetListener(l); }
  void Connect(const std::string& host, const std::string& port) override { s_.Connect(host, port); }
  std::size_t Send(std::string_view data) override { return s_.Send(data); }
  std::string ReadAvailable() override { return s_.ReadAvailable(); }
  void Close() override { s_.Close(); }
  bool IsConnected() const override { return s_.IsConnected(); }
  std::string RemoteHostName() const override { return s_.RemoteHostName(); }
  std::string RemoteAddress() const override { return s_.RemoteAddress(); }

 private:
  FakeSocket& s_;
};

}  // namespace

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
  FakeSocket* s = waiting_.front();
  waiting_.pop_front();
  return std::make_unique<CallerHandle>(*s);
}

void FakeTcpListener::Close() {
  for (FakeSocket* s : waiting_) s->Close();
  waiting_.clear();
  listening_ = false;
}

FakeSocket* FakeTcpListener::Call(const std::string& from) {
  if (!listening_) return nullptr;
  callers_.push_back(std::make_unique<FakeSocket>());
  FakeSocket* raw = callers_.back().get();
  raw->remoteAddress = from;
  raw->StartConnected();
  waiting_.push_back(raw);
  if (listener_) listener_->OnIncoming();
  return raw;
}

std::unique_ptr<TcpListener> FakeTcpListenerFactory::CreateListener() {
  auto l = std::make_unique<FakeTcpListener>(busyPorts, callers);
  made.push_back(l.get());
  return l;
}

}  // namespace qn::fakes
