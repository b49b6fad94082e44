// The "Connect to site" dialog frmsite: the Listsite names, the comment of the
// selected site, and New, Edit, Delete, OK and Cancel. Every decision is the
// core's SiteList (the App's own one); the editor opens as a SiteEditorDialog.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <memory>

namespace qn {

class App;
class SiteList;

class SiteListDialog : public QDialog {
  Q_OBJECT
 public:
  SiteListDialog(App& app, QWidget* parent = nullptr);
  ~SiteListDialog() override;

  SiteList& Model() { return *list_; }

  // The buttons' actions (OK and Cancel also Enter and Escape in the list).
  void Ok();
  void New();
  void Edit();
  void Delete();
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows the model's names, selection and comment.
  void Render();
  void RunEditor(std::unique_ptr<class SiteEditorRules> editor);

  App& app_;
  std::unique_ptr<SiteList> own_;  // only where the App keeps no site list
  SiteList* list_;
  QListWidget* names_;
  QLabel* comment_;
  bool rendering_ = false;
};

}  // namespace qn
