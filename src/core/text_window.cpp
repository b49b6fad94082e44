#include "core/text_window.h"

#include <algorithm>

namespace qn {

void TextWindow::SetSelection(std::size_t start, std::size_t length) {
  selStart_ = std::min(start, text_.size());
  selLength_ = std::min(length, text_.size() - selStart_);
}

void TextWindow::Select(std::size_t start, std::size_t length) {
  SetSelection(start, length);
  auto line = static_cast<std::size_t>(
      std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(selStart_), '\n'));
  if (line < firstVisible_ || line >= firstVisible_ + pageLines_) {
    std::size_t lastPage = LineCount() > pageLines_ ? LineCount() - pageLines_ : 0;
    firstVisible_ = std::min(line > pageLines_ / 2 ? line - pageLines_ / 2 : 0, lastPage);
  }
  for (auto* l : listeners_) l->OnViewMoved();
}

void TextWindow::SetFirstVisibleLine(std::size_t line) { firstVisible_ = std::min(line, LineCount() - 1); }

void TextWindow::SetText(std::string text) {
  text_ = std::move(text);
  lineEnds_ = static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n'));
  selStart_ = text_.size();
  selLength_ = 0;
  firstVisible_ = 0;
  for (auto* l : listeners_) l->OnReset();
  ShowEnd();
}

void TextWindow::RemoveListener(TextWindowListener* l) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void TextWindow::ShowEnd() {
  selStart_ = text_.size();
  selLength_ = 0;
  firstVisible_ = LineCount() > pageLines_ ? LineCount() - pageLines_ : 0;
  for (auto* l : listeners_) l->OnViewMoved();
}

bool TextWindow::UserMovedAway() const {
  if (selStart_ + selLength_ < text_.size() || selLength_ > 0) return true;
  std::size_t lastPageStart = LineCount() > pageLines_ ? LineCount() - pageLines_ : 0;
  return firstVisible_ < lastPageStart;
}

void AppendToWindow(TextWindow& box, std::string_view text, bool programInFront) {
  if (text.empty()) return;
  bool keepView = programInFront && box.UserMovedAway();
  box.programmatic_ = true;
  box.text_.append(text);
  box.totalAppended_ += text.size();
  box.lineEnds_ += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  for (auto* l : box.listeners_) l->OnAppended(text);
  box.programmatic_ = false;
  if (!keepView) box.ShowEnd();
  LimitWindowText(box);
}

void LimitWindowText(TextWindow& box) {
  // One cut keeps at most 14000 characters of the old text; a huge append
  // needs several.
  while (box.text_.size() >= TextWindow::kLimit) CutOnce(box);
}

void CutOnce(TextWindow& box) {
  auto& t = box.text_;
  // Search backwards from character 14000 (1-based) for the nearest line end.
  std::size_t cut = TextWindow::kKeep;
  for (std::size_t i = TextWindow::kKeep; i-- > 0;) {
    if (t[i] == '\r') {
      cut = i + 1 + (i + 1 < t.size() && t[i + 1] == '\n' ? 1 : 0);
      break;
    }
    if (t[i] == '\n') {
      cut = i + 1;
      break;
    }
  }
  std::size_t removedLines =
      static_cast<std::size_t>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(cut), '\n'));
  bool hadSelection = box.selLength_ > 0;
  t.erase(0, cut);
  box.lineEnds_ -= removedLines;
  for (auto* l : box.listeners_) l->OnCut(cut);
  if (hadSelection && box.selStart_ >= cut) {
    box.selStart_ -= cut;
  } else if (hadSelection && box.selStart_ + box.selLength_ > cut) {
    box.selLength_ -= cut - box.selStart_;
    box.selStart_ = 0;
  } else {
    box.selStart_ = t.size();
    box.selLength_ = 0;
  }
  box.firstVisible_ = box.firstVisible_ > removedLines ? box.firstVisible_ - removedLines : 0;
  for (auto* l : box.listeners_) l->OnViewMoved();
}

}  // namespace qn
