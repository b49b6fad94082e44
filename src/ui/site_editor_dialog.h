// The site editor Frmsited: one site's fields and its connection script. It
// lays out the controls, filters the keys of the name and period boxes and
// asks the core's SiteEditorRules for every warning, enable and for OK.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <memory>

#include "core/site_editor_rules.h"

namespace qn {

class App;

class SiteEditorDialog : public QDialog {
  Q_OBJECT
 public:
  // A new site, refreshing the App's site list after a save.
  SiteEditorDialog(App& app, QWidget* parent = nullptr);
  // The given editor: a new site, or one opened by SiteEditorRules::BeginEdit.
  SiteEditorDialog(App& app, std::unique_ptr<SiteEditorRules> editor, QWidget* parent = nullptr);
  ~SiteEditorDialog() override;

  SiteEditorRules& Editor() { return *editor_; }
  SiteFields Fields() const;
  // OK: saves through the core and closes, or keeps the editor open on a refusal.
  void Ok();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void Load(const SiteFields& f);
  void UpdateEnables();
  void ShowHelp();

  App& app_;
  std::unique_ptr<SiteEditorRules> editor_;
  QLineEdit* name_ = nullptr;
  QLineEdit* address_ = nullptr;
  QRadioButton* telnetPort_ = nullptr;
  QRadioButton* customPort_ = nullptr;
  QLineEdit* port_ = nullptr;
  QCheckBox* keepAlive_ = nullptr;
  QLineEdit* period_ = nullptr;
  QCheckBox* useScript_ = nullptr;
  QCheckBox* autoReconnect_ = nullptr;
  QCheckBox* bridgeFrom_ = nullptr;
  QCheckBox* bridgeTo_ = nullptr;
  QCheckBox* ddeIn_ = nullptr;
  QCheckBox* ddeOut_ = nullptr;
  QRadioButton* dxCluster_ = nullptr;
  QRadioButton* other_ = nullptr;
  QLineEdit* comment_ = nullptr;
  QPlainTextEdit* script_ = nullptr;
  QString shownScript_;  // the script as the box showed it when loaded
};

}  // namespace qn
