#include "ui/gui_front_end.h"

#include <QCoreApplication>

namespace qn {

GuiFrontEnd::GuiFrontEnd() {
  prompter_.parentWindow = [this] { return FrameForQuestions(); };
  dialogs_.parentWindow = [this] { return FrameForQuestions(); };
}

GuiFrontEnd::~GuiFrontEnd() {
  Detach();
  frame_.reset();
}

Ports GuiFrontEnd::Ports() {
  qn::Ports ports{loop_,     clock_, prompter_, registry_, &dialogs_, &sockets_, &launcher_,
                  &urls_,     &sound_, &portIo_,  &rigs_,    &links_,   &listeners_};
  ports.serial = &serial_;
  return ports;
}

void GuiFrontEnd::Attach(App& app) {
  Detach();
  app_ = &app;
  frame_ = std::make_unique<MainFrame>(app);
  dialogs_.SetApp(&app);
  // The App is usually destroyed before this front end; let go of it as soon
  // as it has closed, and at the latest when the event loop ends.
  auto previous = app.onQuit;
  app.onQuit = [this, previous] {
    Detach();
    if (previous) previous();
  };
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, frame_.get(),
                   [this] { Detach(); });
  // Start-up runs right after this and loads the window positions; the frame
  // is placed when it is done.
  loop_.Post([this] {
    if (frame_ && app_) frame_->ShowFrame();
  });
}

void GuiFrontEnd::Detach() {
  if (!app_) return;
  if (frame_) frame_->Detach();
  dialogs_.SetApp(nullptr);
  app_ = nullptr;
}

QWidget* GuiFrontEnd::FrameForQuestions() {
  // A question during start-up comes after the windows were placed; the
  // frame is shown first so the question has its window.
  if (frame_ && app_) frame_->ShowFrame();
  return frame_.get();
}

}  // namespace qn
