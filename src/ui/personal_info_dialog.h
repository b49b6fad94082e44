// The Personal Info dialog Frmpers: own callsign, locator and UTC offset. It
// lays out the boxes and filters their keys; loading, checking and saving are
// the core's PersonalInfo rules.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "core/personal_info.h"

namespace qn {

class App;

class PersonalInfoDialog : public QDialog {
  Q_OBJECT
 public:
  PersonalInfoDialog(App& app, QWidget* parent = nullptr);

  PersonalInfoFields Fields() const;
  // "&Save": stores through the core's rules and closes.
  void Save();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App& app_;
  QLineEdit* callsign_;
  QLineEdit* locator_;
  QLineEdit* offset_;
};

}  // namespace qn
