// The web cluster dialog Frmcfgweb: servers, pages, refresh period, the
// first retrieval, the callsign and the link and bridge options. Its rules
// are the core's WebClusterRules and the assembly's SaveWebClusterDialog.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "web/web_cluster_rules.h"

namespace qn {

class App;

class WebClusterDialog : public QDialog {
  Q_OBJECT
 public:
  WebClusterDialog(App& app, QWidget* parent = nullptr);
  WebClusterFields Fields() const;
  void Save();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App& app_;
  QLineEdit* servers_ = nullptr;
  QLineEdit* paths_ = nullptr;
  QLineEdit* period_ = nullptr;
  QCheckBox* ignoreFirst_ = nullptr;
  QLineEdit* callsign_ = nullptr;
  QCheckBox* ddeIn_ = nullptr;
  QCheckBox* ddeOut_ = nullptr;
  QCheckBox* bridge_ = nullptr;
};

}  // namespace qn
