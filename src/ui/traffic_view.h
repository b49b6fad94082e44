// A read-only view of one TextWindow model. It collects the model's appends
// and cuts and applies them in one batch at most ten times a second (painting
// per append freezes the frame under a contest flood), follows the model's
// scrolling, and reports the user's caret, selection and scroll position back
// so that the model can tell whether the user has moved away from the end.
#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <string>

#include "core/text_window.h"
#include "traffic/traffic_windows.h"

namespace qn {

class TrafficView : public QPlainTextEdit, public TextWindowListener {
  Q_OBJECT
 public:
  static constexpr int kBatchMs = 100;

  explicit TrafficView(TextWindow& model, QWidget* parent = nullptr);
  ~TrafficView() override;

  // Stops observing the model (it is about to go away).
  void Detach();
  // Applies what has been collected now instead of at the next tick.
  void Flush();
  int Flushes() const { return flushes_; }

  // Model offsets and document positions differ where a CR LF shows as one break.
  int ToDocPosition(std::size_t modelOffset) const;
  std::size_t ToModelOffset(int docPosition) const;

  // Printable keys typed here belong to the typed-input box.
  std::function<void(QKeyEvent*)> onTyped;
  // The traffic windows' own handling of Enter, Escape and typed keys; false
  // keeps the key from the typed-input box.
  std::function<bool(TrafficKey)> onTrafficKey;
  // A mouse release (click: it did not end a double click) and a double click,
  // with the model's caret and selection already where the user left them.
  std::function<void(bool click)> onMouseRelease;
  std::function<void()> onDoubleClick;

  void OnAppended(std::string_view text) override;
  void OnCut(std::size_t count) override;
  void OnReset() override;
  void OnViewMoved() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Schedule();
  void KeepShaping(QTextBlock from);
  void Rebuild();
  void ApplyModelView();
  void ReportSelection();
  void ReportScroll();
  void ReportPageLines();

  TextWindow* model_;
  QTimer batch_;
  std::string shown_;    // the model text the document shows
  std::string pending_;  // appended, not shown yet
  std::size_t cut_ = 0;  // characters to remove from the front
  bool reset_ = false;
  bool viewMoved_ = false;
  bool applying_ = false;
  int flushes_ = 0;
  bool afterDouble_ = false;
};

// The document text for model text: CR LF is one line break, and other control
// characters (a lone CR, a bell) take one blank each so that columns match.
// A CR at the very end shows as nothing until its LF comes.
QString DisplayText(std::string_view text, bool continuesHeldCr);

}  // namespace qn
