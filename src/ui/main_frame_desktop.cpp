// The frame's side of its own commands: the printer, help viewer and memory
// ports they use, F1 for help at the focused control, and fonts, colours,
// scroll bars and layout applied again when a command changed them.
#include <QApplication>
#include <QShortcut>

#include "app/app.h"
#include "core/frame_commands.h"
#include "platform/qt/latin1.h"
#include "ui/frame_desktop.h"
#include "ui/main_frame.h"

namespace qn {

void MainFrame::WireDesktop() {
  desktop_ = std::make_unique<FrameDesktop>();
  desktop_->printer.parentWindow = [this] { return static_cast<QWidget*>(this); };
  if (FrameCommands* fc = app_->FrameCmds())
    fc->SetDesktop(&desktop_->printer, &desktop_->help, &desktop_->memory);
  app_->onAppearanceChanged = [this] { ApplyAppearance(); };
  app_->helpTopic = [] {
    QWidget* w = QApplication::focusWidget();
    // The focused box, or the box a focused child belongs to.
    for (; w; w = w->parentWidget()) {
      std::string topic = FrameCommands::HelpTopicOf(FromQString(w->objectName()));
      if (!topic.empty()) return topic;
    }
    return std::string();
  };
  // The status bar promises help on F1.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setObjectName("helpkey");
  connect(f1, &QShortcut::activated, this, [this] {
    if (app_) app_->RunMenu("?/Help");
  });
}

void MainFrame::UnwireDesktop() {
  if (FrameCommands* fc = app_->FrameCmds()) fc->SetDesktop(nullptr, nullptr, nullptr);
  app_->onAppearanceChanged = nullptr;
  app_->helpTopic = nullptr;
}

void MainFrame::ApplyAppearance() {
  if (!app_ || !created_) return;
  ApplyFontAndColours();
  if (!app_->WindowPositions().ChildrenStored()) {
    defaultLayout_ = true;
    userArranged_ = false;
    ApplyDefaultLayout();
  }
}

}  // namespace qn
