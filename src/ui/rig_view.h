// The traffic views' side of rig control: a middle click or Ctrl+click on a
// line of the spot or terminal window tunes the radio to the spot on it, and
// the spot window marks the spots that lie in the radio's passband (a view
// format only; the window's text stays as it is).
#pragma once

#include <QObject>
#include <QSyntaxHighlighter>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace qn {

class RigControl;

// Watches a view's viewport; the gesture's press and release go no further.
class RigClickFilter : public QObject {
  Q_OBJECT
 public:
  RigClickFilter(QPlainTextEdit& view, std::function<void(const std::string& line)> tune);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit& view_;
  std::function<void(const std::string&)> tune_;
  bool pressed_ = false;
};

class RigSpotHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  RigSpotHighlighter(QTextDocument* document, RigControl& rig);
  ~RigSpotHighlighter() override;
  // Before the rig control goes away.
  void Detach();

 protected:
  void highlightBlock(const QString& text) override;

 private:
  RigControl* rig_;
  int listener_ = 0;
};

}  // namespace qn
