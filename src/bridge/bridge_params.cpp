#include "bridge/bridge_params.h"

#include <algorithm>

#include "core/text.h"

namespace qn {

namespace {

bool LooksLikeText(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 32 && c != '\r' && c != '\n' && c != '\t';
  });
}

std::string WithoutSlash(std::string v) {
  if (StartsWith(v, "/")) v.erase(0, 1);
  return v;
}

}  // namespace

std::vector<std::string> ParameterValues(std::string_view text) {
  std::vector<std::string> values;
  for (const auto& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '\'') continue;
    values.push_back(line);
  }
  return values;
}

BridgeParams LoadBridgeParams(std::string_view fileText) {
  BridgeParams p;
  if (fileText.size() > BridgeParams::kMaxFileSize || !LooksLikeText(fileText)) return p;
  auto values = ParameterValues(fileText);
  for (auto& v : values) v = Left(v, BridgeParams::kMaxValue);
  values.resize(std::max<std::size_t>(values.size(), 9));
  const std::string& first = values[0];
  p.echoAuxSpots = StartsWith(first, "+");
  p.noOwnTag = EndsWith(first, "ABC");
  std::int64_t flags = ValInt(p.echoAuxSpots ? first.substr(1) : first);
  p.flags = flags > 0 ? static_cast<int>(std::min<std::int64_t>(flags, 255)) : 0;
  p.nodeCall = UCase(values[1]);
  p.hopsField = UCase(values[2]);
  p.dateFormat = values[3];
  p.auxPrefix = WithoutSlash(values[4]);
  p.auxSuffix = WithoutSlash(values[5]);
  p.ircLineSuffix = WithoutSlash(values[6]);
  p.ircPrefix = WithoutSlash(values[7]);
  p.ircSuffix = WithoutSlash(values[8]);
  return p;
}

}  // namespace qn
