// The sound and voice broadcaster dialogs: their controls by name, the volume
// heard while the scroll bar moves, and what Save and Cancel leave behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "app/app.h"
#include "fakes/temp_folder.h"
#include "fakes/test_app.h"
#include "platform/qt/qt_instance_registry.h"
#include "platform/qt/qt_sound_output.h"
#include "traffic/spot_pipeline.h"
#include "ui/sound_dialog.h"
#include "ui/voice_dialog.h"

namespace {

struct SoundDialogsTest : ::testing::Test {
  qn::fakes::TestApp t;
  qn::App* app = nullptr;
  void Start(int devices) {
    t.sound.devices = devices;
    app = &t.StartWithCall("");
    t.sound.volumes.clear();
  }
  template <typename T>
  static T* Find(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
};

TEST_F(SoundDialogsTest, SoundDialogShowsTheSettingsAndSavesThem) {
  Start(1);
  qn::SoundDialog dlg(*app);
  EXPECT_EQ(dlg.objectName(), "Frmcfgsnd");
  EXPECT_EQ(dlg.findChild<QGroupBox*>()->title(), "Sound and Voice Parameters");
  auto* volume = Find<QScrollBar>(&dlg, "HScrvol");
  auto* speed = Find<QScrollBar>(&dlg, "HScrspeed");
  EXPECT_EQ(volume->value(), 6767);
  EXPECT_EQ(Find<QLabel>(&dlg, "Lblvol")->text(), "3");
  EXPECT_EQ(Find<QLabel>(&dlg, "Lblspeed")->text(), "2");
  volume->setValue(30000);
  EXPECT_EQ(Find<QLabel>(&dlg, "Lblvol")->text(), "15");
  ASSERT_FALSE(t.sound.volumes.empty());
  EXPECT_EQ(t.sound.volumes.back().first, 60001);
  speed->setValue(4);
  EXPECT_EQ(Find<QLabel>(&dlg, "Lblspeed")->text(), "4");
  QTest::mouseClick(Find<QCheckBox>(&dlg, "Chkenv"), Qt::LeftButton);
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(app->Settings().voiceSpelling);
  EXPECT_EQ(app->Settings().speedFactor, 4);
  EXPECT_EQ(app->Settings().waveVolume, 30000);
  EXPECT_TRUE(app->Frame().Item("mnuvoice").checked);
}

TEST_F(SoundDialogsTest, CancelPutsTheStoredVolumeBack) {
  Start(1);
  qn::SoundDialog dlg(*app);
  Find<QScrollBar>(&dlg, "HScrvol")->setValue(100);
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdtest"), Qt::LeftButton);
  EXPECT_EQ(app->Pipeline()->Speech().Text(), "ZX9QQQ ");
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdcan"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(t.sound.volumes.back().first, 13535);
  EXPECT_EQ(app->Settings().waveVolume, 6767);
}

TEST_F(SoundDialogsTest, WithoutASoundDeviceTheVoiceControlsAreDisabled) {
  Start(0);
  qn::SoundDialog dlg(*app);
  EXPECT_FALSE(Find<QCheckBox>(&dlg, "Chkenv")->isEnabled());
  EXPECT_FALSE(Find<QScrollBar>(&dlg, "HScrvol")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(&dlg, "Cmdtest")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(&dlg, "Cmdsav")->isEnabled());
}

TEST_F(SoundDialogsTest, VoiceDialogFiltersItsFieldsAndSaves) {
  Start(1);
  qn::VoiceDialog dlg(*app);
  EXPECT_EQ(dlg.objectName(), "Frmcfgvoice");
  EXPECT_EQ(dlg.findChild<QGroupBox*>()->title(), "Voice Broadcaster Parameters");
  auto* id = Find<QLineEdit>(&dlg, "Txtidid");
  auto* interval = Find<QLineEdit>(&dlg, "Txtidper");
  EXPECT_EQ(id->text(), "ZX9QQQ");
  id->clear();
  QTest::keyClicks(id, "g4 tst-/");
  EXPECT_EQ(id->text(), "g4tst/");
  interval->clear();
  QTest::keyClicks(interval, "1a0");
  EXPECT_EQ(interval->text(), "10");
  QTest::mouseClick(Find<QCheckBox>(&dlg, "Chkptt"), Qt::LeftButton);
  QTest::mouseClick(Find<QCheckBox>(&dlg, "Chkdouble"), Qt::LeftButton);
  QTest::mouseClick(Find<QPushButton>(&dlg, "Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(app->Settings().idString, "G4TST");
  EXPECT_TRUE(app->Settings().idStringSlash);
  EXPECT_EQ(app->Settings().idIntervalMinutes, 10);
  EXPECT_TRUE(app->Settings().pttOnLpt1);
  EXPECT_TRUE(app->Settings().doubleSpell);
  EXPECT_FALSE(app->Settings().silenceOnTalksAndAnns);
}

TEST(QtSoundOutputTest, PlaysWhatThereIsAndPassesOverWhatIsNot) {
  qn::QtSoundOutput out;
  EXPECT_GE(out.DeviceCount(), 0);
  // The louder channel sets the one output volume.
  out.SetVolume(13535, 6000);
  EXPECT_NEAR(out.Volume(), 13535.0 / 65535.0, 1e-4);
  // A recording is loaded once and kept; a missing one is passed over without
  // a stand-in, with or without a device.
  const auto k = std::filesystem::path(QUILLNET_SOURCE_DIR) / "data" / "SOUNDS" / "k.wav";
  out.PlayAsync(k);
  EXPECT_EQ(out.LoadedCount(), 1u);
  out.PlayAsync("/nonexistent/k.wav");
  out.PlayAsync(k);
  EXPECT_EQ(out.LoadedCount(), 1u);
  QTest::qWait(50);
}

TEST(QtInstanceRegistryFrontTest, TheCopyInFrontIsSeenByTheOthers) {
  qn::fakes::TempFolder dir;
  const std::string folder = (dir.Path() / "run").string();
  qn::QtInstanceRegistry self(folder, ::getpid());
  qn::QtInstanceRegistry other(folder, ::getppid());  // a process that is surely alive
  EXPECT_FALSE(self.AnotherInFront());
  other.SetOwnInFront(true);
  EXPECT_TRUE(self.AnotherInFront());
  EXPECT_FALSE(other.AnotherInFront());
  // Losing the front only clears what is still its own.
  self.SetOwnInFront(true);
  other.SetOwnInFront(false);
  EXPECT_FALSE(self.AnotherInFront());
  EXPECT_TRUE(other.AnotherInFront());
  self.SetOwnInFront(false);
  EXPECT_FALSE(other.AnotherInFront());
  qn::QtInstanceRegistry gone(folder, 999999999);  // no such process
  gone.SetOwnInFront(true);
  EXPECT_FALSE(self.AnotherInFront());
}

}  // namespace
