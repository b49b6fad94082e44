#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace qn {

namespace {

class QtTimer : public Timer {
 public:
  QtTimer(int intervalMs, bool enabled, std::function<void()> callback) : callback_(std::move(callback)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      // The callback may delete this timer; copy what it needs first.
      auto cb = callback_;
      cb();
    });
    if (enabled) timer_.start();
  }
  void SetInterval(int ms) override {
    timer_.setInterval(ms);
    if (timer_.isActive()) timer_.start();
  }
  int Interval() const override { return timer_.interval(); }
  void SetEnabled(bool enabled) override {
    if (enabled) {
      timer_.start();
    } else {
      timer_.stop();
    }
  }
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
  std::function<void()> callback_;
};

}  // namespace

std::unique_ptr<Timer> QtEventLoop::CreateTimer(int intervalMs, bool enabled, std::function<void()> callback) {
  return std::make_unique<QtTimer>(intervalMs, enabled, std::move(callback));
}

bool QtEventLoop::WaitUntil(int timeoutMs, const std::function<bool()>& predicate) {
  if (predicate()) return true;
  QDeadlineTimer deadline(timeoutMs);
  QEventLoop loop;
  // Wakes the nested loop at the deadline; every other wake is an event.
  QTimer wake;
  wake.setSingleShot(true);
  QObject::connect(&wake, &QTimer::timeout, &loop, [] {});
  while (!deadline.hasExpired()) {
    wake.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    if (predicate()) return true;
  }
  return predicate();
}

void QtEventLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

}  // namespace qn
