#include "ipc_endpoint.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace fl {

namespace {

// Bytes taken from a client per read; more waits in the socket, so a client
// that sends faster than flinger works blocks instead of filling memory.
constexpr qint64 kReadChunk = 64 * 1024;

}  // namespace

IpcEndpoint::IpcEndpoint(RuntimeFolder& folder, std::string application, std::string topic, std::string item)
    : folder_(folder),
      application_(std::move(application)),
      topic_(std::move(topic)),
      item_(std::move(item)),
      pid_(::getpid()) {}

IpcEndpoint::~IpcEndpoint() {
  for (auto& c : clients_) c->socket->abort();
  clients_.clear();
  if (listening_) {
    server_.close();
    folder_.RemoveEntries(pid_);
  }
}

std::string IpcEndpoint::Start() {
  if (!folder_.MakePrivate())
    return "The runtime folder " + folder_.Path() +
           " is not a private folder of this user; local links are off";
  std::string path = folder_.SocketPath(pid_);
  QLocalServer::removeServer(QString::fromStdString(path));
  if (!server_.listen(QString::fromStdString(path)))
    return "Cannot listen on " + path + ": " + server_.errorString().toStdString();
  ::chmod(path.c_str(), 0600);
  listening_ = true;
  if (!folder_.WriteEndpointFile(pid_, application_, topic_))
    return "Cannot write the endpoint file in " + folder_.Path();
  connect(&server_, &QLocalServer::newConnection, this, [this] { Accept(); });
  return "";
}

void IpcEndpoint::Accept() {
  while (QLocalSocket* s = server_.nextPendingConnection()) {
    if (static_cast<int>(clients_.size()) >= kMaxClients) {
      s->abort();
      s->deleteLater();
      continue;
    }
    auto client = std::make_unique<Client>();
    Client* c = client.get();
    c->socket = s;
    s->setParent(this);
    s->setReadBufferSize(kReadChunk);
    c->idle.setSingleShot(true);
    c->idle.start(kIdleMs);
    connect(&c->idle, &QTimer::timeout, this, [this, c] { Drop(*c); });
    connect(s, &QLocalSocket::readyRead, this, [this, c] { Serve(*c); });
    connect(s, &QLocalSocket::disconnected, this, [this, c] { Drop(*c); });
    clients_.push_back(std::move(client));
    Serve(*c);
  }
}

void IpcEndpoint::Serve(Client& c) {
  // Refused and being closed: what it still sends is not taken in.
  if (c.closing) return;
  while (c.socket->bytesAvailable() > 0) {
    std::size_t want = std::max<std::size_t>(c.reader.Wanted(), 1);
    QByteArray bytes = c.socket->read(std::min<qint64>(static_cast<qint64>(want), kReadChunk));
    if (bytes.isEmpty()) break;
    c.reader.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    for (;;) {
      IpcMessage m;
      IpcMessageReader::Result r = c.reader.Next(&m);
      if (r == IpcMessageReader::Result::kNeedMore) break;
      if (r == IpcMessageReader::Result::kTooLong) {
        c.closing = true;
        c.socket->write("ERROR too-long\n");
        c.socket->flush();
        c.socket->disconnectFromServer();
        return;
      }
      if (r == IpcMessageReader::Result::kMalformed) {
        c.socket->write("ERROR malformed\n");
      } else {
        std::string answer = AnswerFor(m, application_, topic_, item_);
        c.socket->write(answer.c_str());
        if (answer == "OK\n" && onText) onText(m.text);
      }
      c.idle.start(kIdleMs);
    }
  }
}

void IpcEndpoint::Drop(Client& c) {
  auto it = std::find_if(clients_.begin(), clients_.end(), [&](const auto& p) { return p.get() == &c; });
  if (it == clients_.end()) return;
  // Called from the client's own timer or socket signal: gone later.
  std::shared_ptr<Client> gone(std::move(*it));
  clients_.erase(it);
  gone->idle.stop();
  gone->socket->disconnect(this);
  gone->socket->abort();
  gone->socket->deleteLater();
  QTimer::singleShot(0, this, [gone] {});
}

}  // namespace fl
