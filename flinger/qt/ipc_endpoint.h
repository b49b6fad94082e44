// flinger as an endpoint of the local links: application "flinger", topic
// "UDP", item "Textin", on PID.sock in the runtime folder.
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ipc_codec.h"
#include "runtime_folder.h"

namespace fl {

class IpcEndpoint : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxClients = 32;
  static constexpr int kIdleMs = 30000;

  IpcEndpoint(RuntimeFolder& folder, std::string application, std::string topic, std::string item);
  ~IpcEndpoint() override;

  // Error text, empty when listening.
  std::string Start();
  std::function<void(const std::string&)> onText;

 private:
  struct Client {
    QLocalSocket* socket;
    IpcMessageReader reader;
    QTimer idle;
    bool closing = false;
  };
  void Accept();
  void Serve(Client& client);
  void Drop(Client& client);

  RuntimeFolder& folder_;
  std::string application_, topic_, item_;
  long pid_;
  QLocalServer server_;
  bool listening_ = false;
  std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace fl
