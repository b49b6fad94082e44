// The alerts dialog frmcfgal: the alert list, its switch, the alert sound
// chosen from the sound folder, repetitions, the LPT switch, "&Test" and
// "Run Mailbell". Every rule is the core's AlertsRules.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "traffic/alerts_rules.h"

namespace qn {

class App;

class AlertsDialog : public QDialog {
  Q_OBJECT
 public:
  AlertsDialog(App& app, QWidget* parent = nullptr);
  AlertFields Fields() const;
  void Save();
  void Test();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App& app_;
  AlertsRules rules_;
  QPlainTextEdit* list_ = nullptr;
  QCheckBox* enabled_ = nullptr;
  QListWidget* files_ = nullptr;
  QLabel* chosen_ = nullptr;
  QLineEdit* repetitions_ = nullptr;
  QCheckBox* lptSwitch_ = nullptr;
};

}  // namespace qn
