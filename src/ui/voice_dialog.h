// The voice broadcaster dialog Frmcfgvoice: ID string and interval, double
// spell, silence on talks and announcements, PTT. Rules: VoiceDialogSave.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "sound/voice_rules.h"

namespace qn {

class App;

class VoiceDialog : public QDialog {
  Q_OBJECT
 public:
  VoiceDialog(App& app, QWidget* parent = nullptr);
  VoiceFields Fields() const;
  void Save();

 private:
  App& app_;
  QLineEdit* id_ = nullptr;
  QLineEdit* interval_ = nullptr;
  QCheckBox* doubleSpell_ = nullptr;
  QCheckBox* silence_ = nullptr;
  QCheckBox* ptt_ = nullptr;
};

}  // namespace qn
