#include "ui/personal_info_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

QLineEdit* AddBox(QFormLayout* form, QWidget* parent, const char* name, const char* label,
                  const std::string& value) {
  auto* box = new QLineEdit(ToQString(value), parent);
  box->setObjectName(name);
  auto* l = new QLabel(label, parent);
  l->setBuddy(box);
  form->addRow(l, box);
  return box;
}

}  // namespace

PersonalInfoDialog::PersonalInfoDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmpers");
  setWindowTitle("Quillnet: Personal Info");
  setModal(true);
  PersonalInfoFields f = PersonalInfoLoad(app_.Settings());

  auto* frame = new QGroupBox("Personal Parameters", this);
  frame->setObjectName("Frampers");
  auto* form = new QFormLayout(frame);
  callsign_ = AddBox(form, frame, "Txtmycall", "&Your Callsign", f.callsign);
  locator_ = AddBox(form, frame, "Txtlocator", "Your &Locator", f.locator);
  offset_ = AddBox(form, frame, "Txtutc", "&UTC - Local", f.utcOffset);
  for (QLineEdit* box : {callsign_, locator_, offset_}) box->installEventFilter(this);

  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  // Enter is taken by the boxes' filter; no button is a hidden default.
  save->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this, &PersonalInfoDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

PersonalInfoFields PersonalInfoDialog::Fields() const {
  return {FromQString(callsign_->text()), FromQString(locator_->text()), FromQString(offset_->text())};
}

void PersonalInfoDialog::Save() {
  PersonalInfoSave(app_, Fields());
  accept();
}

bool PersonalInfoDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    Save();
    return true;
  }
  // Editing and moving keys carry no character and stay the box's own.
  QString text = key->text();
  if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Tab ||
      key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete) {
    return QDialog::eventFilter(watched, event);
  }
  // Shortcuts with Ctrl (copy, paste, select all) are not typing.
  if (key->modifiers() & Qt::ControlModifier) return QDialog::eventFilter(watched, event);
  PersonalField field = watched == callsign_  ? PersonalField::Callsign
                        : watched == locator_ ? PersonalField::Locator
                                              : PersonalField::UtcOffset;
  for (QChar ch : text) {
    if (ch.unicode() > 0xFF || !PersonalInfoKeyAllowed(field, static_cast<char>(ch.unicode()))) return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qn
