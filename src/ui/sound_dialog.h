// The sound dialog Frmcfgsnd: sounds, voice spelling, speed and volume. Its
// rules are the core's SoundRules.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "sound/sound_rules.h"

namespace qn {

class App;

class SoundDialog : public QDialog {
  Q_OBJECT
 public:
  SoundDialog(App& app, QWidget* parent = nullptr);
  SoundFields Fields() const;
  void Save();
  void reject() override;

 private:
  SoundRules rules_;
  QCheckBox* sounds_ = nullptr;
  QCheckBox* voice_ = nullptr;
  QCheckBox* truncate_ = nullptr;
  QScrollBar* speed_ = nullptr;
  QScrollBar* volume_ = nullptr;
  QLabel* speedValue_ = nullptr;
  QLabel* volumeValue_ = nullptr;
  QPushButton* test_ = nullptr;
};

}  // namespace qn
