// The aux-port dialog Frmcfgaux and the TNC dialog Frmcfgtnc. Beside the
// fields, the aux dialog shows which device each port number names now and
// the serial devices present. Their rules are the core's AuxCommRules and
// TncParametersRules.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <map>
#include <string>

#include "serial/aux_comm_rules.h"

namespace qn {

class App;

class AuxCommDialog : public QDialog {
  Q_OBJECT
 public:
  AuxCommDialog(App& app, QWidget* parent = nullptr);
  AuxCommFields Fields() const;
  void Save();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PortNumberChanged();

  App& app_;
  std::map<int, std::string> serialMap_;
  QLineEdit* number_ = nullptr;
  QLineEdit* settings_ = nullptr;
  QLineEdit* escape_ = nullptr;
  QCheckBox* enabled_ = nullptr;
  QCheckBox* inputOnly_ = nullptr;
  QCheckBox* xon_ = nullptr;
  QCheckBox* rts_ = nullptr;
  QLineEdit* logBase_ = nullptr;
  QCheckBox* useLog_ = nullptr;
  QLabel* devices_ = nullptr;
};

}  // namespace qn
