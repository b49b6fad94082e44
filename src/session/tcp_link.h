// The TCP link of a telnet session: one socket at a time from the socket
// factory, and the pending output that the socket could not take yet.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/tcp_socket.h"
#include "session/byte_link.h"

namespace qn {

class TcpLink : public ByteLink, private TcpSocketListener {
 public:
  // What may wait for a node that does not read; past it the link closes.
  static constexpr std::size_t kMaxPending = 1 << 20;

  explicit TcpLink(SocketFactory& sockets) : sockets_(sockets) {}
  ~TcpLink() override;
  TcpLink(const TcpLink&) = delete;
  TcpLink& operator=(const TcpLink&) = delete;

  void SetListener(ByteLinkListener* listener) override { listener_ = listener; }
  void Open(const LinkAddress& address) override;
  void Close() override;
  bool IsOpen() const override;
  void Write(std::string_view bytes) override;
  bool HasPending() const override { return !pending_.empty(); }
  void Flush() override;
  bool SpeaksTelnet() const override { return true; }
  // The remote host's name, else its address.
  std::string PeerName() const override;
  // This end of the connection; empty while none is open.
  std::string LocalAddress() const { return socket_ ? socket_->LocalAddress() : std::string(); }
  std::string LocalPort() const { return socket_ ? socket_->LocalPort() : std::string(); }

  // Server mode: a caller's socket, connected already, becomes the link; the
  // link reports itself opened and reads what the caller sent meanwhile.
  void Adopt(std::unique_ptr<TcpSocket> socket);

  SocketFactory& Sockets() { return sockets_; }
  // The link closed itself because the pending output passed kMaxPending.
  std::function<void()> onPeerNotReading;

 private:
  void OnConnected() override;
  void OnDataArrived(std::size_t byteCount) override;
  void OnReadyToSend() override;
  void OnClosed() override;
  void OnError(int code, const std::string& description) override;

  SocketFactory& sockets_;
  std::unique_ptr<TcpSocket> socket_;
  ByteLinkListener* listener_ = nullptr;
  std::string pending_;
};

}  // namespace qn
