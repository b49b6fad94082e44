// The Rig port on Hamlib's own library, for a radio on a serial device with no
// rigctld in between. Hamlib's calls block until the radio answers, so they
// run on a worker thread of this rig's own, each bounded by Hamlib's time-out
// (kTimeoutMs, one retry); the answers are handed to the UI thread through
// the post function. Close never waits: the worker finishes the call it is in
// and then closes the radio by itself.
#pragma once

#include <functional>
#include <memory>

#include "platform/rig.h"

namespace qn {

class HamlibRig : public Rig {
 public:
  static constexpr int kTimeoutMs = 800;
  static constexpr std::size_t kMaxWaiting = 16;

  // post runs a function on the UI thread; it is called from the worker.
  HamlibRig(const RigSettings& settings, std::function<void(std::function<void()>)> post);
  ~HamlibRig() override;

  void Tune(const RigOrder& order, std::function<void(const RigResult&)> done) override;
  void Read(std::function<void(const RigReading&)> done) override;
  void Close() override;

  struct Worker;

 private:
  std::shared_ptr<Worker> worker_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qn
