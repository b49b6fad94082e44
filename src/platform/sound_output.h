// Plays the recordings of the sound folder: how many output devices there are,
// one wave file at a time without waiting for its end, and the volume. The
// core never learns when a sound ends; it times the next one from the file size.
#pragma once

#include <cstdint>
#include <filesystem>

namespace qn {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Audio output devices the system reports; 0 keeps the program silent.
  virtual int DeviceCount() = 0;
  // Starts playing a wave file and returns at once; a file that cannot be
  // played is passed over without any stand-in sound.
  virtual void PlayAsync(const std::filesystem::path& file) = 0;
  // Channel volumes 0 (silent) to 65535 (full).
  virtual void SetVolume(std::uint16_t left, std::uint16_t right) = 0;
};

}  // namespace qn
