// The bridge parameters of BRIDGE.TXT, read once at start-up: whether PC11
// records are built and for which link, the node call, hops and date format
// of those records, and the texts around lines bridged to the aux port and in
// IRC sessions. Trimmed lines, empty and "'" lines skipped, values in order:
//   +1ABC       flags ("+": echo aux spots back; "ABC" at the end: no own tag)
//   GB7XYZ      node call of PC11 records
//   H99         hops field
//   d-mmm-yyyy  date format of PC11 records
//   /PRIVMSG    aux prefix, aux suffix, IRC line suffix, IRC prefix, IRC suffix
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qn {

struct BridgeParams {
  // Anything larger, or with bytes no text file has, is not a BRIDGE.TXT.
  static constexpr std::size_t kMaxFileSize = 64 * 1024;
  static constexpr std::size_t kMaxValue = 255;

  int flags = 0;  // bit 0: PC11 to the aux port; bit 1: PC11 to the session
  bool echoAuxSpots = false;
  bool noOwnTag = false;
  std::string nodeCall;
  std::string hopsField;
  std::string dateFormat;
  std::string auxPrefix;
  std::string auxSuffix;
  std::string ircLineSuffix;
  std::string ircPrefix;
  std::string ircSuffix;

  bool BuildsPc11() const { return flags >= 1; }
};

// Empty values for a missing, oversized or binary file.
BridgeParams LoadBridgeParams(std::string_view fileText);

// The values of a small parameter file: trimmed lines without the empty ones
// and the "'" comments.
std::vector<std::string> ParameterValues(std::string_view text);

}  // namespace qn
