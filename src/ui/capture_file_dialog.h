// The capture file dialog Frmfil: a folder, a file name and "Save &DX spots
// only". Its OK is the core's CaptureDialogOk, which opens the capture or
// says why not; the dialog stays open until that succeeds or is cancelled.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

namespace qn {

class App;

class CaptureFileDialog : public QDialog {
  Q_OBJECT
 public:
  CaptureFileDialog(App& app, QWidget* parent = nullptr);
  void Ok();

 private:
  void Browse();

  App& app_;
  QLineEdit* folder_;
  QLineEdit* name_;
  QCheckBox* spotsOnly_;
};

}  // namespace qn
