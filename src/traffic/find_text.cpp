#include "traffic/find_text.h"

#include "core/text.h"
#include "core/text_window.h"
#include "platform/prompter.h"

namespace qn {

bool FindText::Find(TextWindow& box, Prompter& prompter) {
  auto answer = prompter.InputBox(kPrompt, kTitle, text_);
  if (!answer || answer->empty()) return false;
  text_ = LCase(*answer);
  return SearchFrom(box, prompter, 1);
}

bool FindText::FindNext(TextWindow& box, Prompter& prompter) {
  if (text_.empty()) return Find(box, prompter);
  return SearchFrom(box, prompter, lastHit_ == 0 ? 1 : lastHit_ + text_.size());
}

bool FindText::SearchFrom(TextWindow& box, Prompter& prompter, std::size_t start) {
  std::size_t hit = InStr(LCase(box.Text()), text_, start);
  lastHit_ = hit;
  if (hit == 0) {
    prompter.MessageBox(kNotFound, MsgIcon::Exclamation);
    return false;
  }
  box.Select(hit - 1, text_.size());
  return true;
}

}  // namespace qn
