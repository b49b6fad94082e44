// The "Macros" dialog frmmac: ten boxes Txtmac1..Txtmac10 for Alt+1..Alt+0.
// Loading and "&Save" are the core's macros dialog rules.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <array>

#include "session/macros_rules.h"

namespace qn {

class App;

class MacrosDialog : public QDialog {
  Q_OBJECT
 public:
  MacrosDialog(App& app, QWidget* parent = nullptr);
  MacroFields Fields() const;
  void Save();

 private:
  App& app_;
  std::array<QLineEdit*, kMacroCount> boxes_{};
};

}  // namespace qn
