// The UDP socket: bound to the configured address and local port, sending to
// the "Send to" host (or the broadcast address) at the remote port.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "core/flinger.h"
#include "core/settings.h"

namespace fl {

class UdpLink : public QObject, public DatagramOut {
  Q_OBJECT

 public:
  std::function<void(const std::string&)> onDatagram;
  std::function<void(const std::string&)> onError;
  std::function<void(const std::string&)> onSent;

  // Closes what was open and binds anew; false (and onError) when binding fails.
  bool Open(const FlingerSettings& settings);
  void Close();
  bool IsOpen() const { return socket_ != nullptr; }
  // "Your IP:" text: the bound address, or this machine's address when bound to any.
  std::string LocalAddressText() const;
  int LocalPort() const;

  void SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) override;

 private:
  void ReadPending();
  void SendTo(const QHostAddress& to, const std::string& bytes);
  void Resolved(const std::string& host, const QHostAddress& address);

  QUdpSocket* socket_ = nullptr;
  QHostAddress bound_;
  quint16 remotePort_ = 0;
  bool readScheduled_ = false;
  // Names looked up once; datagrams for a name being looked up wait (a few only).
  std::map<std::string, QHostAddress> resolved_;
  std::map<std::string, std::deque<std::string>> waiting_;
};

}  // namespace fl
