// FLINGER.CFG: eight lines, and where flinger keeps its files.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fl {

inline constexpr int kDefaultPort = 9870;

struct FlingerSettings {
  std::string host;  // "Send to"
  bool fileExchange = false;
  bool broadcast = false;
  bool ctNet = false;
  int localPort = kDefaultPort;
  int remotePort = kDefaultPort;
  std::string bindAddress = "0.0.0.0";
  std::string userFile;  // the user exchange file as given
};

// Missing lines keep their defaults; a line that makes no sense (a port that is
// no number or out of range) keeps its default too, so a damaged file still
// leaves a working program.
FlingerSettings ParseSettings(std::string_view text);
// Eight CR LF lines in file order.
std::string FormatSettings(const FlingerSettings& settings);

// --data-dir, else $FLINGER_DIR, else a "flinger" folder inside Quillnet's
// data folder ($QUILLNET_DIR, $XDG_DATA_HOME/quillnet, ~/.local/share/quillnet),
// so that the exchange folders land beside Quillnet's own files.
std::filesystem::path ChooseDataFolder(const std::optional<std::string>& option,
                                       const std::function<std::optional<std::string>(const char*)>& env);

// Decimal 0 to 65535 (0: any free port), else fallback.
int ParsePort(std::string_view text, int fallback);

std::string Trim(std::string_view s);
bool EqualNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);

}  // namespace fl
