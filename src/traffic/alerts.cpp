#include "traffic/alerts.h"

#include <algorithm>

#include "core/instance.h"
#include "core/text.h"
#include "sound/speech_queue.h"
#include "traffic/spot_line.h"

namespace qn {

namespace {

// Calls are short; a "call" longer than this (a typo or garbage) matches
// nothing rather than making the index grow with every character of a line.
constexpr std::size_t kLongestPattern = 64;

bool IsLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool CaresAbout(char next) {
  switch (next) {
    case '\r':
    case '-':
    case '#':
    case '*':
    case '?':
    case '.':
    case '/':
    case '\\':
      return true;
    default:
      return false;
  }
}

bool SkippedSuffix(std::string_view part) {
  for (const char* s : {"A", "B", "M", "P", "T", "AM", "MM"})
    if (part == s) return true;
  return false;
}

}  // namespace

void AlertList::Set(std::string_view fileText) {
  source_ = fileText;
  text_ = "\r\n";
  lines_.clear();
  linePatterns_.clear();
  index_.clear();
  for (const std::string& raw : SplitLines(fileText)) {
    std::string line = UCase(raw);
    // Blanks at the end of a line cannot be seen in the editor; a pattern
    // must not fail because of them.
    line.erase(line.find_last_not_of(" \t") + 1);
    text_ += line + "\r\n";
    if (line.empty()) continue;
    // An empty text pattern would alert on every line; it stands for nothing.
    if (line.back() == '!' && line.size() > 1) linePatterns_.push_back(line.substr(0, line.size() - 1));
    auto at = static_cast<std::uint32_t>(lines_.size());
    lines_.push_back(line);
    std::size_t last = std::min(line.size(), kLongestPattern);
    for (std::size_t k = 1; k <= last; ++k) {
      char next = k == line.size() ? '\r' : line[k];
      if (CaresAbout(next)) index_[line.substr(0, k)].push_back({at, next});
    }
  }
}

bool AlertList::Continues(const std::string& line, std::size_t from, const std::string& part) const {
  if (line.compare(from, part.size(), part) != 0) return false;
  std::size_t end = from + part.size();
  if (end == line.size()) return true;
  char c = line[end];
  return c == '/' || c == '\\' || c == '.';
}

bool AlertList::MatchPart(const std::vector<std::string>& parts, std::size_t which) const {
  const std::string& p = parts[which];
  if (p.size() > kLongestPattern) return false;
  for (std::size_t k = p.size(); k >= 1; --k) {
    auto found = index_.find(p.substr(0, k));
    if (found == index_.end()) continue;
    const bool full = k == p.size();
    const char following = full ? '\0' : p[k];
    for (const Candidate& c : found->second) {
      const std::string& line = lines_[c.line];
      const bool endsAfterNext = line.size() == k + 1;
      switch (c.next) {
        case '\r':
        case '-':
          return true;
        case '#':
          if (endsAfterNext && following >= '0' && following <= '9') return true;
          break;
        case '*':
        case '?':
          if (endsAfterNext && (IsLetterOrDigit(following) || following == '*' || following == '#' ||
                                (c.next == '?' && following == '?')))
            return true;
          break;
        case '.':
          if (full) return true;
          break;
        default:  // '/' or '\': a portable call, written either way round
          if (!full) break;
          if (which == 0 && (parts.size() < 2 || Continues(line, k + 1, parts[1]))) return true;
          if (which == 1 && (parts[0].empty() || Continues(line, k + 1, parts[0]))) return true;
          break;
      }
    }
  }
  return false;
}

bool AlertList::MatchCall(std::string_view call) const {
  if (call.empty() || lines_.empty()) return false;
  std::vector<std::string> parts(1);
  for (char c : UCase(call)) {
    if (c == '/' || c == '\\') {
      if (parts.size() == 3) return false;
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts.size() > 1 && i + 1 == parts.size() && SkippedSuffix(parts[i])) continue;
    if (MatchPart(parts, i)) return true;
  }
  return false;
}

std::size_t AlertList::MatchLine(std::string_view line) const {
  if (linePatterns_.empty()) return 0;
  std::string upper = UCase(line);
  for (const std::string& p : linePatterns_) {
    std::size_t at = upper.find(p);
    if (at != std::string::npos) return at + 1;
  }
  return 0;
}

void Alerts::LoadAlerts() {
  auto text = app_.Folder().Read(kAlertFile);
  list_.Set(text ? *text : std::string());
}

bool Alerts::Active() const { return app_.Settings().alertEnabled && !list_.Empty(); }

bool Alerts::MatchCallAlert(std::string_view call) {
  if (!list_.MatchCall(call)) return false;
  AlertAction(false);
  return true;
}

std::size_t Alerts::MatchLineAlert(std::string_view line) {
  std::size_t at = list_.MatchLine(line);
  if (at > 0) AlertAction(true);
  return at;
}

void Alerts::EchoAlertLine(std::string_view line) {
  std::string marked = std::string(WithoutLineEnd(line)) + "<\r\n";
  app_.Append(WindowId::Terminal, marked);
  if (app_.CaptureFile().On()) app_.CaptureFile().WriteShown(marked);
  Archive(line);
}

void Alerts::Archive(std::string_view line) {
  app_.Folder().Append(kAlertArchive, std::string(WithoutLineEnd(line)) + "\r\n");
}

void Alerts::AlertAction(bool raiseWindow) {
  // Without a sound device nothing would ever play the entry away.
  if (speech_ && app_.State().soundAvailable) speech_->QueueAlert(app_.Settings().alertRepetitions);
  if (raiseWindow) app_.PopUpMainWindow(true);
}

}  // namespace qn
