#include <gtest/gtest.h>

#include "core/replay.h"
#include "core/text.h"
#include "fakes/test_app.h"

namespace qn {
namespace {

std::string Spot(const std::string& call, const std::string& time) {
  // 75 columns: time at 71-74 and "Z" at 75.
  std::string line = PadRight("DX de K1ABC:     14025.0  " + call, 70) + time + "Z";
  return line;
}

TEST(StartUp, WindowsGetTheirHeadersInStackingOrder) {
  fakes::TestApp t;
  App& app = t.StartWithCall("/DEMO");
  EXPECT_EQ(app.Window(WindowId::Announcements).Text(), " Received Announcements:\r\n");
  EXPECT_EQ(app.Window(WindowId::Talks).Text(), " Received Talks:\r\n");
  EXPECT_EQ(app.Window(WindowId::Spots).Text(), " Received DX Spots:\r\n");
  EXPECT_TRUE(StartsWith(app.Window(WindowId::Terminal).Text(), " Received Text:\r\n Tips: Double click"));
  EXPECT_EQ(app.Frame().Title(), "Quillnet");
  EXPECT_EQ(app.Frame().Prompt(), "For Help, press F1");
}

TEST(StartUp, AlertsArchiveIsRemovedAndSplashCloses) {
  fakes::TestApp t;
  t.Folder().WriteAtomic("ARCHIVE\\ALERTS.TXT", "old alert\r\n");
  App& app = t.StartWithCall("");
  EXPECT_FALSE(t.Folder().Exists("ARCHIVE\\alerts.txt"));
  EXPECT_TRUE(app.Frame().SplashVisible());
  t.loop.Advance(3000);
  EXPECT_FALSE(app.Frame().SplashVisible());
}

TEST(StartUp, ClockShowsUtcFromTheOffset) {
  fakes::TestApp t;
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.utcOffset = "-1:30";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  t.Make().StartUp("");
  EXPECT_EQ(t.app->Frame().Time(), "00:00:00");
  t.loop.Advance(250);
  // Local 12:00:00.25 minus an hour and a half.
  EXPECT_EQ(t.app->Frame().Time(), "10:30:00");
}

TEST(StartUp, KindsSetTheirTitles) {
  fakes::TestApp t;
  App& tnc = t.StartWithCall("/TNC");
  EXPECT_EQ(tnc.Frame().Title(), "Quillnet [TNC:1]");
  EXPECT_EQ(t.registry.ownTitle, "Quillnet [TNC:1]");
  fakes::TestApp w;
  App& web = w.StartWithCall("/WEB");
  EXPECT_TRUE(StartsWith(web.Frame().Title(), "Quillnet [Web:"));
  EXPECT_EQ(web.Frame().Status(), "F11: manual refresh");
}

TEST(StartUp, InstancesAreCountedByKind) {
  fakes::TestApp t;
  t.registry.others = {"Quillnet [TNC:1]", "Quillnet [TNC:2]", "Quillnet [Web:x]", "Quillnet",
                       "Quillnet [node]"};
  EXPECT_EQ(t.StartWithCall("/TNC").State().instanceNumber, 3);
  fakes::TestApp u;
  u.registry.others = t.registry.others;
  EXPECT_EQ(u.StartWithCall("/WEB").State().instanceNumber, 2);
}

TEST(StartUp, CallsignPromptGivesUpWhenInputIsClosed) {
  fakes::TestApp t;
  t.prompter.closed = true;
  t.Folder().WriteAtomic("ARCHIVE\\DEMO.TXT", "1\r\nline\r\n");
  t.Make().StartUp("/DEMO");
  EXPECT_EQ(t.app->Settings().ownCallsign, "");
  EXPECT_EQ(t.app->Frame().Status(), "Rolling Demo");
}

class ReplayTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { t.Folder().WriteAtomic("ARCHIVE\\DEMO.TXT", text); }
  std::vector<std::string> TerminalLinesAfterHeader() {
    auto lines = SplitLines(t.app->Window(WindowId::Terminal).Text());
    return {lines.begin() + 3, lines.end()};
  }
  fakes::TestApp t;
};

TEST_F(ReplayTest, FirstLineAfterSixtySecondsThenRandomPauses) {
  Write("5\r\nfirst line\r\nsecond line\r\n");
  App& app = t.StartWithCall("/DEMO");
  ASSERT_NE(app.ReplayMode(), nullptr);
  std::vector<double> randoms = {0.0, 0.99, 0.5};
  std::size_t r = 0;
  app.ReplayMode()->random = [&] { return randoms[r++ % randoms.size()]; };
  t.loop.Advance(59999);
  EXPECT_TRUE(TerminalLinesAfterHeader().empty());
  t.loop.Advance(1);
  EXPECT_EQ(TerminalLinesAfterHeader(), std::vector<std::string>{"first line"});
  // int(5 * 0.0) + 1 = 1 second.
  EXPECT_EQ(app.ReplayMode()->CurrentIntervalMs(), 1000);
  t.loop.Advance(1000);
  // int(5 * 0.99) + 1 = 5 seconds.
  EXPECT_EQ(app.ReplayMode()->CurrentIntervalMs(), 5000);
  t.loop.Advance(5000);
  // After the last line the file starts again with its second line.
  EXPECT_EQ(TerminalLinesAfterHeader(),
            (std::vector<std::string>{"first line", "second line", "first line"}));
}

TEST_F(ReplayTest, ZeroPauseMeansTwentyAndPausesStayInRange) {
  Write("0\r\nx\r\n");
  App& app = t.StartWithCall("/DEMO");
  EXPECT_EQ(app.ReplayMode()->LongestPauseSeconds(), 20);
  t.loop.Advance(60000);
  for (int i = 0; i < 200; ++i) {
    int ms = app.ReplayMode()->CurrentIntervalMs();
    ASSERT_GE(ms, 1000);
    ASSERT_LE(ms, 20000);
    t.loop.Advance(ms);
  }
}

TEST_F(ReplayTest, SpotLinesGetTheCurrentUtcTimeAndGoToThePipeline) {
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.utcOffset = "2";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  Write("3\r\n" + Spot("DL1XYZ", "0000") + "\r\nnot a spot\r\n");
  t.Make().StartUp("/DEMO");
  std::vector<std::string> spots;
  t.app->ReplayMode()->onSpotLine = [&](const std::string& l) { spots.push_back(l); };
  t.loop.Advance(60000);
  ASSERT_EQ(spots.size(), 1u);
  // Local 12:01 plus two hours.
  EXPECT_EQ(spots[0].substr(70), "1401Z");
  EXPECT_EQ(TerminalLinesAfterHeader().at(0), spots[0]);
}

TEST(ReplayStamp, OnlyTheFirstZFromColumn74Counts) {
  std::string zBefore = "DX de Z1ZZ:  " + std::string(57, ' ') + "1234Z  Z";
  EXPECT_EQ(Replay::StampSpotTime(zBefore, "0909").substr(70, 5), "0909Z");
  EXPECT_EQ(Replay::StampSpotTime("DX de short line", "0909"), "DX de short line");
}

TEST_F(ReplayTest, MissingDemoFileReplaysNothingAndSaysSo) {
  App& app = t.StartWithCall("/DEMO");
  t.loop.Advance(120000);
  EXPECT_TRUE(TerminalLinesAfterHeader().empty());
  EXPECT_EQ(app.Frame().Status(), "No demo traffic: ARCHIVE\\DEMO.TXT is missing or empty");
}

TEST(Menu, AnItemIsFoundByTheCaptionItShowsNow) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  int runs = 0;
  MenuTable table;
  table.Add({"mnux", "&File", "&Open Thing...", "", [&] { ++runs; }, 9});
  std::string shown;
  auto caption = [&](const MenuAction&) { return shown; };
  EXPECT_NE(table.Find("File/Open Thing", caption), nullptr);
  shown = "&Close Thing";
  EXPECT_EQ(table.Find("File/Open Thing", caption), nullptr);
  ASSERT_NE(table.Find("file/close thing", caption), nullptr);
  // The program's own changing item, as a console user names it.
  app.Frame().SetCaption("mnucapture", "&Close Capture File");
  EXPECT_FALSE(app.RunMenu("File/Open Capture File"));
  EXPECT_TRUE(app.RunMenu("File/Close Capture File"));
}

TEST(Menu, ExitClosesThroughTheTable) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  bool quit = false;
  app.onQuit = [&] { quit = true; };
  EXPECT_FALSE(app.RunMenu("File/Bogus"));
  EXPECT_TRUE(app.PressKey("shift+f3"));
  EXPECT_TRUE(quit);
  EXPECT_TRUE(app.Closed());
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

TEST(StartUp, HandedOverSitesReachAFreshDataFolder) {
  fakes::TestApp t;
  SiteRecord r;
  r.SetName("newnode");
  r.SetAddress("new.example");
  t.Folder().WriteAtomic("add.sit", std::string(r.View()));
  t.Folder().WriteAtomic("add.txt", "newnode\r\n");
  t.StartWithCall("");
  auto records = ParseSiteFile(*t.Folder().Read("qln.sit"));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Name(), "newnode");
  EXPECT_FALSE(t.Folder().Exists("add.txt"));
}

TEST(StartUp, OnlyTelnetInstancesApplyTheSiteUpdate) {
  fakes::TestApp t;
  t.Folder().WriteAtomic("kill.txt", "x\r\n");
  t.StartWithCall("/TNC");
  EXPECT_TRUE(t.Folder().Exists("kill.txt"));
}

}  // namespace
}  // namespace qn
