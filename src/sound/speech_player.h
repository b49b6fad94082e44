// Owns the speech timer, the PTT line and the time of the last ID: takes the
// speech queue's elements off one per tick and plays each element's recording
// through the SoundOutput port, timing the next one from the file's length.
// Reads the settings and state of the instance; the queue belongs to the pipeline.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sound/ptt_line.h"

namespace qn {

class Instance;
class SpeechQueue;
class Timer;

// The recording an element plays: "k.wav" for k or K, "talk.wav" for code 1,
// the alert sound for code 6, ... Empty for pauses, entry ends and characters
// without a recording.
std::optional<std::string> ElementFile(char element, const std::string& alertSound);

// Channel value of a volume setting 0..32767: 0, else 2 * volume + 1 (at most 65535).
std::uint16_t ChannelVolume(int volume);

class SpeechPlayer {
 public:
  // Before the player first sets it.
  static constexpr int kFirstIntervalMs = 100;
  static constexpr int kPauseMs = 1300;
  static constexpr int kGapMs = 100;
  static constexpr int kSpeedStepMs = 50;

  SpeechPlayer(Instance& app, SpeechQueue& queue);
  ~SpeechPlayer();
  SpeechPlayer(const SpeechPlayer&) = delete;
  SpeechPlayer& operator=(const SpeechPlayer&) = delete;

  // Starts the timer when idle and something is queued.
  void StartSpeaking();
  // One element (or the start or end of a transmission).
  void SpeechTimerTick();
  // F9: the last accepted spot's call and frequency once more.
  void RepeatLastSpot();
  // 1: this program is in front; 0: another copy is, or was running first; 2: neither.
  int AudioAllowed() const;
  void SetVolume(int volume);
  // Escape: the rest of the entry being spoken is dropped. False when nothing is queued.
  bool SkipSpokenEntry();
  // Empties the queue and lets the transmission end at the next tick.
  void Silence();
  // Plays whatever is queued to its end before returning (the test buttons).
  void PlayToEnd();
  // Saving an ID interval starts it again from now.
  void RestartIdInterval();

  PttLine& Ptt() { return ptt_; }
  Timer& SpeechTimer() { return *timer_; }
  double LastIdSeconds() const { return lastIdSeconds_; }

  // The call and frequency of the last accepted spot (F9 repeats them).
  struct LastSpot {
    std::string call;
    std::string frequency;
  };
  std::function<LastSpot()> lastSpot;

  // Between two spoken entries and at the end of a transmission (the web
  // poller's pending work starts here).
  std::function<void()> onEndOfEntry;

 private:
  void IdCheck();
  bool PlayOneElement();
  void RunEndOfEntry();
  int SpeedAdjust(int ms) const;
  std::optional<std::filesystem::path> FindRecording(const std::string& name);

  Instance& app_;
  SpeechQueue& queue_;
  std::unique_ptr<Timer> timer_;
  PttLine ptt_;
  double lastIdSeconds_ = 0;
  bool ticking_ = false;
  std::string cachedFolder_;
  std::map<std::string, std::filesystem::path> recordings_;  // by lower-case name
};

}  // namespace qn
