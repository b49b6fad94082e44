#include "session/received_line.h"

#include <algorithm>

namespace qn {

std::string_view ReceivedLine::Body() const {
  std::string_view s = text;
  if (!s.empty() && s.back() == '\n') s.remove_suffix(1);
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

namespace {

void RemoveFirst(std::string& s, std::string_view what) {
  auto at = s.find(what);
  if (at != std::string::npos) s.erase(at, what.size());
}

}  // namespace

void RemoveHighlight(std::string& line) {
  if (line.find('\x1b') == std::string::npos) return;
  RemoveFirst(line, "\x1b[0m");
  RemoveFirst(line, "\x1b[7m");
}

bool RemoveBells(std::string& line) {
  auto first = line.find('\a');
  if (first == std::string::npos) return false;
  line.erase(std::remove(line.begin() + static_cast<std::ptrdiff_t>(first), line.end(), '\a'), line.end());
  return true;
}

std::string NodeHopName(std::string_view line) {
  // "reconnected to " ends in "connected to ", so one search finds both.
  constexpr std::string_view kNotice = "connected to ";
  auto at = line.find(kNotice);
  if (at == std::string_view::npos) return {};
  std::string_view rest = line.substr(at + kNotice.size());
  auto end =
      std::find_if(rest.begin(), rest.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  return std::string(rest.begin(), end);
}

std::string NodeHopTitle(std::string_view node) { return "Quillnet [" + std::string(node) + "]"; }

}  // namespace qn
