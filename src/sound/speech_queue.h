// Owns the speech queue text: one character per element to be played (sound
// events, spelled calls and frequencies, alert sounds, entry ends). The spot
// pipeline and the alerts append to it; the player takes elements off the front.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qn {

class SpeechQueue {
 public:
  static constexpr char kTalkSound = '\x01';
  static constexpr char kAnnouncementSound = '\x02';
  static constexpr char kSpotSound = '\x03';
  static constexpr char kIdSound = '\x04';
  static constexpr char kEndOfEntry = '\x05';
  static constexpr char kAlertSound = '\x06';
  static constexpr char kStartMark = '\xff';
  // Past this length the oldest whole entries are dropped before a spot is added.
  static constexpr std::size_t kCap = 1200;
  // The cut starts at the first entry end from this (1-based) position on.
  static constexpr std::size_t kCutFrom = 1100;

  // The settings that decide whether a sound event is queued.
  struct SoundGate {
    bool sounds = false;
    bool soundDevice = false;
    bool silenceOnTalksAndAnns = false;
  };

  // The raw text, for the player and the alert sounds.
  std::string& Text() { return text_; }
  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }
  void Clear() { text_.clear(); }

  bool Speaking() const { return speaking_; }
  void SetSpeaking(bool on) { speaking_ = on; }

  // code: 1 talk, 2 announcement, 3 spot. Returns whether it was queued.
  bool QueueSoundEvent(int code, const SoundGate& gate);
  // A spelled DX call and frequency, capped first.
  void QueueSpot(std::string_view call, std::string_view frequency, bool truncateFrequency, bool doubleSpell);
  // The alert sound, repetitions times, as an entry of its own.
  void QueueAlert(int repetitions);

  // Drops old entries when the queue is past kCap (see kCutFrom).
  void Cap();

 private:
  // Code 5 before an entry on a non-empty queue, the start mark on an empty one.
  void BeginEntry();

  std::string text_;
  bool speaking_ = false;
};

// The frequency as spoken with Truncate frequency on: whole megahertz, "0" below 1 MHz.
std::string TruncatedFrequency(std::string_view frequency);

}  // namespace qn
