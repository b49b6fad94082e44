// The EventLoop port on Qt's event loop of the UI thread: timers on QTimer,
// waits that run a nested loop until the predicate holds or the deadline
// passes, and calls posted to run after the current event.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/event_loop.h"

namespace qn {

class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;

  std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled, std::function<void()> callback) override;
  bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate) override;
  void Post(std::function<void()> fn) override;

 private:
  // Posted calls are delivered to this object, so they die with the loop.
  std::unique_ptr<QObject> context_;
};

}  // namespace qn
