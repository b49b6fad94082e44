// The radio as the program sees it: tune it (frequency, mode, split) and read
// back what it is doing. Every call returns at once; the outcome arrives later
// through the callback, on the UI thread, and always arrives (an error or a
// time-out at the latest) unless the rig was closed first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qn {

// Modes use Hamlib's names: "CW", "USB", "LSB", "PKTUSB", "RTTY", "AM", "FM".
struct RigOrder {
  std::int64_t rxHz = 0;
  std::string mode;  // empty: the mode stays as it is
  bool split = false;
  std::int64_t txHz = 0;  // with split
};

struct RigResult {
  bool ok = false;
  std::string error;  // for the status bar: "no answer from 127.0.0.1:4532"
};

struct RigReading {
  bool ok = false;
  std::string error;
  std::int64_t hz = 0;
  std::string mode;
  int passbandHz = 0;  // 0: the rig's default for the mode
};

// How the radio is reached: through a rigctld daemon or Hamlib's own library.
enum class RigAccess { Off, Rigctld, Hamlib };

struct RigSettings {
  RigAccess use = RigAccess::Off;
  std::string host = "127.0.0.1";
  int port = 4532;
  int model = 1;  // Hamlib's model number; 1 is its dummy rig
  std::string device = "/dev/ttyUSB0";
  int speed = 9600;
};

class Rig {
 public:
  virtual ~Rig() = default;
  virtual void Tune(const RigOrder& order, std::function<void(const RigResult&)> done) = 0;
  virtual void Read(std::function<void(const RigReading&)> done) = 0;
  // Drops what is pending; no callback runs after it.
  virtual void Close() = 0;
};

class RigFactory {
 public:
  virtual ~RigFactory() = default;
  // Null when this build cannot reach a rig that way.
  virtual std::unique_ptr<Rig> Create(const RigSettings& settings) = 0;
};

}  // namespace qn
