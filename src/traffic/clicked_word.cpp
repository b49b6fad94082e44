#include "traffic/clicked_word.h"

#include <array>

#include "core/personal_info.h"
#include "core/text.h"

namespace qn {

namespace {

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '/' || c == '\\'; }

// Digits right after a continent code, one separator allowed in front; a
// letter anywhere in the run means the code was part of a word or call.
std::string IotaDigits(std::string_view line, std::size_t from) {
  std::size_t i = from;
  if (i < line.size() && (line[i] == '-' || line[i] == ' ')) ++i;
  std::string digits;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (IsDigit(c)) {
      digits += c;
    } else if (IsLetter(c)) {
      return {};
    } else {
      break;
    }
  }
  // References run to three digits; a longer number is a frequency or a time.
  if (digits.size() > 3) return {};
  return digits;
}

}  // namespace

bool LooksLikeCall(std::string_view word) {
  static constexpr std::array<std::string_view, 7> kFour{"LLNL", "LNNL", "NLNL", "LNLL",
                                                         "NLNN", "LLNN", "NLLN"};
  static constexpr std::array<std::string_view, 5> kThree{"LLN", "LNN", "NLN", "LNL", "NLL"};
  static constexpr std::array<std::string_view, 3> kTwo{"LL", "LN", "NL"};
  if (word.empty() || word.size() >= 13) return false;
  std::string shape;
  for (std::size_t i = 0; i < word.size() && i < 4; ++i) {
    char c = static_cast<char>(UCase(word.substr(i, 1))[0]);
    if (IsLetter(c))
      shape += 'L';
    else if (IsDigit(c))
      shape += 'N';
    else
      return false;
  }
  auto in = [&](const auto& list) {
    for (std::string_view p : list) {
      if (p == shape) return true;
    }
    return false;
  };
  switch (shape.size()) {
    case 4:
      return in(kFour);
    case 3:
      return in(kThree);
    case 2:
      return in(kTwo);
    default:
      return true;  // one letter or one digit
  }
}

std::string FindIotaReference(std::string_view line) {
  static constexpr std::array<std::string_view, 7> kContinents{"AF", "AN", "AS", "EU", "NA", "SA", "OC"};
  for (std::string_view code : kContinents) {
    for (std::size_t p = line.find(code); p != std::string_view::npos; p = line.find(code, p + 1)) {
      if (p > 0 && (IsLetter(line[p - 1]) || IsDigit(line[p - 1]))) continue;
      std::string digits = IotaDigits(line, p + 2);
      if (digits.empty()) continue;
      return std::string(code) + std::string(3 - digits.size(), '0') + digits;
    }
  }
  return {};
}

std::string_view LineAt(std::string_view text, std::size_t caret, std::size_t& caretInLine) {
  if (caret > text.size()) caret = text.size();
  std::size_t start = text.find_last_of("\r\n", caret == 0 ? std::string_view::npos : caret - 1);
  start = (start == std::string_view::npos || caret == 0) ? 0 : start + 1;
  std::size_t end = text.find_first_of("\r\n", start);
  if (end == std::string_view::npos) end = text.size();
  // A caret on the line end belongs to the line it ends.
  caretInLine = std::min(caret, end) - start;
  return text.substr(start, end - start);
}

std::optional<std::string> ClickedWord::Analyse(std::string_view text, std::size_t caret, bool chatSession) {
  std::size_t inLine = 0;
  std::string line = " " + UCase(LineAt(text, caret, inLine));
  std::size_t at = inLine + 1;  // the caret in the line with its leading blank

  // Every click replaces what the last one left; the copy of the IOTA
  // reference stays as the default of the next IOTA question.
  std::string iotaCopy = values_.iotaCopy;
  values_ = ClickedWordValues{};
  values_.iotaCopy = iotaCopy;

  std::optional<std::string> talker;
  if (auto lt = line.find('<'); lt != std::string::npos) {
    if (auto gt = line.find('>', lt + 1); gt != std::string::npos) talker = line.substr(lt + 1, gt - lt - 1);
  }

  std::string iota = FindIotaReference(line);
  if (!iota.empty()) {
    values_.iota = iota;
    values_.iotaCopy = iota;
    return talker;
  }

  std::size_t start = at;
  while (start > 0 && IsWordChar(line[start - 1])) --start;
  std::size_t end = at;
  while (end < line.size() && IsWordChar(line[end])) ++end;
  std::string word = Trim(line.substr(start, end - start));
  if (chatSession && StartsWith(word, "DX/")) word.erase(0, 3);
  if (word.empty()) return talker;

  std::string locator = word;
  if (ValidateLocator(locator)) values_.locator = locator;

  std::size_t slash = word.find_first_of("/\\");
  // A portable call is judged by what stands before its "/": "DL/G4ABC" and
  // "G4ABC/P" are both calls; the whole word keeps the 13-character limit.
  std::string first = word.substr(0, slash);
  if (word.size() < 13 && LooksLikeCall(first)) {
    values_.call = word;
    values_.secondPart.clear();
  }
  if (slash != std::string::npos) {
    std::string second = word.substr(slash + 1);
    std::string secondLocator = second;
    if (ValidateLocator(secondLocator))
      values_.locator = secondLocator;
    else if (LooksLikeCall(second))
      values_.secondPart = second;
  }
  return talker;
}

}  // namespace qn
