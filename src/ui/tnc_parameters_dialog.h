// The TNC dialog Frmcfgtnc: the initialisation file and the terminal mode.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "serial/aux_comm_rules.h"

namespace qn {

class App;

class TncParametersDialog : public QDialog {
  Q_OBJECT
 public:
  TncParametersDialog(App& app, QWidget* parent = nullptr);
  TncParametersFields Fields() const;
  void Save();

 private:
  App& app_;
  QLineEdit* path_ = nullptr;
  QRadioButton* ded_ = nullptr;
  QRadioButton* tapr_ = nullptr;
};

}  // namespace qn
