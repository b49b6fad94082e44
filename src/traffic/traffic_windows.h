// What the four traffic boxes (terminal, spots, announcements, talks) do with
// keys and the mouse: typing goes on in the typed-input line, Escape runs the
// typed-input box's escape steps, clicks feed the clicked-word analysis, a
// right click runs "Both...", a double click the lookups. Also the frame's
// commands on these boxes: focus keys, copy, paste, find and clear. Works on
// the instance's TextWindow models; the front end fills the hooks, the
// assembly the steps that reach other subsystems.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "core/text_window.h"
#include "traffic/clicked_word.h"
#include "traffic/find_text.h"
#include "traffic/spot_record.h"

namespace qn {

class Instance;

enum class TrafficKey { Enter, Escape, Other };

class TrafficWindows {
 public:
  static constexpr std::size_t kFocusListLength = 5;

  explicit TrafficWindows(Instance& app) : app_(app) {}

  // TrafficKeyPress. True when the key goes on to the typed-input box, which
  // the front end then gives the focus and the key.
  bool KeyPress(WindowId id, TrafficKey key);
  // The box received the focus.
  void FocusReceived(WindowId id);
  // Window codes of the last boxes that had the focus, most recent last.
  const std::deque<int>& FocusList() const { return focusList_; }
  // The box that had the focus last (the terminal when none did).
  WindowId Focused() const;
  // The window find searches: the spot, announcement or talk window when it
  // is the active one, the terminal window otherwise.
  WindowId SearchWindow() const;

  // The mouse, with the model's caret and selection where the user left them.
  // A click is a release that was no double click's second one.
  void MouseRelease(WindowId id, bool click);
  void DoubleClick(WindowId id);
  // Set by the front end when a right press is passed on as a left one.
  void SetRightClick(bool on) { rightClick_ = on; }
  bool RightClick() const { return rightClick_; }

  // AnalyseClickedWord on a box.
  void AnalyseClickedWord(WindowId id);
  ClickedWord& Clicked() { return clicked_; }

  // Frame commands.
  void FocusWindow(WindowId id);  // F2 to F6
  void ClearBuffer();
  void Copy();
  void PasteTx();
  void Find();
  void FindNext();
  FindText& Finder() { return find_; }

  // Hooks of the front end; empty ones are skipped.
  std::function<void(const std::string& text)> setClipboard;  // "" clears it
  // Shift+Insert in the typed-input box (it has the focus already).
  std::function<void()> pasteIntoTypedInput;
  std::function<void()> applyColours;

  // What clicks and keys hand on to the typed input, the talks and the
  // lookups; unset steps are skipped (a double click needs both lookups).
  struct Steps {
    std::function<void()> escape;  // the typed-input box's escape steps
    std::function<bool()> chatSession;
    std::function<void(SpotSource side, const std::string& talker)> lastTalker;
    std::function<void(const std::string& call)> presetSearch;
    std::function<void(const std::string& iota)> iotaInfo;
    std::function<void(const std::string& word)> prefixInfo;
    std::function<void()> rightClickSearch;  // "Both..." on the clicked word
  } steps;

 private:
  void CaretToEnd(WindowId id);

  Instance& app_;
  ClickedWord clicked_;
  FindText find_;
  std::deque<int> focusList_;
  bool rightClick_ = false;
};

// Window codes of the focus list and the position file: the spot window is 3.
int WindowCode(WindowId id);
WindowId WindowOfCode(int code);

}  // namespace qn
