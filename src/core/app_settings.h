// The configuration of one session kind: one value per line of a 92-line CR LF
// file, in fixed order and without keys. Example (first lines of a new file):
//   1
//   9600,N,8,1
//   +++
// Which field sits on which line, how it is read and its default are one
// table in app_settings.cpp, used by the constructor, Serialise and Parse.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/files.h"
#include "core/session_kind.h"

namespace qn {

struct ColourPair {
  std::int32_t text = 0;
  std::int32_t back = 0;
  bool operator==(const ColourPair&) const = default;
};

struct AppSettings {
  static constexpr int kLines = 92;

  std::string auxPortList;                    // 1
  std::string auxPortSettings;                // 2
  std::string auxEscapeString;                // 3
  bool auxEnabled{};                          // 4
  bool linkEnabled{};                         // 5
  std::string logFolder;                      // 6
  bool soundsEnabled{};                       // 7
  bool voiceSpelling{};                       // 8
  std::int16_t speedFactor{};                 // 9
  bool autoAnswerEnabled{};                   // 10
  std::string autoAnswerString;               // 11
  bool talkPriority{};                        // 12
  std::array<std::string, 10> macros;         // 13-22
  std::string ddeApplication;                 // 23
  std::string ddeTopic;                       // 24
  std::string ddeItem;                        // 25
  ColourPair typedInputColours;               // 26, 27
  ColourPair terminalColours;                 // 28, 29
  ColourPair announcementColours;             // 30, 31
  ColourPair spotColours;                     // 32, 33
  ColourPair talkColours;                     // 34, 35
  std::array<std::string, 10> exclusionLow;   // 36-45
  std::array<std::string, 10> exclusionHigh;  // 46-55
  std::string fontName;                       // 56
  std::string fontSize;                       // 57
  std::string fontBold;                       // 58
  std::string fontItalic;                     // 59
  bool auxInputOnly{};                        // 60
  std::string webServerList;                  // 61
  std::string webPagePathList;                // 62
  std::int16_t webRefreshMinutes{};           // 63
  bool webDdeIn{};                            // 64
  bool webDdeOut{};                           // 65
  bool webBridgeToRemote{};                   // 66
  std::string ownCallsign;                    // 67
  std::string tncInitPath;                    // 68
  std::int16_t tncMode{};                     // 69
  std::int16_t auxHandshake{};                // 70
  bool verticalScrollBars{};                  // 71
  std::int32_t waveVolume{};                  // 72
  bool pttOnLpt1{};                           // 73
  std::int16_t idIntervalMinutes{};           // 74
  bool silenceOnTalksAndAnns{};               // 75
  bool doubleSpell{};                         // 76
  std::string idString;                       // 77 (without the final "/")
  bool idStringSlash{};                       //    the final "/" of line 77
  bool talkTimeStamp{};                       // 78
  std::int16_t logPortBase{};                 // 79
  bool useLogPort{};                          // 80
  bool truncateFrequency{};                   // 81
  bool dxDeFilterEnabled{};                   // 82
  bool ignoreVeryFirstConnection{};           // 83
  bool alertEnabled{};                        // 84
  std::int16_t alertRepetitions{};            // 85
  std::string alertSoundFile;                 // 86
  bool alertLptSwitch{};                      // 87
  std::string ownLocator;                     // 88
  std::string utcOffset;                      // 89
  bool rejectOldSpots{};                      // 90
  std::string selectWords;                    // 91
  std::string rejectWords;                    // 92

  // Every field at its default.
  AppSettings();
  bool operator==(const AppSettings&) const = default;

  // The 92 lines as stored, CR LF after each.
  std::string Serialise() const;
  // Applies lines 1..n of a file's text; returns how many lines were read
  // (at most 92). Fields of lines not present keep their current value.
  int Parse(std::string_view fileText);
};

// Default log folder of the outside logging program on this system.
std::string DefaultLogFolder();

const char* ConfigFileName(SessionKind kind);

}  // namespace qn
