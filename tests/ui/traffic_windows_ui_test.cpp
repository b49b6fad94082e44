// The traffic windows in the Qt frame on an App built on the fakes: keys go
// to the typed-input line, F2 to F6 focus, double and right clicks reach the
// lookups, and the colours dialog lays out the core's rules.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "app/app.h"
#include "fakes/test_app.h"
#include "lookups/lookups.h"
#include "traffic/colours_rules.h"
#include "traffic/traffic_windows.h"
#include "ui/colours_dialog.h"
#include "ui/info_windows.h"
#include "ui/main_frame.h"
#include "ui/traffic_view.h"
#include "ui/typed_input_window.h"

namespace {

using qn::WindowId;

const char* kSpot = "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1432Z\r\n";

struct TrafficUiTest : ::testing::Test {
  qn::fakes::TestApp t;
  std::unique_ptr<qn::MainFrame> frame;

  void SetUp() override {
    t.StartWithCall("/DEMO");
    t.Folder().WriteAtomic("cty.dat",
                           "Japan:                    25:  45:  AS:   36.40:  -138.38:    -9.0:  JA:\r\n"
                           "    JA,JE,JF;\r\n");
    frame = std::make_unique<qn::MainFrame>(*t.app);
    frame->ShowFrame();
  }
  qn::TrafficView* Spots() { return frame->View(WindowId::Spots); }
  // The middle of a word of the spot window, in viewport coordinates.
  QPoint PointOf(const QString& word) {
    Spots()->Flush();
    QTextCursor c = Spots()->document()->find(word);
    EXPECT_FALSE(c.isNull()) << word.toStdString();
    c.setPosition(c.selectionStart() + 2);
    return Spots()->cursorRect(c).center();
  }
};

TEST_F(TrafficUiTest, ALetterTypedInTheSpotWindowGoesToTheTypedInputLine) {
  frame->FocusWindow(WindowId::Spots);
  QTest::keyClicks(Spots(), "k1");
  EXPECT_EQ(frame->TypedInput()->Box()->text(), "k1");
  EXPECT_EQ(t.app->Window(WindowId::Spots).SelStart(), t.app->Window(WindowId::Spots).Text().size())
      << "the spot window's caret goes to its end";
}

TEST_F(TrafficUiTest, FunctionKeysFocusTheirWindows) {
  const std::pair<const char*, WindowId> keys[] = {{"F2", WindowId::Spots},
                                                   {"F3", WindowId::Talks},
                                                   {"F4", WindowId::Announcements},
                                                   {"F5", WindowId::TypedInput},
                                                   {"F6", WindowId::Terminal}};
  for (auto [key, id] : keys) {
    ASSERT_TRUE(t.app->PressKey(key)) << key;
    EXPECT_EQ(frame->Area()->activeSubWindow(), frame->Child(id)) << key;
    QAction* action = nullptr;
    for (const auto& a : t.app->Menu().Actions()) {
      if (a.shortcut == key) action = frame->Menus()->Action(a.id);
    }
    ASSERT_NE(action, nullptr) << key;
    EXPECT_EQ(action->shortcut(), QKeySequence(key));
  }
}

TEST_F(TrafficUiTest, DoubleClickOnACallOpensOneInformationWindow) {
  t.app->Append(WindowId::Spots, kSpot);
  QPoint p = PointOf("JA1XYZ");
  QTest::mouseClick(Spots()->viewport(), Qt::LeftButton, {}, p);
  QTest::mouseDClick(Spots()->viewport(), Qt::LeftButton, {}, p);
  ASSERT_EQ(frame->Infos()->Count(), 1u);
  EXPECT_FALSE(Spots()->textCursor().hasSelection()) << "the double click's word selection is cleared";
  QMdiSubWindow* info = frame->Infos()->Window("JA1XYZ: Prefix Info");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->windowTitle(), "JA1XYZ: Prefix Info");
  auto* text = info->findChild<QPlainTextEdit*>("Txtinfo");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().contains("Country: Japan (JA)"));
  // A second double click brings that window forward instead of another.
  frame->FocusWindow(WindowId::Terminal);
  EXPECT_NE(frame->Area()->activeSubWindow(), info);
  QTest::mouseClick(Spots()->viewport(), Qt::LeftButton, {}, p);
  QTest::mouseDClick(Spots()->viewport(), Qt::LeftButton, {}, p);
  EXPECT_EQ(frame->Infos()->Count(), 1u);
  EXPECT_EQ(frame->Area()->activeSubWindow(), info);
  // Closed, it is opened afresh next time.
  info->close();
  QTest::qWait(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(frame->Infos()->Count(), 0u);
  EXPECT_TRUE(t.app->Lookup()->OpenPages().empty());
}

TEST_F(TrafficUiTest, RightClickRunsBothOnTheClickedWord) {
  t.Folder().WriteAtomic("WEBSEARCH.TXT",
                         "Z https://z.example/{TEXT}\r\nDUALWEB https://d.example/{TEXT}\r\n");
  t.app->Append(WindowId::Spots, kSpot);
  t.prompter.answers.push_back("JA1XYZ");
  QTest::mouseClick(Spots()->viewport(), Qt::RightButton, {}, PointOf("JA1XYZ"));
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_EQ(t.prompter.shown.back().defaultText, "JA1XYZ");
  EXPECT_EQ(t.urls.opened,
            (std::vector<std::string>{"https://z.example/JA1XYZ", "https://d.example/JA1XYZ"}));
  EXPECT_FALSE(t.app->TrafficWin()->RightClick());
  // Once the frame has let go, the right button is the box's own again.
  frame->Detach();
  QTest::mouseClick(Spots()->viewport(), Qt::RightButton, {}, PointOf("JA1XYZ"));
  EXPECT_FALSE(t.app->TrafficWin()->RightClick());
}

TEST_F(TrafficUiTest, ColoursDialogSavesAndAppliesTheColours) {
  qn::ColoursDialogWindow dlg(*t.app, frame.get());
  EXPECT_EQ(dlg.objectName(), "Frmcfgcl");
  auto* dx = dlg.findChild<QLabel*>("tdxsample");
  ASSERT_NE(dx, nullptr);
  EXPECT_EQ(dx->text(), "Dx Sample");
  QTest::mouseClick(dx, Qt::LeftButton);
  auto bar = [&](const char* name) { return dlg.findChild<QScrollBar*>(name); };
  EXPECT_EQ(bar("HScrollb")->value(), 255) << "the spot box's blue background";
  bar("HScrollr")->setValue(200);
  bar("HScrollg")->setValue(10);
  bar("HScrollb")->setValue(20);
  EXPECT_EQ(dlg.findChild<QLabel*>("LblHScrollr")->text(), "200");
  EXPECT_EQ(dlg.findChild<QFrame*>("Shape1")->palette().color(QPalette::Window), QColor(200, 10, 20));
  QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdfore"), Qt::LeftButton);
  EXPECT_EQ(dx->palette().color(QPalette::WindowText), QColor(200, 10, 20));
  QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(t.app->Settings().spotColours.text, qn::Rgb(200, 10, 20));
  EXPECT_EQ(Spots()->palette().color(QPalette::Text), QColor(200, 10, 20));
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
