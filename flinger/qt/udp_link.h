// The UDP socket: bound to the configured address and local port, sending to
// the "Send to" host (or the broadcast address) at the remote port. A plain
// non-blocking socket under a level-triggered notifier: what is left unread
// after one turn is reported again, so a storm is taken in turns.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>
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
  ~UdpLink() override { Close(); }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // "Your IP:" text: the bound address, or this machine's address when bound to any.
  std::string LocalAddressText() const;
  int LocalPort() const;

  void SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) override;

 private:
  void ReadPending();
  void SendTo(const QHostAddress& to, const std::string& bytes);
  bool Write(const QHostAddress& to, const std::string& bytes);
  void Flush();
  void Resolved(const std::string& host, const QHostAddress& address);

  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  // Datagrams the kernel could not take yet (its send buffer full); a few only.
  QSocketNotifier* writable_ = nullptr;
  std::deque<std::pair<QHostAddress, std::string>> unsent_;
  bool droppingSends_ = false;
  QHostAddress bound_;
  int localPort_ = 0;
  quint16 remotePort_ = 0;
  // Names looked up once; datagrams for a name being looked up wait (a few only).
  std::map<std::string, QHostAddress> resolved_;
  std::map<std::string, std::deque<std::string>> waiting_;
};

}  // namespace fl
