#include "ui/links_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

QLineEdit* AddField(QWidget* frame, QFormLayout* form, const char* caption, const char* name,
                    const std::string& value) {
  return ui::AddFormField(frame, form, caption, name, value, 280);
}

}  // namespace

LinksDialog::LinksDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgdxh");
  setWindowTitle(kLinksDialogCaption);
  setModal(true);
  LinksFields f = LinksRules::Load(app_.Settings());

  auto* logFrame = new QGroupBox(kLogLinkFrameCaption, this);
  enabled_ = new QCheckBox("&Enable Link", logFrame);
  enabled_->setObjectName("Chken");
  enabled_->setChecked(f.enabled);
  auto* logForm = new QFormLayout;
  folder_ = AddField(logFrame, logForm, "&DXHUNTER or external Log Path", "Txtdxhp", f.logFolder);
  auto* logInner = new QVBoxLayout(logFrame);
  logInner->addWidget(enabled_);
  logInner->addLayout(logForm);

  auto* programFrame = new QGroupBox(kProgramLinkFrameCaption, this);
  auto* programForm = new QFormLayout(programFrame);
  application_ =
      AddField(programFrame, programForm, "EXE &Name (without extension)", "Textexe", f.application);
  topic_ = AddField(programFrame, programForm, "&Link Topic", "Texttopic", f.topic);
  item_ = AddField(programFrame, programForm, "Link &Item", "Textitem", f.item);

  auto* save = ui::NamedButton(this, "&Save", "Cmdcfgdxhsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcfgdxhcanc");
  connect(save, &QPushButton::clicked, this, &LinksDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(logFrame);
  body->addWidget(programFrame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

LinksFields LinksDialog::Fields() const {
  return {enabled_->isChecked(), FromQString(folder_->text()), FromQString(application_->text()),
          FromQString(topic_->text()), FromQString(item_->text())};
}

void LinksDialog::Save() {
  if (SaveLinksDialog(app_, Fields())) accept();
}

}  // namespace qn
