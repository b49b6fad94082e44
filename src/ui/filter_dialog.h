// The spot filter dialog frmcfgfl: ten exclusion ranges, the word lists, the
// "DX de" area filter with its FILTER.TXT editor, and "Reject old DX Spots".
// Every rule is the core's FilterRules.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>

#include "traffic/filter_rules.h"

namespace qn {

class App;

class FilterDialog : public QDialog {
  Q_OBJECT
 public:
  FilterDialog(App& app, QWidget* parent = nullptr);
  FilterFields Fields() const;
  // "&Save": the area list when its editor is shown, else the settings.
  void Save();
  void ShowAreaList();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App& app_;
  FilterRules rules_;
  QGroupBox* ranges_ = nullptr;
  std::array<QLineEdit*, 10> low_{};
  std::array<QLineEdit*, 10> high_{};
  QLineEdit* select_ = nullptr;
  QLineEdit* reject_ = nullptr;
  QCheckBox* dxDe_ = nullptr;
  QCheckBox* rejectOld_ = nullptr;
  QPlainTextEdit* areaEditor_ = nullptr;
};

}  // namespace qn
