#include "traffic/alerts.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "fakes/test_app.h"
#include "sound/speech_queue.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

TEST(AlertList, PrefixesExactCallsAndDigitAndWildcardPatterns) {
  AlertList list("VP8\r\n3Y0J.\r\nk1#\r\nJA*\r\nUA9?\r\nFT5-wanted badly\r\n");
  EXPECT_TRUE(list.MatchCall("VP8LP"));
  EXPECT_TRUE(list.MatchCall("vp8"));
  EXPECT_FALSE(list.MatchCall("VP9AA"));
  EXPECT_TRUE(list.MatchCall("3Y0J"));
  EXPECT_FALSE(list.MatchCall("3Y0JA"));
  EXPECT_TRUE(list.MatchCall("K11ABC"));
  EXPECT_FALSE(list.MatchCall("K1ABC"));
  EXPECT_FALSE(list.MatchCall("K1"));
  EXPECT_TRUE(list.MatchCall("JA1XYZ"));
  EXPECT_FALSE(list.MatchCall("JA"));
  EXPECT_TRUE(list.MatchCall("UA9?"));
  EXPECT_TRUE(list.MatchCall("UA9A"));
  EXPECT_TRUE(list.MatchCall("FT5ZM"));
  EXPECT_FALSE(list.MatchCall(""));
  EXPECT_FALSE(AlertList("").MatchCall("VP8LP"));
}

TEST(AlertList, PortableCallsMatchEitherWayRoundAndSuffixesAreSkipped) {
  AlertList list("G4ABC/F\r\nDL1XYZ\r\nEA8/OH2BH\r\n");
  EXPECT_TRUE(list.MatchCall("F/G4ABC"));
  EXPECT_TRUE(list.MatchCall("G4ABC/F"));
  EXPECT_FALSE(list.MatchCall("G4ABC/EA"));
  EXPECT_TRUE(list.MatchCall("OH2BH/EA8"));
  EXPECT_TRUE(list.MatchCall("DL1XYZ/P"));
  EXPECT_TRUE(list.MatchCall("DL1XYZ/MM"));
  EXPECT_TRUE(list.MatchCall("DL/DL1XYZ/P"));
  EXPECT_FALSE(list.MatchCall("DL/DL1XYZ/P/QRP"));  // three separators never alert
  // A portable line also alerts on the home call alone.
  EXPECT_TRUE(list.MatchCall("G4ABC"));
  EXPECT_FALSE(list.MatchCall("G4AB"));
}

TEST(AlertList, TextPatternsMatchReceivedLinesAndAreNoCallPatterns) {
  AlertList list("IOTA!\nDL1XYZ\n!\nvp8 wanted!\n");
  EXPECT_EQ(list.LinePatterns(), (std::vector<std::string>{"IOTA", "VP8 WANTED"}));
  EXPECT_FALSE(list.MatchCall("IOTA"));
  EXPECT_EQ(list.MatchLine("To ALL de K1ABC: new iota EU-123\r\n"), 22u);
  EXPECT_GT(list.MatchLine("VP8 wanted on 20m"), 0u);
  EXPECT_EQ(list.MatchLine("nothing here"), 0u);
  // Lines ended by LF alone or by blanks work as well as CR LF ones.
  EXPECT_TRUE(list.MatchCall("DL1XYZ"));
  EXPECT_TRUE(AlertList("VK9 \r\n").MatchCall("VK9X"));
  EXPECT_EQ(list.Text(), "\r\nIOTA!\r\nDL1XYZ\r\n!\r\nVP8 WANTED!\r\n");
}

TEST(AlertList, HugeListsAndLongCallsStayCheap) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "ZZ" + std::to_string(i) + "\r\n";
  text += std::string(100000, 'A') + "\r\n";
  AlertList list(text);
  EXPECT_TRUE(list.MatchCall("ZZ99999"));
  EXPECT_FALSE(list.MatchCall("ZY1"));
  EXPECT_FALSE(list.MatchCall(std::string(5000, 'A')));
}

struct AlertsFixture : ::testing::Test {
  fakes::TestApp t;
  App* app = nullptr;
  void SetUp() override {
    t.Folder().WriteAtomic("ALERT.TXT", "DL1XYZ\r\nIOTA!\r\n");
    app = &t.StartWithCall("/DEMO");
    app->Settings().alertEnabled = true;
    app->State().soundAvailable = true;
  }
  std::string Spot(const std::string& call, const std::string& freq) {
    return PadRight("DX de K1ABC:", 15) + std::string(9 - freq.size(), ' ') + freq + "  " +
           PadRight(call, 12) + " " + PadRight("cq", 31) + "1234Z\r\n";
  }
};

TEST_F(AlertsFixture, StartUpLoadsTheListAndRemovesTheLastRunsArchive) {
  fakes::TestApp other;
  other.Folder().WriteAtomic("ARCHIVE\\ALERTS.TXT", "old\r\n");
  App& a = other.StartWithCall("/DEMO");
  EXPECT_FALSE(other.Folder().Exists("ARCHIVE\\alerts.txt"));
  EXPECT_TRUE(a.SpotAlerts()->List().Empty());
  EXPECT_FALSE(app->SpotAlerts()->List().Empty());
}

TEST_F(AlertsFixture, SpotAlertMarksArchivesAndQueuesTheSoundRepetitions) {
  app->Settings().alertRepetitions = 3;
  app->Pipeline()->ProcessSpot(Spot("DL1XYZ", "14025.0"), SpotSource::Main);
  const std::string& spots = app->Window(WindowId::Spots).Text();
  EXPECT_NE(spots.find("1234Z<\r\n"), std::string::npos);
  EXPECT_NE(t.Folder().Read("ARCHIVE\\alerts.txt").value_or("").find("DL1XYZ"), std::string::npos);
  std::string q = app->Pipeline()->Speech().Text();
  EXPECT_EQ(q, std::string("\xff\x06\x06\x06 \x05") + "DL1XYZ 14025.0");
}

TEST_F(AlertsFixture, NoRepetitionsStillMarksAndArchivesButQueuesNoSound) {
  app->Settings().alertRepetitions = 0;
  app->Pipeline()->ProcessSpot(Spot("DL1XYZ", "7005.0"), SpotSource::Main);
  EXPECT_NE(app->Window(WindowId::Spots).Text().find("<\r\n"), std::string::npos);
  EXPECT_EQ(app->Pipeline()->Speech().Text().find('\x06'), std::string::npos);
  // Off: nothing happens at all.
  app->Settings().alertEnabled = false;
  app->Pipeline()->ProcessSpot(Spot("DL1XYZ", "21005.0"), SpotSource::Main);
  EXPECT_EQ(SplitLines(app->Window(WindowId::Spots).Text()).back().find('<'), std::string::npos);
}

TEST_F(AlertsFixture, LineAlertEchoesMarkedArchivesAndRaisesTheWindow) {
  int raised = 0;
  app->onRaise = [&] { ++raised; };
  app->SetProgramInFront(false);
  app->Frame().SetMinimised(true);
  Alerts& alerts = *app->SpotAlerts();
  ASSERT_GT(alerts.MatchLineAlert("To ALL de K1ABC: new iota\r\n"), 0u);
  alerts.EchoAlertLine("To ALL de K1ABC: new iota\r\n");
  EXPECT_NE(app->Window(WindowId::Terminal).Text().find("new iota<\r\n"), std::string::npos);
  EXPECT_EQ(t.Folder().Read("ARCHIVE\\alerts.txt").value_or(""), "To ALL de K1ABC: new iota\r\n");
  EXPECT_EQ(raised, 1);
  EXPECT_FALSE(app->Frame().Minimised());
  // A spot's call alert does not raise the window.
  app->Pipeline()->ProcessSpot(Spot("DL1XYZ", "14025.0"), SpotSource::Main);
  EXPECT_EQ(raised, 1);
}

}  // namespace
}  // namespace qn
