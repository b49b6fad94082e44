// The DialogHost port for the Qt program: opens the Qt dialog of a kind,
// modal to the frame. The dialogs' rules are the core's.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/dialog_host.h"

namespace qn {

class App;

class QtDialogHost : public DialogHost {
 public:
  void SetApp(App* app) { app_ = app; }
  void Open(DialogKind kind) override;
  // The window the dialogs belong to.
  std::function<QWidget*()> parentWindow;

 private:
  App* app_ = nullptr;
};

}  // namespace qn
