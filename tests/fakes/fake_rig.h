// A radio for tests: remembers what it was told, answers readings with what it
// was last tuned to, and can fail or hold its answers (a radio that never
// answers). Answers come through the event loop's Post, as from a real socket.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/rig.h"

namespace qn::fakes {

struct FakeRadio {
  RigReading state{true, "", 14000000, "USB", 0};
  std::vector<RigOrder> orders;
  int reads = 0;
  std::string failWith;  // non-empty: every call fails with this error
  bool silent = false;   // answers are kept back until Answer()
  std::vector<std::function<void()>> held;
  int created = 0;
  int closed = 0;

  void Answer() {
    auto h = std::move(held);
    held.clear();
    for (auto& f : h) f();
  }
};

class FakeRig : public Rig {
 public:
  FakeRig(EventLoop& loop, FakeRadio& radio) : loop_(loop), radio_(radio) {}
  ~FakeRig() override { Close(); }

  void Tune(const RigOrder& order, std::function<void(const RigResult&)> done) override {
    Deliver([this, order, done] {
      if (!radio_.failWith.empty()) return done({false, radio_.failWith});
      radio_.orders.push_back(order);
      radio_.state.hz = order.rxHz;
      if (!order.mode.empty()) radio_.state.mode = order.mode;
      done({true, ""});
    });
  }
  void Read(std::function<void(const RigReading&)> done) override {
    Deliver([this, done] {
      ++radio_.reads;
      if (!radio_.failWith.empty()) return done({false, radio_.failWith, 0, "", 0});
      done(radio_.state);
    });
  }
  void Close() override {
    if (*alive_) ++radio_.closed;
    *alive_ = false;
  }

 private:
  void Deliver(std::function<void()> f) {
    auto alive = alive_;
    auto guarded = [alive, f] {
      if (*alive) f();
    };
    if (radio_.silent)
      radio_.held.push_back(guarded);
    else
      loop_.Post(guarded);
  }

  EventLoop& loop_;
  FakeRadio& radio_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class FakeRigFactory : public RigFactory {
 public:
  FakeRigFactory(EventLoop& loop, FakeRadio& radio) : loop_(loop), radio_(radio) {}
  std::unique_ptr<Rig> Create(const RigSettings& settings) override {
    last = settings;
    ++radio_.created;
    return std::make_unique<FakeRig>(loop_, radio_);
  }
  RigSettings last;

 private:
  EventLoop& loop_;
  FakeRadio& radio_;
};

}  // namespace qn::fakes
