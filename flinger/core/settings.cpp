#include "settings.h"

#include <cctype>
#include <vector>

namespace fl {

namespace {

// Nothing sensible is longer than this; a huge garbage line is cut.
constexpr std::size_t kMaxLine = 1024;

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size() && lines.size() < 8) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(Trim(text.substr(start, std::min(end - start, kMaxLine))));
    start = end + 1;
  }
  return lines;
}

}  // namespace

int ParsePort(std::string_view s, int fallback) {
  if (s.empty() || s.size() > 5) return fallback;
  int value = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return fallback;
    value = value * 10 + (c - '0');
  }
  return value <= 65535 ? value : fallback;
}

std::string Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

FlingerSettings ParseSettings(std::string_view text) {
  FlingerSettings s;
  std::vector<std::string> l = SplitLines(text);
  l.resize(8);
  s.host = l[0];
  s.fileExchange = l[1] == "1";
  s.broadcast = l[2] == "1";
  s.ctNet = l[3] == "1";
  s.localPort = ParsePort(l[4], kDefaultPort);
  s.remotePort = ParsePort(l[5], kDefaultPort);
  if (!l[6].empty()) s.bindAddress = l[6];
  s.userFile = l[7];
  return s;
}

std::string FormatSettings(const FlingerSettings& s) {
  std::string out;
  for (const std::string& line :
       {s.host, std::string(s.fileExchange ? "1" : "0"), std::string(s.broadcast ? "1" : "0"),
        std::string(s.ctNet ? "1" : "0"), std::to_string(s.localPort), std::to_string(s.remotePort),
        s.bindAddress, s.userFile}) {
    // A line end inside a value would shift every line after it.
    std::string one = line;
    for (char& c : one) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    out += one + "\r\n";
  }
  return out;
}

std::filesystem::path ChooseDataFolder(const std::optional<std::string>& option,
                                       const std::function<std::optional<std::string>(const char*)>& env) {
  auto set = [&](const char* name) -> std::optional<std::string> {
    auto v = env(name);
    if (v && !v->empty()) return v;
    return std::nullopt;
  };
  if (option && !option->empty()) return *option;
  if (auto v = set("FLINGER_DIR")) return *v;
  if (auto v = set("QUILLNET_DIR")) return std::filesystem::path(*v) / "flinger";
  if (auto v = set("XDG_DATA_HOME")) return std::filesystem::path(*v) / "quillnet" / "flinger";
  std::string home = set("HOME").value_or(".");
  return std::filesystem::path(home) / ".local" / "share" / "quillnet" / "flinger";
}

}  // namespace fl
