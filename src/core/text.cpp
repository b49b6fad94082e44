#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qn {

std::size_t InStr(std::string_view hay, std::string_view needle, std::size_t start) {
  if (start < 1) start = 1;
  if (start - 1 > hay.size()) return 0;
  auto pos = hay.find(needle, start - 1);
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t InStrRev(std::string_view hay, std::string_view needle, std::size_t start) {
  std::size_t from = start == 0 ? std::string_view::npos : start - 1;
  auto pos = hay.rfind(needle, from);
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string Mid(std::string_view s, std::size_t start, std::size_t length) {
  if (start < 1) start = 1;
  if (start - 1 >= s.size()) return {};
  return std::string(s.substr(start - 1, length));
}

std::string Left(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string Right(std::string_view s, std::size_t n) {
  return n >= s.size() ? std::string(s) : std::string(s.substr(s.size() - n));
}

std::string UCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

std::string Trim(std::string_view s) {
  auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string TrimSpaceAndControls(std::string_view s) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

double Val(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  double value = 0;
  bool any = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    value = value * 10 + (s[i] - '0');
    any = true;
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      value += (s[i] - '0') * scale;
      scale /= 10;
      any = true;
      ++i;
    }
  }
  if (!any || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

std::int64_t ValInt(std::string_view s) {
  double v = std::round(Val(s));
  constexpr double kMax = 9.0e18;
  return static_cast<std::int64_t>(std::clamp(v, -kMax, kMax));
}

std::int16_t ValInt16(std::string_view s) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(ValInt(s), -32768, 32767));
}

std::int32_t ValInt32(std::string_view s) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      ValInt(s), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::string PadRight(std::string_view s, std::size_t width, char pad) {
  std::string r(s.substr(0, width));
  r.resize(width, pad);
  return r;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }
bool EndsWith(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }

bool IEquals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UCase(a) == UCase(b);
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  std::size_t pos = 0;
  while ((pos = s.find(from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
  return s;
}

std::string WithoutLineBreaks(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (c != '\r' && c != '\n') r += c;
  return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    auto end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    lines.emplace_back(text.substr(start, end - start));
    start = lf + 1;
  }
  return lines;
}

std::string Latin1ToUtf8(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (unsigned char c : s) {
    if (c < 0x80) {
      r.push_back(static_cast<char>(c));
    } else {
      r.push_back(static_cast<char>(0xC0 | (c >> 6)));
      r.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return r;
}

std::string Utf8ToLatin1(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      r.push_back(static_cast<char>(c));
    } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
      unsigned code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
      r.push_back(code < 0x100 ? static_cast<char>(code) : '?');
      ++i;
    } else {
      // Beyond Latin-1: one '?' for the whole sequence.
      std::size_t extra = (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
      i += std::min(extra, s.size() - 1 - i);
      r.push_back('?');
    }
  }
  return r;
}

}  // namespace qn
