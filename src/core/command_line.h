// The program's command line: first the Linux options of this port
// (--data-dir DIR, --headless, --help, --version), then the original command
// text ("telnet://host:port/", "/S site", "/TNC", "/WEB", "/DEMO").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/session_kind.h"

namespace qn {

struct ProgramOptions {
  std::optional<std::string> dataDir;
  bool headless = false;
  bool help = false;
  bool version = false;
  // The wait before the first replayed line, when not the usual minute.
  std::optional<int> replayDelaySeconds;
  std::string error;        // an unusable option, to be reported
  std::string commandText;  // what is left, joined by blanks
};

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

struct StartupCommand {
  SessionKind sessionKind = SessionKind::Telnet;
  std::string startupHost;
  std::string startupSite;
  bool replayMode = false;
};

StartupCommand ParseCommandText(const std::string& text);

std::string UsageText();

}  // namespace qn
