// One site of the site file: a fixed record of 395 bytes, text fields padded
// with blanks, the last 197 bytes reserved (kept as they are on rewrite).
//   offset 0 name(30) 30 address(40) 70 port type(1) 71 custom port(20)
//   91 keep-alive on(1) 92 period(3) 95 bridge flags(1) 96 auto flags(1)
//   97 service flags(1) 98 comment(100) 198 reserved(197)
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

class SiteRecord {
 public:
  static constexpr std::size_t kSize = 395;
  static constexpr std::size_t kFieldsSize = 198;  // the bytes before the reserved part

  // A blank record: text fields blanks, reserved bytes 0.
  SiteRecord();
  static SiteRecord FromBytes(std::string_view bytes);  // first 395 bytes, short input padded
  const std::array<char, kSize>& Bytes() const { return bytes_; }
  std::string_view View() const { return {bytes_.data(), kSize}; }

  // Field texts as stored (padded) and trimmed.
  std::string Name() const { return Field(0, 30); }
  std::string Address() const { return Field(30, 40); }
  char PortType() const { return bytes_[70]; }
  std::string CustomPort() const { return Field(71, 20); }
  bool KeepAliveEnabled() const { return bytes_[91] == '1'; }
  std::string KeepAlivePeriod() const { return Field(92, 3); }
  int BridgeFlags() const { return static_cast<unsigned char>(bytes_[95]); }
  int AutoFlags() const { return static_cast<unsigned char>(bytes_[96]); }
  int ServiceFlags() const { return static_cast<unsigned char>(bytes_[97]); }
  std::string Comment() const { return Field(98, 100); }

  void SetName(std::string_view v) { SetField(0, 30, v); }
  void SetAddress(std::string_view v) { SetField(30, 40, v); }
  void SetPortType(char c) { bytes_[70] = c; }
  void SetCustomPort(std::string_view v) { SetField(71, 20, v); }
  void SetKeepAliveEnabled(bool on) { bytes_[91] = on ? '1' : '0'; }
  void SetKeepAlivePeriod(std::string_view v) { SetField(92, 3, v); }
  void SetBridgeFlags(int f) { bytes_[95] = static_cast<char>(f); }
  void SetAutoFlags(int f) { bytes_[96] = static_cast<char>(f); }
  void SetServiceFlags(int f) { bytes_[97] = static_cast<char>(f); }
  void SetComment(std::string_view v) { SetField(98, 100, v); }

  // The name as compared: trimmed and upper-cased.
  std::string Key() const;

  bool operator==(const SiteRecord&) const = default;

 private:
  std::string Field(std::size_t off, std::size_t len) const;
  void SetField(std::size_t off, std::size_t len, std::string_view v);
  std::array<char, kSize> bytes_{};
};

// Whole site files: a sequence of records without header. A trailing part
// shorter than a record is not a record and is ignored by the reader.
std::vector<SiteRecord> ParseSiteFile(std::string_view bytes);
std::string SerialiseSiteFile(const std::vector<SiteRecord>& records);

// "SCRIPT\" + first 8 characters of the name, upper-cased, + ".SCR" (".TNC" for TNC).
std::string ScriptFileName(std::string_view siteName, bool tnc);

// A name the editor could have typed: trimmed, not empty, only ASCII letters,
// digits, "-" and "_". Only such names are turned into script paths, so a name
// from a handed-over or damaged file can never reach outside the SCRIPT folder.
bool IsValidSiteName(std::string_view name);

}  // namespace qn
