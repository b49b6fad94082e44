#include "ui/talk_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

TalkDialog::TalkDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgaut");
  setWindowTitle("Quillnet: Talk Functions");
  setModal(true);
  TalkFields f = TalkDialogLoad(app_);

  auto* frame = new QGroupBox(kTalkFrameCaption, this);
  timeStamp_ = new QCheckBox("&Talk Time Stamp", frame);
  timeStamp_->setObjectName("Chkts");
  timeStamp_->setChecked(f.timeStamp);
  priority_ = new QCheckBox("Talk &Priority", frame);
  priority_->setObjectName("Chktp");
  priority_->setChecked(f.priority);
  autoAnswer_ = new QCheckBox("&Enable Auto Answer", frame);
  autoAnswer_->setObjectName("Chkaut");
  autoAnswer_->setChecked(f.autoAnswer);
  auto* label = new QLabel("&Auto Answer String", frame);
  answer_ = new QLineEdit(ToQString(f.answerString), frame);
  answer_->setObjectName("Txtaut");
  answer_->setMinimumWidth(360);
  label->setBuddy(answer_);
  auto* inner = new QVBoxLayout(frame);
  for (QWidget* w : std::initializer_list<QWidget*>{timeStamp_, priority_, autoAnswer_, label, answer_})
    inner->addWidget(w);

  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(save, &QPushButton::clicked, this, &TalkDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

TalkFields TalkDialog::Fields() const {
  return {timeStamp_->isChecked(), priority_->isChecked(), autoAnswer_->isChecked(),
          FromQString(answer_->text())};
}

void TalkDialog::Save() {
  if (TalkDialogSave(app_, Fields())) accept();
}

}  // namespace qn
