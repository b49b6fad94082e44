#include "traffic/talk_handling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_app.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

struct TalkFixture : ::testing::Test {
  fakes::TestApp t;
  App& app = t.Make();
  SpotPipeline pipe{app};
  std::vector<std::string> sent, serial;

  void SetUp() override {
    app.onSendLine = [this](const std::string& s) { sent.push_back(s); };
    pipe.Talk().Hooks().sendSerial = [this](const std::string& s) { serial.push_back(s); };
    app.Options().autoAnswer = true;
    app.Settings().autoAnswerString = "away";
  }
  void At(int h, int m, int s) { t.clock.SetLocal({2026, 12, 7, h, m, s, 0}); }
  void TalkFrom(const std::string& talker, SpotSource source = SpotSource::Main) {
    pipe.Talk().OnTalkShown(source, talker);
  }
};

TEST_F(TalkFixture, OneAnswerWithinFiveMinutesAnotherAfter) {
  At(12, 0, 0);
  TalkFrom("K1ABC");
  At(12, 4, 0);
  TalkFrom("K1ABC");
  ASSERT_EQ(sent, std::vector<std::string>{"t K1ABC away\r\n"});
  At(12, 9, 1);  // 301 s after the second talk
  TalkFrom("K1ABC");
  EXPECT_EQ(sent.size(), 2u);
  EXPECT_NE(app.Window(WindowId::Terminal).Text().find("t K1ABC away"), std::string::npos);
  // A different talker is answered at once.
  TalkFrom("W1AW");
  EXPECT_EQ(sent.size(), 3u);
}

TEST_F(TalkFixture, FiveMinuteRuleHoldsAcrossMidnight) {
  At(23, 59, 0);
  TalkFrom("K1ABC");
  At(0, 2, 0);  // three minutes later
  TalkFrom("K1ABC");
  EXPECT_EQ(sent.size(), 1u);
  At(0, 8, 0);
  TalkFrom("K1ABC");
  EXPECT_EQ(sent.size(), 2u);
}

TEST_F(TalkFixture, SerialSideKeepsItsOwnValuesAndEndsInCr) {
  app.Settings().talkTimeStamp = true;
  TalkFrom("K1ABC");
  TalkFrom("K1ABC", SpotSource::Serial);
  EXPECT_EQ(sent, std::vector<std::string>{"t/t K1ABC away\r\n"});
  EXPECT_EQ(serial, std::vector<std::string>{"t/t K1ABC away\r"});
  EXPECT_EQ(pipe.Talk().LastAnswered(SpotSource::Serial), "K1ABC");
  pipe.Talk().Hooks().serialIrc = [] { return true; };
  TalkFrom("nick2", SpotSource::Serial);
  EXPECT_EQ(serial.back(), "PRIVMSG nick2 :away\r");
}

TEST_F(TalkFixture, NoAnswerWhenOffButPromptAndSound) {
  app.Options().autoAnswer = false;
  app.Options().sounds = true;
  app.State().soundAvailable = true;
  TalkFrom("K1ABC");
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(app.Frame().Prompt(), TalkHandling::kF12Prompt);
  EXPECT_EQ(pipe.Speech().Text(), "\x01");
  EXPECT_EQ(pipe.Talk().F12Text(), "t K1ABC ");
  app.Settings().silenceOnTalksAndAnns = true;
  TalkFrom("W1AW");
  EXPECT_EQ(pipe.Speech().Text(), "\x01");
  app.Settings().talkTimeStamp = true;
  EXPECT_EQ(pipe.Talk().F12Text(), "t/t W1AW ");
}

TEST_F(TalkFixture, TalkPriorityRestoresTheFrameAndBringsItToFront) {
  int fronts = 0;
  pipe.Talk().Hooks().bringToFront = [&] { ++fronts; };
  app.Frame().SetMinimised(true);
  TalkFrom("K1ABC");
  EXPECT_TRUE(app.Frame().Minimised());
  EXPECT_EQ(fronts, 0);
  app.Options().talkPriority = true;
  TalkFrom("K1ABC");
  EXPECT_FALSE(app.Frame().Minimised());
  EXPECT_EQ(fronts, 1);
}

TEST(ChatReplyTest, PrivateFormAndPlainTalkers) {
  EXPECT_EQ(ChatReplyPrefix("<*bob*>"), "/M bob bob: ");
  EXPECT_EQ(ChatReplyPrefix("<*bob:away*>"), "/M bob bob: ");
  EXPECT_EQ(ChatReplyPrefix("<**>"), "<**>: ");  // too short for a nick
  EXPECT_EQ(ChatReplyPrefix("K1ABC"), "K1ABC: ");
  EXPECT_TRUE(SameChatTalker("<*Bob*>", "<bob>"));
  EXPECT_FALSE(SameChatTalker("<*Bob*>", "<bobby>"));
  EXPECT_EQ(TalkAnswerCommand("K1ABC", false), "t K1ABC ");
}

}  // namespace
}  // namespace qn
