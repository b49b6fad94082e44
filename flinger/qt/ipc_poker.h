// Hands lines to item "Textin" of every running Quillnet copy through the
// local links, one kept connection per copy.
#pragma once

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/flinger.h"
#include "runtime_folder.h"

namespace fl {

class IpcPoker : public QObject, public CopyPoker {
  Q_OBJECT

 public:
  // What may wait for one copy that does not take its pokes; more is dropped
  // and said once.
  static constexpr std::size_t kMaxQueuedBytes = 4 * 1024 * 1024;
  static constexpr int kIdleCloseMs = 5000;

  explicit IpcPoker(RuntimeFolder& folder, std::string application = "quillnet", std::string item = "Textin");
  ~IpcPoker() override;

  void PokeAllCopies(const std::string& text) override;
  std::function<void(const std::string&)> onNote;

 private:
  struct Pending {
    std::string bytes;
    bool retried = false;
  };
  struct Target {
    long pid = 0;
    std::string topic;
    std::string socketPath;
    QLocalSocket* socket = nullptr;
    std::deque<Pending> queue;
    std::deque<Pending> inFlight;
    std::size_t queuedBytes = 0;
    std::string answers;
    bool dropping = false;
    QTimer idle;
  };
  void RefreshCopies();
  void Pump(Target& t);
  void ReadAnswers(Target& t);
  void Lost(Target& t, bool gone);

  RuntimeFolder& folder_;
  std::string application_, item_;
  long ownPid_;
  std::vector<std::pair<long, std::string>> copies_;
  QElapsedTimer listedAt_;
  std::map<long, std::unique_ptr<Target>> targets_;
};

}  // namespace fl
