#include "serial/aux_settings.h"

#include <cmath>
#include <cstdio>

#include "core/text.h"

namespace qn {

AuxEntry ResolveAuxPort(std::string_view portList, int copyNumber, std::string_view commonSettings) {
  AuxEntry entry;
  entry.settings = std::string(commonSettings);
  std::string list(portList);
  if (!StartsWith(list, ";")) list.insert(0, ";");
  if (!EndsWith(list, ";")) list += ';';
  if (copyNumber < 1) return entry;
  // The field after the copyNumber-th ";".
  std::size_t at = 0;
  for (int n = 0; n < copyNumber; ++n) {
    at = list.find(';', at);
    if (at == std::string::npos) return entry;
    ++at;
  }
  std::size_t end = list.find(';', at);
  if (end == std::string::npos) return entry;
  std::string field = Trim(list.substr(at, end - at));
  if (field.empty()) return entry;
  entry.inputOnly = field[0] == '+';
  entry.quietTnc = field[0] == '-';
  std::string number = field;
  if (auto colon = field.find(':'); colon != std::string::npos) {
    number = field.substr(0, colon);
    entry.settings = field.substr(colon + 1);
  }
  double v = std::fabs(Val(Trim(number)));
  entry.port = v >= 1 && v < 1000 ? static_cast<int>(v) : 0;
  return entry;
}

SerialSettings ParseSerialSettings(std::string_view text, bool* ok) {
  SerialSettings s;
  bool good = true;
  std::string t = UCase(Trim(text));
  std::string part[4];
  std::size_t start = 0;
  for (int i = 0; i < 4 && start <= t.size(); ++i) {
    std::size_t comma = t.find(',', start);
    part[i] = Trim(t.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  auto number = [&](const std::string& p, int lo, int hi, int& out) {
    if (p.empty()) return;
    bool digits = p.find_first_not_of("0123456789") == std::string::npos && p.size() <= 7;
    int v = digits ? static_cast<int>(ValInt(p)) : 0;
    if (!digits || v < lo || v > hi) {
      good = false;
      return;
    }
    out = v;
  };
  number(part[0], 50, 4000000, s.baud);
  if (!part[1].empty()) {
    if (part[1].size() == 1 && std::string("NEOMS").find(part[1][0]) != std::string::npos)
      s.parity = part[1][0];
    else
      good = false;
  }
  number(part[2], 5, 8, s.dataBits);
  number(part[3], 1, 2, s.stopBits);
  if (ok) *ok = good;
  return s;
}

std::string DefaultLogPortBase(std::string_view portNumberText) {
  double v = Val(Trim(portNumberText));
  if (v == 1) return "&H3F8";
  if (v == 2) return "&H2F8";
  if (v == 3) return "&H3E8";
  if (v == 4) return "&H2E8";
  return "&H2E0";
}

int ParseLogPortBase(std::string_view text) {
  std::string t = UCase(Trim(text));
  if (StartsWith(t, "&H")) {
    int v = 0;
    for (char c : t.substr(2)) {
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) break;
      v = (v * 16 + d) & 0xFFFF;
    }
    return v;
  }
  return static_cast<int>(ValInt(t)) & 0xFFFF;
}

std::string FormatLogPortBase(int base) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "&H%X", static_cast<unsigned>(base & 0xFFFF));
  return buf;
}

std::map<int, std::string> ReadSerialMap(const DataFolder& folder) {
  std::map<int, std::string> map;
  auto text = folder.Read(kSerialMapFile);
  if (!text) return map;
  for (const std::string& raw : SplitLines(*text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '\'') continue;
    std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string::npos) continue;
    std::string number = line.substr(0, blank);
    if (number.find_first_not_of("0123456789") != std::string::npos || number.size() > 3) continue;
    std::string device = TrimSpaceAndControls(line.substr(blank + 1));
    int n = static_cast<int>(ValInt(number));
    if (n >= 1 && !device.empty()) map[n] = device;
  }
  return map;
}

std::string DeviceForPort(const std::map<int, std::string>& map, int port) {
  if (port < 1) return {};
  if (auto it = map.find(port); it != map.end()) return it->second;
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace qn
