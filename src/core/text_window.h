// The model of one traffic text box: its 8-bit text, caret, selection and first
// visible line. Views mirror it through the listener and never hold the
// authoritative text; AppendToWindow is the only way text enters it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

enum class WindowId { Terminal, Spots, Announcements, Talks, TypedInput };

class TextWindowListener {
 public:
  virtual ~TextWindowListener() = default;
  virtual void OnAppended(std::string_view text) = 0;
  // The first count characters were removed.
  virtual void OnCut(std::size_t count) = 0;
  // Text replaced wholesale (cleared, set).
  virtual void OnReset() = 0;
  // Caret, selection or first visible line moved by the model.
  virtual void OnViewMoved() {}
};

class TextWindow {
 public:
  static constexpr std::size_t kLimit = 28000;
  static constexpr std::size_t kKeep = 14000;

  explicit TextWindow(WindowId id) : id_(id) {}

  WindowId Id() const { return id_; }
  const std::string& Text() const { return text_; }
  std::size_t LineCount() const { return lineEnds_ + 1; }
  // Characters appended since the window was made; positions in the stream
  // that survive the cuts.
  std::uint64_t TotalAppended() const { return totalAppended_; }

  // Caret and selection in 0-based character offsets, as a text box reports them.
  std::size_t SelStart() const { return selStart_; }
  std::size_t SelLength() const { return selLength_; }
  void SetSelection(std::size_t start, std::size_t length);
  // The program moves the caret or selection (find, Escape): the views follow
  // and the selection's line is brought into view.
  void Select(std::size_t start, std::size_t length);
  // 0-based first visible line and the number of lines the view shows.
  std::size_t FirstVisibleLine() const { return firstVisible_; }
  void SetFirstVisibleLine(std::size_t line);
  void SetPageLines(std::size_t lines) { pageLines_ = lines == 0 ? 1 : lines; }
  std::size_t PageLines() const { return pageLines_; }

  void SetText(std::string text);
  void Clear() { SetText({}); }

  // Set while text is appended, so the typed-input box's change handler can tell
  // a programmatic change from typing.
  bool ProgrammaticChange() const { return programmatic_; }

  void AddListener(TextWindowListener* l) { listeners_.push_back(l); }
  void RemoveListener(TextWindowListener* l);

 private:
  friend void AppendToWindow(TextWindow&, std::string_view, bool);
  friend void LimitWindowText(TextWindow&);
  friend void CutOnce(TextWindow&);
  void ShowEnd();
  bool UserMovedAway() const;

  WindowId id_;
  std::string text_;
  std::size_t lineEnds_ = 0;
  std::uint64_t totalAppended_ = 0;
  std::size_t selStart_ = 0;
  std::size_t selLength_ = 0;
  std::size_t firstVisible_ = 0;
  std::size_t pageLines_ = 20;
  bool programmatic_ = false;
  std::vector<TextWindowListener*> listeners_;
};

// Appends text at the end. When the program is in front and the user has moved
// the caret or scrolled back, their selection and view stay; otherwise the box
// shows its new end. Then the length limit applies.
void AppendToWindow(TextWindow& box, std::string_view text, bool programInFront);
// At 28000 characters or more the oldest part is cut at a line boundary at or
// before character 14000.
void LimitWindowText(TextWindow& box);
// One cut of the oldest part, at a line boundary at or before character 14000.
void CutOnce(TextWindow& box);

}  // namespace qn
