// SoundOutput on Qt Multimedia: the audio outputs Qt reports, and one
// QSoundEffect per recording, kept once loaded so spelling letter after letter
// does not wait for the disk. A new sound cuts the one still playing.
#pragma once

#include <QString>
#include <map>
#include <memory>

#include "platform/sound_output.h"

class QSoundEffect;

namespace qn {

class QtSoundOutput : public SoundOutput {
 public:
  QtSoundOutput();
  ~QtSoundOutput() override;

  int DeviceCount() override;
  void PlayAsync(const std::filesystem::path& file) override;
  void SetVolume(std::uint16_t left, std::uint16_t right) override;

  // Recordings loaded so far and the output volume (0 to 1).
  std::size_t LoadedCount() const { return effects_.size(); }
  float Volume() const { return volume_; }

 private:
  std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
  QSoundEffect* playing_ = nullptr;
  float volume_ = 1.0f;
};

}  // namespace qn
