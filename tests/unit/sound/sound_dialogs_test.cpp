// The sound and voice broadcaster dialogs' rules and their menu commands.
#include <gtest/gtest.h>

#include "core/text.h"
#include "fakes/test_app.h"
#include "sound/sound_rules.h"
#include "sound/speech_player.h"
#include "sound/voice_rules.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

struct SoundDialogFixture : ::testing::Test {
  fakes::TestApp t;
  App* app = nullptr;
  void Start(int devices) {
    t.sound.devices = devices;
    app = &t.StartWithCall("");
  }
  std::string ConfigLine(int n) {
    return SplitLines(t.Folder().Read("quillnet.cfg").value_or("")).at(static_cast<std::size_t>(n - 1));
  }
};

TEST_F(SoundDialogFixture, SaveStoresTheFieldsAndSetsTheMenuChecks) {
  Start(1);
  SoundRules rules = app->MakeSoundRules();
  SoundFields f = rules.Load();
  EXPECT_EQ(f.speed, 2);
  EXPECT_EQ(f.volume, 6767);
  EXPECT_TRUE(rules.VoiceControlsEnabled());
  f.sounds = true;
  f.voiceSpelling = true;
  f.truncate = true;
  f.speed = 9;  // past the scroll bar's end
  f.volume = 20000;
  rules.Save(f);
  EXPECT_TRUE(app->Options().sounds);
  EXPECT_TRUE(app->Options().voiceSpell);
  EXPECT_TRUE(app->Frame().Item("mnusounds").checked);
  EXPECT_TRUE(app->Frame().Item("mnuvoice").checked);
  EXPECT_EQ(ConfigLine(7), "1");
  EXPECT_EQ(ConfigLine(8), "1");
  EXPECT_EQ(ConfigLine(9), std::to_string(SoundRules::kSpeedMax));
  EXPECT_EQ(ConfigLine(72), "20000");
  EXPECT_EQ(ConfigLine(81), "1");
}

TEST_F(SoundDialogFixture, VolumeFollowsTheScrollBarAndCancelPutsItBack) {
  Start(1);
  SoundRules rules = app->MakeSoundRules();
  EXPECT_EQ(SoundRules::VolumeLabel(32767), "16");
  EXPECT_EQ(SoundRules::VolumeLabel(1999), "0");
  t.sound.volumes.clear();
  rules.VolumeMoved(1000);
  ASSERT_EQ(t.sound.volumes.size(), 1u);
  EXPECT_EQ(t.sound.volumes[0].first, 2001);
  SoundFields f = rules.Load();
  f.speed = 0;
  rules.Test(f);
  EXPECT_EQ(app->Settings().speedFactor, 0);
  rules.Cancel();
  EXPECT_EQ(app->Settings().speedFactor, 2);
  EXPECT_EQ(t.sound.volumes.back().first, 13535);
}

TEST_F(SoundDialogFixture, TestSpeaksTheTestTextAtTheChosenSpeed) {
  for (const char* name : {"z.wav", "x.wav", "9.wav", "q.wav"})
    t.Folder().WriteAtomic(std::string("SOUNDS\\") + name, std::string(1100, '\x80'));
  Start(1);
  SoundRules rules = app->MakeSoundRules();
  SoundFields f = rules.Load();
  f.speed = 0;  // 100 ms recordings with gaps of 100 ms
  rules.Test(f);
  EXPECT_EQ(app->Pipeline()->Speech().Text(), kSoundTestText);
  t.loop.Advance(5000);
  EXPECT_EQ(t.sound.Files(),
            (std::vector<std::string>{"z.wav", "x.wav", "9.wav", "q.wav", "q.wav", "q.wav"}));
  EXPECT_EQ(t.sound.played.back().atMs - t.sound.played.front().atMs, 1000);
}

TEST_F(SoundDialogFixture, WithoutADeviceTheControlsAreOffAndTestDoesNothing) {
  Start(0);
  SoundRules rules = app->MakeSoundRules();
  EXPECT_FALSE(rules.VoiceControlsEnabled());
  rules.Test(rules.Load());
  EXPECT_TRUE(app->Pipeline()->Speech().Empty());
  rules.VolumeMoved(100);
  EXPECT_TRUE(t.sound.volumes.empty());
}

TEST_F(SoundDialogFixture, VoiceDialogKeepsTheIdStringsSlashAsAFlag) {
  Start(1);
  VoiceFields f = VoiceDialogLoad(*app);
  EXPECT_EQ(f.idString, "ZX9QQQ");
  EXPECT_EQ(f.idInterval, "0");
  f.idString = "g4-tst/p/";
  f.idInterval = "1x5";
  f.doubleSpell = true;
  f.silence = true;
  f.ptt = true;
  VoiceDialogSave(*app, f);
  const AppSettings& s = app->Settings();
  EXPECT_EQ(s.idString, "G4TST/P");
  EXPECT_TRUE(s.idStringSlash);
  EXPECT_EQ(s.idIntervalMinutes, 15);
  EXPECT_TRUE(s.doubleSpell && s.silenceOnTalksAndAnns && s.pttOnLpt1);
  EXPECT_EQ(ConfigLine(77), "G4TST/P/");
  EXPECT_EQ(VoiceDialogLoad(*app).idString, "G4TST/P/");
  // Saving an interval starts it from now: no ID at the next transmission.
  EXPECT_DOUBLE_EQ(app->Player()->LastIdSeconds(), t.clock.LocalNow().SecondsSinceMidnight());

  f.idString = "G4TST";
  f.idInterval = "";
  VoiceDialogSave(*app, f);
  EXPECT_FALSE(app->Settings().idStringSlash);
  EXPECT_EQ(app->Settings().idIntervalMinutes, 0);
}

TEST(VoiceFieldsTest, FieldsTakeOnlyTheirCharacters) {
  EXPECT_TRUE(IdStringCharAllowed('\\'));
  EXPECT_FALSE(IdStringCharAllowed('-'));
  EXPECT_FALSE(IdStringCharAllowed(' '));
  EXPECT_EQ(FilterIdString("DL/G4 TST-\\1"), "DL/G4TST\\1");
  EXPECT_EQ(FilterInterval(" 10 min"), "10");
}

TEST_F(SoundDialogFixture, MenuCommandsOpenTheDialogsAndToggleVoiceSpell) {
  Start(1);
  EXPECT_TRUE(app->Menu().Find("Configuration/Sound Effects..."));
  EXPECT_TRUE(app->Menu().Find("Configuration/Voice Broadcaster..."));
  app->Options().voiceSpell = true;
  app->Pipeline()->Speech().QueueSpot("K1ABC", "14025.0", false, false);
  ASSERT_TRUE(app->RunMenu("Options/Voice Spell"));
  EXPECT_FALSE(app->Options().voiceSpell);
  EXPECT_FALSE(app->Frame().Item("mnuvoice").checked);
  EXPECT_TRUE(app->Pipeline()->Speech().Empty());
  ASSERT_TRUE(app->RunMenu("Options/Voice Spell"));
  EXPECT_TRUE(app->Frame().Item("mnuvoice").checked);
}

}  // namespace
}  // namespace qn
