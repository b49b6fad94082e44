// The links dialog Frmcfgdxh: the log link (enable, folder) and the program
// accepted spots are poked to (EXE name, topic, item). Its rules are the
// core's LinksRules and the assembly's SaveLinksDialog.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "links/links_rules.h"

namespace qn {

class App;

class LinksDialog : public QDialog {
  Q_OBJECT
 public:
  LinksDialog(App& app, QWidget* parent = nullptr);
  LinksFields Fields() const;
  void Save();

 private:
  App& app_;
  QCheckBox* enabled_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QLineEdit* application_ = nullptr;
  QLineEdit* topic_ = nullptr;
  QLineEdit* item_ = nullptr;
};

}  // namespace qn
