#include "web/web_cluster_rules.h"

#include <cctype>

#include "core/text.h"

namespace qn {

WebClusterFields WebClusterRules::Load(const AppSettings& s) {
  WebClusterFields f;
  f.servers = s.webServerList;
  f.paths = s.webPagePathList;
  f.period = std::to_string(s.webRefreshMinutes);
  f.ignoreFirst = s.ignoreVeryFirstConnection;
  f.callsign = s.ownCallsign;
  f.ddeIn = s.webDdeIn;
  f.ddeOut = s.webDdeOut;
  f.bridgeToRemote = s.webBridgeToRemote;
  return f;
}

std::string WebClusterRules::Save(const WebClusterFields& f, AppSettings& s) {
  std::string servers = Trim(f.servers);
  std::string paths = Trim(f.paths);
  std::string call = UCase(Trim(f.callsign));
  if (servers.empty() || paths.empty()) return kWebHostRequired;
  if (call.empty()) return kWebCallRequired;
  // The period lives in a 16-bit field: a larger number would come back as
  // something else, so it is refused rather than stored.
  double period = Val(f.period);
  if (period < 0 || period > kWebMaxPeriodMinutes) return kWebPeriodRange;
  std::int16_t minutes = ValInt16(f.period);
  s.webServerList = servers;
  s.webPagePathList = paths;
  s.webRefreshMinutes = minutes == 0 ? 2 : minutes;
  s.ignoreVeryFirstConnection = f.ignoreFirst;
  s.ownCallsign = call;
  s.webDdeIn = f.ddeIn;
  s.webDdeOut = f.ddeOut;
  s.webBridgeToRemote = f.bridgeToRemote;
  return {};
}

std::optional<char> WebClusterRules::CallsignKey(char key) {
  if (key == '\b') return key;
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  if ((up >= '0' && up <= '9') || (up >= 'A' && up <= 'Z')) return up;
  return std::nullopt;
}

}  // namespace qn
