// The automatic answer cannot be turned into a flood: each talker once in a
// span, all talkers together a few times a minute, and never an answer to an
// automatic answer (two copies of the program would otherwise talk forever).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_app.h"
#include "traffic/spot_pipeline.h"
#include "traffic/talk_handling.h"

namespace qn {
namespace {

struct AnswerLimits : ::testing::Test {
  fakes::TestApp t;
  App& app = t.Make();
  SpotPipeline pipe{app};
  std::vector<std::string> sent;
  int second = 0;

  void SetUp() override {
    app.onSendLine = [this](const std::string& s) { sent.push_back(s); };
    app.Options().autoAnswer = true;
    app.Settings().autoAnswerString = "QRL, back later 73";
    At(0);
  }
  // Seconds after 12:00:00.
  void At(int s) {
    second = s;
    t.clock.SetLocal({2026, 12, 7, 12 + s / 3600, (s / 60) % 60, s % 60, 0});
  }
  void TalkFrom(const std::string& talker, const std::string& text = "hello") {
    pipe.Talk().OnTalkShown(SpotSource::Main, talker, "G4TST de " + talker + ": " + text + "\r\n");
  }
};

TEST_F(AnswerLimits, AlternatingTalkersAreEachAnsweredOnceInTheSpan) {
  for (int i = 0; i < 40; ++i) {
    At(i * 5);
    TalkFrom(i % 2 ? "K1ABC" : "W1AW");
  }
  EXPECT_EQ(sent,
            (std::vector<std::string>{"t W1AW QRL, back later 73\r\n", "t K1ABC QRL, back later 73\r\n"}));
  // Quiet for longer than the span: the next talk is answered again.
  At(200 + TalkHandling::kAnswerAgainAfter + 1);
  TalkFrom("W1AW");
  EXPECT_EQ(sent.size(), 3u);
}

TEST_F(AnswerLimits, ManyTalkersGetAFewAnswersAMinute) {
  for (int i = 0; i < 120; ++i) {
    At(i / 2);  // two new talkers a second, for a minute
    TalkFrom("K" + std::to_string(i) + "AA");
  }
  EXPECT_EQ(sent.size(), static_cast<std::size_t>(TalkHandling::kMaxAnswersPerMinute));
  At(61);
  TalkFrom("N1NEW");
  EXPECT_EQ(sent.size(), static_cast<std::size_t>(TalkHandling::kMaxAnswersPerMinute) + 1);
}

TEST_F(AnswerLimits, AnAutomaticAnswerIsNeverAnswered) {
  TalkFrom("K1ABC", "QRL, back later 73");
  TalkFrom("G4XYZ", "t G4TST QRL, back later 73");
  EXPECT_TRUE(sent.empty());
  TalkFrom("K1ABC", "are you there?");
  EXPECT_EQ(sent.size(), 1u);
}

}  // namespace
}  // namespace qn
