// A scripted socket: the test decides when it connects, what arrives, how much
// a send may take, and when the other end closes. Everything sent is recorded.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/tcp_socket.h"

namespace qn::fakes {

class FakeSocket : public TcpSocket {
 public:
  void SetListener(TcpSocketListener* l) override { listener_ = l; }
  void Connect(const std::string& host, const std::string& port) override;
  std::size_t Send(std::string_view data) override;
  std::string ReadAvailable() override;
  void Close() override;
  bool IsConnected() const override { return connected_; }
  std::string RemoteHostName() const override { return remoteName; }
  std::string RemoteAddress() const override { return remoteAddress; }

  // Test side.
  void AcceptConnection();
  // A caller that a listener took: connected from the start.
  void StartConnected() { connected_ = true; }
  void Refuse(int code = 10061, const std::string& description = "Connection refused");
  void Arrive(std::string_view bytes);
  void RemoteClose();
  // Lets later sends take at most n bytes in all until Drain().
  void LimitSend(std::size_t n) { sendRoom_ = n; }
  void Drain();

  std::string remoteName;
  std::string remoteAddress = "127.0.0.1";
  std::string lastHost, lastPort;
  int connectCalls = 0;
  int closeCalls = 0;
  std::string sent;                 // everything taken
  std::vector<std::string> writes;  // each Send call's accepted part

 private:
  TcpSocketListener* listener_ = nullptr;
  bool connecting_ = false;
  bool connected_ = false;
  std::string inbox_;
  std::size_t sendRoom_ = static_cast<std::size_t>(-1);
};

class FakeSocketFactory : public SocketFactory {
 public:
  std::unique_ptr<TcpSocket> CreateSocket() override;
  std::vector<FakeSocket*> made;
};

}  // namespace qn::fakes
