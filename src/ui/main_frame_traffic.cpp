// The frame's side of the traffic windows: keys and mouse of the four boxes
// go to the core's TrafficWindows, the right button through its filter, the
// clipboard and the colours through its hooks, and the lookups' information
// windows into the MDI area.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "traffic/traffic_windows.h"
#include "ui/info_windows.h"
#include "ui/main_frame.h"
#include "ui/right_click_filter.h"
#include "ui/traffic_view.h"
#include "ui/typed_input_window.h"

namespace qn {

void MainFrame::WireTraffic() {
  rightClick_ = std::make_unique<RightClickFilter>(*app_);
  infoWindows_ = std::make_unique<InfoWindows>(*app_, *area_);
  TrafficWindows* tw = app_->TrafficWin();
  if (!tw) return;
  tw->setClipboard = [](const std::string& text) {
    if (text.empty())
      QGuiApplication::clipboard()->clear();
    else
      QGuiApplication::clipboard()->setText(ToQString(text));
  };
  tw->pasteIntoTypedInput = [this] {
    if (!typedInput_) return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Insert, Qt::ShiftModifier);
    QApplication::sendEvent(typedInput_->Box(), &press);
  };
  tw->applyColours = [this] { ApplyFontAndColours(); };
  // The focus list follows whichever box has the keyboard.
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (!app_ || !app_->TrafficWin() || !now) return;
    for (int i = 0; i < 5; ++i) {
      auto id = static_cast<WindowId>(i);
      bool typed = id == WindowId::TypedInput && typedInput_ && typedInput_->isAncestorOf(now);
      if (typed || (views_[Index(id)] && now == views_[Index(id)])) app_->TrafficWin()->FocusReceived(id);
    }
  });
}

void MainFrame::WireTrafficView(WindowId id, TrafficView* view) {
  view->onTrafficKey = [this, id](TrafficKey key) {
    return app_ && app_->TrafficWin() ? app_->TrafficWin()->KeyPress(id, key) : true;
  };
  view->onMouseRelease = [this, id](bool click) {
    if (app_ && app_->TrafficWin()) app_->TrafficWin()->MouseRelease(id, click);
  };
  view->onDoubleClick = [this, id] {
    if (app_ && app_->TrafficWin()) app_->TrafficWin()->DoubleClick(id);
  };
  if (rightClick_) rightClick_->Watch(view->viewport());
  WireRigView(id, view);
}

void MainFrame::UnwireTraffic() {
  UnwireRig();
  disconnect(focusWatch_);
  if (rightClick_) rightClick_->Remove();
  if (infoWindows_) infoWindows_->Detach();
  if (TrafficWindows* tw = app_->TrafficWin()) {
    tw->setClipboard = nullptr;
    tw->pasteIntoTypedInput = nullptr;
    tw->applyColours = nullptr;
  }
  for (TrafficView* v : views_) {
    if (!v) continue;
    v->onTrafficKey = nullptr;
    v->onMouseRelease = nullptr;
    v->onDoubleClick = nullptr;
  }
}

}  // namespace qn
