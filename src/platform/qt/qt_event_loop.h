// The EventLoop port on Qt's event loop: QTimer timers, nested-loop waits that
// sleep until an event or the deadline, and queued calls.
#pragma once

#include <QObject>

#include "platform/event_loop.h"

namespace qn {

class QtEventLoop : public QObject, public EventLoop {
  Q_OBJECT
 public:
  std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled, std::function<void()> callback) override;
  bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate) override;
  void Post(std::function<void()> fn) override;
};

}  // namespace qn
