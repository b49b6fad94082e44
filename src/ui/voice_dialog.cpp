#include "ui/voice_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

VoiceDialog::VoiceDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgvoice");
  setWindowTitle("Quillnet: Voice Broadcaster");
  setModal(true);
  VoiceFields f = VoiceDialogLoad(app_);

  auto* frame = new QGroupBox(kVoiceFrameCaption, this);
  id_ = new QLineEdit(ToQString(f.idString), frame);
  id_->setObjectName("Txtidid");
  // The same characters IdStringCharAllowed takes.
  id_->setValidator(new QRegularExpressionValidator(QRegularExpression(R"([A-Za-z0-9/\\]*)"), id_));
  interval_ = new QLineEdit(ToQString(f.idInterval), frame);
  interval_->setObjectName("Txtidper");
  interval_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), interval_));
  doubleSpell_ = new QCheckBox("Enable &Double Spell", frame);
  doubleSpell_->setObjectName("Chkdouble");
  doubleSpell_->setChecked(f.doubleSpell);
  silence_ = new QCheckBox("Silence on &Talks and Anns", frame);
  silence_->setObjectName("Chktalkann");
  silence_->setChecked(f.silence);
  ptt_ = new QCheckBox("Enable &PTT on LPT1", frame);
  ptt_->setObjectName("Chkptt");
  ptt_->setChecked(f.ptt);

  auto* idLabel = new QLabel("ID strin&g", frame);
  idLabel->setBuddy(id_);
  auto* intervalLabel = new QLabel("&ID Minimum Interval (minutes)", frame);
  intervalLabel->setBuddy(interval_);
  auto* form = new QFormLayout(frame);
  form->addRow(idLabel, id_);
  form->addRow(intervalLabel, interval_);
  form->addRow(doubleSpell_);
  form->addRow(silence_);
  form->addRow(ptt_);

  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(save, &QPushButton::clicked, this, &VoiceDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

VoiceFields VoiceDialog::Fields() const {
  return {FromQString(id_->text()), FromQString(interval_->text()), doubleSpell_->isChecked(),
          silence_->isChecked(), ptt_->isChecked()};
}

void VoiceDialog::Save() {
  VoiceDialogSave(app_, Fields());
  accept();
}

}  // namespace qn
