#include "rig/rigctld_protocol.h"

#include <array>
#include <cctype>

#include "core/text.h"

namespace qn {

std::string RigctldAnswer::Field(std::string_view name) const {
  for (const auto& [key, value] : fields)
    if (key == name) return value;
  return {};
}

std::vector<RigctldCommand> RigctldTuneCommands(const RigOrder& order) {
  std::vector<RigctldCommand> c;
  c.push_back({"+F " + std::to_string(order.rxHz) + "\n"});
  // Passband 0: the rig's own default width for the mode.
  if (!order.mode.empty()) c.push_back({"+M " + order.mode + " 0\n"});
  if (order.split) {
    c.push_back({"+S 1 VFOB\n"});
    c.push_back({"+I " + std::to_string(order.txHz) + "\n"});
    if (!order.mode.empty()) c.push_back({"+X " + order.mode + " 0\n"});
  } else {
    c.push_back({"+S 0 VFOA\n", true});
  }
  return c;
}

std::vector<RigctldCommand> RigctldReadCommands() { return {{"+f\n"}, {"+m\n"}}; }

bool RigctldReader::Feed(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\n') {
      std::string line = partial_;
      partial_.clear();
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!Line(line)) return false;
    } else {
      partial_ += c;
      if (partial_.size() > kMaxLine) return false;
    }
  }
  return true;
}

bool RigctldReader::Line(const std::string& line) {
  if (line.empty()) return true;
  if (StartsWith(line, "RPRT ")) {
    std::string code = Trim(line.substr(5));
    if (code.empty() || code.size() > 4) return false;
    for (std::size_t i = 0; i < code.size(); ++i)
      if (!(std::isdigit(static_cast<unsigned char>(code[i])) || (i == 0 && code[i] == '-'))) return false;
    current_.code = static_cast<int>(ValInt(code));
    done_.push_back(std::move(current_));
    current_ = {};
    return true;
  }
  // "get_freq:", "set_freq: 14025000" or "Frequency: 14025000".
  auto colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (!std::isalnum(c) && c != '_' && c != ' ') return false;
  }
  if (current_.fields.size() >= 32) return false;
  current_.fields.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
  return true;
}

std::vector<RigctldAnswer> RigctldReader::Take() {
  std::vector<RigctldAnswer> r;
  r.swap(done_);
  return r;
}

void RigctldReader::Reset() {
  partial_.clear();
  current_ = {};
  done_.clear();
}

std::string HamlibErrorText(int code) {
  static const std::array<const char*, 18> kTexts = {
      "done",
      "invalid parameter",
      "invalid configuration",
      "out of memory",
      "not implemented by this rig",
      "the radio did not answer in time",
      "input/output error with the radio",
      "internal Hamlib error",
      "protocol error with the radio",
      "the radio refused the command",
      "answer cut short",
      "not available on this rig",
      "VFO not targetable",
      "bus error",
      "bus collision",
      "invalid argument",
      "invalid VFO",
      "argument out of range",
  };
  int i = code < 0 ? -code : code;
  if (i < static_cast<int>(kTexts.size())) return kTexts[static_cast<std::size_t>(i)];
  return "error " + std::to_string(code);
}

RigReading RigctldReading(const RigctldAnswer& frequency, const RigctldAnswer& mode) {
  RigReading r;
  if (frequency.code != 0 || mode.code != 0) {
    r.error = HamlibErrorText(frequency.code != 0 ? frequency.code : mode.code);
    return r;
  }
  std::string f = frequency.Field("Frequency");
  std::string m = mode.Field("Mode");
  // Some rigs report fractional hertz ("14025000.000000").
  double hz = Val(f);
  if (f.empty() || m.empty() || hz <= 0 || hz > 1e12) {
    r.error = "unexpected answer from rigctld";
    return r;
  }
  r.ok = true;
  r.hz = static_cast<std::int64_t>(hz + 0.5);
  r.mode = m;
  r.passbandHz = static_cast<int>(ValInt(mode.Field("Passband")));
  return r;
}

}  // namespace qn
