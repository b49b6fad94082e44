#include "ui/rig_view.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "platform/qt/latin1.h"
#include "rig/rig_control.h"

namespace qn {

namespace {

bool IsGesture(const QMouseEvent* me) {
  return me->button() == Qt::MiddleButton ||
         (me->button() == Qt::LeftButton && (me->modifiers() & Qt::ControlModifier));
}

}  // namespace

RigClickFilter::RigClickFilter(QPlainTextEdit& view, std::function<void(const std::string&)> tune)
    : view_(view), tune_(std::move(tune)) {
  view_.viewport()->installEventFilter(this);
}

bool RigClickFilter::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (!IsGesture(me)) return false;
      pressed_ = true;
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (!pressed_ || (me->button() != Qt::MiddleButton && me->button() != Qt::LeftButton)) return false;
      pressed_ = false;
      QTextBlock block = view_.cursorForPosition(me->position().toPoint()).block();
      if (tune_) tune_(FromQString(block.text()));
      return true;
    }
    default:
      return false;
  }
}

RigSpotHighlighter::RigSpotHighlighter(QTextDocument* document, RigControl& rig)
    : QSyntaxHighlighter(document), rig_(&rig) {
  listener_ = rig_->AddReadingListener([this] { rehighlight(); });
}

RigSpotHighlighter::~RigSpotHighlighter() { Detach(); }

void RigSpotHighlighter::Detach() {
  if (rig_) rig_->RemoveReadingListener(listener_);
  rig_ = nullptr;
}

void RigSpotHighlighter::highlightBlock(const QString& text) {
  if (!rig_ || !rig_->Current().ok) return;
  if (!rig_->SpotLineInPassband(FromQString(text))) return;
  QTextCharFormat mark;
  // A tint over whatever colours the user gave the window.
  mark.setBackground(QColor(255, 190, 0, 110));
  setFormat(0, static_cast<int>(text.size()), mark);
}

}  // namespace qn
