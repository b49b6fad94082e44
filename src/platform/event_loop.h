// Timers, waits that let events run, and deferred calls. The Qt adapter runs on
// the UI thread's event loop; the test fake runs on a virtual clock.
#pragma once

#include <functional>
#include <memory>

namespace qn {

// A repeating timer in the manner of a form timer: while enabled it fires every
// interval; enabling it or changing the interval starts the count again.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int ms) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled,
                                             std::function<void()> callback) = 0;
  // Lets events run until predicate holds or timeoutMs passed; returns the
  // predicate's last value. Never busy-waits.
  virtual bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate) = 0;
  // Runs fn once, after the current event has been handled.
  virtual void Post(std::function<void()> fn) = 0;
};

}  // namespace qn
