#include "session/script_loader.h"

#include <cstdlib>

#include "core/text.h"

namespace qn {

bool IsScriptCommand(std::string_view line, char letter) {
  if (line.size() < 2 || (line[0] != '/' && line[0] != '\\')) return false;
  char c = line[1];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return c == letter;
}

std::string ScriptArgument(std::string_view line) {
  return line.size() > 2 ? Trim(line.substr(2)) : std::string();
}

namespace {

// Lines end in CR LF, LF or a lone CR (however the script was typed).
std::vector<std::string> ScriptLines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) out.emplace_back(text.substr(start));
  return out;
}

// Index of the first line with the command, or npos.
std::size_t FindCommand(const std::vector<std::string>& lines, char letter) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsScriptCommand(lines[i], letter)) return i;
  }
  return std::string::npos;
}

std::optional<std::string> TakeOut(std::vector<std::string>& lines, char letter, bool firstLineOnly = false) {
  std::size_t at = FindCommand(lines, letter);
  if (at == std::string::npos || (firstLineOnly && at != 0)) return std::nullopt;
  std::string arg = ScriptArgument(lines[at]);
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
  return arg;
}

}  // namespace

LoadedScript ParseScript(const std::optional<std::string>& text, bool tnc) {
  LoadedScript s;
  if (!text) {
    s.unusable = true;
    return s;
  }
  for (const std::string& raw : ScriptLines(*text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '\'') continue;
    if (line.find("\"IDENTD\"") != std::string::npos) s.wantsIdent = true;
    if (line.find("Yourcall") != std::string::npos) s.unusable = true;
    if (!tnc && line.find("Yourpassword") != std::string::npos) s.unusable = true;
    s.lines.push_back(std::move(line));
  }
  s.all = s.lines;

  // In this order: taking a line out can make a later directive the first line.
  if (auto r = TakeOut(s.lines, 'R')) s.retryLimit = std::abs(ValInt32(*r));
  s.fallbackSite = TakeOut(s.lines, 'N');
  s.trigger = TakeOut(s.lines, 'I');
  s.answer = TakeOut(s.lines, 'O');
  // "/C" lines stay: the engine runs them in their place.
  if (auto t = TakeOut(s.lines, 'T', true)) {
    int minutes = ValInt32(*t);
    s.retryInterval = minutes <= 0 ? 2 : minutes;
  }
  return s;
}

}  // namespace qn
