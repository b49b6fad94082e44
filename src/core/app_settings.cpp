#include "core/app_settings.h"

#include <cstdlib>

#include "core/text.h"

namespace qn {

namespace {

std::string Num(long long v) { return std::to_string(v); }
std::string Flag(bool b) { return b ? "1" : "0"; }

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

}  // namespace

std::string DefaultLogFolder() {
  const char* home = std::getenv("HOME");
  std::string base = home && *home ? home : "/tmp";
  return base + "/dxhunter/";
}

AppSettings::AppSettings() : logFolder(DefaultLogFolder()) {}

const char* ConfigFileName(SessionKind kind) {
  switch (kind) {
    case SessionKind::Tnc: return "qlntnc.cfg";
    case SessionKind::Web: return "qlnweb.cfg";
    case SessionKind::Telnet: break;
  }
  return "quillnet.cfg";
}

std::string AppSettings::Serialise() const {
  std::vector<std::string> l;
  l.reserve(kLines);
  l.push_back(auxPortList);
  l.push_back(auxPortSettings);
  l.push_back(auxEscapeString);
  l.push_back(Flag(auxEnabled));
  l.push_back(Flag(linkEnabled));
  l.push_back(logFolder);
  l.push_back(Flag(soundsEnabled));
  l.push_back(Flag(voiceSpelling));
  l.push_back(Num(speedFactor));
  l.push_back(Flag(autoAnswerEnabled));
  l.push_back(autoAnswerString);
  l.push_back(Flag(talkPriority));
  for (const auto& m : macros) l.push_back(m);
  l.push_back(ddeApplication);
  l.push_back(ddeTopic);
  l.push_back(ddeItem);
  for (const ColourPair* c : {&typedInputColours, &terminalColours, &announcementColours, &spotColours, &talkColours}) {
    l.push_back(Num(c->text));
    l.push_back(Num(c->back));
  }
  for (const auto& e : exclusionLow) l.push_back(e);
  for (const auto& e : exclusionHigh) l.push_back(e);
  l.push_back(fontName);
  l.push_back(fontSize);
  l.push_back(fontBold);
  l.push_back(fontItalic);
  l.push_back(Flag(auxInputOnly));
  l.push_back(webServerList);
  l.push_back(webPagePathList);
  l.push_back(Num(webRefreshMinutes));
  l.push_back(Flag(webDdeIn));
  l.push_back(Flag(webDdeOut));
  l.push_back(Flag(webBridgeToRemote));
  l.push_back(ownCallsign);
  l.push_back(tncInitPath);
  l.push_back(Num(tncMode));
  l.push_back(Num(auxHandshake));
  l.push_back(Flag(verticalScrollBars));
  l.push_back(Num(waveVolume));
  l.push_back(Flag(pttOnLpt1));
  l.push_back(Num(idIntervalMinutes));
  l.push_back(Flag(silenceOnTalksAndAnns));
  l.push_back(Flag(doubleSpell));
  l.push_back(idString + (idStringSlash ? "/" : ""));
  l.push_back(Flag(talkTimeStamp));
  l.push_back(Num(logPortBase));
  l.push_back(Flag(useLogPort));
  l.push_back(Flag(truncateFrequency));
  l.push_back(Flag(dxDeFilterEnabled));
  l.push_back(Flag(ignoreVeryFirstConnection));
  l.push_back(Flag(alertEnabled));
  l.push_back(Num(alertRepetitions));
  l.push_back(alertSoundFile);
  l.push_back(Flag(alertLptSwitch));
  l.push_back(ownLocator);
  l.push_back(utcOffset);
  l.push_back(Flag(rejectOldSpots));
  l.push_back(selectWords);
  l.push_back(rejectWords);

  std::string out;
  for (auto& line : l) {
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
  int n = 0;
  for (const auto& raw : lines) {
    ++n;
    const bool keepBlanks = n >= 13 && n <= 22;
    const std::string v = keepBlanks ? raw : Trim(raw);
    auto flag = [&] { return ValInt(v) != 0; };
    switch (n) {
      case 1: auxPortList = UCase(v); break;
      case 2: auxPortSettings = UCase(v); break;
      case 3: auxEscapeString = UCase(v); break;
      case 4: auxEnabled = flag(); break;
      case 5: linkEnabled = flag(); break;
      case 6: logFolder = v; break;
      case 7: soundsEnabled = flag(); break;
      case 8: voiceSpelling = flag(); break;
      case 9: speedFactor = ValInt16(v); break;
      case 10: autoAnswerEnabled = flag(); break;
      case 11: autoAnswerString = v; break;
      case 12: talkPriority = flag(); break;
      case 23: ddeApplication = v; break;
      case 24: ddeTopic = v; break;
      case 25: ddeItem = v; break;
      case 56: fontName = v; break;
      case 57: fontSize = v; break;
      case 58: fontBold = v; break;
      case 59: fontItalic = v; break;
      case 60: auxInputOnly = flag(); break;
      case 61: webServerList = v; break;
      case 62: webPagePathList = v; break;
      case 63: webRefreshMinutes = ValInt16(v); break;
      case 64: webDdeIn = flag(); break;
      case 65: webDdeOut = flag(); break;
      case 66: webBridgeToRemote = flag(); break;
      case 67: ownCallsign = v == "0" ? "" : v; break;
      case 68: tncInitPath = v; break;
      case 69: tncMode = ValInt16(v) == 0 ? 1 : ValInt16(v); break;
      case 70: auxHandshake = ValInt16(v); break;
      case 71: verticalScrollBars = flag(); break;
      case 72: waveVolume = ValInt32(v); break;
      case 73: pttOnLpt1 = flag(); break;
      case 74: idIntervalMinutes = ValInt16(v); break;
      case 75: silenceOnTalksAndAnns = flag(); break;
      case 76: doubleSpell = flag(); break;
      case 77: {
        std::string id = UCase(v);
        idStringSlash = EndsWith(id, "/");
        if (idStringSlash) id.pop_back();
        idString = id;
        break;
      }
      case 78: talkTimeStamp = flag(); break;
      case 79: logPortBase = ValInt16(v); break;
      case 80: useLogPort = flag(); break;
      case 81: truncateFrequency = flag(); break;
      case 82: dxDeFilterEnabled = flag(); break;
      case 83: ignoreVeryFirstConnection = flag(); break;
      case 84: alertEnabled = flag(); break;
      case 85: alertRepetitions = ValInt16(v); break;
      case 86: alertSoundFile = v; break;
      case 87: alertLptSwitch = flag(); break;
      case 88: ownLocator = v; break;
      case 89: utcOffset = v; break;
      case 90: rejectOldSpots = flag(); break;
      case 91: selectWords = v; break;
      case 92: rejectWords = v; break;
      default:
        if (n >= 13 && n <= 22) {
          macros[static_cast<std::size_t>(n - 13)] = v;
        } else if (n >= 26 && n <= 35) {
          ColourPair* pairs[] = {&typedInputColours, &terminalColours, &announcementColours, &spotColours,
                                 &talkColours};
          ColourPair& c = *pairs[(n - 26) / 2];
          ((n - 26) % 2 == 0 ? c.text : c.back) = ValInt32(v);
        } else if (n >= 36 && n <= 45) {
          exclusionLow[static_cast<std::size_t>(n - 36)] = v;
        } else if (n >= 46 && n <= 55) {
          exclusionHigh[static_cast<std::size_t>(n - 46)] = v;
        }
        break;
    }
  }
  return n;
}

}  // namespace qn
