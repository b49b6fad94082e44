// What a click in a traffic window leaves for the lookups: the clicked call
// (with the second part of a portable call), locator and IOTA reference, read
// from the line under the caret. The traffic windows own one; the lookups read it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qn {

struct ClickedWordValues {
  std::string call;        // call or prefix
  std::string secondPart;  // the part after "/" of a portable call
  std::string locator;
  std::string iota;      // cleared by its lookup
  std::string iotaCopy;  // kept: the default of the IOTA input box
};

// The word is shorter than 13 characters and its first one to four characters
// have the letter/digit shape of a call or prefix.
bool LooksLikeCall(std::string_view word);
// The first IOTA reference of an upper-cased line ("OC-123" gives "OC123",
// "EU 5" gives "EU005"); empty when there is none.
std::string FindIotaReference(std::string_view upperLine);
// The line holding the 0-based caret, without its line end, and the caret's
// offset in it.
std::string_view LineAt(std::string_view text, std::size_t caret, std::size_t& caretInLine);

class ClickedWord {
 public:
  // AnalyseClickedWord on a box's text and caret. Returns the talker when
  // the line holds "<" ... ">".
  std::optional<std::string> Analyse(std::string_view text, std::size_t caret, bool chatSession);

  ClickedWordValues& Values() { return values_; }
  const ClickedWordValues& Values() const { return values_; }

 private:
  ClickedWordValues values_;
};

}  // namespace qn
