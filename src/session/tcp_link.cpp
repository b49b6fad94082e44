#include "session/tcp_link.h"

namespace qn {

TcpLink::~TcpLink() {
  if (socket_) socket_->SetListener(nullptr);
}

void TcpLink::Open(const LinkAddress& address) {
  Close();
  socket_ = sockets_.CreateSocket();
  socket_->SetListener(this);
  socket_->Connect(address.host, address.port);
}

void TcpLink::Adopt(std::unique_ptr<TcpSocket> socket) {
  Close();
  socket_ = std::move(socket);
  if (!socket_) return;
  socket_->SetListener(this);
  OnConnected();
  if (socket_) OnDataArrived(0);
}

void TcpLink::Close() {
  if (socket_) {
    socket_->SetListener(nullptr);
    socket_->Close();
  }
  pending_.clear();
}

bool TcpLink::IsOpen() const { return socket_ && socket_->IsConnected(); }

std::string TcpLink::PeerName() const {
  if (!socket_) return {};
  std::string host = socket_->RemoteHostName();
  return host.empty() ? socket_->RemoteAddress() : host;
}

void TcpLink::Write(std::string_view bytes) {
  if (!IsOpen()) return;
  if (!pending_.empty()) {
    if (pending_.size() + bytes.size() > kMaxPending) {
      Close();
      if (onPeerNotReading) onPeerNotReading();
      return;
    }
    // Keep the order: nothing overtakes what is already waiting.
    pending_.append(bytes);
    Flush();
    return;
  }
  std::size_t taken = socket_->Send(bytes);
  if (taken < bytes.size()) pending_.append(bytes.substr(taken));
}

void TcpLink::Flush() {
  if (pending_.empty() || !IsOpen()) return;
  std::size_t taken = socket_->Send(pending_);
  pending_.erase(0, taken);
}

void TcpLink::OnConnected() {
  if (listener_) listener_->OnLinkOpened();
}

void TcpLink::OnDataArrived(std::size_t) {
  if (!socket_) return;
  std::string bytes = socket_->ReadAvailable();
  if (!bytes.empty() && listener_) listener_->OnLinkData(bytes);
}

void TcpLink::OnReadyToSend() {
  if (!pending_.empty()) {
    Flush();
  } else if (listener_) {
    listener_->OnLinkWritable();
  }
}

void TcpLink::OnClosed() {
  if (listener_) listener_->OnLinkClosed();
}

void TcpLink::OnError(int code, const std::string& description) {
  if (listener_) listener_->OnLinkError(code, description);
}

}  // namespace qn
