// The colours dialog Frmcfgcl laid out in Qt: the five samples, the three
// scroll bars with their values, the colour patch and the four buttons. Its
// rules are the core's ColoursRules.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <array>

#include "traffic/colours_rules.h"

namespace qn {

class App;

class ColoursDialogWindow : public QDialog {
  Q_OBJECT
 public:
  ColoursDialogWindow(App& app, QWidget* parent = nullptr);
  const ColoursRules& Rules() const { return rules_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowSamples();
  void ShowBars();
  void BarsMoved();

  App& app_;
  ColoursRules rules_;
  std::array<QLabel*, 5> samples_{};
  std::array<QScrollBar*, 3> bars_{};
  std::array<QLabel*, 3> values_{};
  QFrame* patch_ = nullptr;
  bool settingBars_ = false;
};

}  // namespace qn
