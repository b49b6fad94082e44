#include "fakes/fake_socket.h"

#include <algorithm>

namespace qn::fakes {

void FakeSocket::Connect(const std::string& host, const std::string& port) {
  lastHost = host;
  lastPort = port;
  ++connectCalls;
  connecting_ = true;
  connected_ = false;
  if (remoteName.empty()) remoteName = host;
}

std::size_t FakeSocket::Send(std::string_view data) {
  if (!connected_) return 0;
  std::size_t n = std::min(data.size(), sendRoom_);
  if (sendRoom_ != static_cast<std::size_t>(-1)) sendRoom_ -= n;
  if (n > 0) {
    sent.append(data.substr(0, n));
    writes.emplace_back(data.substr(0, n));
  }
  return n;
}

std::string FakeSocket::ReadAvailable() {
  std::string r;
  r.swap(inbox_);
  return r;
}

void FakeSocket::Close() {
  ++closeCalls;
  connecting_ = false;
  connected_ = false;
  inbox_.clear();
}

void FakeSocket::AcceptConnection() {
  if (!connecting_) return;
  connecting_ = false;
  connected_ = true;
  if (listener_) listener_->OnConnected();
}

void FakeSocket::Refuse(int code, const std::string& description) {
  connecting_ = false;
  if (listener_) listener_->OnError(code, description);
}

void FakeSocket::Arrive(std::string_view bytes) {
  if (!connected_) return;
  inbox_.append(bytes);
  if (listener_) listener_->OnDataArrived(bytes.size());
}

void FakeSocket::RemoteClose() {
  if (!connected_) return;
  connected_ = false;
  if (listener_) listener_->OnClosed();
}

void FakeSocket::Drain() {
  sendRoom_ = static_cast<std::size_t>(-1);
  if (listener_ && connected_) listener_->OnReadyToSend();
}

std::unique_ptr<TcpSocket> FakeSocketFactory::CreateSocket() {
  auto s = std::make_unique<FakeSocket>();
  made.push_back(s.get());
  return s;
}

}  // namespace qn::fakes
