// The Prompter port for the Qt program: message boxes on QMessageBox and
// input boxes on QInputDialog, modal to the window the front end names.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/prompter.h"

namespace qn {

class QtPrompter : public Prompter {
 public:
  MsgResult MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons, int defaultButton,
                       const std::string& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;

  // The window the boxes belong to; asked each time, so the front end can
  // bring its frame up before the first question.
  std::function<QWidget*()> parentWindow;

 private:
  QWidget* Parent() const { return parentWindow ? parentWindow() : nullptr; }
};

}  // namespace qn
