// Find and Find Next in a traffic window: the search text is kept lower-cased
// with the last hit, case is ignored, a hit selects the text in the window's
// model and a miss warns and starts the next search from the top.
#pragma once

#include <cstddef>
#include <string>

namespace qn {

class Prompter;
class TextWindow;

class FindText {
 public:
  static constexpr const char* kPrompt = "Edit text to search for (case insensitive)";
  static constexpr const char* kTitle = "Search Text";
  static constexpr const char* kNotFound = "Search text not found";

  // Asks for the text and searches from the first character. False on a
  // miss or when the question was cancelled or left empty.
  bool Find(TextWindow& box, Prompter& prompter);
  // Searches on after the last hit; without a stored text it is Find.
  bool FindNext(TextWindow& box, Prompter& prompter);

  const std::string& SearchText() const { return text_; }
  // 1-based position of the last hit, 0 after a miss.
  std::size_t LastHit() const { return lastHit_; }

 private:
  bool SearchFrom(TextWindow& box, Prompter& prompter, std::size_t start);

  std::string text_;
  std::size_t lastHit_ = 0;
};

}  // namespace qn
