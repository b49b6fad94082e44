#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "core/app_settings.h"
#include "core/positions.h"
#include "core/text.h"
#include "fakes/test_app.h"

namespace qn {
namespace {

std::vector<std::string> FileLines(const DataFolder& f, const char* name) {
  auto text = f.Read(name);
  return text ? SplitLines(*text) : std::vector<std::string>{};
}

TEST(Settings, FirstStartWritesNinetyTwoDefaultLines) {
  fakes::TestApp t;
  t.prompter.answers.push_back("g4abc");
  t.Make().StartUp("");
  auto lines = FileLines(t.Folder(), "quillnet.cfg");
  ASSERT_EQ(lines.size(), 92u);
  EXPECT_EQ(lines[1], "9600,N,8,1");
  EXPECT_EQ(lines[12], "sh/dx,di/n,");
  EXPECT_EQ(lines[85], "ALERT.WAV");
  EXPECT_EQ(lines[66], "G4ABC");  // the callsign asked for at start-up
  auto raw = *t.Folder().Read("quillnet.cfg");
  EXPECT_NE(raw.find("\r\n"), std::string::npos);
}

TEST(Settings, SerialiseParseRoundTrip) {
  AppSettings s;
  s.macros[3] = "  sh/wwv  ";
  s.idString = "G4ABC";
  s.idStringSlash = true;
  s.ownCallsign = "g4abc";
  s.waveVolume = -123456;
  s.spotColours = {1, 2};
  s.exclusionLow[9] = "14000";
  s.exclusionHigh[0] = "7000";
  s.rejectWords = "pirate";
  AppSettings r;
  EXPECT_EQ(r.Parse(s.Serialise()), 92);
  EXPECT_EQ(r, s);
}

// Every line holds a value no other line holds (flags alternate), so a field
// read from or written to the wrong line shows in the round trip.
TEST(Settings, EveryLineRoundTripsWithDistinctValues) {
  const std::set<int> flags{4,  5,  7,  8,  10, 12, 60, 64, 65, 66, 71,
                            73, 75, 76, 78, 80, 81, 82, 83, 84, 87, 90};
  const std::set<int> numbers{9, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 63, 69, 70, 72, 74, 79, 85};
  std::string file;
  for (int n = 1; n <= 92; ++n) {
    std::string v = flags.count(n)     ? ((n / 2) % 2 ? "1" : "0")
                    : numbers.count(n) ? std::to_string(100 + n)
                    : n == 77          ? "ID77/"
                                       : "V" + std::to_string(n);
    file += v + "\r\n";
  }
  AppSettings s;
  ASSERT_EQ(s.Parse(file), 92);
  EXPECT_EQ(s.Serialise(), file);
  EXPECT_EQ(s.auxPortList, "V1");
  EXPECT_EQ(s.logFolder, "V6");
  EXPECT_EQ(s.speedFactor, 109);
  EXPECT_EQ(s.macros[0], "V13");
  EXPECT_EQ(s.macros[9], "V22");
  EXPECT_EQ(s.ddeItem, "V25");
  EXPECT_EQ(s.typedInputColours, (ColourPair{126, 127}));
  EXPECT_EQ(s.talkColours, (ColourPair{134, 135}));
  EXPECT_EQ(s.exclusionLow[0], "V36");
  EXPECT_EQ(s.exclusionHigh[9], "V55");
  EXPECT_EQ(s.fontItalic, "V59");
  EXPECT_EQ(s.ownCallsign, "V67");
  EXPECT_EQ(s.tncMode, 169);
  EXPECT_EQ(s.waveVolume, 172);
  EXPECT_EQ(s.idString, "ID77");
  EXPECT_TRUE(s.idStringSlash);
  EXPECT_TRUE(s.ignoreVeryFirstConnection);  // line 83
  EXPECT_FALSE(s.alertEnabled);              // line 84
  EXPECT_EQ(s.utcOffset, "V89");
  EXPECT_EQ(s.rejectWords, "V92");
}

TEST(Settings, DefaultsAreTheFirstStartValues) {
  AppSettings s;
  EXPECT_EQ(s.auxPortSettings, "9600,N,8,1");
  EXPECT_EQ(s.macros[1], "sh/dx,");
  EXPECT_EQ(s.spotColours, (ColourPair{65535, 16711680}));
  EXPECT_EQ(s.tncMode, 1);
  EXPECT_EQ(s.waveVolume, 6767);
  EXPECT_EQ(s.idString, "ZX9QQQ");
  EXPECT_FALSE(s.idStringSlash);
  EXPECT_TRUE(s.ignoreVeryFirstConnection);
  EXPECT_EQ(s.alertRepetitions, 3);
  EXPECT_EQ(s.logFolder, DefaultLogFolder());
}

TEST(Settings, ReadingRules) {
  AppSettings s;
  auto lines = SplitLines(AppSettings().Serialise());
  lines[0] = " com2 ";
  lines[2] = "+++a";
  lines[13] = "  sh/ann  ";
  lines[66] = "  g4abc  ";
  lines[68] = "0";
  lines[76] = "g4abc/";
  lines[8] = "fast";
  std::string joined;
  for (auto& l : lines) joined += l + "\r\n";
  s.Parse(joined);
  EXPECT_EQ(s.auxPortList, "COM2");
  EXPECT_EQ(s.auxEscapeString, "+++A");
  EXPECT_EQ(s.macros[1], "  sh/ann  ");
  EXPECT_EQ(s.ownCallsign, "g4abc");  // trimmed, not upper-cased
  EXPECT_EQ(s.tncMode, 1);
  EXPECT_EQ(s.idString, "G4ABC");
  EXPECT_TRUE(s.idStringSlash);
  EXPECT_EQ(s.speedFactor, 0);  // not a number
  EXPECT_NE(s.Serialise().find("G4ABC/\r\n"), std::string::npos);
  lines[66] = "0";
  joined.clear();
  for (auto& l : lines) joined += l + "\r\n";
  s.Parse(joined);
  EXPECT_EQ(s.ownCallsign, "");
}

TEST(Settings, ShortFileKeepsItsValuesAndGainsDefaults) {
  fakes::TestApp t;
  auto lines = SplitLines(AppSettings().Serialise());
  lines[0] = "3";
  lines[66] = "G4ABC";
  lines.resize(60);
  lines[59] = "1";
  std::string text;
  for (auto& l : lines) text += l + "\r\n";
  // An older program's file: the callsign line is not there yet.
  t.Folder().WriteAtomic("quillnet.cfg", text);
  t.prompter.answers.push_back("G4ABC");
  t.Make().StartUp("");
  auto after = FileLines(t.Folder(), "quillnet.cfg");
  ASSERT_EQ(after.size(), 92u);
  EXPECT_EQ(after[0], "3");
  EXPECT_EQ(after[59], "1");
  EXPECT_EQ(after[60], AppSettings().webServerList);
  EXPECT_EQ(after[85], "ALERT.WAV");
  EXPECT_TRUE(t.app->Settings().auxInputOnly);
}

TEST(Settings, TncInstanceUsesItsOwnFile) {
  fakes::TestApp t;
  t.prompter.answers.push_back("G4ABC");
  t.Make().StartUp("/TNC");
  EXPECT_TRUE(t.Folder().Exists("qlntnc.cfg"));
  EXPECT_FALSE(t.Folder().Exists("quillnet.cfg"));
  t.app->Settings().macros[0] = "sh/dx/5";
  t.app->SaveSettings();
  EXPECT_FALSE(t.Folder().Exists("quillnet.cfg"));
  EXPECT_EQ(FileLines(t.Folder(), "qlntnc.cfg")[12], "sh/dx/5");
}

TEST(Settings, GarbageAndOverlongFilesStayReadable) {
  fakes::TestApp t;
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  t.Folder().WriteAtomic("quillnet.cfg", garbage);
  t.prompter.answers.push_back("G4ABC");
  t.Make().StartUp("");
  EXPECT_EQ(FileLines(t.Folder(), "quillnet.cfg").size(), 92u);

  fakes::TestApp u;
  AppSettings withCall;
  withCall.ownCallsign = "G4ABC";
  std::string longFile = withCall.Serialise();
  for (int i = 0; i < 10000; ++i) longFile += "extra\r\n";
  u.Folder().WriteAtomic("quillnet.cfg", longFile);
  u.prompter.answers.push_back("G4ABC");
  u.Make().StartUp("");
  // Nothing is rewritten for lines beyond 92: the file is left as it was.
  EXPECT_EQ(u.Folder().Size("quillnet.cfg"), longFile.size());
}

TEST(Settings, UnreadableFileIsNotOverwritten) {
  fakes::TestApp t;
  // Something that exists but cannot be read as a file (root reads any file,
  // so a folder of that name stands in for a file without read permission).
  fs::create_directories(t.dir.Path() / "quillnet.cfg" / "keep");
  // Start-up asks for the callsign the defaults lack and would save it.
  t.prompter.answers.push_back("G4ABC");
  t.Make().StartUp("");
  EXPECT_TRUE(fs::is_directory(t.dir.Path() / "quillnet.cfg" / "keep"));
  EXPECT_NE(t.app->Frame().Status().find("Cannot read quillnet.cfg"), std::string::npos);
  ASSERT_EQ(t.prompter.shown.size(), 2u);  // the callsign, then why it is not saved
  EXPECT_NE(t.prompter.shown[1].text.find("could not be read at start-up"), std::string::npos);
  t.app->SaveSettings();
  EXPECT_EQ(t.prompter.shown.size(), 3u);
  EXPECT_TRUE(fs::is_directory(t.dir.Path() / "quillnet.cfg" / "keep"));
}

TEST(Settings, FileWithoutReadPermissionKeepsItsBytes) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  fakes::TestApp t;
  const std::string original = "G4OLD\r\nsecret settings\r\n";
  t.Folder().WriteAtomic("quillnet.cfg", original);
  fs::permissions(t.dir.Path() / "quillnet.cfg", fs::perms::none);
  t.prompter.answers.push_back("G4ABC");
  t.Make().StartUp("");
  t.app->SaveSettings();
  fs::permissions(t.dir.Path() / "quillnet.cfg", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(t.Folder().Read("quillnet.cfg").value_or(""), original);
}

TEST(Positions, RoundTripAndDefaults) {
  Positions p;
  EXPECT_FALSE(p.ChildrenStored());
  p.frame = {0, 0, 19200, 14400};
  p.terminal = {15, 30, 9000, 6000};
  p.order = {5, 4, 3, 2, 1};
  Positions q;
  q.Parse(p.Serialise());
  EXPECT_EQ(q, p);
  EXPECT_TRUE(q.ChildrenStored());
  Positions bad;
  bad.Parse(std::string(24, '\n') + "1\r\n1\r\n1\r\n1\r\n1\r\n");
  EXPECT_EQ(bad.order, (std::array<int, 5>{1, 2, 3, 4, 5}));
}

TEST(Positions, SecondInstanceFallsBackToTheFirstFile) {
  fakes::TestApp t;
  Positions p;
  p.terminal = {150, 150, 3000, 3000};
  t.Folder().WriteAtomic("qln1.pos", p.Serialise());
  t.registry.others = {"Quillnet [dxc.example.net]", "Quillnet [TNC:1]", "Editor - notes"};
  t.StartWithCall("");
  EXPECT_EQ(t.app->State().instanceNumber, 2);
  EXPECT_EQ(t.app->WindowPositions().terminal, p.terminal);
  t.app->SavePositions();
  EXPECT_TRUE(t.Folder().Exists("qln2.pos"));
  EXPECT_EQ(PositionFileName(SessionKind::Tnc, 1), "qlntnc1.pos");
  EXPECT_EQ(PositionFileName(SessionKind::Web, 3), "qlnweb3.pos");
}

}  // namespace
}  // namespace qn
