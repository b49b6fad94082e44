#include "ui/right_click_filter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "app/app.h"
#include "traffic/traffic_windows.h"

namespace qn {

void RightClickFilter::Watch(QWidget* viewport) {
  if (!viewport) return;
  viewport->installEventFilter(this);
  watched_.emplace_back(viewport);
}

void RightClickFilter::Remove() {
  for (auto& w : watched_) {
    if (w) w->removeEventFilter(this);
  }
  watched_.clear();
  app_ = nullptr;
}

bool RightClickFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!app_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::RightButton) return false;
      if (event->type() == QEvent::MouseButtonPress && app_->TrafficWin())
        app_->TrafficWin()->SetRightClick(true);
      // A double right click is two clicks, not a lookup.
      QEvent::Type type =
          event->type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : event->type();
      Qt::MouseButtons buttons = (me->buttons() & ~Qt::RightButton) |
                                 (type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton);
      QMouseEvent left(type, me->position(), me->scenePosition(), me->globalPosition(), Qt::LeftButton,
                       buttons, me->modifiers());
      QApplication::sendEvent(watched, &left);
      return true;
    }
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace qn
