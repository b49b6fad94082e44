// The talk dialog Frmcfgaut: time stamp, priority and the automatic answer.
// Its rules are the core's TalkDialogLoad/TalkDialogSave.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "traffic/talk_rules.h"

namespace qn {

class App;

class TalkDialog : public QDialog {
  Q_OBJECT
 public:
  TalkDialog(App& app, QWidget* parent = nullptr);
  TalkFields Fields() const;
  void Save();

 private:
  App& app_;
  QCheckBox* timeStamp_ = nullptr;
  QCheckBox* priority_ = nullptr;
  QCheckBox* autoAnswer_ = nullptr;
  QLineEdit* answer_ = nullptr;
};

}  // namespace qn
