// The rules of the sound dialog Frmcfgsnd ("Sound and Voice Parameters"): what
// it shows, the volume that follows its scroll bar at once, "&Test", and what
// "&Save" and "&Cancel" do. The speech player does the speaking.
#pragma once

#include <cstdint>
#include <string>

namespace qn {

class Instance;
class SpeechPlayer;
class SpeechQueue;

inline constexpr const char* kSoundFrameCaption = "Sound and Voice Parameters";
inline constexpr const char* kSoundTestText = "ZX9QQQ ";

struct SoundFields {
  bool sounds = false;         // "&Enable Sounds"
  bool voiceSpelling = false;  // "Enable &Voice Spelling" (Chkenv)
  bool truncate = false;       // "T&runcate frequency" (Chktrunc)
  int speed = 2;               // "Speed &Factor" (HScrspeed)
  int volume = 0;              // "Vol&ume" (HScrvol)
};

class SoundRules {
 public:
  static constexpr int kSpeedMin = 0;
  // Past this the gaps between letters would be gone altogether.
  static constexpr int kSpeedMax = 5;
  static constexpr int kVolumeMax = 32767;

  // The queue and player are those of the instance (none: nothing to test with).
  SoundRules(Instance& app, SpeechQueue* speech, SpeechPlayer* player);

  SoundFields Load() const;
  // Without a sound device the controls are shown but cannot be used.
  bool VoiceControlsEnabled() const;
  static std::string SpeedLabel(int speed);
  static std::string VolumeLabel(int volume);

  // The scroll bar moved: the new volume is heard at once.
  void VolumeMoved(int volume);
  // Speaks the test text at the chosen speed.
  void Test(const SoundFields& fields);
  void Save(const SoundFields& fields);
  // Back to the stored volume and speed.
  void Cancel();

 private:
  Instance& app_;
  SpeechQueue* speech_;
  SpeechPlayer* player_;
  std::int16_t speedAtOpen_;
};

}  // namespace qn
