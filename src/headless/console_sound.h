// The console's sound device: it counts as one output device and, instead of
// playing a recording, prints its file name as a "sound| " line.
#pragma once

#include <functional>
#include <string>

#include "platform/sound_output.h"

namespace qn {

class ConsoleSoundOutput : public SoundOutput {
 public:
  // print(kind, text) writes one console line.
  explicit ConsoleSoundOutput(std::function<void(const std::string&, const std::string&)> print)
      : print_(std::move(print)) {}
  int DeviceCount() override { return 1; }
  void PlayAsync(const std::filesystem::path& file) override { print_("sound", file.filename().string()); }
  void SetVolume(std::uint16_t, std::uint16_t) override {}

 private:
  std::function<void(const std::string&, const std::string&)> print_;
};

}  // namespace qn
