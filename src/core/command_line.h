// The program's command line: first the Linux options of this port
// (--data-dir DIR, --headless, --help, --version, --poke TOPIC ITEM TEXT
// with --poke-app APP), then the original command
// text ("telnet://host:port/", "/S site", "/TNC", "/WEB", "/DEMO").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/session_kind.h"

namespace qn {

// A line poked into a running copy (or another program's endpoint) by a
// script: the program pokes, prints the answer and ends.
struct PokeRequest {
  std::string application = "quillnet";
  std::string topic;
  std::string item;
  std::string text;
};

struct ProgramOptions {
  std::optional<std::string> dataDir;
  bool headless = false;
  bool help = false;
  bool version = false;
  // The wait before the first replayed line, when not the usual minute.
  std::optional<int> replayDelaySeconds;
  std::optional<PokeRequest> poke;
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
