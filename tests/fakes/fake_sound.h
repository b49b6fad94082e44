// Records what the core plays and writes to the PTT port, each with the
// virtual time it happened at, instead of making a sound or keying anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/virtual_time.h"
#include "platform/port_io.h"
#include "platform/sound_output.h"

namespace qn::fakes {

class FakeSoundOutput : public SoundOutput {
 public:
  explicit FakeSoundOutput(VirtualClock& clock) : clock_(clock) {}
  struct Played {
    std::string file;  // file name only
    std::int64_t atMs;
  };
  int DeviceCount() override { return devices; }
  void PlayAsync(const std::filesystem::path& file) override {
    played.push_back({file.filename().string(), clock_.NowMs()});
  }
  void SetVolume(std::uint16_t l, std::uint16_t r) override { volumes.push_back({l, r}); }

  std::vector<std::string> Files() const {
    std::vector<std::string> r;
    for (const auto& p : played) r.push_back(p.file);
    return r;
  }

  int devices = 0;
  std::vector<Played> played;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> volumes;

 private:
  VirtualClock& clock_;
};

// A port byte per address; addresses in `absent` do not answer.
class FakePortIo : public PortIo {
 public:
  explicit FakePortIo(VirtualClock& clock) : clock_(clock) {}
  struct Written {
    std::uint16_t address;
    std::uint8_t value;
    std::int64_t atMs;
  };
  bool SelectDevice(const std::string& device, bool useDtr, std::string& error) override {
    selected = device;
    dtr = useDtr;
    if (!selectSucceeds) error = "cannot open it";
    return selectSucceeds;
  }
  std::optional<std::uint8_t> Read(std::uint16_t address) override {
    if (!Answers(address)) return std::nullopt;
    return bytes[address];
  }
  bool Write(std::uint16_t address, std::uint8_t value) override {
    if (!Answers(address)) return false;
    // A port that is not there reads back its own pattern, not what was written.
    bytes[address] = floating.count(address) ? floating[address] : value;
    writes.push_back({address, value, clock_.NowMs()});
    return true;
  }
  bool Answers(std::uint16_t address) const { return !absentAll && !absent.count(address); }

  std::map<std::uint16_t, std::uint8_t> bytes;
  std::map<std::uint16_t, std::uint8_t> floating;
  std::map<std::uint16_t, bool> absent;
  bool absentAll = false;
  std::vector<Written> writes;
  std::string selected;
  bool dtr = false;
  bool selectSucceeds = true;

 private:
  VirtualClock& clock_;
};

}  // namespace qn::fakes
