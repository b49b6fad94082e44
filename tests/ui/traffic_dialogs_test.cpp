// The filter, alerts and talk dialogs: their controls, what a click or a
// keystroke does, and that Save reaches the files and settings.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/app.h"
#include "fakes/test_app.h"
#include "traffic/alerts.h"
#include "traffic/filters.h"
#include "ui/alerts_dialog.h"
#include "ui/filter_dialog.h"
#include "ui/talk_dialog.h"

namespace {

struct TrafficDialogsTest : ::testing::Test {
  qn::fakes::TestApp t;
  qn::App* app = nullptr;
  void SetUp() override {
    app = &t.StartWithCall("/DEMO");
    t.prompter.shown.clear();
  }
  template <typename T>
  static T* Find(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
};

TEST_F(TrafficDialogsTest, FilterDialogAreaFilterNeedsItsFileAndTheEditorSwapsWithTheRanges) {
  qn::FilterDialog dlg(*app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Spot Filters Configuration");
  auto* dxDe = Find<QCheckBox>(&dlg, "Chkde");
  QTest::mouseClick(dxDe, Qt::LeftButton);
  EXPECT_FALSE(dxDe->isChecked());
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, "File FILTER.TXT not found; can't enable this option");

  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdfilter"), Qt::LeftButton);
  auto* editor = Find<QPlainTextEdit>(&dlg, "Txtfilter");
  EXPECT_FALSE(Find<QGroupBox>(&dlg, "Framfilter")->isVisibleTo(&dlg));
  editor->setPlainText("DL\nJA");
  QTest::mouseClick(Find<QPushButton>(&dlg, "Command1"), Qt::LeftButton);
  EXPECT_EQ(t.Folder().Read("FILTER.TXT"), "DL\r\nJA");
  EXPECT_TRUE(Find<QGroupBox>(&dlg, "Framfilter")->isVisibleTo(&dlg));
  EXPECT_EQ(dlg.result(), 0);  // still open

  QTest::mouseClick(dxDe, Qt::LeftButton);
  EXPECT_TRUE(dxDe->isChecked());
  auto* low = Find<QLineEdit>(&dlg, "Tl_0");
  QTest::keyClicks(low, "14000");
  QTest::keyClick(low, Qt::Key_Return);  // Enter moves on as Tab
  QTest::keyClicks(Find<QLineEdit>(&dlg, "Th_0"), "14070");
  QTest::mouseClick(Find<QPushButton>(&dlg, "Command1"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(app->Settings().exclusionLow[0], "14000");
  EXPECT_EQ(app->Settings().exclusionHigh[0], "14070");
  EXPECT_FALSE(app->SpotFilters()->PassesArea("W1AW"));
}

TEST_F(TrafficDialogsTest, AlertsDialogOffersTheSoundFolderAndSavesTheList) {
  t.Folder().WriteAtomic("SOUNDS/ALERT.WAV", "RIFF");
  t.Folder().WriteAtomic("SOUNDS/bell.wav", "RIFF");
  t.Folder().WriteAtomic("SOUNDS/readme.txt", "x");
  qn::AlertsDialog dlg(*app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Alerts Setup");
  auto* files = Find<QListWidget>(&dlg, "Filalert");
  ASSERT_EQ(files->count(), 2);
  files->setCurrentRow(1);
  EXPECT_EQ(Find<QLabel>(&dlg, "Lblalert")->text(), "bell.wav");
  auto* rep = Find<QLineEdit>(&dlg, "Txtrep");
  rep->clear();
  QTest::keyClicks(rep, "x5y");
  EXPECT_EQ(rep->text(), "5");
  Find<QPlainTextEdit>(&dlg, "Txtalert")->setPlainText("VP8\nIOTA!");
  QTest::mouseClick(Find<QCheckBox>(&dlg, "Chkalen"), Qt::LeftButton);
  QTest::mouseClick(Find<QPushButton>(&dlg, "Command1"), Qt::LeftButton);
  EXPECT_EQ(t.Folder().Read("ALERT.TXT"), "VP8\r\nIOTA!");
  EXPECT_TRUE(app->SpotAlerts()->Active());
  EXPECT_EQ(app->Settings().alertRepetitions, 5);
  EXPECT_EQ(app->Settings().alertSoundFile, "bell.wav");
}

TEST_F(TrafficDialogsTest, TalkDialogStaysOpenWithoutAnAnswerString) {
  qn::TalkDialog dlg(*app);
  Find<QLineEdit>(&dlg, "Txtaut")->clear();
  QTest::mouseClick(Find<QCheckBox>(&dlg, "Chkaut"), Qt::LeftButton);
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), 0);
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_EQ(t.prompter.shown.back().text, "Must specify an answer string");
  QTest::keyClicks(Find<QLineEdit>(&dlg, "Txtaut"), "QRX 5");
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(app->Options().autoAnswer);
  EXPECT_EQ(app->Settings().autoAnswerString, "QRX 5");
}

}  // namespace
