#include "ui/typed_input_window.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/app.h"
#include "platform/qt/latin1.h"
#include "session/typed_input.h"

namespace qn {

SendBox::SendBox(App& app, QWidget* parent) : QLineEdit(parent), app_(app) { setObjectName("Textsend"); }

void SendBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    std::string line = FromQString(text());
    clear();
    app_.TypeLine(line);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    app_.PressKey("Escape");
    end(false);
    return;
  }
  const bool shiftInsert = event->key() == Qt::Key_Insert && (event->modifiers() & Qt::ShiftModifier);
  if ((shiftInsert || event->matches(QKeySequence::Paste)) && app_.Typed()) {
    // Whole pasted lines go into the box above, kept under its length limit.
    std::string rest =
        app_.Typed()->Paste(FromQString(text()), FromQString(QGuiApplication::clipboard()->text()));
    setText(ToQString(rest));
    return;
  }
  const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  if ((event->modifiers() & ctrlShift) == ctrlShift && event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F3) {
    if (app_.PressKey("Ctrl+Shift+F" + std::to_string(event->key() - Qt::Key_F1 + 1))) return;
  }
  if ((event->modifiers() & Qt::AltModifier) && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9) {
    std::string key = "Alt+" + std::string(1, static_cast<char>('0' + (event->key() - Qt::Key_0)));
    if (app_.PressKey(key)) return;
  }
  QLineEdit::keyPressEvent(event);
}

TypedInputWindow::TypedInputWindow(App& app, QWidget* parent) : QWidget(parent) {
  history_ = new TrafficView(app.Window(WindowId::TypedInput), this);
  history_->setObjectName("tTx");
  box_ = new SendBox(app, this);
  history_->onTyped = [this](QKeyEvent* e) { TakeKey(e); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(history_, 1);
  layout->addWidget(box_);
  setFocusProxy(box_);
}

void TypedInputWindow::TakeKey(QKeyEvent* event) {
  box_->setFocus();
  QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
  QApplication::sendEvent(box_, &copy);
}

}  // namespace qn
