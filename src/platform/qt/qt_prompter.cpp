#include "platform/qt/qt_prompter.h"

#include <QInputDialog>
#include <QMessageBox>
#include <vector>

#include "platform/qt/latin1.h"

namespace qn {

namespace {

QMessageBox::Icon ToQIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Critical:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// The buttons in the order the caller counts them for its default.
std::vector<QMessageBox::StandardButton> ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return {QMessageBox::Ok};
    case MsgButtons::OkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::YesNoCancel:
      return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
  }
  return {QMessageBox::Ok};
}

MsgResult ToResult(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok:
      return MsgResult::Ok;
    case QMessageBox::Yes:
      return MsgResult::Yes;
    case QMessageBox::No:
      return MsgResult::No;
    default:
      return MsgResult::Cancel;
  }
}

}  // namespace

MsgResult QtPrompter::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons, int defaultButton,
                                 const std::string& title) {
  auto list = ButtonsOf(buttons);
  QMessageBox::StandardButtons set;
  for (auto b : list) set |= b;
  QMessageBox box(ToQIcon(icon), ToQString(title), ToQString(text), set, Parent());
  std::size_t index = defaultButton >= 1 && static_cast<std::size_t>(defaultButton) <= list.size()
                          ? static_cast<std::size_t>(defaultButton - 1)
                          : 0;
  box.setDefaultButton(list[index]);
  // Closing the box by its title bar or Escape: Cancel where there is one,
  // else No, else OK; what a closed question means must never be Yes.
  if (buttons == MsgButtons::YesNo) box.setEscapeButton(QMessageBox::No);
  box.exec();
  auto* clicked = box.clickedButton();
  if (!clicked)
    return buttons == MsgButtons::YesNo ? MsgResult::No
           : buttons == MsgButtons::Ok  ? MsgResult::Ok
                                        : MsgResult::Cancel;
  return ToResult(box.standardButton(clicked));
}

std::optional<std::string> QtPrompter::InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) {
  QInputDialog dlg(Parent());
  dlg.setInputMode(QInputDialog::TextInput);
  dlg.setWindowTitle(ToQString(title));
  dlg.setLabelText(ToQString(prompt));
  dlg.setTextValue(ToQString(defaultText));
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return FromQString(dlg.textValue());
}

}  // namespace qn
