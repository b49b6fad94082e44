// Starts the built program with the console front end on a fresh data folder
// and drives it as a user of a terminal would.
#include <gtest/gtest.h>

#include <fstream>

#include "child_process.h"
#include "core/files.h"
#include "core/text.h"
#include "fakes/temp_folder.h"

namespace qn {
namespace {

std::vector<std::string> Args(const fakes::TempFolder& dir, std::vector<std::string> more) {
  std::vector<std::string> a = {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string()};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

std::vector<std::string> Env(const fakes::TempFolder& dir) {
  return {"QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string()};
}

TEST(HeadlessDemo, ReplaysTheDemoAndQuits) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  // A quick demo of our own; the first start must not overwrite it.
  std::string spot = "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z";
  folder.WriteAtomic("ARCHIVE\\DEMO.TXT", "1\r\n" + spot + "\r\nTo ALL de DL8ABC: hello\r\n");

  testing::ChildProcess p(Args(dir, {"--replay-delay", "0", "/DEMO"}), Env(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("input| Enter your callsign", 10000), "");
  p.Write("g4tst/p\n");
  EXPECT_NE(p.WaitForLine("status| Rolling Demo", 10000), "");
  EXPECT_NE(p.WaitForLine("rx|  Received Text:", 10000), "");
  std::string replayed = p.WaitForLine("rx| DX de W3LPL:", 10000);
  ASSERT_NE(replayed, "");
  // The time field is the current UTC time, so only the shape is fixed.
  EXPECT_EQ(replayed.size(), 4 + spot.size());
  EXPECT_EQ(replayed.substr(4, 70), spot.substr(0, 70));
  EXPECT_NE(p.WaitForLine("rx| To ALL de DL8ABC: hello", 10000), "");

  auto cfg = folder.Read("quillnet.cfg");
  ASSERT_TRUE(cfg);
  auto lines = SplitLines(*cfg);
  ASSERT_EQ(lines.size(), 92u);
  EXPECT_EQ(lines[66], "G4TST");

  // A toggle reports where it stands after each switch.
  p.Write("::menu Options/Talk Priority\n");
  EXPECT_NE(p.WaitForLine("menu| Options/Talk Priority: on", 10000), "");
  p.Write("::menu Options/Talk Priority\n");
  EXPECT_NE(p.WaitForLine("menu| Options/Talk Priority: off", 10000), "");
  p.Write("::menu File/Bogus\n");
  EXPECT_NE(p.WaitForLine("error| unknown menu command File/Bogus", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

TEST(HeadlessDemo, EndOfInputCancelsTheCallsignPromptAndKeepsRunning) {
  fakes::TempFolder dir;
  testing::ChildProcess p(Args(dir, {"/DEMO"}), Env(dir));
  ASSERT_TRUE(p.Started());
  p.CloseInput();
  EXPECT_NE(p.WaitForLine("status| Rolling Demo", 10000), "");
  // The shipped demo was copied into the new folder.
  EXPECT_TRUE(DataFolder(dir.Path()).Exists("ARCHIVE\\DEMO.TXT"));
  EXPECT_EQ(p.WaitForExit(500), -1);  // still running: a gateway runs without a console
}

TEST(HeadlessDemo, QuitWhileTheCallsignIsAskedEndsTheProgram) {
  fakes::TempFolder dir;
  testing::ChildProcess p(Args(dir, {"/DEMO"}), Env(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("input| Enter your callsign", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  // Not taken as a callsign.
  auto cfg = DataFolder(dir.Path()).Read("quillnet.cfg");
  EXPECT_TRUE(!cfg || cfg->find("::QUIT") == std::string::npos);
}

TEST(HeadlessDemo, PersonalInfoThroughTheMenu) {
  fakes::TempFolder dir;
  testing::ChildProcess p(Args(dir, {"/DEMO"}), Env(dir));
  ASSERT_TRUE(p.Started());
  p.Write("G4TST\n");
  EXPECT_NE(p.WaitForLine("status| Rolling Demo", 10000), "");
  p.Write("::menu Configuration/Personal Info\n");
  EXPECT_NE(p.WaitForLine("input| Your Callsign", 10000), "");
  p.Write("\n");
  EXPECT_NE(p.WaitForLine("input| Your Locator", 10000), "");
  p.Write("jn54\n5:30\n");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  auto lines = SplitLines(*DataFolder(dir.Path()).Read("quillnet.cfg"));
  EXPECT_EQ(lines[66], "G4TST");  // an empty box keeps the callsign
  EXPECT_EQ(lines[87], "JN54AA");
  EXPECT_EQ(lines[88], "5:30");
}

TEST(HeadlessDemo, UnusableDataFolderIsReported) {
  fakes::TempFolder dir;
  auto file = dir.Path() / "not-a-folder";
  std::ofstream(file) << "x";
  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", file.string(), "/DEMO"}, Env(dir));
  EXPECT_EQ(p.WaitForExit(10000), 1);
  // The window program reports it too, and still ends.
  testing::ChildProcess gui(
      {QUILLNET_BINARY, "--data-dir", file.string(), "/DEMO"},
      {"QT_QPA_PLATFORM=offscreen", "QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string()});
  EXPECT_EQ(gui.WaitForExit(10000), 1);
}

TEST(HeadlessDemo, HelpAndBadOptions) {
  testing::ChildProcess help({QUILLNET_BINARY, "--help"});
  EXPECT_NE(help.WaitForLine("Usage: quillnet", 10000), "");
  EXPECT_EQ(help.WaitForExit(10000), 0);
  testing::ChildProcess bad({QUILLNET_BINARY, "--nonsense"});
  EXPECT_EQ(bad.WaitForExit(10000), 2);
}

}  // namespace
}  // namespace qn
