// Sound and voice of one instance: the player of the speech queue, the sound
// devices and volume at start-up, the PTT port, and the sound menu commands.
#include <string>

#include "app/app.h"
#include "core/text.h"
#include "session/connection_control.h"
#include "session/typed_input.h"
#include "sound/ptt_line.h"
#include "sound/sound_rules.h"
#include "sound/speech_player.h"
#include "traffic/spot_pipeline.h"

namespace qn {

namespace {

constexpr const char* kLptPortFile = "LPTPORT.TXT";

}  // namespace

void App::BuildSoundMenu() {
  menu_.Add({"mnucfgsnd", "&Configuration", "&Sound Effects...", "",
             [this] { OpenDialog(DialogKind::SoundEffects); }, 9});
  menu_.Add({"mnucfgvoice", "&Configuration", "Voice &Broadcaster...", "",
             [this] { OpenDialog(DialogKind::VoiceBroadcaster); }, 13});
  menu_.Add({"mnurepeat", "&Options", "&Repeat Last Spot", "F9",
             [this] {
               if (player_) player_->RepeatLastSpot();
             },
             7});
  // Switching either off drops what is still to be said.
  auto toggleAndSilence = [this](bool AppOptions::*option, const char* id) {
    ToggleOption(option, id);
    if (!(options_.*option) && player_) player_->Silence();
  };
  menu_.Add({"mnusounds", "&Options", "&Sounds", "",
             [toggleAndSilence] { toggleAndSilence(&AppOptions::sounds, "mnusounds"); }, 8, true});
  menu_.Add({"mnuvoice", "&Options", "&Voice Spell", "",
             [toggleAndSilence] { toggleAndSilence(&AppOptions::voiceSpell, "mnuvoice"); }, 10, true});
}

void App::StartUpSound() {
  state_.waveDeviceCount = ports_.sound ? ports_.sound->DeviceCount() : 0;
  state_.soundAvailable = state_.waveDeviceCount > 0;
  for (const char* id : {"mnusounds", "mnuvoice", "mnurepeat"}) frame_.SetEnabled(id, state_.soundAvailable);

  player_ = std::make_unique<SpeechPlayer>(*this, pipeline_->Speech());
  player_->lastSpot = [this] {
    const LastParsedSpot& last = pipeline_->LastAccepted();
    return SpeechPlayer::LastSpot{last.dxCall, last.frequency};
  };
  player_->Ptt().onChanged = [this](bool keyed) {
    if (onPttChanged) onPttChanged(keyed);
  };
  // The copy that was running first keeps the volume it has.
  if (state_.soundAvailable && !state_.otherCopyAtStart) player_->SetVolume(settings_.waveVolume);
  playSpeechNow = [this] { player_->PlayToEnd(); };

  if (connection_) connection_->batchHandled.Subscribe([this] { StartSpeaking(); });
  if (typedInput_) {
    // Before the connection attempt's step, after none: order of precedence.
    auto& steps = typedInput_->escapeSteps;
    steps.insert(steps.begin(), [this] { return SkipSpokenEntry(); });
  }
}

void App::LoadPttPort() {
  if (auto text = folder_.Read(kLptPortFile)) {
    LptPortLine line = ParseLptPortLine(*text);
    state_.lptPort = line.address;
    if (!line.device.empty()) {
      std::string error;
      if (!ports_.portIo || !ports_.portIo->SelectDevice(line.device, line.useDtr, error)) {
        frame_.SetStatus("PTT: " + line.device + (error.empty() ? " is not supported here" : ": " + error));
      }
    }
  } else {
    state_.lptPort = ProbeLptPort(ports_.portIo);
  }
  player_->Ptt().SetAddress(state_.lptPort);
  if (settings_.pttOnLpt1) player_->Ptt().SwitchOff();
}

SoundRules App::MakeSoundRules() {
  return SoundRules(*this, pipeline_ ? &pipeline_->Speech() : nullptr, player_.get());
}

void App::StartSpeaking() {
  if (player_) player_->StartSpeaking();
}

bool App::SkipSpokenEntry() { return player_ && player_->SkipSpokenEntry(); }

}  // namespace qn
