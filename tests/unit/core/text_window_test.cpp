#include "core/text_window.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

struct Recorder : TextWindowListener {
  std::string appended;
  std::size_t cut = 0;
  void OnAppended(std::string_view t) override { appended += t; }
  void OnCut(std::size_t n) override { cut += n; }
  void OnReset() override {}
};

std::string Lines(int count, int width) {
  std::string s;
  for (int i = 0; i < count; ++i)
    s += std::string(static_cast<std::size_t>(width), static_cast<char>('a' + i % 26)) + "\r\n";
  return s;
}

TEST(AppendToWindow, ShowsTheNewEndUnlessTheUserScrolledBack) {
  TextWindow w(WindowId::Terminal);
  w.SetPageLines(10);
  AppendToWindow(w, Lines(50, 10), true);
  EXPECT_EQ(w.SelStart(), w.Text().size());
  EXPECT_EQ(w.FirstVisibleLine(), 41u);  // 51 lines, the last one empty
  w.SetFirstVisibleLine(5);
  w.SetSelection(20, 4);
  AppendToWindow(w, "more\r\n", true);
  EXPECT_EQ(w.FirstVisibleLine(), 5u);
  EXPECT_EQ(w.SelStart(), 20u);
  EXPECT_EQ(w.SelLength(), 4u);
  // Not in front: the new end always shows.
  AppendToWindow(w, "again\r\n", false);
  EXPECT_EQ(w.SelStart(), w.Text().size());
  EXPECT_EQ(w.FirstVisibleLine(), w.LineCount() - 10);
}

TEST(LimitWindowText, CutsTheOldestHalfAtALineStart) {
  TextWindow w(WindowId::Spots);
  Recorder r;
  w.AddListener(&r);
  std::string text = Lines(350, 78);  // 80 characters a line: 28000 exactly
  AppendToWindow(w, text.substr(0, 27999), false);
  EXPECT_EQ(w.Text().size(), 27999u);
  EXPECT_EQ(r.cut, 0u);
  AppendToWindow(w, text.substr(27999), false);
  // Character 14000 is the LF that ends line 175: the cut is right after it.
  EXPECT_EQ(r.cut, 175u * 80);
  EXPECT_TRUE(w.Text() == text.substr(175 * 80));
  EXPECT_EQ(w.LineCount(), 350u - 175 + 1);
  EXPECT_EQ(r.appended.size(), 28000u);
}

TEST(LimitWindowText, NoLineEndCutsAtFourteenThousand) {
  TextWindow w(WindowId::Terminal);
  AppendToWindow(w, std::string(30000, 'x'), false);
  EXPECT_EQ(w.Text().size(), 16000u);
}

TEST(LimitWindowText, LoneCrAndLoneLfMarkTheCut) {
  TextWindow w(WindowId::Terminal);
  std::string a = std::string(100, 'a') + "\r" + std::string(27999, 'b');
  // The cut searches back from character 14000 and finds the lone CR.
  AppendToWindow(w, a, false);
  EXPECT_EQ(w.Text().size(), a.size() - 101);
  TextWindow v(WindowId::Terminal);
  std::string b = std::string(100, 'a') + "\n" + std::string(27999, 'b');
  AppendToWindow(v, b, false);
  EXPECT_EQ(v.Text().substr(0, 1), "b");
}

TEST(LimitWindowText, SelectionFollowsItsText) {
  TextWindow w(WindowId::Terminal);
  std::string text = Lines(340, 78);
  AppendToWindow(w, text, true);
  std::size_t target = text.size() - 160;  // start of the second-last line
  w.SetSelection(target, 5);
  w.SetFirstVisibleLine(300);
  AppendToWindow(w, Lines(10, 78), true);
  std::string selected = w.Text().substr(w.SelStart(), w.SelLength());
  EXPECT_EQ(selected, text.substr(target, 5));
  EXPECT_LT(w.FirstVisibleLine(), 300u);
}

TEST(AppendToWindow, ProgrammaticFlagIsSetOnlyDuringTheAppend) {
  TextWindow w(WindowId::TypedInput);
  struct Probe : TextWindowListener {
    TextWindow* w;
    bool seen = false;
    void OnAppended(std::string_view) override { seen = w->ProgrammaticChange(); }
    void OnCut(std::size_t) override {}
    void OnReset() override {}
  } probe;
  probe.w = &w;
  w.AddListener(&probe);
  AppendToWindow(w, "sh/dx\r\n", true);
  EXPECT_TRUE(probe.seen);
  EXPECT_FALSE(w.ProgrammaticChange());
}

}  // namespace
}  // namespace qn
