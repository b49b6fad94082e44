// Rig control in the window: the gesture on the spot and terminal windows, the
// menu item, the status bar, the passband marks and the dialog, on an App built
// on the fakes with a fake radio.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "app/app.h"
#include "fakes/test_app.h"
#include "rig/rig_control.h"
#include "traffic/traffic_windows.h"
#include "ui/main_frame.h"
#include "ui/rig_control_dialog.h"
#include "ui/traffic_view.h"

namespace {

using qn::WindowId;

constexpr const char* kCwSpot =
    "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z\r\n";
constexpr const char* kSsbSpot =
    "DX de W1AW:      7185.0  EA8XYZ       SSB 5/9                        1235Z\r\n";

struct RigViewTest : ::testing::Test {
  qn::fakes::TestApp t;
  std::unique_ptr<qn::MainFrame> frame;

  void Open(const std::string& rigFile) {
    t.Folder().WriteAtomic("ARCHIVE\\DEMO.TXT", "20\r\n");
    if (!rigFile.empty()) t.Folder().WriteAtomic("RIG.TXT", rigFile);
    t.StartWithCall("/DEMO");
    frame = std::make_unique<qn::MainFrame>(*t.app);
    frame->ShowFrame();
    t.loop.Advance(0);
  }
  qn::TrafficView* View(const char* name) { return frame->findChild<qn::TrafficView*>(name); }
  // The middle of the view's line that holds text.
  QPoint LineAt(qn::TrafficView* view, const QString& text) {
    view->Flush();
    QTextBlock block = view->document()->find(text).block();
    EXPECT_TRUE(block.isValid()) << text.toStdString();
    QTextCursor c(block);
    return view->cursorRect(c).center() + QPoint(30, 0);
  }
};

TEST_F(RigViewTest, MiddleClickAndCtrlClickTuneWithoutTouchingTheText) {
  Open("use = rigctld\r\n");
  auto* status = frame->findChild<QLabel*>("Lblrig");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), "Rig: 14000.00 USB");

  t.app->Append(WindowId::Spots, kCwSpot);
  t.app->Append(WindowId::Spots, kSsbSpot);
  auto* spots = View("tspot");
  std::string before = t.app->Window(WindowId::Spots).Text();
  QTest::mouseClick(spots->viewport(), Qt::MiddleButton, {}, LineAt(spots, "DL1XYZ"));
  t.loop.Advance(0);
  ASSERT_EQ(t.radio.orders.size(), 1u);
  EXPECT_EQ(t.radio.orders[0].rxHz, 14025000);
  EXPECT_EQ(t.radio.orders[0].txHz, 14027000);
  EXPECT_EQ(status->text(), "Rig: 14025.00 CW, split 14027.00");
  EXPECT_EQ(t.app->Window(WindowId::Spots).Text(), before);

  // The spot in the passband is marked in the view only.
  QTextBlock marked = spots->document()->find("DL1XYZ").block();
  QTextBlock other = spots->document()->find("EA8XYZ").block();
  EXPECT_FALSE(marked.layout()->formats().isEmpty());
  EXPECT_TRUE(other.layout()->formats().isEmpty());

  t.app->Append(WindowId::Terminal, kSsbSpot);
  auto* rx = View("tResponse");
  QTest::mouseClick(rx->viewport(), Qt::LeftButton, Qt::ControlModifier, LineAt(rx, "EA8XYZ"));
  t.loop.Advance(0);
  ASSERT_EQ(t.radio.orders.size(), 2u);
  EXPECT_EQ(t.radio.orders[1].mode, "LSB");
  EXPECT_FALSE(t.radio.orders[1].split);
  EXPECT_TRUE(spots->document()->find("DL1XYZ").block().layout()->formats().isEmpty());
  EXPECT_FALSE(spots->document()->find("EA8XYZ").block().layout()->formats().isEmpty());

  // A plain click is still the clicked-word analysis' own.
  QTest::mouseClick(rx->viewport(), Qt::LeftButton, {}, LineAt(rx, "EA8XYZ"));
  t.loop.Advance(0);
  EXPECT_EQ(t.radio.orders.size(), 2u);
}

TEST_F(RigViewTest, MenuTunesToTheNewestSpotAndOffMeansNoPolling) {
  Open("");
  EXPECT_EQ(t.radio.created, 0);
  EXPECT_FALSE(frame->findChild<QLabel*>("Lblrig")->isVisible());
  t.app->Append(WindowId::Spots, kCwSpot);
  EXPECT_TRUE(t.app->RunMenu("Options/Tune to Spot"));
  EXPECT_EQ(t.app->Frame().Rig(), "Rig control is off (Configuration / Rig Control...)");

  qn::RigControlDialog dialog(*t.app);
  dialog.findChild<QRadioButton*>("Optrigctld")->setChecked(true);
  dialog.findChild<QLineEdit*>("Txtport")->setText("4533");
  QTest::mouseClick(dialog.findChild<QPushButton*>("Cmdtest"), Qt::LeftButton);
  t.loop.Advance(0);
  EXPECT_EQ(dialog.findChild<QLabel*>("Lbltest")->text(), "The rig reads 14000.00 kHz USB.");
  QTest::mouseClick(dialog.findChild<QPushButton*>("Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(t.rigs.last.port, 4533);
  EXPECT_NE(t.Folder().Read("RIG.TXT")->find("use = rigctld"), std::string::npos);

  t.app->Append(WindowId::Spots, kSsbSpot);
  auto& spots = t.app->Window(WindowId::Spots);
  spots.SetSelection(spots.Text().size(), 0);
  t.app->TrafficWin()->FocusReceived(WindowId::Spots);
  EXPECT_TRUE(t.app->RunMenu("Options/Tune to Spot"));
  t.loop.Advance(0);
  ASSERT_FALSE(t.radio.orders.empty());
  EXPECT_EQ(t.radio.orders.back().rxHz, 7185000);
  int reads = t.radio.reads;
  t.loop.Advance(3000);
  EXPECT_EQ(t.radio.reads, reads + 3);
}

}  // namespace
