#include "links/link_text.h"

#include "core/text.h"

namespace qn {

namespace {

std::string LTrimBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return std::string(s.substr(i));
}

bool OnlyFrequencyCharacters(std::string_view w) {
  if (w.empty()) return false;
  for (char c : w) {
    if ((c < '0' || c > '9') && c != '.') return false;
  }
  return true;
}

bool IsWordEnd(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// "K1ABC 14025.0 up" -> "14025.0 K1ABC up": a callsign before the frequency
// is put after it.
std::string FrequencyFirst(const std::string& t) {
  std::size_t end1 = 0;
  while (end1 < t.size() && !IsWordEnd(t[end1])) ++end1;
  if (end1 >= t.size() || t[end1] != ' ') return t;
  std::size_t start2 = end1 + 1;
  std::size_t end2 = start2;
  while (end2 < t.size() && !IsWordEnd(t[end2])) ++end2;
  std::string first = t.substr(0, end1);
  std::string second = t.substr(start2, end2 - start2);
  if (OnlyFrequencyCharacters(first) || !OnlyFrequencyCharacters(second)) return t;
  std::string rest = t.substr(end2);
  if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
  std::string out = second + " " + first;
  if (!rest.empty() && rest[0] != '\r' && rest[0] != '\n') out += ' ';
  return out + rest;
}

}  // namespace

std::string WebSubmissionFromCommand(std::string_view command, std::string_view webCall) {
  std::string text(command);
  std::string upper = UCase(text);
  if (StartsWith(upper, "DX ")) {
    text.erase(0, 3);
  } else if (StartsWith(upper, "ANN/F ")) {
    text = ">" + text.substr(6);
  } else if (StartsWith(upper, "ANN ")) {
    text = ">" + text.substr(4);
  }
  std::string call(webCall);
  if (!call.empty() && !StartsWith(UCase(text), UCase(call))) text = call + " " + text;
  return text;
}

std::optional<std::string> ConvertOutgoingText(std::string_view text, LinkSessionMode mode,
                                               std::string_view webCall) {
  switch (mode) {
    case LinkSessionMode::Plain:
      return std::string(text);
    case LinkSessionMode::Chat: {
      std::string head = UCase(Left(text, 3));
      if (head == "ANN" || head == "DX ") return "!" + std::string(text);
      return std::string(text);
    }
    case LinkSessionMode::Irc:
    case LinkSessionMode::Web:
      break;
  }
  const bool web = mode == LinkSessionMode::Web;
  std::string t = LTrimBlanks(text);
  std::string upper = UCase(t);
  if (StartsWith(upper, "DX ")) {
    t = FrequencyFirst(t.substr(3));
    return web ? std::string(webCall) + " " + t : "DX " + t;
  }
  if (StartsWith(upper, "ANN")) {
    if (!web) return t;
    std::size_t blank = t.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    return std::string(webCall) + " >" + t.substr(blank + 1);
  }
  if (web) return std::nullopt;
  return t;
}

std::string WithoutTrailingLineEnds(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace qn
