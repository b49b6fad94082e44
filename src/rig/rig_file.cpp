#include "rig/rig_file.h"

#include <array>
#include <vector>

#include "core/files.h"
#include "core/text.h"

namespace qn {

namespace {

struct Entry {
  std::string key;
  std::string value;
};

// The key and value of a line, the comment taken off; key empty for none.
Entry ReadLine(std::string_view line) {
  if (auto quote = line.find('\''); quote != std::string_view::npos) line = line.substr(0, quote);
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  return {LCase(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1))};
}

constexpr std::array<const char*, 6> kKeys = {"use", "host", "port", "model", "device", "speed"};

std::string ValueOf(const RigSettings& s, const std::string& key) {
  if (key == "use") return RigAccessName(s.use);
  if (key == "host") return s.host;
  if (key == "port") return std::to_string(s.port);
  if (key == "model") return std::to_string(s.model);
  if (key == "device") return s.device;
  return std::to_string(s.speed);
}

}  // namespace

const char* RigAccessName(RigAccess use) {
  switch (use) {
    case RigAccess::Rigctld:
      return "rigctld";
    case RigAccess::Hamlib:
      return "hamlib";
    case RigAccess::Off:
      break;
  }
  return "off";
}

RigSettings ParseRigFile(std::string_view text) {
  RigSettings s;
  for (const std::string& line : SplitLines(text)) {
    Entry e = ReadLine(line);
    if (e.key == "use") {
      std::string v = LCase(e.value);
      s.use = v == "rigctld" ? RigAccess::Rigctld : v == "hamlib" ? RigAccess::Hamlib : RigAccess::Off;
    } else if (e.key == "host" && !e.value.empty()) {
      s.host = e.value;
    } else if (e.key == "port") {
      auto p = ValInt(e.value);
      if (p > 0 && p < 65536) s.port = static_cast<int>(p);
    } else if (e.key == "model") {
      auto m = ValInt(e.value);
      if (m > 0 && m < 1000000) s.model = static_cast<int>(m);
    } else if (e.key == "device" && !e.value.empty()) {
      s.device = e.value;
    } else if (e.key == "speed") {
      auto v = ValInt(e.value);
      if (v > 0 && v <= 1000000) s.speed = static_cast<int>(v);
    }
  }
  return s;
}

std::string UpdateRigFile(std::string_view oldText, const RigSettings& settings) {
  std::string out;
  std::array<bool, kKeys.size()> written{};
  for (const std::string& line : SplitLines(oldText)) {
    Entry e = ReadLine(line);
    std::string text = line;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (e.key != kKeys[i]) continue;
      if (written[i]) break;  // a repeated key would override the one just written
      std::string comment;
      if (auto quote = line.find('\''); quote != std::string::npos) comment = "  " + line.substr(quote);
      text = std::string(kKeys[i]) + " = " + ValueOf(settings, kKeys[i]) + comment;
      written[i] = true;
    }
    out += text + "\r\n";
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i)
    if (!written[i]) out += std::string(kKeys[i]) + " = " + ValueOf(settings, kKeys[i]) + "\r\n";
  return out;
}

RigSettings LoadRigSettings(const DataFolder& folder) {
  auto text = folder.Read(kRigFile);
  return text ? ParseRigFile(*text) : RigSettings{};
}

bool SaveRigSettings(const DataFolder& folder, const RigSettings& settings) {
  std::string old = folder.Read(kRigFile).value_or("");
  return folder.WriteAtomic(kRigFile, UpdateRigFile(old, settings));
}

}  // namespace qn
