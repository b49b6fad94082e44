#include "platform/qt/qt_sound_output.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <system_error>

namespace qn {

QtSoundOutput::QtSoundOutput() = default;

QtSoundOutput::~QtSoundOutput() = default;

int QtSoundOutput::DeviceCount() { return static_cast<int>(QMediaDevices::audioOutputs().size()); }

void QtSoundOutput::PlayAsync(const std::filesystem::path& file) {
  std::error_code ec;
  // No stand-in sound for a recording that is not there.
  if (!std::filesystem::is_regular_file(file, ec)) return;
  QString key = QString::fromStdString(file.string());
  auto& effect = effects_[key];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(key));
  }
  effect->setVolume(volume_);
  if (playing_ && playing_ != effect.get()) playing_->stop();
  playing_ = effect.get();
  // Played as soon as it is loaded when this is its first time.
  effect->play();
}

void QtSoundOutput::SetVolume(std::uint16_t left, std::uint16_t right) {
  // One output volume: the louder channel's, as both are set alike anyway.
  volume_ = static_cast<float>(std::max(left, right)) / 65535.0f;
  for (auto& [name, effect] : effects_) effect->setVolume(volume_);
}

}  // namespace qn
