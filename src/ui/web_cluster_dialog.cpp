#include "ui/web_cluster_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "ui/dialog_parts.h"

namespace qn {

namespace {

QLineEdit* AddEdit(QWidget* frame, QFormLayout* form, const char* caption, const char* name,
                   const std::string& value, int width) {
  auto* edit = new QLineEdit(ToQString(value), frame);
  edit->setObjectName(name);
  edit->setMinimumWidth(width);
  auto* label = new QLabel(caption, frame);
  label->setBuddy(edit);
  form->addRow(label, edit);
  return edit;
}

QCheckBox* AddCheck(QWidget* frame, const char* caption, const char* name, bool on) {
  auto* box = new QCheckBox(caption, frame);
  box->setObjectName(name);
  box->setChecked(on);
  return box;
}

}  // namespace

WebClusterDialog::WebClusterDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmcfgweb");
  setWindowTitle(kWebClusterDialogCaption);
  setModal(true);
  WebClusterFields f = WebClusterRules::Load(app_.Settings());

  auto* frame = new QGroupBox(kWebClusterFrameCaption, this);
  auto* form = new QFormLayout;
  servers_ = AddEdit(frame, form, "Network &Address or Host Name", "Txtwebad", f.servers, 320);
  paths_ = AddEdit(frame, form, "File Path And &Name", "Txtwebpath", f.paths, 320);
  auto* periodFrame = new QGroupBox("Refresh Period", frame);
  auto* periodForm = new QFormLayout(periodFrame);
  period_ = AddEdit(periodFrame, periodForm, "&Minutes:", "Txtwebper", f.period, 60);
  ignoreFirst_ = AddCheck(frame, "Ignore Very &First Connection", "Chkfirst", f.ignoreFirst);
  callsign_ = AddEdit(frame, form, "&Your Callsign", "Textcall", f.callsign, 120);
  callsign_->installEventFilter(this);
  ddeIn_ = AddCheck(frame, "DDE &in", "Chkddein", f.ddeIn);
  ddeOut_ = AddCheck(frame, "DDE &out", "Chkddeout", f.ddeOut);
  bridge_ = AddCheck(frame, "Bridge To &Remote", "Checkto", f.bridgeToRemote);
  connect(bridge_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) app_.Prompt().MessageBox(kWebBridgeWarning, MsgIcon::Exclamation);
  });
  auto* checks = new QHBoxLayout;
  checks->addWidget(ddeIn_);
  checks->addWidget(ddeOut_);
  checks->addWidget(bridge_);
  auto* inner = new QVBoxLayout(frame);
  inner->addLayout(form);
  inner->addWidget(periodFrame);
  inner->addWidget(ignoreFirst_);
  inner->addLayout(checks);

  auto* save = ui::NamedButton(this, "&Save", "Cmdwebsav");
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdwebcan");
  connect(save, &QPushButton::clicked, this, &WebClusterDialog::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* body = new QVBoxLayout;
  body->addWidget(frame);
  ui::LayOutWithButtons(this, body, {save, cancel});
}

bool WebClusterDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != callsign_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    focusNextChild();
    return true;
  }
  if (key->key() == Qt::Key_Backspace) return false;
  QString text = key->text();
  if (text.size() != 1) return true;
  auto accepted = WebClusterRules::CallsignKey(text.at(0).toLatin1());
  if (!accepted) return true;
  callsign_->insert(QString(QChar::fromLatin1(*accepted)));
  return true;
}

WebClusterFields WebClusterDialog::Fields() const {
  WebClusterFields f;
  f.servers = FromQString(servers_->text());
  f.paths = FromQString(paths_->text());
  f.period = FromQString(period_->text());
  f.ignoreFirst = ignoreFirst_->isChecked();
  f.callsign = FromQString(callsign_->text());
  f.ddeIn = ddeIn_->isChecked();
  f.ddeOut = ddeOut_->isChecked();
  f.bridgeToRemote = bridge_->isChecked();
  return f;
}

void WebClusterDialog::Save() {
  if (SaveWebClusterDialog(app_, Fields())) accept();
}

}  // namespace qn
