// The configuration of one session kind: one value per line of a 92-line CR LF
// file, in fixed order and without keys. Example (first lines of a new file):
//   1
//   9600,N,8,1
//   +++
// Load and save live here; the dialogs that edit the values call Save.
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

  std::string auxPortList = "1";                 // 1
  std::string auxPortSettings = "9600,N,8,1";    // 2
  std::string auxEscapeString = "+++";           // 3
  bool auxEnabled = false;                       // 4
  bool linkEnabled = false;                      // 5
  std::string logFolder;                         // 6 (default set by Defaults())
  bool soundsEnabled = false;                    // 7
  bool voiceSpelling = false;                    // 8
  std::int16_t speedFactor = 2;                  // 9
  bool autoAnswerEnabled = false;                // 10
  std::string autoAnswerString = "Quillnet> ZZZZzzzz... sry, I'm not here now...73";  // 11
  bool talkPriority = false;                     // 12
  std::array<std::string, 10> macros{"sh/dx,di/n,", "sh/dx,"};  // 13-22
  std::string ddeApplication;                    // 23
  std::string ddeTopic;                          // 24
  std::string ddeItem;                           // 25
  ColourPair typedInputColours{65280, 16711680};     // 26, 27
  ColourPair terminalColours{16777215, 16711680};    // 28, 29
  ColourPair announcementColours{16318208, 16711680};  // 30, 31
  ColourPair spotColours{65535, 16711680};           // 32, 33
  ColourPair talkColours{65280, 16711680};           // 34, 35
  std::array<std::string, 10> exclusionLow;      // 36-45
  std::array<std::string, 10> exclusionHigh;     // 46-55
  std::string fontName = "Fixedsys";             // 56
  std::string fontSize = "9";                    // 57
  std::string fontBold = "0";                    // 58
  std::string fontItalic = "0";                  // 59
  bool auxInputOnly = false;                     // 60
  std::string webServerList = "www.dxsummit.example:80, www.jac.example:80";  // 61
  std::string webPagePathList = "/~zunpo/summ.html, /JAC/allbands.html";     // 62
  std::int16_t webRefreshMinutes = 2;            // 63
  bool webDdeIn = false;                         // 64
  bool webDdeOut = false;                        // 65
  bool webBridgeToRemote = false;                // 66
  std::string ownCallsign;                       // 67
  std::string tncInitPath;                       // 68
  std::int16_t tncMode = 1;                      // 69
  std::int16_t auxHandshake = 0;                 // 70
  bool verticalScrollBars = false;               // 71
  std::int32_t waveVolume = 6767;                // 72
  bool pttOnLpt1 = false;                        // 73
  std::int16_t idIntervalMinutes = 0;            // 74
  bool silenceOnTalksAndAnns = false;            // 75
  bool doubleSpell = false;                      // 76
  std::string idString = "ZX9QQQ";               // 77 (without the final "/")
  bool idStringSlash = false;                    //    the final "/" of line 77
  bool talkTimeStamp = false;                    // 78
  std::int16_t logPortBase = 0;                  // 79
  bool useLogPort = false;                       // 80
  bool truncateFrequency = false;                // 81
  bool dxDeFilterEnabled = false;                // 82
  bool ignoreVeryFirstConnection = true;         // 83
  bool alertEnabled = false;                     // 84
  std::int16_t alertRepetitions = 3;             // 85
  std::string alertSoundFile = "ALERT.WAV";      // 86
  bool alertLptSwitch = false;                   // 87
  std::string ownLocator;                        // 88
  std::string utcOffset = "0";                   // 89
  bool rejectOldSpots = false;                   // 90
  std::string selectWords;                       // 91
  std::string rejectWords;                       // 92

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
