// The LinkEndpoint port on local sockets in the per-user runtime folder of the
// instance registry (docs/ipc.md): "<pid>.sock" is listened on, "<pid>.endpoint"
// names it ("quillnet" TAB "dx.example.org"). Pokes to others go out on one
// connection per endpoint, answers are read back in order; nothing blocks.
#pragma once

#include <QObject>
#include <cstddef>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "links/link_message.h"
#include "platform/link_endpoint.h"

class QLocalServer;

namespace qn {

class QtLinkEndpoint : public QObject, public LinkEndpoint {
 public:
  // A client that has sent nothing (or left a message unfinished) this long is dropped.
  static constexpr int kIdleTimeoutMs = 30000;
  // Our own connections to others are closed sooner, so they never meet a
  // closed one; an endpoint that has not answered in this time is given up.
  static constexpr int kOutboundIdleMs = 10000;
  static constexpr int kMaxConnections = 32;
  // What may wait to go to one endpoint; beyond it pokes are dropped.
  static constexpr std::size_t kMaxQueuedBytes = 4 * kMaxPokeBytes;

  // folder empty: the instance registry's folder. pid 0: this process.
  explicit QtLinkEndpoint(std::string folder = {}, long pid = 0);
  ~QtLinkEndpoint() override;

  bool Serve(const std::string& application, const std::string& topic, PokeHandler handler) override;
  void SetTopic(const std::string& topic) override;
  void StopServing() override;
  std::vector<EndpointInfo> Endpoints() override;
  int Poke(const std::string& application, const std::string& topic, const std::string& item,
           const std::string& text, AnswerHandler done = {}) override;

  const std::string& Folder() const { return folder_; }
  std::string SocketPath(long pid) const;
  void SetIdleTimeoutMs(int ms) { idleTimeoutMs_ = ms; }
  void SetOutboundIdleMs(int ms) { outboundIdleMs_ = ms; }
  int OpenConnections() const { return static_cast<int>(connections_.size()); }

  // For a script's one poke: connects, sends, waits for the answer at most
  // timeoutMs. Blocks, so never used inside a running copy.
  static PokeAnswer PokeAndWait(const std::string& socketPath, const PokeMessage& message, int timeoutMs);

 private:
  class Connection;
  class Outbound;
  bool WriteEndpointFile();
  void ScheduleReap();
  void Reap();
  void Accept();
  PokeAnswer Handle(const PokeMessage& message);

  std::string folder_;
  long pid_;
  std::string application_;
  std::string topic_;
  PokeHandler handler_;
  QLocalServer* server_ = nullptr;
  std::list<Connection*> connections_;
  std::map<long, Outbound*> outbound_;
  int idleTimeoutMs_ = kIdleTimeoutMs;
  int outboundIdleMs_ = kOutboundIdleMs;
  bool reapPosted_ = false;
  friend class Connection;
  friend class Outbound;
};

}  // namespace qn
