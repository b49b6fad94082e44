// The typed-input window's contents: the lines typed so far (the TypedInput
// model) above the box Textsend. Enter hands the box's line to the App; Alt
// with a digit goes to the App as a key (the macros).
#pragma once

#include <QLineEdit>
#include <QWidget>

#include "ui/traffic_view.h"

namespace qn {

class App;

class SendBox : public QLineEdit {
  Q_OBJECT
 public:
  SendBox(App& app, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  App& app_;
};

class TypedInputWindow : public QWidget {
  Q_OBJECT
 public:
  TypedInputWindow(App& app, QWidget* parent = nullptr);
  TrafficView* History() const { return history_; }
  QLineEdit* Box() const { return box_; }
  // A key typed in a traffic window: it continues the line in Textsend.
  void TakeKey(QKeyEvent* event);

 private:
  TrafficView* history_;
  SendBox* box_;
};

}  // namespace qn
