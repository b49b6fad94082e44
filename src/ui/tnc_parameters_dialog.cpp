#include "ui/tnc_parameters_dialog.h"

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

TncParametersDialog::TncParametersDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgtnc");
  setWindowTitle(kTncParametersCaption);
  setModal(true);
  TncParametersFields f = TncParametersRules::Load(app_.Settings());
  auto* frame = new QGroupBox(kTncParametersFrame, this);
  auto* form = new QFormLayout;
  path_ = new QLineEdit(ToQString(f.initPath), frame);
  path_->setObjectName("Txtpath");
  path_->setMinimumWidth(280);
  path_->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9;\\\\:._~/-]*"), path_));
  auto* label = new QLabel("TNC Initialization &Path\\Filename", frame);
  label->setBuddy(path_);
  form->addRow(label, path_);
  auto* modes = new QGroupBox("TNC Terminal Mode", frame);
  ded_ = new QRadioButton("&WA8DED", modes);
  ded_->setObjectName("Optded");
  tapr_ = new QRadioButton("&TAPR", modes);
  tapr_->setObjectName("Opttapr");
  (f.wa8ded ? ded_ : tapr_)->setChecked(true);
  auto* modeLayout = new QVBoxLayout(modes);
  modeLayout->addWidget(ded_);
  modeLayout->addWidget(tapr_);
  auto* inner = new QVBoxLayout(frame);
  inner->addLayout(form);
  inner->addWidget(modes);
  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcanc");
  save->setDefault(true);  // Enter saves
  connect(save, &QPushButton::clicked, this, &TncParametersDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

TncParametersFields TncParametersDialog::Fields() const {
  return {FromQString(path_->text()), ded_->isChecked()};
}

void TncParametersDialog::Save() {
  SaveTncParametersDialog(app_, Fields());
  accept();
}

}  // namespace qn
