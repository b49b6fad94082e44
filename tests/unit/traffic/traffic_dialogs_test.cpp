// The filter, alerts and talk dialogs' rules and the traffic menu commands.
#include <gtest/gtest.h>

#include "core/text.h"
#include "fakes/test_app.h"
#include "traffic/alerts.h"
#include "traffic/alerts_rules.h"
#include "traffic/filter_rules.h"
#include "traffic/filters.h"
#include "traffic/spot_pipeline.h"
#include "traffic/talk_rules.h"

namespace qn {
namespace {

struct DialogFixture : ::testing::Test {
  fakes::TestApp t;
  App* app = nullptr;
  void SetUp() override { app = &t.StartWithCall("/DEMO"); }
  std::string Config() { return t.Folder().Read("quillnet.cfg").value_or(""); }
  std::string ConfigLine(int n) { return SplitLines(Config()).at(static_cast<std::size_t>(n - 1)); }
};

TEST_F(DialogFixture, FilterDialogRefusesTheAreaFilterWithoutItsFile) {
  FilterRules rules = app->MakeFilterRules();
  EXPECT_FALSE(rules.TickDxDe(true));
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, kNoFilterFile);
  EXPECT_FALSE(rules.TickDxDe(false));
  t.Folder().WriteAtomic("filter.txt", "DL\r\n");
  EXPECT_TRUE(rules.TickDxDe(true));
  EXPECT_EQ(t.prompter.shown.size(), 1u);
}

TEST_F(DialogFixture, FilterDialogAreaListEditorWritesTheFileAndStaysOpen) {
  FilterRules rules = app->MakeFilterRules();
  t.Folder().WriteAtomic("Filter.txt", "DL\nI");
  EXPECT_EQ(rules.OpenAreaList(), "DL\r\nI\r\n");
  EXPECT_TRUE(rules.AreaListShown());
  EXPECT_TRUE(rules.SaveAreaList("DL\r\nOH"));
  EXPECT_FALSE(rules.AreaListShown());
  EXPECT_EQ(t.Folder().Read("FILTER.TXT"), "DL\r\nOH");
  // The area list takes it up only on the dialog's own Save, with the filter on.
  EXPECT_TRUE(app->SpotFilters()->PassesArea("W1AW"));
  FilterFields f = rules.Load();
  f.dxDeFilter = true;
  f.low[0] = "14000";
  f.high[0] = "14070";
  f.selectWords = "cw\r\nssb";
  f.rejectOld = true;
  rules.Save(f);
  EXPECT_FALSE(app->SpotFilters()->PassesArea("W1AW"));
  EXPECT_TRUE(app->SpotFilters()->PassesArea("OH2AA"));
  EXPECT_EQ(ConfigLine(36), "14000");
  EXPECT_EQ(ConfigLine(46), "14070");
  EXPECT_EQ(ConfigLine(82), "1");
  EXPECT_EQ(ConfigLine(90), "1");
  EXPECT_EQ(ConfigLine(91), "cwssb");  // one line of the file, whatever was pasted
  EXPECT_EQ(SplitLines(Config()).size(), 92u);
}

TEST_F(DialogFixture, AlertsDialogSaveWritesTheListOrSwitchesOffOnAnEmptyOne) {
  AlertsRules rules = app->MakeAlertsRules();
  AlertFields f = rules.Load();
  EXPECT_EQ(f.soundFile, "alert.wav");
  EXPECT_EQ(f.repetitions, "3");
  f.list = "VP8\r\nIOTA!";
  f.enabled = true;
  f.repetitions = "2";
  rules.Save(f);
  EXPECT_EQ(t.Folder().Read("ALERT.TXT"), "VP8\r\nIOTA!");
  EXPECT_TRUE(app->SpotAlerts()->Active());
  EXPECT_TRUE(app->SpotAlerts()->List().MatchCall("VP8LP"));
  EXPECT_EQ(ConfigLine(84), "1");
  EXPECT_EQ(ConfigLine(85), "2");

  f.list = " \r\n";
  rules.Save(f);
  EXPECT_FALSE(app->Settings().alertEnabled);
  EXPECT_EQ(ConfigLine(84), "0");
  EXPECT_EQ(t.Folder().Read("ALERT.TXT"), "VP8\r\nIOTA!");
}

TEST_F(DialogFixture, AlertsDialogTestRunsOnceOnTheDialogsValuesAndRestoresTheSettings) {
  AlertsRules rules = app->MakeAlertsRules();
  int played = 0;
  std::string queued;
  app->playSpeechNow = [&] {
    ++played;
    queued = app->Pipeline()->Speech().Text();
    app->Pipeline()->Speech().Clear();
  };
  app->State().soundAvailable = true;
  AlertFields f = rules.Load();
  f.list = "3Y0J.\r\nIOTA!";
  f.enabled = true;
  f.soundFile = "bell.wav";

  t.prompter.answers.push_back("3y0j");
  EXPECT_TRUE(rules.Test(f));
  EXPECT_EQ(queued, "\xff\x06 ");  // a single repetition
  t.prompter.answers.push_back("new IOTA here");
  EXPECT_TRUE(rules.Test(f));
  t.prompter.answers.push_back("3Y0JA");
  EXPECT_FALSE(rules.Test(f));
  EXPECT_EQ(t.Folder().Read("ARCHIVE\\alerts.txt"), "3y0j\r\nnew IOTA here\r\n");
  EXPECT_EQ(played, 2);
  // Enter alone plays the chosen sound once.
  t.prompter.answers.push_back("");
  EXPECT_FALSE(rules.Test(f));
  EXPECT_EQ(played, 3);
  EXPECT_EQ(t.prompter.shown.back().text, kAlertTestPrompt);

  EXPECT_FALSE(app->Settings().alertEnabled);
  EXPECT_EQ(app->Settings().alertSoundFile, "ALERT.WAV");
  EXPECT_EQ(app->Settings().alertRepetitions, 3);
  EXPECT_TRUE(app->SpotAlerts()->List().Empty());
}

TEST_F(DialogFixture, MailbellIsStartedFromTheDataFolderWhenItIsThere) {
  AlertsRules rules = app->MakeAlertsRules();
  rules.RunMailbell();
  EXPECT_TRUE(t.launcher.calls.empty());
  t.Folder().WriteAtomic("Mailbell/mailbell", "#!/bin/true\n");
  rules.RunMailbell();
  ASSERT_EQ(t.launcher.calls.size(), 1u);
  EXPECT_EQ(t.launcher.calls[0].program, t.dir.Path() / "Mailbell" / "mailbell");
  EXPECT_TRUE(t.launcher.calls[0].args.empty());
}

TEST_F(DialogFixture, TalkDialogNeedsAnAnswerStringToAnswer) {
  TalkFields f = TalkDialogLoad(*app);
  EXPECT_EQ(f.answerString, "Quillnet> ZZZZzzzz... sry, I'm not here now...73");
  f.autoAnswer = true;
  f.answerString = "  ";
  EXPECT_FALSE(TalkDialogSave(*app, f));
  EXPECT_EQ(t.prompter.shown.back().text, kNeedAnswerString);
  EXPECT_FALSE(app->Options().autoAnswer);
  f.answerString = "QRX";
  f.priority = true;
  f.timeStamp = true;
  EXPECT_TRUE(TalkDialogSave(*app, f));
  EXPECT_TRUE(app->Options().autoAnswer);
  EXPECT_TRUE(app->Frame().Item("mnuautoans").checked);
  EXPECT_TRUE(app->Frame().Item("mnutalkprio").checked);
  EXPECT_EQ(ConfigLine(10), "1");
  EXPECT_EQ(ConfigLine(11), "QRX");
  EXPECT_EQ(ConfigLine(78), "1");
  // Switched off, an empty string is fine.
  f.autoAnswer = false;
  f.answerString.clear();
  EXPECT_TRUE(TalkDialogSave(*app, f));
}

TEST_F(DialogFixture, OptionTogglesAndTalkToKey) {
  ASSERT_TRUE(app->RunMenu("Options/Auto Answer"));
  EXPECT_TRUE(app->Options().autoAnswer);
  EXPECT_TRUE(app->Frame().Item("mnuautoans").checked);
  ASSERT_TRUE(app->RunMenu("Options/Talk Priority"));
  EXPECT_TRUE(app->Options().talkPriority);
  ASSERT_TRUE(app->RunMenu("Options/Auto Answer"));
  EXPECT_FALSE(app->Options().autoAnswer);
  // The toggles are running options; the configuration is not written for them.
  EXPECT_EQ(ConfigLine(10), "0");

  std::string typed;
  app->onSetTypedLine = [&](const std::string& s) { typed = s; };
  app->Events().talkShown.Fire("G4TST de DL1XYZ: hi\r\n", SpotSource::Main, "DL1XYZ");
  EXPECT_EQ(app->Frame().Prompt(), TalkHandling::kF12Prompt);
  ASSERT_TRUE(app->PressKey("F12"));
  EXPECT_EQ(typed, "t DL1XYZ ");
}

}  // namespace
}  // namespace qn
