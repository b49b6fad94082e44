#include "ui/aux_comm_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "serial/aux_port.h"
#include "serial/aux_settings.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

QLineEdit* AddField(QWidget* frame, QFormLayout* form, const char* caption, const char* name,
                    const std::string& value) {
  auto* edit = ui::AddFormField(frame, form, caption, name, value, 220);
  // Entering a box selects its whole text.
  QObject::connect(qApp, &QApplication::focusChanged, edit, [edit](QWidget*, QWidget* now) {
    if (now == edit) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
  });
  return edit;
}

QCheckBox* AddBox(QWidget* frame, QVBoxLayout* layout, const char* caption, const char* name, bool value) {
  auto* box = new QCheckBox(caption, frame);
  box->setObjectName(name);
  box->setChecked(value);
  layout->addWidget(box);
  return box;
}

std::vector<std::string> Present(App& app) {
  AuxPort* aux = app.Aux();
  return aux && aux->Port() ? aux->Port()->PresentDevices() : std::vector<std::string>{};
}

}  // namespace

AuxCommDialog::AuxCommDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgaux");
  setWindowTitle(kAuxCommCaption);
  setModal(true);
  serialMap_ = ReadSerialMap(app_.Folder());
  AuxCommFields f = AuxCommRules::Load(app_.Settings());

  auto* frame = new QGroupBox(kAuxCommFrame, this);
  auto* form = new QFormLayout;
  number_ = AddField(frame, form, "Comm Port &Number", "Txtpnum", f.portNumber);
  number_->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9,;+:-]*"), number_));
  settings_ = AddField(frame, form, "Comm &Port Settings", "Txtset", f.settings);
  escape_ = AddField(frame, form, "Command Escape S&tring", "Txtesc", f.escape);
  logBase_ = AddField(frame, form, "Log Port Base Address", "Txtlog", f.logBase);
  auto* boxes = new QVBoxLayout;
  enabled_ = AddBox(frame, boxes, "&Enable Comm Port", "Chken", f.enabled);
  inputOnly_ = AddBox(frame, boxes, "&Input only", "Checkinp", f.inputOnly);
  xon_ = AddBox(frame, boxes, "&Xon Xoff Handshake", "Chkxon", f.xonXoff);
  rts_ = AddBox(frame, boxes, "&Hardware Handshake", "Chkrts", f.hardware);
  useLog_ = AddBox(frame, boxes, "&Use Log Port", "Chklog", f.useLogPort);
  devices_ = new QLabel(frame);
  devices_->setObjectName("Lbldevices");
  devices_->setWordWrap(true);
  auto* inner = new QVBoxLayout(frame);
  inner->addLayout(form);
  inner->addLayout(boxes);
  inner->addWidget(devices_);
  PortNumberChanged();
  // The stored base stays until the number is changed.
  logBase_->setText(ToQString(f.logBase));
  connect(number_, &QLineEdit::textEdited, this, [this] {
    logBase_->setText(ToQString(DefaultLogPortBase(FromQString(number_->text()))));
    PortNumberChanged();
  });
  connect(useLog_, &QCheckBox::clicked, this, [this](bool on) {
    if (on && QMessageBox::question(this, "Quillnet", kLogPortWarning, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No) != QMessageBox::Yes)
      useLog_->setChecked(false);
  });

  auto* save = ui::NamedButton(this, "&Save", "Cmdsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcanc");
  save->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this, &AuxCommDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

void AuxCommDialog::PortNumberChanged() {
  std::string present;
  for (const std::string& d : Present(app_)) present += (present.empty() ? "" : "\n  ") + d;
  devices_->setText(
      ToQString("Devices named: " +
                AuxCommRules::DevicesNamed(FromQString(number_->text()), serialMap_, Present(app_)) +
                "\nSerial devices present:\n  " + (present.empty() ? "none" : present) +
                "\nOther devices: SERIAL.TXT in the data folder, e.g. \"3 /dev/ttyUSB0\""));
}

AuxCommFields AuxCommDialog::Fields() const {
  AuxCommFields f;
  f.portNumber = FromQString(number_->text());
  f.settings = FromQString(settings_->text());
  f.escape = FromQString(escape_->text());
  f.enabled = enabled_->isChecked();
  f.inputOnly = inputOnly_->isChecked();
  f.xonXoff = xon_->isChecked();
  f.hardware = rts_->isChecked();
  f.logBase = FromQString(logBase_->text());
  f.useLogPort = useLog_->isChecked();
  return f;
}

void AuxCommDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    switch (AuxCommRules::FirstEmptyRequired(Fields())) {
      case 1:
        number_->setFocus();
        return;
      case 2:
        settings_->setFocus();
        return;
      case 3:
        escape_->setFocus();
        return;
      default:
        Save();
        return;
    }
  }
  QDialog::keyPressEvent(event);
}

void AuxCommDialog::Save() {
  if (SaveAuxCommDialog(app_, Fields())) accept();
}

}  // namespace qn
