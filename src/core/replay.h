// The demo replay: recorded traffic from ARCHIVE\DEMO.TXT played back at random
// pauses, as if a node had sent it. First line: the longest pause in seconds.
//   20
//   DX de K1ABC:     14025.0  DL1XYZ       up 2                          1234Z
#pragma once

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace qn {

class Instance;

class Replay {
 public:
  static constexpr int kFirstTickMs = 60000;

  explicit Replay(Instance& app);
  // False when the file cannot be read (nothing to replay).
  bool Start(int firstTickMs = kFirstTickMs);
  bool Running() const { return timer_ && timer_->Enabled(); }
  int LongestPauseSeconds() const { return longestPause_; }
  int CurrentIntervalMs() const { return timer_ ? timer_->Interval() : 0; }

  // Spot lines go on to the spot pipeline; the speech player is started after
  // each line. Set by the subsystems that own those.
  std::function<void(const std::string& line)> onSpotLine;
  std::function<void()> onAfterLine;
  // For tests: the source of numbers in [0, 1).
  std::function<double()> random;

  // "hhnn" of UTC put before the first "Z" at or after column 74.
  static std::string StampSpotTime(std::string line, const std::string& hhnn);

 private:
  void Tick();
  Instance& app_;
  std::vector<std::string> lines_;
  std::size_t next_ = 1;
  int longestPause_ = 20;
  std::unique_ptr<Timer> timer_;
  std::mt19937 rng_;
};

}  // namespace qn
