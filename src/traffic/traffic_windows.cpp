#include "traffic/traffic_windows.h"

#include <algorithm>

#include "core/instance.h"

namespace qn {

int WindowCode(WindowId id) {
  switch (id) {
    case WindowId::Announcements:
      return 1;
    case WindowId::Talks:
      return 2;
    case WindowId::Spots:
      return 3;
    case WindowId::TypedInput:
      return 4;
    case WindowId::Terminal:
      return 5;
  }
  return 5;
}

bool TrafficWindows::KeyPress(WindowId id, TrafficKey key) {
  if (key == TrafficKey::Enter) AnalyseClickedWord(id);
  if (key == TrafficKey::Escape && steps.escape) steps.escape();
  CaretToEnd(id);
  return key != TrafficKey::Escape;
}

void TrafficWindows::FocusReceived(WindowId id) {
  int code = WindowCode(id);
  focusList_.erase(std::remove(focusList_.begin(), focusList_.end(), code), focusList_.end());
  focusList_.push_back(code);
  while (focusList_.size() > kFocusListLength) focusList_.pop_front();
}

WindowId WindowOfCode(int code) {
  switch (code) {
    case 1:
      return WindowId::Announcements;
    case 2:
      return WindowId::Talks;
    case 3:
      return WindowId::Spots;
    case 4:
      return WindowId::TypedInput;
    default:
      return WindowId::Terminal;
  }
}

WindowId TrafficWindows::Focused() const {
  return focusList_.empty() ? WindowId::Terminal : WindowOfCode(focusList_.back());
}

WindowId TrafficWindows::SearchWindow() const {
  WindowId w = Focused();
  return w == WindowId::TypedInput ? WindowId::Terminal : w;
}

void TrafficWindows::AnalyseClickedWord(WindowId id) {
  TextWindow& box = app_.Window(id);
  const bool chat = steps.chatSession && steps.chatSession();
  auto talker = clicked_.Analyse(box.Text(), box.SelStart(), chat);
  if (talker && steps.lastTalker) {
    SpotSource side = app_.State().sessionKind == SessionKind::Tnc ? SpotSource::Serial : SpotSource::Main;
    steps.lastTalker(side, *talker);
  }
  // The clicked call is offered first by the next search question.
  if (!clicked_.Values().call.empty() && steps.presetSearch) steps.presetSearch(clicked_.Values().call);
}

void TrafficWindows::MouseRelease(WindowId id, bool click) {
  TextWindow& box = app_.Window(id);
  if (box.SelLength() > 0 && setClipboard) {
    setClipboard("");
    setClipboard(box.Text().substr(box.SelStart(), box.SelLength()));
  }
  if (!click) return;
  AnalyseClickedWord(id);
  // A right click runs "Both..." on the clicked word; that command clears the flag.
  if (rightClick_ && steps.rightClickSearch) steps.rightClickSearch();
  rightClick_ = false;
}

void TrafficWindows::DoubleClick(WindowId id) {
  if (!steps.iotaInfo || !steps.prefixInfo) return;
  ClickedWordValues& v = clicked_.Values();
  if (!v.iota.empty()) {
    std::string iota = v.iota;
    v.iota.clear();
    steps.iotaInfo(iota);
    return;
  }
  TextWindow& box = app_.Window(id);
  box.Select(box.SelStart(), 0);
  steps.prefixInfo(v.call);
}

void TrafficWindows::CaretToEnd(WindowId id) {
  TextWindow& box = app_.Window(id);
  box.Select(box.Text().size(), 0);
}

void TrafficWindows::FocusWindow(WindowId id) {
  FocusReceived(id);
  if (app_.onFocusWindow) app_.onFocusWindow(id);
  CaretToEnd(id);
}

void TrafficWindows::ClearBuffer() {
  WindowId id = Focused();
  app_.Window(id).Clear();
  if (id == WindowId::TypedInput) app_.SetTypedLine("");
}

void TrafficWindows::Copy() {
  TextWindow& box = app_.Window(Focused());
  if (box.SelLength() > 0 && setClipboard) setClipboard(box.Text().substr(box.SelStart(), box.SelLength()));
}

void TrafficWindows::PasteTx() {
  FocusWindow(WindowId::TypedInput);
  if (pasteIntoTypedInput) pasteIntoTypedInput();
}

void TrafficWindows::Find() {
  WindowId id = SearchWindow();
  if (find_.Find(app_.Window(id), app_.Prompt()) && app_.onFocusWindow) app_.onFocusWindow(id);
}

void TrafficWindows::FindNext() {
  WindowId id = SearchWindow();
  if (find_.FindNext(app_.Window(id), app_.Prompt()) && app_.onFocusWindow) app_.onFocusWindow(id);
}

}  // namespace qn
