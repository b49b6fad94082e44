// The "Rig Control" dialog Frmrig: off, rigctld's host and port, or Hamlib's
// model, device and speed; "Test" reads the frequency. Its rules are the
// core's RigControlRules.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "rig/rig_control_rules.h"

namespace qn {

class App;

class RigControlDialog : public QDialog {
  Q_OBJECT
 public:
  RigControlDialog(App& app, QWidget* parent = nullptr);
  RigFields Fields() const;
  void Save();
  void Test();

 private:
  void UpdateEnables();

  RigControlRules rules_;
  QRadioButton* off_ = nullptr;
  QRadioButton* rigctld_ = nullptr;
  QRadioButton* hamlib_ = nullptr;
  QLineEdit* host_ = nullptr;
  QLineEdit* port_ = nullptr;
  QLineEdit* model_ = nullptr;
  QLineEdit* device_ = nullptr;
  QComboBox* speed_ = nullptr;
  QPushButton* test_ = nullptr;
  QLabel* result_ = nullptr;
};

}  // namespace qn
