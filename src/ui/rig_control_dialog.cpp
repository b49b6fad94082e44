#include "ui/rig_control_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "rig/rig_control.h"
#include "ui/dialog_parts.h"

namespace qn {

RigControlDialog::RigControlDialog(App& app, QWidget* parent)
    : QDialog(parent), rules_(*app.Rig(), app.Folder()) {
  setObjectName("Frmrig");
  setWindowTitle("Quillnet: Rig Control");
  setModal(true);
  RigFields f = rules_.Load();

  auto* frame = new QGroupBox(kRigDialogCaption, this);
  off_ = new QRadioButton("&Off", frame);
  off_->setObjectName("Optoff");
  rigctld_ = new QRadioButton("Through &rigctld (shared with other programs)", frame);
  rigctld_->setObjectName("Optrigctld");
  hamlib_ = new QRadioButton("&Hamlib directly (this program alone drives the radio)", frame);
  hamlib_->setObjectName("Opthamlib");
  (f.use == RigAccess::Rigctld ? rigctld_ : f.use == RigAccess::Hamlib ? hamlib_ : off_)->setChecked(true);

  host_ = new QLineEdit(ToQString(f.host), frame);
  host_->setObjectName("Txthost");
  port_ = new QLineEdit(ToQString(f.port), frame);
  port_->setObjectName("Txtport");
  port_->setValidator(new QIntValidator(1, 65535, port_));
  model_ = new QLineEdit(ToQString(f.model), frame);
  model_->setObjectName("Txtmodel");
  model_->setValidator(new QIntValidator(1, 999999, model_));
  model_->setToolTip("Hamlib's model number: \"rigctl -l\" lists them; 1 is the dummy rig");
  device_ = new QLineEdit(ToQString(f.device), frame);
  device_->setObjectName("Txtdevice");
  device_->setToolTip("The serial device, best by its stable name in /dev/serial/by-id");
  speed_ = new QComboBox(frame);
  speed_->setObjectName("Cbospeed");
  for (const char* s :
       {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800"})
    speed_->addItem(s);
  speed_->setCurrentText(ToQString(f.speed));

  auto* form = new QFormLayout(frame);
  form->addRow(off_);
  form->addRow(rigctld_);
  form->addRow("Host", host_);
  form->addRow("Port", port_);
  form->addRow(hamlib_);
  form->addRow("Model", model_);
  form->addRow("Device", device_);
  form->addRow("Speed", speed_);

  test_ = ui::NamedButton(this, "&Test", "Cmdtest");
  result_ = new QLabel(this);
  result_->setObjectName("Lbltest");
  result_->setWordWrap(true);
  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(save, &QPushButton::clicked, this, &RigControlDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(test_, &QPushButton::clicked, this, &RigControlDialog::Test);
  for (QRadioButton* b : {off_, rigctld_, hamlib_})
    connect(b, &QRadioButton::toggled, this, [this] { UpdateEnables(); });
  UpdateEnables();

  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  body->addWidget(result_);
  ui::LayOutWithButtons(this, body, {test_, save, cancel});
}

void RigControlDialog::UpdateEnables() {
  for (QWidget* w : {static_cast<QWidget*>(host_), static_cast<QWidget*>(port_)})
    w->setEnabled(rigctld_->isChecked());
  for (QWidget* w :
       {static_cast<QWidget*>(model_), static_cast<QWidget*>(device_), static_cast<QWidget*>(speed_)})
    w->setEnabled(hamlib_->isChecked());
  test_->setEnabled(!off_->isChecked());
}

RigFields RigControlDialog::Fields() const {
  RigFields f;
  f.use = rigctld_->isChecked()  ? RigAccess::Rigctld
          : hamlib_->isChecked() ? RigAccess::Hamlib
                                 : RigAccess::Off;
  f.host = FromQString(host_->text());
  f.port = FromQString(port_->text());
  f.model = FromQString(model_->text());
  f.device = FromQString(device_->text());
  f.speed = FromQString(speed_->currentText());
  return f;
}

void RigControlDialog::Save() {
  std::string error = rules_.Save(Fields());
  if (!error.empty()) {
    QMessageBox::warning(this, windowTitle(), ToQString(error));
    return;
  }
  accept();
}

void RigControlDialog::Test() {
  result_->setText("Asking the rig...");
  test_->setEnabled(false);
  // The answer may come after the dialog has gone.
  QPointer<RigControlDialog> self(this);
  rules_.Test(Fields(), [self](bool, const std::string& text) {
    if (!self) return;
    self->result_->setText(ToQString(text));
    self->UpdateEnables();
  });
}

}  // namespace qn
