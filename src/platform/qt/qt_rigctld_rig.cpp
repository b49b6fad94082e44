#include "platform/qt/qt_rigctld_rig.h"

#include "platform/qt/latin1.h"

namespace qn {

namespace {

std::string CommandName(const std::string& text) {
  switch (text.size() > 1 ? text[1] : ' ') {
    case 'F':
      return "frequency";
    case 'M':
      return "mode";
    case 'S':
      return "split";
    case 'I':
      return "split frequency";
    case 'X':
      return "split mode";
    default:
      return "command";
  }
}

}  // namespace

QtRigctldRig::QtRigctldRig(std::string host, int port, int connectMs, int answerMs)
    : host_(std::move(host)), port_(port), connectMs_(connectMs), answerMs_(answerMs) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] { OnTimeout(); });
}

QtRigctldRig::~QtRigctldRig() { Close(); }

std::string QtRigctldRig::Where() const { return "rigctld at " + host_ + ":" + std::to_string(port_); }

void QtRigctldRig::Tune(const RigOrder& order, std::function<void(const RigResult&)> done) {
  Job job;
  job.commands = RigctldTuneCommands(order);
  auto commands = job.commands;
  job.finish = [done, commands](const std::vector<RigctldAnswer>& answers, const std::string& error) {
    if (!error.empty()) return done({false, error});
    for (std::size_t i = 0; i < answers.size() && i < commands.size(); ++i) {
      if (answers[i].code != 0 && !commands[i].mayFail)
        return done({false, "the rig refused the " + CommandName(commands[i].text) + ": " +
                                HamlibErrorText(answers[i].code)});
    }
    done({true, ""});
  };
  Add(std::move(job));
}

void QtRigctldRig::Read(std::function<void(const RigReading&)> done) {
  Job job;
  job.commands = RigctldReadCommands();
  job.finish = [done](const std::vector<RigctldAnswer>& answers, const std::string& error) {
    if (!error.empty() || answers.size() < 2) return done({false, error, 0, "", 0});
    done(RigctldReading(answers[0], answers[1]));
  };
  Add(std::move(job));
}

void QtRigctldRig::Close() {
  *alive_ = false;
  alive_ = std::make_shared<bool>(true);
  waiting_.clear();
  DropConnection();
}

void QtRigctldRig::DropConnection() {
  busy_ = false;
  deadline_.stop();
  if (socket_) {
    socket_->disconnect(this);
    socket_->abort();
    // Not deleted at once: this may run inside one of its own signals.
    socket_.release()->deleteLater();
  }
  reader_.Reset();
}

void QtRigctldRig::Add(Job job) {
  if (waiting_.size() >= kMaxWaiting) {
    job.finish({}, Where() + " is busy");
    return;
  }
  waiting_.push_back(std::move(job));
  if (!busy_) Next();
}

void QtRigctldRig::Next() {
  if (waiting_.empty()) {
    busy_ = false;
    deadline_.stop();
    return;
  }
  busy_ = true;
  if (socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
    SendCurrent();
    return;
  }
  if (socket_) return;  // connecting; connected() sends
  socket_ = std::make_unique<QTcpSocket>();
  reader_.Reset();
  QTcpSocket* s = socket_.get();
  connect(s, &QTcpSocket::connected, this, [this] { SendCurrent(); });
  connect(s, &QTcpSocket::readyRead, this, [this] { OnData(); });
  connect(s, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
    std::string what;
    switch (e) {
      case QAbstractSocket::ConnectionRefusedError:
        what = Where() + " refused the connection (is rigctld running?)";
        break;
      case QAbstractSocket::RemoteHostClosedError:
        what = Where() + " closed the connection";
        break;
      case QAbstractSocket::HostNotFoundError:
        what = "host " + host_ + " not found";
        break;
      default:
        what = Where() + ": " + FromQString(socket_->errorString());
    }
    FailAll(what);
  });
  deadline_.start(connectMs_);
  s->connectToHost(ToQString(host_), static_cast<quint16>(port_));
}

void QtRigctldRig::SendCurrent() {
  if (waiting_.empty() || !socket_) return;
  Job& job = waiting_.front();
  const std::string& text = job.commands[job.answers.size()].text;
  socket_->write(text.data(), static_cast<qint64>(text.size()));
  deadline_.start(answerMs_);
}

void QtRigctldRig::OnData() {
  if (!socket_) return;
  QByteArray bytes = socket_->readAll();
  if (!reader_.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    FailAll(Where() + " answered something that is not rigctld's protocol");
    return;
  }
  auto alive = alive_;
  for (RigctldAnswer& a : reader_.Take()) {
    if (waiting_.empty() || !busy_) {
      FailAll(Where() + " answered a question it was not asked");
      return;
    }
    Job& job = waiting_.front();
    job.answers.push_back(std::move(a));
    if (job.answers.size() < job.commands.size()) {
      SendCurrent();
      continue;
    }
    Job done = std::move(job);
    waiting_.pop_front();
    deadline_.stop();
    done.finish(done.answers, {});
    if (!*alive) return;
    Next();
    return;
  }
}

void QtRigctldRig::OnTimeout() {
  bool connecting = socket_ && socket_->state() != QAbstractSocket::ConnectedState;
  FailAll(connecting ? "no connection to " + Where() + " within " + std::to_string(connectMs_ / 1000) + " s"
                     : "no answer from " + Where() + " (is the radio on?)");
}

void QtRigctldRig::FailAll(const std::string& error) {
  auto jobs = std::move(waiting_);
  waiting_.clear();
  // A connection that missed an answer cannot tell which answer is which any more.
  DropConnection();
  auto alive = alive_;
  for (Job& j : jobs) {
    j.finish({}, error);
    if (!*alive) return;
  }
}

}  // namespace qn
