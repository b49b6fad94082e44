#include "ui/macros_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

MacrosDialog::MacrosDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("frmmac");
  setWindowTitle(kMacrosCaption);
  setModal(true);
  MacroFields f = MacrosDialogLoad(app_.Settings());
  auto* form = new QFormLayout;
  for (int i = 0; i < kMacroCount; ++i) {
    auto* box = new QLineEdit(ToQString(f.texts[static_cast<std::size_t>(i)]), this);
    box->setObjectName(ToQString(MacroBoxName(i)));
    box->setMinimumWidth(320);
    auto* label = new QLabel(ToQString(MacroLabel(i)), this);
    label->setBuddy(box);
    form->addRow(label, box);
    boxes_[static_cast<std::size_t>(i)] = box;
  }
  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(save, &QPushButton::clicked, this, &MacrosDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ui::LayOutWithButtons(this, form, {save, cancel});
}

MacroFields MacrosDialog::Fields() const {
  MacroFields f;
  for (std::size_t i = 0; i < boxes_.size(); ++i) f.texts[i] = FromQString(boxes_[i]->text());
  return f;
}

void MacrosDialog::Save() {
  MacrosDialogSave(app_, Fields());
  accept();
}

}  // namespace qn
