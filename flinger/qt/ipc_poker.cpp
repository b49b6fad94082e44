#include "ipc_poker.h"

#include <unistd.h>

#include "core/ipc_codec.h"
#include "core/settings.h"

namespace fl {

namespace {

// The folder is listed again after this; copies started since are found then.
constexpr qint64 kListAgainMs = 500;
constexpr qint64 kWriteAhead = 256 * 1024;

}  // namespace

IpcPoker::IpcPoker(RuntimeFolder& folder, std::string application, std::string item)
    : folder_(folder), application_(std::move(application)), item_(std::move(item)), ownPid_(::getpid()) {}

IpcPoker::~IpcPoker() {
  for (auto& [pid, t] : targets_) {
    if (t->socket) t->socket->disconnect(this);
  }
}

void IpcPoker::RefreshCopies() {
  if (!copies_.empty() && listedAt_.isValid() && listedAt_.elapsed() < kListAgainMs) return;
  copies_.clear();
  for (const EndpointEntry& e : folder_.List()) {
    if (e.pid == ownPid_ || !EqualNoCase(e.application, application_)) continue;
    bool known = false;
    for (const auto& c : copies_) known = known || EqualNoCase(c.second, e.topic);
    if (!known) copies_.emplace_back(e.pid, e.topic);
  }
  listedAt_.start();
}

void IpcPoker::PokeAllCopies(const std::string& text) {
  RefreshCopies();
  for (const auto& [pid, topic] : copies_) {
    std::unique_ptr<Target>& slot = targets_[pid];
    if (!slot) {
      slot = std::make_unique<Target>();
      slot->pid = pid;
      slot->socketPath = folder_.SocketPath(pid);
      slot->idle.setSingleShot(true);
      Target* t = slot.get();
      connect(&t->idle, &QTimer::timeout, this, [t] {
        if (t->socket && t->queue.empty() && t->inFlight.empty()) t->socket->disconnectFromServer();
      });
    }
    Target& t = *slot;
    t.topic = topic;
    std::string bytes = EncodeIpcMessage({application_, topic, item_, text});
    if (bytes.empty()) continue;
    if (t.queuedBytes + bytes.size() > kMaxQueuedBytes) {
      if (!t.dropping && onNote) onNote("Quillnet [" + topic + "] takes no lines; lines for it are dropped");
      t.dropping = true;
      continue;
    }
    t.queuedBytes += bytes.size();
    t.queue.push_back({std::move(bytes), false});
    Pump(t);
  }
}

void IpcPoker::Pump(Target& t) {
  if (!t.socket) {
    t.socket = new QLocalSocket(this);
    QLocalSocket* s = t.socket;
    Target* tp = &t;
    connect(s, &QLocalSocket::connected, this, [this, tp] { Pump(*tp); });
    connect(s, &QLocalSocket::bytesWritten, this, [this, tp] { Pump(*tp); });
    connect(s, &QLocalSocket::readyRead, this, [this, tp] { ReadAnswers(*tp); });
    connect(s, &QLocalSocket::disconnected, this, [this, tp] { Lost(*tp, false); });
    connect(s, &QLocalSocket::errorOccurred, this, [this, tp](QLocalSocket::LocalSocketError e) {
      bool gone = e == QLocalSocket::ServerNotFoundError || e == QLocalSocket::ConnectionRefusedError;
      Lost(*tp, gone);
    });
    s->connectToServer(QString::fromStdString(t.socketPath));
    return;
  }
  if (t.socket->state() != QLocalSocket::ConnectedState) return;
  while (!t.queue.empty() && t.socket->bytesToWrite() < kWriteAhead) {
    Pending p = std::move(t.queue.front());
    t.queue.pop_front();
    t.socket->write(p.bytes.data(), static_cast<qint64>(p.bytes.size()));
    t.inFlight.push_back(std::move(p));
  }
  t.idle.start(kIdleCloseMs);
}

void IpcPoker::ReadAnswers(Target& t) {
  QByteArray got = t.socket->readAll();
  t.answers.append(got.constData(), static_cast<std::size_t>(got.size()));
  std::size_t nl;
  while ((nl = t.answers.find('\n')) != std::string::npos) {
    std::string answer = t.answers.substr(0, nl);
    t.answers.erase(0, nl + 1);
    if (!t.inFlight.empty()) {
      t.queuedBytes -= t.inFlight.front().bytes.size();
      t.inFlight.pop_front();
    }
    if (answer != "OK" && onNote) onNote("Quillnet [" + t.topic + "] answered " + answer);
  }
  if (t.answers.size() > 4096) t.answers.clear();
  if (t.inFlight.empty() && t.queue.empty()) t.dropping = false;
  t.idle.start(kIdleCloseMs);
}

// A closed connection is opened again for what was not answered (once per
// line, so a copy that drops every line does not keep flinger busy); a copy
// that is gone takes its lines with it.
void IpcPoker::Lost(Target& t, bool gone) {
  if (!t.socket) return;
  QLocalSocket* s = t.socket;
  t.socket = nullptr;
  s->disconnect(this);
  s->abort();
  s->deleteLater();
  t.answers.clear();
  for (auto it = t.inFlight.rbegin(); it != t.inFlight.rend(); ++it) {
    if (it->retried) {
      t.queuedBytes -= it->bytes.size();
      continue;
    }
    it->retried = true;
    t.queue.push_front(std::move(*it));
  }
  t.inFlight.clear();
  if (gone) {
    copies_.clear();
    long pid = t.pid;
    QTimer::singleShot(0, this, [this, pid] { targets_.erase(pid); });
    return;
  }
  if (!t.queue.empty())
    QTimer::singleShot(0, this, [this, pid = t.pid] {
      if (auto it = targets_.find(pid); it != targets_.end()) Pump(*it->second);
    });
}

}  // namespace fl
