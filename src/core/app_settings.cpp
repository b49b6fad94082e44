#include "core/app_settings.h"

#include <cstdlib>
#include <variant>

#include "core/text.h"

namespace qn {

namespace {

// Line ends of a file edited anywhere: CR LF, lone CR or lone LF.
std::vector<std::string> ReadConfigLines(std::string_view text, std::size_t maxLines) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size() && lines.size() < maxLines) {
    std::size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    lines.emplace_back(text.substr(i, j - i));
    if (j < text.size() && text[j] == '\r') ++j;
    if (j < text.size() && text[j] == '\n') ++j;
    i = j;
  }
  return lines;
}

// How a line is read. Every kind but Verbatim is trimmed first.
enum class Kind {
  Text,
  Upper,      // upper-cased
  Verbatim,   // blanks kept (macros)
  Flag,       // "0" off, any other number on
  Int16,      // lenient number, 16 bits
  Int32,      // lenient number, 32 bits
  LogFolder,  // text; its default is this system's log folder
  Callsign,   // text; "0" (an old default) reads as none
  TncMode,    // number; 0 reads as 1
  IdString,   // upper-cased; a final "/" is a flag of its own
};

using Ref = std::variant<std::string*, bool*, std::int16_t*, std::int32_t*>;

struct Field {
  int line;
  const char* name;
  Kind kind;
  const char* defaultText;  // as stored in the file
  Ref (*ref)(AppSettings&);
};

// The file layout: line, field, kind and default, in file order.
const Field kFields[] = {
    {1, "auxPortList", Kind::Upper, "1", [](AppSettings& s) -> Ref { return &s.auxPortList; }},
    {2, "auxPortSettings", Kind::Upper, "9600,N,8,1",
     [](AppSettings& s) -> Ref { return &s.auxPortSettings; }},
    {3, "auxEscapeString", Kind::Upper, "+++", [](AppSettings& s) -> Ref { return &s.auxEscapeString; }},
    {4, "auxEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.auxEnabled; }},
    {5, "linkEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.linkEnabled; }},
    {6, "logFolder", Kind::LogFolder, "", [](AppSettings& s) -> Ref { return &s.logFolder; }},
    {7, "soundsEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.soundsEnabled; }},
    {8, "voiceSpelling", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.voiceSpelling; }},
    {9, "speedFactor", Kind::Int16, "2", [](AppSettings& s) -> Ref { return &s.speedFactor; }},
    {10, "autoAnswerEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.autoAnswerEnabled; }},
    {11, "autoAnswerString", Kind::Text, "Quillnet> ZZZZzzzz... sry, I'm not here now...73",
     [](AppSettings& s) -> Ref { return &s.autoAnswerString; }},
    {12, "talkPriority", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.talkPriority; }},
    {13, "macros[0]", Kind::Verbatim, "sh/dx,di/n,", [](AppSettings& s) -> Ref { return &s.macros[0]; }},
    {14, "macros[1]", Kind::Verbatim, "sh/dx,", [](AppSettings& s) -> Ref { return &s.macros[1]; }},
    {15, "macros[2]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[2]; }},
    {16, "macros[3]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[3]; }},
    {17, "macros[4]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[4]; }},
    {18, "macros[5]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[5]; }},
    {19, "macros[6]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[6]; }},
    {20, "macros[7]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[7]; }},
    {21, "macros[8]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[8]; }},
    {22, "macros[9]", Kind::Verbatim, "", [](AppSettings& s) -> Ref { return &s.macros[9]; }},
    {23, "ddeApplication", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.ddeApplication; }},
    {24, "ddeTopic", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.ddeTopic; }},
    {25, "ddeItem", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.ddeItem; }},
    {26, "typedInputColours.text", Kind::Int32, "65280",
     [](AppSettings& s) -> Ref { return &s.typedInputColours.text; }},
    {27, "typedInputColours.back", Kind::Int32, "16711680",
     [](AppSettings& s) -> Ref { return &s.typedInputColours.back; }},
    {28, "terminalColours.text", Kind::Int32, "16777215",
     [](AppSettings& s) -> Ref { return &s.terminalColours.text; }},
    {29, "terminalColours.back", Kind::Int32, "16711680",
     [](AppSettings& s) -> Ref { return &s.terminalColours.back; }},
    {30, "announcementColours.text", Kind::Int32, "16318208",
     [](AppSettings& s) -> Ref { return &s.announcementColours.text; }},
    {31, "announcementColours.back", Kind::Int32, "16711680",
     [](AppSettings& s) -> Ref { return &s.announcementColours.back; }},
    {32, "spotColours.text", Kind::Int32, "65535", [](AppSettings& s) -> Ref { return &s.spotColours.text; }},
    {33, "spotColours.back", Kind::Int32, "16711680",
     [](AppSettings& s) -> Ref { return &s.spotColours.back; }},
    {34, "talkColours.text", Kind::Int32, "65280", [](AppSettings& s) -> Ref { return &s.talkColours.text; }},
    {35, "talkColours.back", Kind::Int32, "16711680",
     [](AppSettings& s) -> Ref { return &s.talkColours.back; }},
    {36, "exclusionLow[0]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[0]; }},
    {37, "exclusionLow[1]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[1]; }},
    {38, "exclusionLow[2]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[2]; }},
    {39, "exclusionLow[3]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[3]; }},
    {40, "exclusionLow[4]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[4]; }},
    {41, "exclusionLow[5]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[5]; }},
    {42, "exclusionLow[6]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[6]; }},
    {43, "exclusionLow[7]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[7]; }},
    {44, "exclusionLow[8]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[8]; }},
    {45, "exclusionLow[9]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionLow[9]; }},
    {46, "exclusionHigh[0]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[0]; }},
    {47, "exclusionHigh[1]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[1]; }},
    {48, "exclusionHigh[2]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[2]; }},
    {49, "exclusionHigh[3]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[3]; }},
    {50, "exclusionHigh[4]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[4]; }},
    {51, "exclusionHigh[5]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[5]; }},
    {52, "exclusionHigh[6]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[6]; }},
    {53, "exclusionHigh[7]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[7]; }},
    {54, "exclusionHigh[8]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[8]; }},
    {55, "exclusionHigh[9]", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.exclusionHigh[9]; }},
    {56, "fontName", Kind::Text, "Fixedsys", [](AppSettings& s) -> Ref { return &s.fontName; }},
    {57, "fontSize", Kind::Text, "9", [](AppSettings& s) -> Ref { return &s.fontSize; }},
    {58, "fontBold", Kind::Text, "0", [](AppSettings& s) -> Ref { return &s.fontBold; }},
    {59, "fontItalic", Kind::Text, "0", [](AppSettings& s) -> Ref { return &s.fontItalic; }},
    {60, "auxInputOnly", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.auxInputOnly; }},
    {61, "webServerList", Kind::Text, "localhost 8000, localhost 8000",
     [](AppSettings& s) -> Ref { return &s.webServerList; }},
    {62, "webPagePathList", Kind::Text, "/~zunpo/summ.html, /JAC/allbands.html",
     [](AppSettings& s) -> Ref { return &s.webPagePathList; }},
    {63, "webRefreshMinutes", Kind::Int16, "2", [](AppSettings& s) -> Ref { return &s.webRefreshMinutes; }},
    {64, "webDdeIn", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.webDdeIn; }},
    {65, "webDdeOut", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.webDdeOut; }},
    {66, "webBridgeToRemote", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.webBridgeToRemote; }},
    {67, "ownCallsign", Kind::Callsign, "", [](AppSettings& s) -> Ref { return &s.ownCallsign; }},
    {68, "tncInitPath", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.tncInitPath; }},
    {69, "tncMode", Kind::TncMode, "1", [](AppSettings& s) -> Ref { return &s.tncMode; }},
    {70, "auxHandshake", Kind::Int16, "0", [](AppSettings& s) -> Ref { return &s.auxHandshake; }},
    {71, "verticalScrollBars", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.verticalScrollBars; }},
    {72, "waveVolume", Kind::Int32, "6767", [](AppSettings& s) -> Ref { return &s.waveVolume; }},
    {73, "pttOnLpt1", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.pttOnLpt1; }},
    {74, "idIntervalMinutes", Kind::Int16, "0", [](AppSettings& s) -> Ref { return &s.idIntervalMinutes; }},
    {75, "silenceOnTalksAndAnns", Kind::Flag, "0",
     [](AppSettings& s) -> Ref { return &s.silenceOnTalksAndAnns; }},
    {76, "doubleSpell", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.doubleSpell; }},
    {77, "idString", Kind::IdString, "ZX9QQQ", [](AppSettings& s) -> Ref { return &s.idString; }},
    {78, "talkTimeStamp", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.talkTimeStamp; }},
    {79, "logPortBase", Kind::Int16, "0", [](AppSettings& s) -> Ref { return &s.logPortBase; }},
    {80, "useLogPort", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.useLogPort; }},
    {81, "truncateFrequency", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.truncateFrequency; }},
    {82, "dxDeFilterEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.dxDeFilterEnabled; }},
    {83, "ignoreVeryFirstConnection", Kind::Flag, "1",
     [](AppSettings& s) -> Ref { return &s.ignoreVeryFirstConnection; }},
    {84, "alertEnabled", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.alertEnabled; }},
    {85, "alertRepetitions", Kind::Int16, "3", [](AppSettings& s) -> Ref { return &s.alertRepetitions; }},
    {86, "alertSoundFile", Kind::Text, "ALERT.WAV", [](AppSettings& s) -> Ref { return &s.alertSoundFile; }},
    {87, "alertLptSwitch", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.alertLptSwitch; }},
    {88, "ownLocator", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.ownLocator; }},
    {89, "utcOffset", Kind::Text, "0", [](AppSettings& s) -> Ref { return &s.utcOffset; }},
    {90, "rejectOldSpots", Kind::Flag, "0", [](AppSettings& s) -> Ref { return &s.rejectOldSpots; }},
    {91, "selectWords", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.selectWords; }},
    {92, "rejectWords", Kind::Text, "", [](AppSettings& s) -> Ref { return &s.rejectWords; }},

};
static_assert(std::size(kFields) == AppSettings::kLines);

std::string StoredText(const Field& f, const AppSettings& settings) {
  Ref r = f.ref(const_cast<AppSettings&>(settings));
  if (f.kind == Kind::IdString) return settings.idString + (settings.idStringSlash ? "/" : "");
  if (auto* s = std::get_if<std::string*>(&r)) return **s;
  if (auto* b = std::get_if<bool*>(&r)) return **b ? "1" : "0";
  if (auto* i = std::get_if<std::int16_t*>(&r)) return std::to_string(**i);
  return std::to_string(*std::get<std::int32_t*>(r));
}

void Apply(const Field& f, AppSettings& settings, const std::string& raw) {
  const std::string v = f.kind == Kind::Verbatim ? raw : Trim(raw);
  Ref r = f.ref(settings);
  switch (f.kind) {
    case Kind::Text:
    case Kind::Verbatim:
    case Kind::LogFolder:
      *std::get<std::string*>(r) = v;
      break;
    case Kind::Upper:
      *std::get<std::string*>(r) = UCase(v);
      break;
    case Kind::Callsign:
      *std::get<std::string*>(r) = v == "0" ? "" : v;
      break;
    case Kind::Flag:
      *std::get<bool*>(r) = ValInt(v) != 0;
      break;
    case Kind::Int16:
      *std::get<std::int16_t*>(r) = ValInt16(v);
      break;
    case Kind::Int32:
      *std::get<std::int32_t*>(r) = ValInt32(v);
      break;
    case Kind::TncMode: {
      std::int16_t mode = ValInt16(v);
      *std::get<std::int16_t*>(r) = mode == 0 ? 1 : mode;
      break;
    }
    case Kind::IdString: {
      std::string id = UCase(v);
      settings.idStringSlash = EndsWith(id, "/");
      if (settings.idStringSlash) id.pop_back();
      settings.idString = id;
      break;
    }
  }
}

}  // namespace

std::string DefaultLogFolder() {
  const char* home = std::getenv("HOME");
  std::string base = home && *home ? home : "/tmp";
  return base + "/dxhunter/";
}

AppSettings::AppSettings() {
  for (const Field& f : kFields) Apply(f, *this, f.defaultText);
  logFolder = DefaultLogFolder();
}

const char* ConfigFileName(SessionKind kind) {
  switch (kind) {
    case SessionKind::Tnc:
      return "qlntnc.cfg";
    case SessionKind::Web:
      return "qlnweb.cfg";
    case SessionKind::Telnet:
      break;
  }
  return "quillnet.cfg";
}

std::string AppSettings::Serialise() const {
  std::string out;
  for (const Field& f : kFields) {
    std::string line = StoredText(f, *this);
    // A line break inside a value would shift every later line.
    for (auto& c : line)
      if (c == '\r' || c == '\n') c = ' ';
    out += line;
    out += kCrLf;
  }
  return out;
}

int AppSettings::Parse(std::string_view fileText) {
  auto lines = ReadConfigLines(fileText, kLines);
  for (std::size_t i = 0; i < lines.size(); ++i) Apply(kFields[i], *this, lines[i]);
  return static_cast<int>(lines.size());
}

}  // namespace qn
