#include "sound/sound_rules.h"

#include <algorithm>

#include "core/instance.h"
#include "sound/speech_player.h"
#include "sound/speech_queue.h"

namespace qn {

namespace {

int ClampSpeed(int speed) { return std::clamp(speed, SoundRules::kSpeedMin, SoundRules::kSpeedMax); }

}  // namespace

SoundRules::SoundRules(Instance& app, SpeechQueue* speech, SpeechPlayer* player)
    : app_(app), speech_(speech), player_(player), speedAtOpen_(app.Settings().speedFactor) {}

SoundFields SoundRules::Load() const {
  const AppSettings& s = app_.Settings();
  return {s.soundsEnabled, s.voiceSpelling, s.truncateFrequency, ClampSpeed(s.speedFactor),
          std::clamp(static_cast<int>(s.waveVolume), 0, kVolumeMax)};
}

bool SoundRules::VoiceControlsEnabled() const { return app_.State().soundAvailable; }

std::string SoundRules::SpeedLabel(int speed) { return std::to_string(speed); }

std::string SoundRules::VolumeLabel(int volume) { return std::to_string(volume / 2000); }

void SoundRules::VolumeMoved(int volume) {
  if (player_) player_->SetVolume(volume);
}

void SoundRules::Test(const SoundFields& fields) {
  if (!speech_ || !VoiceControlsEnabled()) return;
  speech_->Text() += kSoundTestText;
  app_.Settings().speedFactor = static_cast<std::int16_t>(ClampSpeed(fields.speed));
  if (player_) player_->StartSpeaking();
}

void SoundRules::Save(const SoundFields& fields) {
  AppSettings& s = app_.Settings();
  s.soundsEnabled = fields.sounds;
  s.voiceSpelling = fields.voiceSpelling;
  s.truncateFrequency = fields.truncate;
  s.speedFactor = static_cast<std::int16_t>(ClampSpeed(fields.speed));
  s.waveVolume = std::clamp(fields.volume, 0, kVolumeMax);
  app_.Options().sounds = fields.sounds;
  app_.Options().voiceSpell = fields.voiceSpelling;
  app_.Frame().SetChecked("mnusounds", fields.sounds);
  app_.Frame().SetChecked("mnuvoice", fields.voiceSpelling);
  app_.SaveSettings();
}

void SoundRules::Cancel() {
  // Test may have changed the speed for the moment.
  app_.Settings().speedFactor = speedAtOpen_;
  VolumeMoved(app_.Settings().waveVolume);
}

}  // namespace qn
