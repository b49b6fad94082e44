#include "ui/traffic_view.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace qn {

namespace {

// Document length of text[0, n): a CR before an LF (or held at the end) takes no place.
int DisplayCount(const std::string& text, std::size_t n) {
  int count = 0;
  for (std::size_t i = 0; i < n && i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
    ++count;
  }
  return count;
}

}  // namespace

QString DisplayText(std::string_view text, bool continuesHeldCr) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()) + 1);
  // A CR held back at the end of the last batch that turns out not to start a
  // CR LF takes its blank now.
  if (continuesHeldCr && (text.empty() || text[0] != '\n')) out += QLatin1Char(' ');
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      if (i + 1 == text.size() || text[i + 1] == '\n') continue;
      out += QLatin1Char(' ');
    } else if (c == '\n' || c == '\t') {
      out += QLatin1Char(static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7F) {
      out += QLatin1Char(' ');
    } else {
      out += QChar(static_cast<char16_t>(c));
    }
  }
  return out;
}

TrafficView::TrafficView(TextWindow& model, QWidget* parent) : QPlainTextEdit(parent), model_(&model) {
  setReadOnly(true);
  // Read-only boxes still show where the user clicked, which find and the
  // clicked-word lookups rely on.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // One document block per model line, so scroll positions are line numbers.
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setUndoRedoEnabled(false);
  batch_.setSingleShot(true);
  batch_.setInterval(kBatchMs);
  connect(&batch_, &QTimer::timeout, this, &TrafficView::Flush);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TrafficView::ReportSelection);
  connect(this, &QPlainTextEdit::selectionChanged, this, &TrafficView::ReportSelection);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TrafficView::ReportScroll);
  model_->AddListener(this);
  reset_ = true;
  viewMoved_ = true;
  Flush();
}

TrafficView::~TrafficView() { Detach(); }

void TrafficView::Detach() {
  if (!model_) return;
  model_->RemoveListener(this);
  model_ = nullptr;
  batch_.stop();
}

void TrafficView::Schedule() {
  if (!batch_.isActive()) batch_.start();
}

void TrafficView::OnAppended(std::string_view text) {
  if (reset_) return;  // the rebuild takes the model's text as it is then
  pending_.append(text);
  Schedule();
}

void TrafficView::OnCut(std::size_t count) {
  if (reset_) return;
  cut_ += count;
  Schedule();
}

void TrafficView::OnReset() {
  reset_ = true;
  pending_.clear();
  cut_ = 0;
  Schedule();
}

void TrafficView::OnViewMoved() {
  viewMoved_ = true;
  // A caret or selection the program set (find, a double click, Escape)
  // shows at once when nothing is waiting to be shown, so the next mouse
  // event does not report the old one back.
  if (!reset_ && pending_.empty() && cut_ == 0 && !applying_ && model_) {
    applying_ = true;
    ApplyModelView();
    applying_ = false;
    return;
  }
  Schedule();
}

void TrafficView::Rebuild() {
  shown_ = model_->Text();
  setPlainText(DisplayText(shown_, false));
  KeepShaping(document()->firstBlock());
  pending_.clear();
  cut_ = 0;
  reset_ = false;
}

void TrafficView::KeepShaping(QTextBlock block) {
  // A line's layout otherwise drops its shaped glyphs after each layout and
  // each paint, and every repaint shaped all visible lines again: under a
  // flood that was the window's largest cost. The lines never change once
  // shown, so their glyphs are worth keeping.
  for (; block.isValid(); block = block.next()) {
    if (QTextLayout* layout = block.layout()) layout->setCacheEnabled(true);
  }
}

void TrafficView::Flush() {
  batch_.stop();
  if (!model_) return;
  applying_ = true;
  ++flushes_;
  if (reset_) {
    Rebuild();
  } else {
    // The box's own repaint after an edit that adds more than one line is all
    // it shows, every tenth of a second under a flood, though scrolling to
    // the end then moves what is already drawn. So the layout stays quiet
    // during the edit and only the lines that changed are drawn again.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    bool cut = false;
    int firstChanged = -1;
    {
      const QSignalBlocker quiet(layout);
      if (cut_ > 0) {
        std::size_t fromShown = std::min(cut_, shown_.size());
        int docChars = DisplayCount(shown_, fromShown);
        // One jump to the end of the cut: moving there a character at a time
        // lays out each line it passes, which was most of the window's work
        // under a flood.
        QTextCursor c(document());
        c.setPosition(std::min(docChars, document()->characterCount() - 1), QTextCursor::KeepAnchor);
        c.removeSelectedText();
        shown_.erase(0, fromShown);
        pending_.erase(0, std::min(cut_ - fromShown, pending_.size()));
        cut_ = 0;
        cut = true;
      }
      if (!pending_.empty()) {
        bool heldCr = !shown_.empty() && shown_.back() == '\r';
        QTextCursor c(document());
        c.movePosition(QTextCursor::End);
        firstChanged = c.blockNumber();
        c.insertText(DisplayText(pending_, heldCr));
        KeepShaping(document()->findBlockByNumber(firstChanged));
        shown_ += pending_;
        pending_.clear();
      }
    }
    // The scroll bars follow the new size.
    if (cut || firstChanged >= 0) emit layout->documentSizeChanged(layout->documentSize());
    if (cut) {
      // Every line moved up.
      viewport()->update();
    } else if (firstChanged >= 0) {
      // From the line that was last (it may have grown) down.
      QTextBlock block = document()->findBlockByNumber(firstChanged);
      const int top = static_cast<int>(blockBoundingGeometry(block).translated(contentOffset()).top());
      const int height = viewport()->height();
      if (top < height) viewport()->update(0, std::max(0, top), viewport()->width(), height);
    }
    // The view is a mirror; should it ever drift, it is rebuilt from the model.
    if (shown_.size() != model_->Text().size()) Rebuild();
  }
  ReportPageLines();
  if (viewMoved_) ApplyModelView();
  applying_ = false;
}

void TrafficView::ApplyModelView() {
  viewMoved_ = false;
  QTextCursor c = textCursor();
  std::size_t start = model_->SelStart();
  std::size_t end = start + model_->SelLength();
  const int anchor = ToDocPosition(start);
  const int position = end != start ? ToDocPosition(end) : anchor;
  // Setting the same caret again still makes the box look for it and repaint.
  if (c.anchor() != anchor || c.position() != position) {
    c.setPosition(anchor);
    if (position != anchor) c.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(c);
  }
  QScrollBar* bar = verticalScrollBar();
  std::size_t lines = model_->LineCount();
  std::size_t lastPage = lines > model_->PageLines() ? lines - model_->PageLines() : 0;
  if (model_->FirstVisibleLine() >= lastPage)
    bar->setValue(bar->maximum());
  else
    bar->setValue(static_cast<int>(model_->FirstVisibleLine()));
}

int TrafficView::ToDocPosition(std::size_t modelOffset) const {
  return DisplayCount(shown_, std::min(modelOffset, shown_.size()));
}

std::size_t TrafficView::ToModelOffset(int docPosition) const {
  int count = 0;
  std::size_t i = 0;
  for (; i < shown_.size() && count < docPosition; ++i) {
    if (shown_[i] == '\r' && (i + 1 == shown_.size() || shown_[i + 1] == '\n')) continue;
    ++count;
  }
  // The end of the document is the end of the model text, held CR included.
  if (docPosition >= document()->characterCount() - 1) return shown_.size();
  return i;
}

void TrafficView::ReportSelection() {
  if (applying_ || !model_) return;
  QTextCursor c = textCursor();
  std::size_t start = ToModelOffset(c.selectionStart());
  std::size_t end = ToModelOffset(c.selectionEnd());
  // A caret at the end of what is shown is at the end of the model, even with
  // a batch still pending.
  if (start == end && start == shown_.size()) start = end = model_->Text().size();
  model_->SetSelection(start, end - start);
}

void TrafficView::ReportScroll() {
  if (applying_ || !model_) return;
  QScrollBar* bar = verticalScrollBar();
  // At the bottom of what is shown counts as at the end, even with a batch pending.
  if (bar->value() >= bar->maximum()) {
    std::size_t lines = model_->LineCount();
    model_->SetFirstVisibleLine(lines > model_->PageLines() ? lines - model_->PageLines() : 0);
  } else {
    model_->SetFirstVisibleLine(static_cast<std::size_t>(bar->value()));
  }
}

void TrafficView::ReportPageLines() {
  if (!model_) return;
  // The scroll bar's page step only counts lines that exist, so a short text
  // would give a page of one line; the page is what the viewport can hold.
  int spacing = std::max(1, fontMetrics().lineSpacing());
  model_->SetPageLines(static_cast<std::size_t>(std::max(1, viewport()->height() / spacing)));
}

void TrafficView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  ReportPageLines();
}

void TrafficView::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) ReportPageLines();
}

void TrafficView::keyPressEvent(QKeyEvent* event) {
  bool printable = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                   !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // Alt with a digit is a macro of the typed-input box, which takes it over.
  bool altDigit =
      (event->modifiers() & Qt::AltModifier) && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9;
  if (altDigit && onTyped && onTrafficKey) {
    onTyped(event);
    return;
  }
  if (event->key() == Qt::Key_Escape && onTrafficKey) {
    onTrafficKey(TrafficKey::Escape);
    return;
  }
  if (onTyped && (printable || enter)) {
    if (onTrafficKey && !onTrafficKey(enter ? TrafficKey::Enter : TrafficKey::Other)) return;
    onTyped(event);
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TrafficView::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  ReportSelection();
  bool click = !afterDouble_;
  afterDouble_ = false;
  if (onMouseRelease) onMouseRelease(click);
}

void TrafficView::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  ReportSelection();
  afterDouble_ = true;
  if (onDoubleClick) onDoubleClick();
}

}  // namespace qn
