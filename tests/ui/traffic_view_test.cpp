// The traffic view as a mirror of its model: batching, CR LF, cuts, and the
// caret and scroll position going back to the model.
#include "ui/traffic_view.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
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

// The view draws only the lines an append changed and lets the scroll move the
// rest, so what is on the screen must still be what a full repaint draws.
TEST(TrafficView, WhatIsOnTheScreenIsWhatTheTextSays) {
  TextWindow model(WindowId::Terminal);
  TrafficView view(model);
  view.setCursorWidth(0);  // a blinking caret is no part of the text
  view.resize(420, 260);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  auto settle = [&] {
    view.Flush();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  };
  auto screenMatches = [&](const char* step) {
    QWidget* port = view.viewport();
    const QPoint at = port->mapTo(view.window(), QPoint(0, 0));
    QImage shown = view.screen()
                       ->grabWindow(view.window()->winId(), at.x(), at.y(), port->width(), port->height())
                       .toImage();
    QImage drawn = port->grab().toImage();
    ASSERT_FALSE(shown.isNull()) << step;
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32))
        << step;
  };
  settle();
  int n = 0;
  auto spots = [&](int count, bool inFront = false) {
    for (int i = 0; i < count; ++i, ++n)
      qn::AppendToWindow(model, "DX de G4TST:     14025.0  K" + std::to_string(n) + "ABC  cq\r\n", inFront);
  };
  spots(3);
  settle();
  screenMatches("a few lines");
  spots(40);
  settle();
  screenMatches("a page and more at once");
  qn::AppendToWindow(model, "G4TST de GB7XX 09-Dec-2026 1200Z >", false);
  settle();
  spots(1);
  settle();
  screenMatches("a prompt completed by the next line");
  spots(1);
  settle();
  screenMatches("one line");
  // Scrolled back: lines arriving below the view change nothing on it.
  view.verticalScrollBar()->setValue(5);
  settle();
  spots(7, true);
  settle();
  EXPECT_EQ(view.verticalScrollBar()->value(), 5);
  screenMatches("scrolled back");
  // A cut moves every line.
  spots(400);
  settle();
  screenMatches("a cut within a batch");
  bool cut = false;
  for (int i = 0; i < 1000 && !cut; ++i) {
    const std::size_t before = model.Text().size();
    spots(2);
    cut = model.Text().size() < before;
    settle();
  }
  ASSERT_TRUE(cut);
  screenMatches("a cut of lines on the screen");
}

}  // namespace
