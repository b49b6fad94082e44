#include "lookups/web_search.h"

#include "core/text.h"

namespace qn {

const std::vector<WebSearchEntry>& WebSearchEntries() {
  static const std::vector<WebSearchEntry> kEntries{
      {"&Ham Info", "mnubuck", "BuckMaster (TM) Online...", "WEBGO.EXE A", 1, "Shift+F4", 4},
      {"&Ham Info", "mnuqrz", "QRZ (TM) Online...", "WEBGO.EXE B", 1, "Shift+F5", 5},
      {"&Ham Info", "mnuboth", "Both...", "WEBGO.EXE Z", 1, "Shift+F6", 6},
      {"&Ham Info", "mnudl8", "YY8CCC &Call Search...", "WEBGO.EXE T", 5, "", 7},
      {"&Ham Info", "mnudlol", "YY8CCC &Locator Search...", "WEBGO.EXE U", 6, "", 8},
      {"&Ham Info", "Mnusdx", "YY0BBB's QSL Info...", "WEBGO.EXE C", 2, "Ctrl+F5", 9},
      {"&Ham Info", "mnubothqsl", "YY1DDD's Golist QSL Info...", "WEBGO.EXE D", 2, "Ctrl+F7", 10},
      {"&Ham Info", "mnuqsl", "YY4AAA's QSL Info...", "WEBGO.EXE E", 2, "Ctrl+F8", 11},
      {"&Ham Info", "mnuoe", "OE Page...", "WEBGO.EXE F", 0, "", 12},
      {"&Ham Info", "mnupath", "Pathfinder...", "WEBGO.EXE G", 2, "Ctrl+F11", 13},
      {"&Ham Info", "mnuRSGB", "RSGB Iota info...", "WEBGO.EXE V", 7, "Ctrl+F12", 14},
      {"&Ham Info", "mnudxped", "&DXPeditions...", "WEBGO.EXE Q", 0, "", 15},
      {"&Ham Info", "mnugrey", "&Greyline...", "WEBGO.EXE S", 0, "", 16},
      {"&Ham Info", "mnuprop", "&Propagation...", "WEBGO.EXE R", 0, "", 17},
      {"&Ham Info", "mnu425", "Latest 425 Bulletin...", "WEBGO.EXE H", 0, "Shift+F7", 18},
      {"&Ham Info", "mnuWWV", "Latest WWV...", "WEBGO.EXE I", 0, "Shift+F8", 19},
      {"&Ham Info", "mnumost", "Recent Most Wanted...", "WEBGO.EXE J", 0, "Shift+F9", 20},
      {"&Ham Info", "mnu425s", "Search 425", "WEBGO.EXE K", 0, "", 21},
      {"&Ham Info", "mnuspotsearch", "Spot Search...", "WEBGO.EXE L", 3, "Shift+F12", 22},
      // The "&?" menu's pages.
      {"&?", "mnublack", "Quillnet Black List", "WEBGO.EXE M", 0, "", 3},
      {"&?", "mnufeed", "Quillnet Feedback", "WEBGO.EXE N", 0, "", 4},
      {"&?", "mnuqln", "Quillnet Home Page", "WEBGO.EXE O", 0, "", 5},
      {"&?", "mnudxh", "DXHUNTER home page", "WEBGO.EXE P", 0, "", 6},
  };
  return kEntries;
}

const WebSearchEntry* FindWebSearchEntry(std::string_view id) {
  for (const auto& e : WebSearchEntries()) {
    if (id == e.id) return &e;
  }
  return nullptr;
}

std::string UrlEncode(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
      continue;
    }
    // Addresses carry UTF-8; the program's text is Latin-1.
    std::string utf8 =
        c < 0x80 ? std::string(1, static_cast<char>(c)) : Latin1ToUtf8(std::string(1, static_cast<char>(c)));
    for (unsigned char b : utf8) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::vector<int> WebSearchTable::Parse(std::string_view text) {
  lines_.clear();
  std::vector<int> bad;
  int number = 0;
  for (const std::string& raw : SplitLines(text)) {
    ++number;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '\'') continue;
    auto gap = line.find_first_of(" \t");
    std::string key = UCase(line.substr(0, gap));
    std::string address = gap == std::string::npos ? "" : TrimSpaceAndControls(line.substr(gap));
    bool keyOk = (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') || key == kDualKey;
    bool addressOk = (StartsWith(LCase(address), "https://") || StartsWith(LCase(address), "http://")) &&
                     address.find_first_of(" \t") == std::string::npos;
    if (!keyOk || !addressOk) {
      bad.push_back(number);
      continue;
    }
    lines_[key] = address;
  }
  return bad;
}

std::optional<std::string> WebSearchTable::Address(std::string_view key, std::string_view text,
                                                   std::string_view ownCall) const {
  auto it = lines_.find(UCase(key));
  if (it == lines_.end()) return std::nullopt;
  std::string a = ReplaceAll(it->second, "{TEXT}", UrlEncode(text));
  return ReplaceAll(a, "{CALL}", UrlEncode(ownCall));
}

}  // namespace qn
