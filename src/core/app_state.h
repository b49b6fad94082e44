// The process-wide state shared by the subsystems of one instance. Fields that
// belong to one subsystem only live in that subsystem's class instead.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/session_kind.h"
#include "core/site_record.h"

namespace qn {

struct AppState {
  SessionKind sessionKind = SessionKind::Telnet;
  std::string startupHost;
  std::string startupSite;
  bool replayMode = false;
  std::string programDir;
  std::string helpFile;
  std::string newline = "\r\n";
  std::string sendTerminator = "\n";
  SiteRecord currentSite;
  SiteRecord pendingSite;  // its name is 30 blanks until a site is chosen
  // Entries holding a single NUL character are empty.
  std::array<std::string, 10> keepAliveLines;
  std::array<std::string, 10> successPatterns;
  std::int16_t retryCounter = 30000;
  std::int16_t retryLimit = 30000;
  bool startingUp = false;
  int instanceNumber = 1;
  // Another copy of any kind was running when this one started: the shared
  // archive and exchange files and the sound are left to that one.
  bool otherCopyAtStart = false;
  std::string soundFolder;
  bool soundAvailable = false;
  int waveDeviceCount = 0;
  std::uint16_t lptPort = 0;

  AppState() {
    keepAliveLines.fill(std::string(1, '\0'));
    successPatterns.fill(std::string(1, '\0'));
  }
};

}  // namespace qn
