// A listener the test calls into: Call() stands for a caller connecting from
// outside. Ports listed in busyPorts cannot be listened on. The callers'
// sockets belong to the factory, so a test can look at what a caller got
// after the program has let go of it.
#pragma once

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_socket.h"
#include "platform/tcp_listener.h"

namespace qn::fakes {

class FakeTcpListener : public TcpListener {
 public:
  FakeTcpListener(const std::set<int>& busyPorts, std::deque<std::unique_ptr<FakeSocket>>& callers)
      : busyPorts_(busyPorts), callers_(callers) {}

  void SetListener(TcpListenerListener* l) override { listener_ = l; }
  bool Listen(const std::string& address, int port) override;
  bool IsListening() const override { return listening_; }
  int LocalPort() const override { return listening_ ? port_ : 0; }
  std::string ErrorText() const override { return error_; }
  std::unique_ptr<TcpSocket> Accept() override;
  void Close() override;

  // Test side: a caller connects; null when nobody listens (refused). The
  // socket stays the test's to drive until it is accepted and destroyed.
  FakeSocket* Call(const std::string& from = "127.0.0.1");
  std::string address;
  int listenCalls = 0;
  std::size_t Waiting() const { return waiting_.size(); }

 private:
  const std::set<int>& busyPorts_;
  std::deque<std::unique_ptr<FakeSocket>>& callers_;
  TcpListenerListener* listener_ = nullptr;
  bool listening_ = false;
  int port_ = 0;
  std::string error_;
  std::deque<FakeSocket*> waiting_;
};

class FakeTcpListenerFactory : public TcpListenerFactory {
 public:
  std::unique_ptr<TcpListener> CreateListener() override;
  std::vector<FakeTcpListener*> made;
  std::set<int> busyPorts;
  std::deque<std::unique_ptr<FakeSocket>> callers;
};

}  // namespace qn::fakes
