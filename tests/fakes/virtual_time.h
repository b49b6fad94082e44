// Deterministic stand-ins for the event loop and the clock, sharing one virtual
// clock: Advance(ms) fires every timer that falls due, in time order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "core/date_time.h"
#include "platform/clock.h"
#include "platform/event_loop.h"

namespace qn::fakes {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(DateTime start = {2026, 12, 7, 12, 0, 0, 0}) : startSerial_(start.ToSerial()) {}
  DateTime LocalNow() const override;
  std::int64_t TickMs() const override { return nowMs_; }
  std::int64_t NowMs() const { return nowMs_; }
  void SetNowMs(std::int64_t ms) { nowMs_ = ms; }
  // Moves the wall clock to a new local time without touching the tick.
  void SetLocal(DateTime t);

 private:
  double startSerial_;
  std::int64_t wallOffsetMs_ = 0;
  std::int64_t nowMs_ = 0;
};

class FakeEventLoop : public EventLoop {
 public:
  explicit FakeEventLoop(VirtualClock& clock) : clock_(clock) {}
  ~FakeEventLoop() override;

  std::unique_ptr<Timer> CreateTimer(int intervalMs, bool enabled,
                                     std::function<void()> callback) override;
  bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate) override;
  void Post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }

  // Runs posted calls and due timers up to now + ms, in time order.
  void Advance(std::int64_t ms);
  // Runs the posted calls only.
  void RunPosted();
  std::size_t ActiveTimers() const;
  // Called on every step of WaitUntil and Advance; lets a test inject events
  // (data arriving, a key) at a given virtual time.
  std::function<void(std::int64_t nowMs)> onStep;

  struct TimerRec;

 private:
  TimerRec* NextDue(std::int64_t limit);
  VirtualClock& clock_;
  std::vector<TimerRec*> timers_;
  std::deque<std::function<void()>> posted_;
  std::uint64_t seq_ = 0;
  friend class FakeTimer;
};

}  // namespace qn::fakes
