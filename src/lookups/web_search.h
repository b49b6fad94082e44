// The web-search entries of the Ham Info menu and the table of addresses the
// program opens itself when no search helper is installed. WEBSEARCH.TXT in
// the data folder holds one line per command letter (and one for the second
// search of "Both..."), the letter, blanks, then the address:
//   B https://www.qrz.com/db/{TEXT}
// {TEXT} is the searched text and {CALL} the own callsign, both URL-encoded.
// Lines beginning with "'" are comments.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

struct WebSearchEntry {
  const char* menu;     // "&Ham Info" or "&?"
  const char* id;       // menu control
  const char* caption;  // menu caption
  const char* literal;  // helper command, "WEBGO.EXE B"
  int inputKind;        // AskSearchText kind, 0: none (the last search is used)
  const char* shortcut;
  int order;  // place in the Ham Info menu
};

// Every web-search entry of the menus, in menu order.
const std::vector<WebSearchEntry>& WebSearchEntries();
const WebSearchEntry* FindWebSearchEntry(std::string_view id);

// Percent-encoding of everything but letters, digits and "-_.~".
std::string UrlEncode(std::string_view text);

class WebSearchTable {
 public:
  static constexpr const char* kFileName = "WEBSEARCH.TXT";
  static constexpr const char* kDualKey = "DUALWEB";

  // Reads the table's text; returns the numbers of lines that were not
  // understood (they are skipped).
  std::vector<int> Parse(std::string_view text);
  // The address for a command letter (or kDualKey) with the texts filled
  // in; empty when the table has no line for it.
  std::optional<std::string> Address(std::string_view key, std::string_view text,
                                     std::string_view ownCall) const;
  bool Empty() const { return lines_.empty(); }

 private:
  std::map<std::string, std::string> lines_;
};

}  // namespace qn
