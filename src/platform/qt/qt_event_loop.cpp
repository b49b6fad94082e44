#include "platform/qt/qt_event_loop.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>

namespace qn {

namespace {

class QtTimer : public Timer {
 public:
  QtTimer(int intervalMs, bool enabled, std::function<void()> callback)
      : timer_(new QTimer), callback_(std::move(callback)), interval_(intervalMs) {
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, [this] { Fire(); });
    SetEnabled(enabled);
  }

  ~QtTimer() override {
    timer_->stop();
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    // Destroyed from its own callback: the QTimer is still emitting.
    if (firing_) {
      *alive_ = false;
      timer_->deleteLater();
    } else {
      delete timer_;
    }
  }

  void SetInterval(int ms) override {
    interval_ = ms;
    if (enabled_) Restart();
  }
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    if (enabled)
      Restart();
    else
      timer_->stop();
  }
  bool Enabled() const override { return enabled_; }

 private:
  void Restart() {
    // A zero interval would fire whenever the loop is idle; such a timer waits
    // for an interval instead, as a form timer does.
    if (interval_ > 0)
      timer_->start(interval_);
    else
      timer_->stop();
  }
  void Fire() {
    auto alive = alive_;
    auto callback = callback_;  // the callback may destroy this timer
    firing_ = true;
    callback();
    if (*alive) firing_ = false;
  }

  QTimer* timer_;
  std::function<void()> callback_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int interval_;
  bool enabled_ = false;
  bool firing_ = false;
};

}  // namespace

QtEventLoop::QtEventLoop() : context_(std::make_unique<QObject>()) {}

QtEventLoop::~QtEventLoop() = default;

std::unique_ptr<Timer> QtEventLoop::CreateTimer(int intervalMs, bool enabled,
                                                std::function<void()> callback) {
  return std::make_unique<QtTimer>(intervalMs, enabled, std::move(callback));
}

bool QtEventLoop::WaitUntil(int timeoutMs, const std::function<bool()>& predicate) {
  if (predicate()) return true;
  const int timeout = std::max(timeoutMs, 0);
  QDeadlineTimer deadline(timeout, Qt::PreciseTimer);
  // Wakes the dispatcher at the deadline when nothing else happens.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  bool expired = false;
  QObject::connect(&wake, &QTimer::timeout, [&expired] { expired = true; });
  wake.start(timeout);
  QEventLoop nested;
  for (;;) {
    if (expired || deadline.hasExpired()) return predicate();
    nested.processEvents(QEventLoop::WaitForMoreEvents);
    if (predicate()) return true;
  }
}

void QtEventLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      context_.get(), [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

}  // namespace qn
