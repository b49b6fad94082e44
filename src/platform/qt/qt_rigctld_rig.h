// The Rig port as a client of rigctld over QTcpSocket. Connects when first
// asked, sends one command at a time and waits for its answer under a time-out;
// a refused connection, garbage or silence fails what is waiting and drops the
// connection, and the next request connects afresh. Never blocks.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rig.h"
#include "rig/rigctld_protocol.h"

namespace qn {

class QtRigctldRig : public QObject, public Rig {
  Q_OBJECT
 public:
  static constexpr int kConnectMs = 3000;
  static constexpr int kAnswerMs = 2000;
  // Requests beyond this many waiting fail at once instead of piling up.
  static constexpr std::size_t kMaxWaiting = 16;

  QtRigctldRig(std::string host, int port, int connectMs = kConnectMs, int answerMs = kAnswerMs);
  ~QtRigctldRig() override;

  void Tune(const RigOrder& order, std::function<void(const RigResult&)> done) override;
  void Read(std::function<void(const RigReading&)> done) override;
  void Close() override;

 private:
  struct Job {
    std::vector<RigctldCommand> commands;
    std::vector<RigctldAnswer> answers;
    // Answers, or the error that ended the job.
    std::function<void(const std::vector<RigctldAnswer>&, const std::string& error)> finish;
  };

  void Add(Job job);
  void Next();
  void SendCurrent();
  void OnData();
  void OnTimeout();
  void FailAll(const std::string& error);
  void DropConnection();
  std::string Where() const;

  std::string host_;
  int port_;
  int connectMs_;
  int answerMs_;
  std::unique_ptr<QTcpSocket> socket_;
  QTimer deadline_;
  RigctldReader reader_;
  std::deque<Job> waiting_;
  bool busy_ = false;  // the front job has been started
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qn
