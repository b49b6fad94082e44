// One body of tests for the EventLoop port, run against the virtual-time fake
// and the Qt adapter, so that the fake cannot drift from what Qt does.
#include <gtest/gtest.h>

#include <memory>

#include "fakes/virtual_time.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_event_loop.h"

namespace {

struct FakeEnv {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
};

struct QtEnv {
  qn::QtClock clock;
  qn::QtEventLoop loop;
};

template <typename Env>
class EventLoopContract : public ::testing::Test {
 protected:
  Env env;
  qn::EventLoop& Loop() { return env.loop; }
  std::int64_t Now() { return env.clock.TickMs(); }
};

using Envs = ::testing::Types<FakeEnv, QtEnv>;
TYPED_TEST_SUITE(EventLoopContract, Envs);

TYPED_TEST(EventLoopContract, TimerFiresRepeatedlyUntilDisabled) {
  int count = 0;
  std::unique_ptr<qn::Timer> t;
  t = this->Loop().CreateTimer(20, true, [&] {
    if (++count == 3) t->SetEnabled(false);
  });
  EXPECT_TRUE(t->Enabled());
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [&] { return count >= 3; }));
  EXPECT_FALSE(t->Enabled());
  EXPECT_FALSE(this->Loop().WaitUntil(150, [&] { return count > 3; }));
  EXPECT_EQ(count, 3);
  // Enabled again, it counts its interval afresh and fires again.
  t->SetEnabled(true);
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [&] { return count == 4; }));
}

TYPED_TEST(EventLoopContract, DisabledTimerNeverFires) {
  int count = 0;
  auto t = this->Loop().CreateTimer(10, false, [&] { ++count; });
  EXPECT_FALSE(this->Loop().WaitUntil(100, [&] { return count > 0; }));
  t->SetInterval(15);  // a new interval does not enable it
  EXPECT_FALSE(this->Loop().WaitUntil(100, [&] { return count > 0; }));
  EXPECT_EQ(t->Interval(), 15);
}

TYPED_TEST(EventLoopContract, ZeroIntervalWaitsForAnInterval) {
  int count = 0;
  auto t = this->Loop().CreateTimer(0, true, [&] { ++count; });
  EXPECT_FALSE(this->Loop().WaitUntil(60, [&] { return count > 0; }));
  t->SetInterval(10);
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [&] { return count > 0; }));
}

TYPED_TEST(EventLoopContract, WaitUntilTrueWhenATimerMakesItSo) {
  bool flag = false;
  auto start = this->Now();
  auto t = this->Loop().CreateTimer(40, true, [&] { flag = true; });
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [&] { return flag; }));
  EXPECT_GE(this->Now() - start, 40);
  // An already true predicate returns at once.
  auto before = this->Now();
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [] { return true; }));
  EXPECT_LT(this->Now() - before, 1000);
}

TYPED_TEST(EventLoopContract, WaitUntilFalseAtTheDeadline) {
  auto start = this->Now();
  EXPECT_FALSE(this->Loop().WaitUntil(80, [] { return false; }));
  auto waited = this->Now() - start;
  EXPECT_GE(waited, 80);
  EXPECT_LT(waited, 3000);
}

TYPED_TEST(EventLoopContract, PostedCallRunsLaterNotAtOnce) {
  int ran = 0;
  this->Loop().Post([&] { ++ran; });
  EXPECT_EQ(ran, 0);
  EXPECT_TRUE(this->Loop().WaitUntil(1000, [&] { return ran == 1; }));
  EXPECT_FALSE(this->Loop().WaitUntil(50, [&] { return ran > 1; }));
}

TYPED_TEST(EventLoopContract, TimerMayDestroyItselfInItsCallback) {
  int count = 0;
  std::unique_ptr<qn::Timer> t;
  t = this->Loop().CreateTimer(10, true, [&] {
    ++count;
    t.reset();
  });
  EXPECT_TRUE(this->Loop().WaitUntil(5000, [&] { return t == nullptr; }));
  EXPECT_FALSE(this->Loop().WaitUntil(80, [&] { return count > 1; }));
  EXPECT_EQ(count, 1);
}

TYPED_TEST(EventLoopContract, NestedWaitLetsOtherTimersRun) {
  int ticks = 0;
  bool nestedResult = false;
  bool done = false;
  auto ticker = this->Loop().CreateTimer(10, true, [&] { ++ticks; });
  std::unique_ptr<qn::Timer> outer;
  outer = this->Loop().CreateTimer(20, true, [&] {
    outer->SetEnabled(false);
    int at = ticks;
    nestedResult = this->Loop().WaitUntil(5000, [&] { return ticks >= at + 3; });
    done = true;
  });
  EXPECT_TRUE(this->Loop().WaitUntil(10000, [&] { return done; }));
  EXPECT_TRUE(nestedResult);
}

}  // namespace
