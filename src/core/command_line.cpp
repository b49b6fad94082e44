#include "core/command_line.h"

#include "core/text.h"

namespace qn {

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions o;
  std::string rest;
  std::optional<std::string> pokeApp;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--poke") {
      if (i + 3 >= args.size()) {
        o.error = "--poke needs a topic, an item and a text";
        break;
      }
      o.poke = PokeRequest{"quillnet", args[i + 1], args[i + 2], args[i + 3]};
      i += 3;
    } else if (a == "--poke-app") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        o.error = "--poke-app needs an application name";
        break;
      }
      pokeApp = args[++i];
    } else if (a == "--data-dir") {
      if (i + 1 >= args.size()) {
        o.error = "--data-dir needs a folder";
      } else {
        o.dataDir = args[++i];
      }
    } else if (a.starts_with("--data-dir=")) {
      o.dataDir = a.substr(11);
    } else if (a == "--replay-delay") {
      if (i + 1 >= args.size() || ValInt32(args[i + 1]) < 0 || Trim(args[i + 1]).empty()) {
        o.error = "--replay-delay needs a number of seconds";
      } else {
        o.replayDelaySeconds = ValInt32(args[++i]);
      }
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a.starts_with("--")) {
      o.error = "unknown option " + a;
    } else {
      if (!rest.empty()) rest += ' ';
      rest += a;
    }
  }
  o.commandText = rest;
  if (pokeApp && o.error.empty()) {
    if (o.poke)
      o.poke->application = *pokeApp;
    else
      o.error = "--poke-app goes with --poke";
  }
  return o;
}

StartupCommand ParseCommandText(const std::string& raw) {
  StartupCommand c;
  const std::string text = Trim(raw);
  const std::string upper = UCase(text);
  const std::string lower = LCase(text);

  bool telnetLink = false;
  if (auto p = InStr(lower, "telnet://"); p > 0) {
    telnetLink = true;
    c.startupHost = Left(text, p - 1) + Mid(text, p + 9);
    if (EndsWith(c.startupHost, "/")) c.startupHost.pop_back();
  }
  if (auto p = InStr(upper, "/S"); p > 0) {
    for (char ch : Mid(text, p + 2)) {
      if (ch != ' ' && ch != '\r' && ch != '\n' && ch != '/') c.startupSite += ch;
    }
  }
  bool tnc = InStr(upper, "/TNC") > 0;
  bool web = InStr(upper, "/WEB") > 0;
  if (tnc) c.sessionKind = SessionKind::Tnc;
  if (web) c.sessionKind = SessionKind::Web;
  if (!tnc && !web && !telnetLink) {
    c.sessionKind = SessionKind::Telnet;
    c.startupHost.clear();
  }
  if (InStr(upper, "/DEMO") > 0) {
    c.replayMode = true;
    c.sessionKind = SessionKind::Telnet;
    c.startupHost.clear();
  }
  return c;
}

std::string UsageText() {
  return "Usage: quillnet [--data-dir DIR] [--headless] [--replay-delay S] [--help] [--version] [COMMAND]\n"
         "       quillnet [--poke-app APP] --poke TOPIC ITEM TEXT\n"
         "\n"
         "COMMAND is one of:\n"
         "  telnet://HOST[:PORT]/   connect to a cluster node at start\n"
         "  /S SITE                 connect to a site of the site list\n"
         "  /TNC                    packet-radio session through the TNC\n"
         "  /WEB                    web-cluster session\n"
         "  /DEMO                   replay recorded traffic (no connection)\n"
         "\n"
         "  --data-dir DIR   data folder (default $QUILLNET_DIR, else ~/.local/share/quillnet)\n"
         "  --headless       console front end: windows printed to stdout, commands from stdin\n"
         "  --replay-delay S seconds before the first line of /DEMO (default 60)\n"
         "  --poke TOPIC ITEM TEXT  hand TEXT to item ITEM (Textin, Textin1) of the running\n"
         "                   copy whose tag is TOPIC, print its answer and end (exit 0 OK,\n"
         "                   1 refused, 2 no such copy)\n"
         "  --poke-app APP   with --poke: another program's endpoint (flinger)\n";
}

}  // namespace qn
