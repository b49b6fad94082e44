#include "fakes/virtual_time.h"

#include <algorithm>
#include <limits>

namespace qn::fakes {

DateTime VirtualClock::LocalNow() const {
  return DateTime::FromSerial(startSerial_ + static_cast<double>(nowMs_ + wallOffsetMs_) / 86400000.0);
}

void VirtualClock::SetLocal(DateTime t) {
  wallOffsetMs_ = static_cast<std::int64_t>((t.ToSerial() - startSerial_) * 86400000.0 + 0.5) - nowMs_;
}

struct FakeEventLoop::TimerRec {
  int interval = 0;
  bool enabled = false;
  std::int64_t due = 0;
  std::uint64_t order = 0;
  std::function<void()> callback;
  bool firing = false;
};

class FakeTimer : public Timer {
 public:
  FakeTimer(FakeEventLoop& loop, FakeEventLoop::TimerRec* rec) : loop_(loop), rec_(rec) {}
  ~FakeTimer() override {
    auto& v = loop_.timers_;
    v.erase(std::remove(v.begin(), v.end(), rec_), v.end());
    delete rec_;
  }
  void SetInterval(int ms) override {
    rec_->interval = ms;
    Rearm();
  }
  int Interval() const override { return rec_->interval; }
  void SetEnabled(bool enabled) override {
    rec_->enabled = enabled;
    Rearm();
  }
  bool Enabled() const override { return rec_->enabled; }

 private:
  void Rearm() {
    rec_->due = loop_.clock_.NowMs() + std::max(rec_->interval, 1);
    rec_->order = ++loop_.seq_;
  }
  FakeEventLoop& loop_;
  FakeEventLoop::TimerRec* rec_;
};

FakeEventLoop::~FakeEventLoop() = default;

std::unique_ptr<Timer> FakeEventLoop::CreateTimer(int intervalMs, bool enabled,
                                                  std::function<void()> callback) {
  auto* rec = new TimerRec;
  rec->interval = intervalMs;
  rec->enabled = enabled;
  rec->due = clock_.NowMs() + std::max(intervalMs, 1);
  rec->order = ++seq_;
  rec->callback = std::move(callback);
  timers_.push_back(rec);
  return std::make_unique<FakeTimer>(*this, rec);
}

FakeEventLoop::TimerRec* FakeEventLoop::NextDue(std::int64_t limit) {
  TimerRec* best = nullptr;
  for (auto* t : timers_) {
    if (!t->enabled || t->firing || t->interval <= 0 || t->due > limit) continue;
    if (!best || t->due < best->due || (t->due == best->due && t->order < best->order)) best = t;
  }
  return best;
}

void FakeEventLoop::RunPosted() {
  while (!posted_.empty()) {
    auto fn = std::move(posted_.front());
    posted_.pop_front();
    fn();
  }
}

void FakeEventLoop::Advance(std::int64_t ms) {
  const std::int64_t end = clock_.NowMs() + ms;
  RunPosted();
  for (;;) {
    TimerRec* t = NextDue(end);
    if (!t) break;
    clock_.SetNowMs(std::max(clock_.NowMs(), t->due));
    if (onStep) onStep(clock_.NowMs());
    t->due = clock_.NowMs() + t->interval;
    t->order = ++seq_;
    t->firing = true;
    auto cb = t->callback;
    cb();
    // The callback may have destroyed the timer; look it up before touching it.
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->firing = false;
    RunPosted();
  }
  clock_.SetNowMs(end);
  if (onStep) onStep(end);
  RunPosted();
}

bool FakeEventLoop::WaitUntil(int timeoutMs, const std::function<bool()>& predicate) {
  const std::int64_t end = clock_.NowMs() + timeoutMs;
  // Steps of 10 ms of virtual time: timers due in between fire in order.
  while (true) {
    RunPosted();
    if (predicate()) return true;
    if (clock_.NowMs() >= end) return false;
    Advance(std::min<std::int64_t>(10, end - clock_.NowMs()));
  }
}

std::size_t FakeEventLoop::ActiveTimers() const {
  return static_cast<std::size_t>(std::count_if(timers_.begin(), timers_.end(),
                                                [](const TimerRec* t) { return t->enabled; }));
}

}  // namespace qn::fakes
