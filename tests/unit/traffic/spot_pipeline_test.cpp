#include "traffic/spot_pipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/text.h"
#include "fakes/test_app.h"
#include "traffic/spot_line.h"

namespace qn {
namespace {

std::string Spot(const std::string& spotter, const std::string& freq, const std::string& call,
                 const std::string& comment, const std::string& time) {
  return PadRight("DX de " + spotter + ":", 15) + FitRight(freq, 9) + "  " + PadRight(call, 12) + " " +
         PadRight(comment, 31) + time + "\r\n";
}

struct PipelineFixture : ::testing::Test {
  fakes::TestApp t;
  App& app = t.Make();
  SpotPipeline pipe{app};

  const std::string& SpotText() { return app.Window(WindowId::Spots).Text(); }
  std::size_t Shown(const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t at = SpotText().find(needle); at != std::string::npos;
         at = SpotText().find(needle, at + 1))
      ++n;
    return n;
  }
};

TEST_F(PipelineFixture, DuplicatesAreDroppedWhateverTheTimeBracketsOrBridgeMarker) {
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "up 2 (tnx QSO", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "up 2 (tnx QSO", "1250Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "up 2 <tnx QSO", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "up 2 (tnx QSO!*", "1234Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 1u) << SpotText();

  // The spotter is not part of the key; the DX call is.
  pipe.ProcessSpot(Spot("W2XX", "14025.0", "DL1XYZ", "up 2 (tnx QSO", "1234Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 1u);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZA", "up 2 (tnx QSO", "1234Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 2u);
  EXPECT_EQ(pipe.LastSpotLine(), Spot("K1ABC", "14025.0", "DL1XYZA", "up 2 (tnx QSO", "1234Z"));
}

TEST_F(PipelineFixture, OneDecimalAndBarePointFrequenciesMatch) {
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "14025.", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "3505.", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "3505.0", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 1u);
  EXPECT_EQ(Shown("OH2AA"), 1u);
  // Another decimal is another frequency.
  pipe.ProcessSpot(Spot("K1ABC", "14025.5", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 2u);
}

TEST_F(PipelineFixture, LongCommentsCutDifferentlyAreDuplicatesAndShortTailsIgnored) {
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "very long comment text here ab", "1234Z"),
                   SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "very long comment text here xy", "1234Z"),
                   SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 1u);
  // A key is never empty enough to match everything.
  DuplicateKeys keys = MakeDuplicateKeys("DX de :\r\n");
  EXPECT_FALSE(FindDuplicate("anything at all", keys).Any());
}

TEST_F(PipelineFixture, OnlyTheLastTenThousandCharactersAreSearched) {
  std::string first = Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z");
  pipe.ProcessSpot(first, SpotSource::Main);
  app.Append(WindowId::Spots, std::string(kDuplicateSearchSpan - 100, 'x') + "\r\n");
  pipe.ProcessSpot(first, SpotSource::Main);  // still within reach
  EXPECT_EQ(Shown("DL1XYZ"), 1u);
  app.Append(WindowId::Spots, std::string(200, 'x') + "\r\n");
  pipe.ProcessSpot(first, SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 2u);
}

TEST(SpotAgeWindowTest, FifteenMinutesEitherSideAcrossMidnight) {
  double at0005 = 5 * 60;
  EXPECT_TRUE(WithinSpotAgeWindow("2355Z", at0005));
  EXPECT_TRUE(WithinSpotAgeWindow("2350Z", at0005));
  EXPECT_FALSE(WithinSpotAgeWindow("2345Z", at0005));
  EXPECT_TRUE(WithinSpotAgeWindow("0020Z", at0005));
  EXPECT_FALSE(WithinSpotAgeWindow("0021Z", at0005));
  double noon = 12 * 3600;
  EXPECT_TRUE(WithinSpotAgeWindow("1145Z", noon));
  EXPECT_FALSE(WithinSpotAgeWindow("1144Z", noon));
  EXPECT_TRUE(WithinSpotAgeWindow("1215Z", noon));
  EXPECT_FALSE(WithinSpotAgeWindow("1216Z", noon));
  double at2355 = 23 * 3600 + 55 * 60;
  EXPECT_TRUE(WithinSpotAgeWindow("0010Z", at2355));
  EXPECT_FALSE(WithinSpotAgeWindow("0011Z", at2355));
  EXPECT_FALSE(WithinSpotAgeWindow("    Z", noon));
}

TEST_F(PipelineFixture, OldSpotsAreRejectedOnlyWhenAskedWithTheUtcOffset) {
  t.clock.SetLocal({2026, 12, 7, 13, 0, 0, 0});
  app.Settings().utcOffset = "-1";
  std::string old = Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1144Z");
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1145Z"), SpotSource::Main);
  pipe.ProcessSpot(old, SpotSource::Main);
  EXPECT_EQ(Shown("OH2AA") + Shown("DL1XYZ"), 2u);
  app.Window(WindowId::Spots).Clear();
  app.Settings().rejectOldSpots = true;
  ASSERT_EQ(app.UtcNow().hour, 12);
  pipe.ProcessSpot(old, SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1145Z"), SpotSource::Main);
  EXPECT_EQ(Shown("DL1XYZ"), 0u);
  EXPECT_EQ(Shown("OH2AA"), 1u);
}

TEST_F(PipelineFixture, FiltersDropSilentlyAndSeeTheSpotterAndFrequency) {
  std::string seenFreq, seenSpotter;
  pipe.Hooks().passesFrequencyAndWords = [&](const std::string& f, const std::string&) {
    seenFreq = f;
    return f != "7005.0";
  };
  pipe.Hooks().passesArea = [&](const std::string& s) {
    seenSpotter = s;
    return s != "JA1XX";
  };
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1145Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("JA1XX", "14025.0", "DL1XYZ", "cq", "1145Z"), SpotSource::Main);
  EXPECT_EQ(seenFreq, "14025.0");
  EXPECT_EQ(seenSpotter, "JA1XX");
  EXPECT_TRUE(SpotText().empty());
  EXPECT_TRUE(pipe.LastAccepted().dxCall.empty());
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1145Z"), SpotSource::Main);
  EXPECT_EQ(pipe.LastAccepted().dxCall, "DL1XYZ");
  EXPECT_EQ(pipe.LastAccepted().frequency, "14025.0");
}

struct AlertFixture : PipelineFixture {
  void SetUp() override {
    app.State().soundAvailable = true;
    pipe.Hooks().alertsActive = [] { return true; };
    pipe.Hooks().matchCallAlert = [](const std::string& c) { return c == "DL1XYZ" || c == "W1AW"; };
  }
};

TEST_F(AlertFixture, AlertSpotIsMarkedArchivedAndSpoken) {
  std::string line = Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z");
  pipe.ProcessSpot(line, SpotSource::Main);
  std::string bare(WithoutLineEnd(line));
  EXPECT_EQ(SpotText(), bare + "<\r\n");
  EXPECT_EQ(app.Folder().Read("archive\\ALERTS.TXT").value_or(""), bare + "\r\n");
  EXPECT_EQ(pipe.LastSpotLine(), line);
  // Voice spelling is off, but an alert is spoken anyway.
  EXPECT_EQ(pipe.Speech().Text(), std::string(1, SpeechQueue::kStartMark) + "DL1XYZ 14025.0");

  // A second copy leaves the shared archive alone.
  pipe.SetSecondCopy(true);
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(app.Folder().Read("ARCHIVE\\alerts.txt").value_or(""), bare + "\r\n");
}

TEST_F(AlertFixture, SpotterAlertSpeaksTheSpotter) {
  pipe.ProcessSpot(Spot("W1AW", "14025.0", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  EXPECT_NE(SpotText().find("<\r\n"), std::string::npos);
  EXPECT_EQ(pipe.Speech().Text(), std::string(1, SpeechQueue::kStartMark) + "W1AW 14025.0");
  EXPECT_EQ(pipe.LastAccepted().dxCall, "W1AW");
}

TEST_F(AlertFixture, NoAlertWhenAlertsAreOffAndPlainSpotsAreSpokenOnlyWithVoiceSpelling) {
  pipe.Hooks().alertsActive = [] { return false; };
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(SpotText().find('<'), std::string::npos);
  EXPECT_TRUE(pipe.Speech().Empty());
  app.Options().voiceSpell = true;
  app.Options().sounds = true;
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(pipe.Speech().Text(), std::string("\x03\x05OH2AA 7005.0"));
}

TEST_F(PipelineFixture, DxHunterRecordAndSwitchOffAfterTenFailures) {
  std::filesystem::path logDir = t.dir.Path() / "dxh";
  app.Settings().logFolder = logDir.string() + "/";
  app.Options().linkToDxHunter = true;
  std::string line = Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z");
  pipe.ProcessSpot(line, SpotSource::Main);
  EXPECT_EQ(DataFolder(logDir).Read("spots.txt").value_or(""), "\a" + line);

  // A file where the folder should be: every attempt fails.
  std::ofstream(t.dir.Path() / "blocked") << "x";
  app.Settings().logFolder = (t.dir.Path() / "blocked").string() + "/";
  app.Frame().SetChecked("mnulink", true);
  std::int64_t before = t.clock.NowMs();
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(t.clock.NowMs() - before, 9 * kSpotsFileRetryMs);  // nine pauses between ten attempts
  EXPECT_FALSE(app.Options().linkToDxHunter);
  EXPECT_FALSE(app.Frame().Item("mnulink").checked);
  EXPECT_EQ(Shown("OH2AA"), 1u);  // the spot itself is not lost
}

TEST_F(PipelineFixture, FirstWebRetrievalAndSecondCopyKeepSpotsTxtUntouched) {
  std::filesystem::path logDir = t.dir.Path() / "dxh";
  app.Settings().logFolder = logDir.string();
  app.Options().linkToDxHunter = true;
  pipe.Hooks().ignoringFirstWebRetrieval = [] { return true; };
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  pipe.Hooks().ignoringFirstWebRetrieval = nullptr;
  pipe.SetSecondCopy(true);
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1234Z"), SpotSource::Main);
  EXPECT_FALSE(std::filesystem::exists(logDir / "spots.txt"));
  EXPECT_TRUE(app.Options().linkToDxHunter);
}

TEST_F(PipelineFixture, MinimisedCaptionCarriesTheLastSpot) {
  app.Frame().SetTitle("OH2AA,7005.0>Quillnet [Telnet] - node");
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(app.Frame().Title(), "OH2AA,7005.0>Quillnet [Telnet] - node");  // not minimised
  app.Frame().SetMinimised(true);
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL2XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_EQ(app.Frame().Title(), "DL2XYZ,14025.0>Quillnet [Telnet] - node");
}

TEST_F(PipelineFixture, HostileLinesAreCutToTheLayout) {
  std::string huge = "DX de K1ABC:  14025.0 DL1XYZ " + std::string(10000, 'A') + "\r\n";
  pipe.ProcessSpot(huge, SpotSource::Main);
  std::string nuls = "DX de K1ABC:  14025.0 OH2AA " + std::string("a\0b\a\ac", 7) + " 1234Z\r\n";
  pipe.ProcessSpot(nuls, SpotSource::Serial);
  pipe.ProcessSpot("", SpotSource::Main);
  auto lines = SplitLines(SpotText());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_LE(lines[0].size(), kSpotLineWidth);
  EXPECT_NE(lines[1].find("OH2AA"), std::string::npos);
}

TEST_F(PipelineFixture, HandOverHooksRespectSourceAndSettings) {
  std::vector<std::string> serial, link;
  pipe.accepted.Subscribe([&](const SpotRecord& s, SpotSource) { serial.push_back(s.dxCall); });
  pipe.linkOutput.Subscribe([&](const std::string& l) { link.push_back(l); });
  app.State().sessionKind = SessionKind::Web;
  app.Settings().webDdeOut = true;
  pipe.ProcessSpot(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  pipe.ProcessSpot(Spot("K1ABC", "7005.0", "OH2AA", "cq", "1234Z"), SpotSource::Link);
  EXPECT_EQ(serial, (std::vector<std::string>{"DL1XYZ", "OH2AA"}));
  ASSERT_EQ(link.size(), 1u);
  EXPECT_NE(link[0].find("DL1XYZ"), std::string::npos);
}

// The instance as the program assembles it feeds its pipeline from the
// classified traffic.
TEST(PipelineWiring, ClassifiedLinesReachThePipelineOfAnInstance) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  ASSERT_GE(app.Events().spotLine.Count(), 1u);
  app.Events().spotLine.Fire(Spot("K1ABC", "14025.0", "DL1XYZ", "cq", "1234Z"), SpotSource::Main);
  EXPECT_NE(app.Window(WindowId::Spots).Text().find("DL1XYZ"), std::string::npos);
  app.Options().sounds = true;
  app.State().soundAvailable = true;
  app.Events().announcementShown.Fire("To ALL de K1ABC: hi\r\n");
  EXPECT_EQ(app.Pipeline()->Speech().Text(), "\x02");
}

}  // namespace
}  // namespace qn
