// The traffic view as a mirror of its model: batching, CR LF, cuts, and the
// caret and scroll position going back to the model.
#include "ui/traffic_view.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <string>

#include "core/text_window.h"

namespace {

using qn::TextWindow;
using qn::TrafficView;
using qn::WindowId;

QString Shown(std::string_view model) { return qn::DisplayText(model, false); }

TEST(TrafficView, ManyAppendsArriveAsOneBatch) {
  TextWindow model(WindowId::Spots);
  TrafficView view(model);
  view.resize(400, 300);
  view.show();
  int before = view.Flushes();
  std::string line = "DX de G4TST:     14025.0  K1ABC        cq cq                          1200Z\r\n";
  for (int i = 0; i < 100; ++i) qn::AppendToWindow(model, line, false);
  // Nothing is painted per spot.
  EXPECT_EQ(view.Flushes(), before);
  EXPECT_TRUE(view.toPlainText().isEmpty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return view.Flushes() > before; }, 2000));
  EXPECT_EQ(view.Flushes(), before + 1);
  EXPECT_EQ(view.toPlainText(), Shown(model.Text()));
  EXPECT_EQ(view.document()->blockCount(), static_cast<int>(model.LineCount()));
}

TEST(TrafficView, CrLfSplitBetweenAppendsIsOneLineBreak) {
  TextWindow model(WindowId::Terminal);
  TrafficView view(model);
  qn::AppendToWindow(model, "login: \r", false);
  view.Flush();
  EXPECT_EQ(view.toPlainText(), "login: ");
  qn::AppendToWindow(model, "\nG4TST de NODE\r\n", false);
  view.Flush();
  EXPECT_EQ(view.toPlainText(), "login: \nG4TST de NODE\n");
  // A CR that turns out not to start a line end keeps its column.
  qn::AppendToWindow(model, "a\r", false);
  view.Flush();
  qn::AppendToWindow(model,
                     "b\x07"
                     "c\xE9",
                     false);
  view.Flush();
  EXPECT_EQ(view.toPlainText(), QString::fromLatin1("login: \nG4TST de NODE\na b c\xE9"));
}

TEST(TrafficView, CutsAreAppliedOnceAndTheMirrorMatchesTheModel) {
  TextWindow model(WindowId::Terminal);
  TrafficView view(model);
  std::string line(78, 'x');
  line += "\r\n";
  // Enough for several cuts within one batch.
  for (int i = 0; i < 1000; ++i) qn::AppendToWindow(model, std::to_string(i) + line, false);
  EXPECT_LT(model.Text().size(), TextWindow::kLimit);
  view.Flush();
  EXPECT_EQ(view.toPlainText(), Shown(model.Text()));
  // And cuts that fall on text the view already shows.
  for (int i = 0; i < 300; ++i) {
    qn::AppendToWindow(model, "y" + line, false);
    if (i % 50 == 0) view.Flush();
  }
  view.Flush();
  EXPECT_EQ(view.toPlainText(), Shown(model.Text()));
  model.Clear();
  qn::AppendToWindow(model, "fresh\r\n", false);
  view.Flush();
  EXPECT_EQ(view.toPlainText(), "fresh\n");
}

TEST(TrafficView, OffsetsMapAcrossCrLf) {
  TextWindow model(WindowId::Talks);
  TrafficView view(model);
  qn::AppendToWindow(model, "ab\r\ncd\r\nef", false);
  view.Flush();
  EXPECT_EQ(view.ToDocPosition(4), 3);  // "c"
  EXPECT_EQ(view.ToModelOffset(3), 4u);
  EXPECT_EQ(view.ToModelOffset(2), 2u);  // end of the first line: before its CR
  EXPECT_EQ(view.ToModelOffset(8), model.Text().size());

  // The user selects "cd": the model hears model offsets.
  QTextCursor c = view.textCursor();
  c.setPosition(3);
  c.setPosition(5, QTextCursor::KeepAnchor);
  view.setTextCursor(c);
  EXPECT_EQ(model.SelStart(), 4u);
  EXPECT_EQ(model.SelLength(), 2u);
}

TEST(TrafficView, FollowsTheEndUnlessTheUserScrolledBack) {
  TextWindow model(WindowId::Terminal);
  TrafficView view(model);
  view.resize(300, 200);
  view.show();
  for (int i = 0; i < 200; ++i) qn::AppendToWindow(model, "line " + std::to_string(i) + "\r\n", true);
  view.Flush();
  QScrollBar* bar = view.verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  // The model knows the view's page.
  EXPECT_NEAR(static_cast<double>(model.PageLines()), bar->pageStep(), 1.0);

  // The user scrolls back and puts the caret there; with the program in front
  // the next lines do not pull the view away.
  bar->setValue(10);
  EXPECT_EQ(model.FirstVisibleLine(), 10u);
  QTextCursor c = view.textCursor();
  c.setPosition(view.document()->findBlockByNumber(12).position());
  view.setTextCursor(c);
  for (int i = 0; i < 5; ++i) qn::AppendToWindow(model, "more\r\n", true);
  view.Flush();
  EXPECT_EQ(bar->value(), 10);
  // Not in front: the newest line is shown.
  qn::AppendToWindow(model, "last\r\n", false);
  view.Flush();
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
