#include "platform/qt/qt_link_endpoint.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "platform/qt/latin1.h"
#include "platform/qt/qt_instance_registry.h"

namespace qn {

namespace {

constexpr const char* kEndpointSuffix = ".endpoint";
constexpr std::size_t kMaxEndpointFile = 4096;
// Qt stops reading from a client once this much waits unread, so a fast
// sender is held back by its own socket instead of filling our memory.
constexpr qint64 kReadBufferBytes = 64 * 1024;
// Answers a client does not read: past this we stop reading its messages.
constexpr qint64 kMaxUnreadAnswers = 64 * 1024;

// Only a folder of our own that nobody else can enter is trusted.
bool FolderIsPrivate(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

}  // namespace

// One client of our endpoint: reads one message at a time, answers it, and
// is dropped when idle, when it breaks the framing or when it goes away.
class QtLinkEndpoint::Connection : public QObject {
 public:
  Connection(QtLinkEndpoint& owner, QLocalSocket* socket) : QObject(&owner), owner_(owner), socket_(socket) {
    // Ours, not the server's: it must outlive a server closed before we go.
    socket_->setParent(this);
    socket_->setReadBufferSize(kReadBufferBytes);
    idle_.setSingleShot(true);
    QObject::connect(&idle_, &QTimer::timeout, this, [this] { Close(); });
    QObject::connect(socket_, &QLocalSocket::readyRead, this, [this] { Process(); });
    QObject::connect(socket_, &QLocalSocket::bytesWritten, this, [this] { Process(); });
    QObject::connect(socket_, &QLocalSocket::disconnected, this, [this] { MarkClosed(); });
    QObject::connect(socket_, &QLocalSocket::errorOccurred, this, [this] { MarkClosed(); });
    idle_.start(owner_.idleTimeoutMs_);
  }
  ~Connection() override {
    socket_->disconnect(this);
    socket_->abort();
  }
  bool Closed() const { return closed_; }
  bool Busy() const { return handling_; }

 private:
  void Process() {
    if (handling_ || closed_) return;
    handling_ = true;
    while (!closed_ && socket_->bytesToWrite() < kMaxUnreadAnswers && socket_->bytesAvailable() > 0) {
      if (buffer_.size() < kPokeHeaderBytes) {
        buffer_ += ReadUpTo(kPokeHeaderBytes - buffer_.size());
        if (buffer_.size() < kPokeHeaderBytes) continue;
        std::size_t n = PokeLength(buffer_);
        if (!PokeLengthAllowed(n)) {
          Answer(PokeAnswer::TooLong);
          socket_->flush();
          Close();
          break;
        }
        buffer_.reserve(kPokeHeaderBytes + n);
      }
      std::size_t n = PokeLength(buffer_);
      buffer_ += ReadUpTo(kPokeHeaderBytes + n - buffer_.size());
      if (buffer_.size() < kPokeHeaderBytes + n) continue;
      auto message = DecodePokeBody(std::string_view(buffer_).substr(kPokeHeaderBytes));
      std::string().swap(buffer_);
      // The handler may let events run; this connection stays until it returns.
      PokeAnswer answer = message ? owner_.Handle(*message) : PokeAnswer::Malformed;
      if (!closed_) Answer(answer);
      idle_.start(owner_.idleTimeoutMs_);
    }
    handling_ = false;
    if (closed_) owner_.ScheduleReap();
  }

  std::string ReadUpTo(std::size_t n) {
    QByteArray bytes = socket_->read(static_cast<qint64>(n));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }

  void Answer(PokeAnswer answer) {
    std::string line = AnswerLine(answer);
    socket_->write(line.data(), static_cast<qint64>(line.size()));
  }

  void Close() {
    if (closed_) return;
    socket_->disconnectFromServer();
    MarkClosed();
  }

  void MarkClosed() {
    closed_ = true;
    idle_.stop();
    owner_.ScheduleReap();
  }

  QtLinkEndpoint& owner_;
  QLocalSocket* socket_;
  QTimer idle_;
  std::string buffer_;
  bool handling_ = false;
  bool closed_ = false;
};

// Our connection to another program's endpoint: pokes are written in order
// and each answer read back goes to the poke's handler.
class QtLinkEndpoint::Outbound : public QObject {
 public:
  Outbound(QtLinkEndpoint& owner, const std::string& path) : QObject(&owner), owner_(owner) {
    idle_.setSingleShot(true);
    // Idle, or an endpoint that took our pokes and never answered: either way
    // the connection goes, and pokes still waiting are given up.
    QObject::connect(&idle_, &QTimer::timeout, this, [this] { Finish(); });
    QObject::connect(&socket_, &QLocalSocket::connected, this, [this] { Flush(); });
    QObject::connect(&socket_, &QLocalSocket::readyRead, this, [this] { ReadAnswers(); });
    QObject::connect(&socket_, &QLocalSocket::disconnected, this, [this] { Finish(); });
    QObject::connect(&socket_, &QLocalSocket::errorOccurred, this, [this] { Finish(); });
    socket_.connectToServer(ToQString(path));
  }
  ~Outbound() override {
    socket_.disconnect(this);
    socket_.abort();
  }
  bool Done() const { return done_; }
  bool Busy() const { return inCallback_; }

  void Add(std::string bytes, AnswerHandler done) {
    if (done_ || Queued() + bytes.size() > kMaxQueuedBytes) {
      if (done) done(PokeAnswer::NoAnswer);
      return;
    }
    queuedBytes_ += bytes.size();
    queue_.push_back({std::move(bytes), std::move(done)});
    idle_.start(owner_.outboundIdleMs_);
    if (socket_.state() == QLocalSocket::ConnectedState) Flush();
  }

 private:
  struct Pending {
    std::string bytes;
    AnswerHandler done;
  };

  std::size_t Queued() const { return queuedBytes_ + static_cast<std::size_t>(socket_.bytesToWrite()); }

  void Flush() {
    while (!queue_.empty()) {
      Pending& p = queue_.front();
      socket_.write(p.bytes.data(), static_cast<qint64>(p.bytes.size()));
      queuedBytes_ -= p.bytes.size();
      awaiting_.push_back(std::move(p.done));
      queue_.pop_front();
    }
  }

  void ReadAnswers() {
    while (socket_.canReadLine()) {
      QByteArray line = socket_.readLine(256);
      PokeAnswer answer =
          ParseAnswerLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
      if (awaiting_.empty()) continue;
      AnswerHandler done = std::move(awaiting_.front());
      awaiting_.pop_front();
      idle_.start(owner_.outboundIdleMs_);
      Call(done, answer);
    }
    // A peer that answers with endless garbage is not kept.
    if (socket_.bytesAvailable() > 4096) socket_.abort();
  }

  void Finish() {
    if (done_) return;
    done_ = true;
    idle_.stop();
    std::deque<AnswerHandler> left;
    left.swap(awaiting_);
    for (auto& p : queue_) left.push_back(std::move(p.done));
    queue_.clear();
    queuedBytes_ = 0;
    for (auto& d : left) Call(d, PokeAnswer::NoAnswer);
    owner_.ScheduleReap();
  }

  void Call(const AnswerHandler& done, PokeAnswer answer) {
    if (!done) return;
    inCallback_ = true;
    done(answer);
    inCallback_ = false;
  }

  QtLinkEndpoint& owner_;
  QLocalSocket socket_;
  QTimer idle_;
  std::deque<Pending> queue_;
  std::size_t queuedBytes_ = 0;
  std::deque<AnswerHandler> awaiting_;
  bool done_ = false;
  bool inCallback_ = false;
};

QtLinkEndpoint::QtLinkEndpoint(std::string folder, long pid)
    : folder_(folder.empty() ? QtInstanceRegistry::DefaultFolder() : std::move(folder)),
      pid_(pid ? pid : ::getpid()) {}

QtLinkEndpoint::~QtLinkEndpoint() {
  StopServing();
  for (auto& [pid, out] : outbound_) delete out;
  outbound_.clear();
}

std::string QtLinkEndpoint::SocketPath(long pid) const {
  return folder_ + "/" + std::to_string(pid) + ".sock";
}

bool QtLinkEndpoint::Serve(const std::string& application, const std::string& topic, PokeHandler handler) {
  StopServing();
  application_ = application;
  topic_ = topic;
  handler_ = std::move(handler);
  if (!MakePrivateRuntimeFolder(folder_)) return false;
  const QString path = ToQString(SocketPath(pid_));
  // A copy killed with our process id left its socket behind.
  QLocalServer::removeServer(path);
  server_ = new QLocalServer(this);
  server_->setMaxPendingConnections(kMaxConnections);
  if (!server_->listen(path)) {
    delete server_;
    server_ = nullptr;
    return false;
  }
  ::chmod(SocketPath(pid_).c_str(), 0600);
  QObject::connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
  if (!WriteEndpointFile()) {
    StopServing();
    return false;
  }
  return true;
}

void QtLinkEndpoint::SetTopic(const std::string& topic) {
  if (topic == topic_) return;
  topic_ = topic;
  if (server_) WriteEndpointFile();
}

void QtLinkEndpoint::StopServing() {
  for (Connection* c : connections_) delete c;
  connections_.clear();
  if (!server_) return;
  server_->close();
  delete server_;
  server_ = nullptr;
  std::error_code ec;
  std::filesystem::remove(folder_ + "/" + std::to_string(pid_) + kEndpointSuffix, ec);
  std::filesystem::remove(SocketPath(pid_), ec);
}

bool QtLinkEndpoint::WriteEndpointFile() {
  const std::string path = folder_ + "/" + std::to_string(pid_) + kEndpointSuffix;
  QSaveFile file(ToQString(path));
  if (!file.open(QIODevice::WriteOnly)) return false;
  std::string line = application_ + "\t" + WithoutLineBreaks(topic_);
  file.write(line.data(), static_cast<qint64>(line.size()));
  if (!file.commit()) return false;
  ::chmod(path.c_str(), 0600);
  return true;
}

void QtLinkEndpoint::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (connections_.size() >= static_cast<std::size_t>(kMaxConnections)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    connections_.push_back(new Connection(*this, socket));
  }
}

PokeAnswer QtLinkEndpoint::Handle(const PokeMessage& m) {
  if (!IEquals(m.application, application_) || !IEquals(m.topic, topic_)) return PokeAnswer::UnknownEndpoint;
  if (!handler_) return PokeAnswer::UnknownItem;
  return handler_(m.item, m.text);
}

void QtLinkEndpoint::ScheduleReap() {
  if (reapPosted_) return;
  reapPosted_ = true;
  QTimer::singleShot(0, this, [this] { Reap(); });
}

void QtLinkEndpoint::Reap() {
  reapPosted_ = false;
  for (auto it = connections_.begin(); it != connections_.end();) {
    if ((*it)->Closed() && !(*it)->Busy()) {
      (*it)->deleteLater();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = outbound_.begin(); it != outbound_.end();) {
    if (it->second->Done() && !it->second->Busy()) {
      it->second->deleteLater();
      it = outbound_.erase(it);
    } else {
      ++it;
    }
  }
}

std::vector<EndpointInfo> QtLinkEndpoint::Endpoints() {
  std::vector<EndpointInfo> found;
  if (!FolderIsPrivate(folder_)) return found;
  std::error_code ec;
  const std::string suffix = kEndpointSuffix;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (!EndsWith(name, suffix)) continue;
    name.resize(name.size() - suffix.size());
    long pid = PidFromEntryName(name);
    if (pid <= 0 || pid == pid_) continue;
    if (ProcessGone(pid)) {
      std::error_code rm;
      std::filesystem::remove(it->path(), rm);
      std::filesystem::remove(SocketPath(pid), rm);
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::string line(kMaxEndpointFile, '\0');
    in.read(line.data(), static_cast<std::streamsize>(kMaxEndpointFile));
    line.resize(static_cast<std::size_t>(in.gcount()));
    auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    found.push_back({line.substr(0, tab), line.substr(tab + 1), pid});
  }
  return found;
}

int QtLinkEndpoint::Poke(const std::string& application, const std::string& topic, const std::string& item,
                         const std::string& text, AnswerHandler done) {
  std::string bytes = EncodePoke({application, topic, item, text});
  int count = 0;
  for (const EndpointInfo& e : Endpoints()) {
    if (!IEquals(e.application, application) || !IEquals(e.topic, topic)) continue;
    ++count;
    if (bytes.empty()) {
      if (done) done(PokeAnswer::TooLong);
      continue;
    }
    auto it = outbound_.find(e.pid);
    if (it != outbound_.end() && it->second->Done()) {
      // Its answers are all given; the next poke goes on a fresh connection.
      it->second->deleteLater();
      outbound_.erase(it);
      it = outbound_.end();
    }
    if (it == outbound_.end()) it = outbound_.emplace(e.pid, new Outbound(*this, SocketPath(e.pid))).first;
    it->second->Add(bytes, done);
  }
  return count;
}

PokeAnswer QtLinkEndpoint::PokeAndWait(const std::string& socketPath, const PokeMessage& message,
                                       int timeoutMs) {
  std::string bytes = EncodePoke(message);
  if (bytes.empty()) return PokeAnswer::TooLong;
  QLocalSocket socket;
  socket.connectToServer(ToQString(socketPath));
  if (!socket.waitForConnected(timeoutMs)) return PokeAnswer::NoAnswer;
  socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
  QDeadlineTimer deadline(timeoutMs);
  while (socket.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) break;
  }
  while (!socket.canReadLine()) {
    if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState) break;
    socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
  }
  if (!socket.canReadLine()) return PokeAnswer::NoAnswer;
  QByteArray line = socket.readLine(256);
  return ParseAnswerLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
}

}  // namespace qn
