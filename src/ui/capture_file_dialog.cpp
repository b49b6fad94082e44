#include "ui/capture_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "session/capture_rules.h"
#include "ui/dialog_parts.h"

namespace qn {

CaptureFileDialog::CaptureFileDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("Frmfil");
  setWindowTitle("Quillnet: Capture File");
  setModal(true);
  folder_ = new QLineEdit(ToQString(app_.Folder().Root().string()), this);
  folder_->setObjectName("Dir1");
  auto* browse = new QPushButton("&Browse...", this);
  browse->setObjectName("Cmdbrowse");
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &CaptureFileDialog::Browse);
  name_ = new QLineEdit(this);
  name_->setObjectName("Txtfile");
  spotsOnly_ = new QCheckBox("Save &DX spots only", this);
  spotsOnly_->setObjectName("Checkspots");

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);
  auto* form = new QFormLayout;
  form->addRow("&Folder", folderRow);
  form->addRow("File &name", name_);
  form->addRow(spotsOnly_);

  auto* ok = ui::NamedButton(this, "OK", "Cmdok");
  ok->setDefault(true);
  auto* cancel = ui::NamedButton(this, "&Cancel", "Cmdcan");
  connect(ok, &QPushButton::clicked, this, &CaptureFileDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ui::LayOutWithButtons(this, form, {ok, cancel});
}

void CaptureFileDialog::Browse() {
  QString chosen = QFileDialog::getSaveFileName(this, "Capture File", folder_->text(), QString(), nullptr,
                                                QFileDialog::DontConfirmOverwrite);  // OK asks itself
  if (chosen.isEmpty()) return;
  QFileInfo info(chosen);
  folder_->setText(info.absolutePath());
  name_->setText(info.fileName());
}

void CaptureFileDialog::Ok() {
  CaptureFields fields{FromQString(folder_->text()), FromQString(name_->text()), spotsOnly_->isChecked()};
  if (CaptureDialogOk(app_, fields)) accept();
}

}  // namespace qn
