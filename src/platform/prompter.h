// Message boxes and input boxes: modal questions to the user.
#pragma once

#include <optional>
#include <string>

namespace qn {

enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // defaultButton is 1-based in the order the buttons are named.
  virtual MsgResult MessageBox(const std::string& text, MsgIcon icon = MsgIcon::None,
                               MsgButtons buttons = MsgButtons::Ok, int defaultButton = 1,
                               const std::string& title = "Quillnet") = 0;
  // nullopt when the user cancelled.
  virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;
  // False once no answer can come any more (a console whose input ended);
  // questions that insist on an answer give up then instead of asking forever.
  virtual bool CanAsk() const { return true; }
};

}  // namespace qn
