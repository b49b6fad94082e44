#include "rig/rig_control_rules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/files.h"
#include "core/text.h"
#include "rig/rig_control.h"
#include "rig/rig_file.h"

namespace qn {

namespace {

bool Number(const std::string& text, long long low, long long high, int& out) {
  std::string t = Trim(text);
  if (t.empty() || t.size() > 9 ||
      !std::all_of(t.begin(), t.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return false;
  long long v = ValInt(t);
  if (v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

constexpr std::array<int, 10> kSpeeds = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800};

}  // namespace

RigFields FieldsOf(const RigSettings& s) {
  return {s.use, s.host, std::to_string(s.port), std::to_string(s.model), s.device, std::to_string(s.speed)};
}

RigFields RigControlRules::Load() const { return FieldsOf(control_.Settings()); }

std::string RigControlRules::Check(const RigFields& f, RigSettings& s) {
  s.use = f.use;
  s.host = Trim(f.host);
  s.device = Trim(f.device);
  // The other access's fields are kept as they are, valid or not, for the next switch.
  Number(f.port, 1, 65535, s.port);
  Number(f.model, 1, 999999, s.model);
  Number(f.speed, 1, 10000000, s.speed);
  if (f.use == RigAccess::Rigctld) {
    if (s.host.empty()) return "Please enter the host where rigctld runs (127.0.0.1 when it runs here).";
    if (s.host.find_first_of(" \t'") != std::string::npos)
      return "The host name must not hold blanks or quotes.";
    if (!Number(f.port, 1, 65535, s.port))
      return "The port must be a number from 1 to 65535 (rigctld uses 4532).";
  } else if (f.use == RigAccess::Hamlib) {
    if (!Number(f.model, 1, 999999, s.model))
      return "The rig model must be Hamlib's model number (\"rigctl -l\" lists them; 1 is the dummy rig).";
    if (s.device.empty()) return "Please enter the radio's serial device, e.g. /dev/ttyUSB0.";
    if (s.device.find('\'') != std::string::npos) return "The device name must not hold a quote.";
    int speed = 0;
    if (!Number(f.speed, 1, 10000000, speed) ||
        std::find(kSpeeds.begin(), kSpeeds.end(), speed) == kSpeeds.end())
      return "The speed must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800.";
    s.speed = speed;
  }
  return {};
}

std::string RigControlRules::Save(const RigFields& fields) {
  RigSettings s = control_.Settings();
  if (std::string error = Check(fields, s); !error.empty()) return error;
  if (!SaveRigSettings(folder_, s))
    return std::string(kRigFile) + " could not be written in " + folder_.Root().string() + ".";
  control_.Configure(s);
  return {};
}

void RigControlRules::Test(const RigFields& fields, std::function<void(bool, const std::string&)> done) {
  RigSettings s = control_.Settings();
  if (std::string error = Check(fields, s); !error.empty()) {
    done(false, error);
    return;
  }
  control_.Test(s, std::move(done));
}

}  // namespace qn
