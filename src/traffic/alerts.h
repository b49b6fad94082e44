// Owns the alert list of ALERT.TXT: call and prefix patterns matched against the
// DX call and spotter of accepted spots, and text patterns (lines ending in "!")
// matched against every received line. A match queues the alert sound and may
// bring the program to the front (through the instance). Example ALERT.TXT:
//   VP8          every call beginning VP8
//   3Y0J.        that call only
//   K1#          K1 followed by a digit
//   DL1ABC/P     the home call, portable or not
//   IOTA!        any received line holding IOTA
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qn {

class Instance;
class SpeechQueue;

inline constexpr const char* kAlertFile = "ALERT.TXT";
inline constexpr const char* kAlertArchive = "ARCHIVE\\alerts.txt";

// The patterns of one alert list text, ready for matching.
class AlertList {
 public:
  AlertList() = default;
  explicit AlertList(std::string_view fileText) { Set(fileText); }

  void Set(std::string_view fileText);
  // The list as kept in memory: every line enclosed in CR LF.
  const std::string& Text() const { return text_; }
  // The text as it was given (the file, or the dialog's box).
  const std::string& Source() const { return source_; }
  bool Empty() const { return lines_.empty(); }
  // The text patterns, upper-cased, without their "!".
  const std::vector<std::string>& LinePatterns() const { return linePatterns_; }

  // Whether the call (or one of its "/" parts) matches a call pattern.
  bool MatchCall(std::string_view call) const;
  // 1-based position of the first text pattern found in the line; 0 when none.
  std::size_t MatchLine(std::string_view line) const;

 private:
  // A list line that a part of the call may match: the line continues after
  // the part's first `length` characters with `next` ('\r' when it ends there).
  struct Candidate {
    std::uint32_t line;
    char next;
  };
  bool MatchPart(const std::vector<std::string>& parts, std::size_t which) const;
  bool Continues(const std::string& line, std::size_t from, const std::string& part) const;

  std::string source_;
  std::string text_;
  std::vector<std::string> lines_;
  std::vector<std::string> linePatterns_;
  // Every list line indexed by each of its beginnings that is followed by a
  // character the rules care about, so a call costs a few lookups whatever
  // the list's length.
  std::unordered_map<std::string, std::vector<Candidate>> index_;
};

// The alerts of one instance: the list, the matching, and what an alert does.
class Alerts {
 public:
  explicit Alerts(Instance& app) : app_(app) {}
  // The queue an alert is spoken through (none: alerts stay silent).
  void SetSpeech(SpeechQueue* speech) { speech_ = speech; }

  // At start-up: ALERT.TXT when it exists.
  void LoadAlerts();
  void SetList(std::string_view fileText) { list_.Set(fileText); }
  const AlertList& List() const { return list_; }

  // Alerts switched on and a list to match.
  bool Active() const;
  // The spot pipeline's test; a match runs AlertAction without raising the window.
  bool MatchCallAlert(std::string_view call);
  // The dispatchers' test; a match runs AlertAction raising the window.
  std::size_t MatchLineAlert(std::string_view line);
  // The dispatchers' echo of a line that alerted: "<" in the terminal window
  // and the capture, and a line in the alerts archive.
  void EchoAlertLine(std::string_view line);
  void AlertAction(bool raiseWindow);
  // The alert archive of this run (not kept by a second copy).
  void Archive(std::string_view line);

 private:
  Instance& app_;
  SpeechQueue* speech_ = nullptr;
  AlertList list_;
};

}  // namespace qn
