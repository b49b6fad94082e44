// The frame on an App built on the fakes: its windows, status bar, menus,
// splash and dialogs as the core's state drives them.
#include "ui/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "app/app.h"
#include "core/menu_table.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "ui/macros_dialog.h"
#include "ui/personal_info_dialog.h"
#include "ui/splash_window.h"
#include "ui/traffic_view.h"
#include "ui/typed_input_window.h"
#include "ui/window_layout.h"

namespace {

using qn::WindowId;

QStringList Names(const QList<QMdiSubWindow*>& list) {
  QStringList r;
  for (auto* w : list) r << w->objectName();
  return r;
}

struct FrameTest : ::testing::Test {
  qn::fakes::TestApp t;
  std::unique_ptr<qn::MainFrame> frame;

  void Open(const std::string& command = "/DEMO") {
    t.Folder().WriteAtomic("ARCHIVE\\DEMO.TXT", "20\r\nDX de W3LPL:     14025.0  JA1XYZ       CQ\r\n");
    t.StartWithCall(command);
    frame = std::make_unique<qn::MainFrame>(*t.app);
    frame->ShowFrame();
  }
  template <typename T>
  T* Find(const char* name) {
    return frame->findChild<T*>(name);
  }
};

TEST_F(FrameTest, FiveWindowsInTheStoredOrderShowTheirModels) {
  Open();
  EXPECT_EQ(frame->windowTitle(), "Quillnet");
  for (const char* name : {"Frmrx", "Frmspot", "Frmann", "frmtalk", "Frmlink"}) {
    EXPECT_NE(Find<QMdiSubWindow>(name), nullptr) << name;
  }
  for (const char* name : {"tResponse", "tspot", "Tann", "Ttalk"})
    EXPECT_NE(Find<qn::TrafficView>(name), nullptr);
  EXPECT_NE(Find<QLineEdit>("Textsend"), nullptr);
  EXPECT_EQ(Names(frame->Area()->subWindowList(QMdiArea::StackingOrder)),
            QStringList({"Frmann", "frmtalk", "Frmspot", "Frmlink", "Frmrx"}));
  EXPECT_EQ(frame->Area()->activeSubWindow(), frame->Child(WindowId::Terminal));

  auto* rx = Find<qn::TrafficView>("tResponse");
  EXPECT_TRUE(rx->toPlainText().startsWith(" Received Text:\n Tips: Double click"));
  EXPECT_TRUE(Find<qn::TrafficView>("tspot")->toPlainText().startsWith(" Received DX Spots:"));
  // What comes later arrives with the next batch.
  t.app->Append(WindowId::Terminal, "DX de G4TST:     14025.0  K1ABC  cq\r\n");
  EXPECT_FALSE(rx->toPlainText().contains("K1ABC"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return rx->toPlainText().contains("K1ABC"); }, 2000));
}

TEST_F(FrameTest, StoredPlacesAndOrderAreUsed) {
  qn::Positions p;
  p.frame = {1500, 1500, 15000, 12000};
  p.terminal = {0, 0, 6000, 4500};
  p.spots = {6000, 0, 4500, 3000};
  p.announcements = {6000, 3000, 4500, 1500};
  p.talks = {6000, 4500, 4500, 1500};
  p.typedInput = {0, 4500, 10500, 1500};
  p.order = {5, 4, 3, 2, 1};
  t.Folder().WriteAtomic("qln1.pos", p.Serialise());
  Open();
  EXPECT_EQ(Names(frame->Area()->subWindowList(QMdiArea::StackingOrder)),
            QStringList({"Frmrx", "Frmlink", "Frmspot", "frmtalk", "Frmann"}));
  EXPECT_EQ(frame->Child(WindowId::Spots)->geometry(), QRect(400, 0, 300, 200));
  EXPECT_EQ(frame->Child(WindowId::TypedInput)->geometry(), QRect(0, 300, 700, 100));
  EXPECT_EQ(frame->size(), QSize(1000, 800));
  // Nothing moved: the stored twips stay as they were.
  EXPECT_EQ(t.app->WindowPositions(), p);

  // The user moves a window and brings another to the front.
  frame->Child(WindowId::Talks)->move(10, 20);
  EXPECT_EQ(t.app->WindowPositions().talks, (qn::Rect{150, 300, 4500, 1500}));
  frame->Area()->setActiveSubWindow(frame->Child(WindowId::Spots));
  EXPECT_EQ(t.app->WindowPositions().order, (std::array<int, 5>{5, 4, 2, 1, 3}));
}

TEST_F(FrameTest, DefaultLayoutWithoutStoredPlaces) {
  Open();
  QSize area = frame->Area()->viewport()->size();
  QRect rx = frame->Child(WindowId::Terminal)->geometry();
  QRect spots = frame->Child(WindowId::Spots)->geometry();
  QRect tx = frame->Child(WindowId::TypedInput)->geometry();
  EXPECT_EQ(rx.topLeft(), QPoint(0, 0));
  EXPECT_GT(rx.width(), spots.width());
  EXPECT_EQ(spots.left(), rx.right() + 1);
  EXPECT_EQ(tx.bottom(), area.height() - 1);
  EXPECT_EQ(tx.width(), area.width());
  for (int i = 0; i < 5; ++i) {
    QRect r = frame->Child(static_cast<WindowId>(i))->geometry();
    EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(r)) << i;
  }
  // The arrangement is what "Save Positions" would store.
  EXPECT_TRUE(t.app->WindowPositions().ChildrenStored());
  EXPECT_EQ(qn::TwipsToPixels(t.app->WindowPositions().spots), spots);
}

TEST_F(FrameTest, StatusBarRendersTheFrameState) {
  Open();
  auto* cap = Find<QLabel>("Lblcap");
  ASSERT_NE(cap, nullptr);
  EXPECT_EQ(cap->text(), "For Help, press F1");
  for (const char* name : {"Lblhost", "Lblstat", "LblCurTime", "Imon", "Imoff"})
    EXPECT_NE(Find<QLabel>(name), nullptr);
  EXPECT_EQ(Find<QLabel>("Lblstat")->text(), "Rolling Demo");
  EXPECT_TRUE(Find<QLabel>("Imoff")->isVisible());
  EXPECT_FALSE(Find<QLabel>("Imon")->isVisible());

  auto& f = t.app->Frame();
  f.SetConnected(true);
  f.SetHost("dx.example.org");
  f.SetTime("12:34:56");
  f.SetPrompt("Capture ON");
  f.SetTitle("Quillnet [dx.example.org]");
  EXPECT_TRUE(Find<QLabel>("Imon")->isVisible());
  EXPECT_FALSE(Find<QLabel>("Imoff")->isVisible());
  EXPECT_EQ(Find<QLabel>("Lblhost")->text(), "dx.example.org");
  EXPECT_EQ(Find<QLabel>("LblCurTime")->text(), "12:34:56");
  EXPECT_EQ(cap->text(), "Capture ON");
  EXPECT_EQ(frame->windowTitle(), "Quillnet [dx.example.org]");
}

TEST_F(FrameTest, MenuBarComesFromTheTable) {
  Open();
  QStringList tops;
  for (QAction* a : frame->menuBar()->actions()) tops << a->text();
  QStringList expected;
  for (const auto& m : qn::MenuTable::TopLevel()) expected << QString::fromStdString(m);
  EXPECT_EQ(tops, expected);
  // Each menu shows the table's items in their places, with their keys.
  for (QAction* top : frame->menuBar()->actions()) {
    std::vector<const qn::MenuAction*> rows;
    for (const qn::MenuAction& m : t.app->Menu().Actions())
      if (QString::fromStdString(m.menu) == top->text() && m.caption != "-") rows.push_back(&m);
    std::stable_sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->order < b->order; });
    QStringList shown, table;
    for (QAction* item : top->menu()->actions())
      if (!item->isSeparator()) shown << item->text() + " " + item->shortcut().toString();
    for (const qn::MenuAction* m : rows)
      table << QString::fromStdString(m->caption) + " " +
                   QKeySequence(QString::fromStdString(m->shortcut)).toString();
    EXPECT_EQ(shown, table) << top->text().toStdString();
  }

  QAction* exit = frame->Menus()->Action("mnuexit");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->text(), "E&xit");
  EXPECT_EQ(exit->shortcut(), QKeySequence("Shift+F3"));

  // A caption changed by the core shows on the item.
  t.app->Frame().SetCaption("mnucapture", "&Close Capture File");
  EXPECT_EQ(frame->Menus()->Action("mnucapture")->text(), "&Close Capture File");
  t.app->Frame().SetEnabled("mnudisc", false);
  EXPECT_FALSE(frame->Menus()->Action("mnudisc")->isEnabled());
}

TEST_F(FrameTest, ToggleShowsTheCoreStateEvenWhenDeclined) {
  Open();
  QAction* recon = frame->Menus()->Action("mnurecon");
  QAction* keep = frame->Menus()->Action("mnukeep");
  recon->trigger();
  EXPECT_TRUE(t.app->Options().autoReconnection);
  EXPECT_TRUE(recon->isChecked());
  keep->trigger();
  ASSERT_TRUE(t.app->Options().keepAlive);
  EXPECT_TRUE(keep->isChecked());
  // Switching Keep Alive off asks; No leaves both on, and so do the marks.
  t.prompter.buttonAnswers.push_back(qn::MsgResult::No);
  keep->trigger();
  EXPECT_TRUE(t.app->Options().keepAlive);
  EXPECT_TRUE(keep->isChecked());
  EXPECT_TRUE(recon->isChecked());
  // Only toggles carry a check mark; a command never does, even unticked.
  for (const qn::MenuAction& a : t.app->Menu().Actions()) {
    QAction* action = frame->Menus()->Action(a.id);
    if (a.caption == "-" || !action) continue;  // keys without a menu have no item
    EXPECT_EQ(action->isCheckable(), a.toggle) << a.id;
  }
}

TEST_F(FrameTest, SplashFollowsTheCore) {
  Open();
  auto& f = t.app->Frame();
  f.SetSplashVisible(false);
  EXPECT_FALSE(frame->Splash()->isVisible());
  f.SetSplashVisible(true);
  ASSERT_TRUE(frame->Splash()->isVisible());
  EXPECT_EQ(frame->Splash()->size(), QSize(147, 201));
  EXPECT_LE((frame->Splash()->geometry().center() - frame->frameGeometry().center()).manhattanLength(), 10);
  f.SetSplashVisible(false);
  EXPECT_FALSE(frame->Splash()->isVisible());
}

TEST_F(FrameTest, TypedLinesGoToTheApp) {
  Open();
  auto* box = Find<QLineEdit>("Textsend");
  std::vector<std::string> typed;
  t.app->onTypedLine = [&](const std::string& l) { typed.push_back(l); };
  QTest::keyClicks(box, "sh/dx");
  QTest::keyClick(box, Qt::Key_Return);
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_EQ(typed[0], "sh/dx");
  EXPECT_TRUE(box->text().isEmpty());
  // Typing in a traffic window continues the line in the box.
  QTest::keyClicks(Find<qn::TrafficView>("tspot"), "b");
  EXPECT_EQ(box->text(), "b");
  QTest::keyClick(Find<qn::TrafficView>("tspot"), Qt::Key_Return);
  ASSERT_EQ(typed.size(), 2u);
  EXPECT_EQ(typed[1], "b");
}

TEST_F(FrameTest, ShiftInsertPastesWholeLinesAboveAndEscapeAsksToStopTheAttempt) {
  qn::fakes::FakeSocketFactory sockets;
  t.sockets = &sockets;
  t.StartWithCall("telnet://slow.example:7300/");
  frame = std::make_unique<qn::MainFrame>(*t.app);
  frame->ShowFrame();
  auto* box = Find<QLineEdit>("Textsend");
  QTest::keyClicks(box, "sh/");
  QGuiApplication::clipboard()->setText("dx\r\nnext line\r\npart");
  QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(box->text(), "part");
  EXPECT_TRUE(t.app->Window(WindowId::TypedInput).Text().find("sh/dx\r\nnext line\r\n") != std::string::npos);
  // The connect has not been answered: Escape offers to stop it.
  ASSERT_FALSE(sockets.made.empty());
  t.prompter.buttonAnswers.push_back(qn::MsgResult::Yes);
  QTest::keyClick(box, Qt::Key_Escape);
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_EQ(t.prompter.shown.back().text, "Stop current connection process?");
  EXPECT_GE(sockets.made.back()->closeCalls, 1);
}

TEST_F(FrameTest, ClosingTheFrameClosesTheApp) {
  Open();
  bool quit = false;
  t.app->onQuit = [&] { quit = true; };
  frame->close();
  EXPECT_TRUE(t.app->Closed());
  EXPECT_TRUE(quit);
}

TEST_F(FrameTest, MinimisingIsReported) {
  Open();
  frame->setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(t.app->Frame().Minimised());
  frame->setWindowState(Qt::WindowNoState);
  EXPECT_FALSE(t.app->Frame().Minimised());
}

struct PersonalInfoTest : ::testing::Test {
  qn::fakes::TestApp t;
  qn::App& app = t.StartWithCall("");
};

TEST_F(PersonalInfoTest, KeysAreFilteredAndEnterSaves) {
  qn::PersonalInfoDialog dlg(t.app ? *t.app : app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Personal Info");
  auto* call = dlg.findChild<QLineEdit*>("Txtmycall");
  auto* loc = dlg.findChild<QLineEdit*>("Txtlocator");
  auto* utc = dlg.findChild<QLineEdit*>("Txtutc");
  ASSERT_TRUE(call && loc && utc);
  EXPECT_EQ(call->text(), "G4TST");
  ASSERT_NE(dlg.findChild<QPushButton*>("Cmdsav"), nullptr);
  EXPECT_EQ(dlg.findChild<QPushButton*>("Cmdsav")->text(), "&Save");
  EXPECT_EQ(dlg.findChild<QPushButton*>("Cmdcan")->text(), "&Cancel");

  call->clear();
  QTest::keyClicks(call, "ab1cd/m ");
  EXPECT_EQ(call->text(), "ab1cdm");
  QTest::keyClick(call, Qt::Key_Backspace);
  EXPECT_EQ(call->text(), "ab1cd");
  QTest::keyClicks(loc, "jn-54");
  EXPECT_EQ(loc->text(), "jn54");
  utc->clear();
  QTest::keyClicks(utc, "+5:30h,.");
  EXPECT_EQ(utc->text(), "+5:30,.");
  utc->setText("5:30");
  QTest::keyClick(loc, Qt::Key_Return);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(app.Settings().ownCallsign, "ab1cd");
  EXPECT_EQ(app.Settings().ownLocator, "JN54AA");
  EXPECT_EQ(app.Settings().utcOffset, "5:30");
  // Saved to the configuration file as well.
  qn::AppSettings saved;
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_EQ(saved.ownLocator, "JN54AA");
}

TEST_F(PersonalInfoTest, CancelChangesNothingAndBadLocatorIsKept) {
  app.Settings().ownLocator = "IO91WM";
  {
    qn::PersonalInfoDialog dlg(app);
    dlg.findChild<QLineEdit*>("Txtmycall")->setText("K1ABC");
    QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdcan"), Qt::LeftButton);
    EXPECT_EQ(app.Settings().ownCallsign, "G4TST");
  }
  qn::PersonalInfoDialog dlg(app);
  dlg.findChild<QLineEdit*>("Txtmycall")->clear();
  dlg.findChild<QLineEdit*>("Txtlocator")->setText("JS54AA");
  QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(app.Settings().ownCallsign, "G4TST");
  EXPECT_EQ(app.Settings().ownLocator, "IO91WM");
}

TEST_F(PersonalInfoTest, MacrosDialogShowsAndSavesTheTenTexts) {
  qn::MacrosDialog dlg(app);
  EXPECT_EQ(dlg.windowTitle(), "Macros");
  auto* first = dlg.findChild<QLineEdit*>("Txtmac1");
  auto* tenth = dlg.findChild<QLineEdit*>("Txtmac10");
  ASSERT_TRUE(first && tenth);
  EXPECT_EQ(first->text(), "sh/dx,di/n,");
  tenth->setText(QString::fromLatin1("sh/wwv\xB0"));
  QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(app.Settings().macros[9], "sh/wwv\xB0");
  qn::AppSettings saved;
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_EQ(saved.macros[9], "sh/wwv\xB0");
}

}  // namespace
