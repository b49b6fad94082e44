// The lookups of the built program through the console: the shipped search
// table and the system's country file, with no helper programs installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "program_setup.h"

namespace qn {
namespace {

TEST(HeadlessLookups, SearchesPrintAddressesAndInfoPages) {
  fakes::TempFolder dir;
  testing::WriteCallsign(dir);
  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/DEMO"},
                          testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("status| Rolling Demo", 10000), "");
  // The table shipped in data/ was copied into the new folder.
  p.Write("::answer dl/g4abc\n::menu Ham Info/QRZ (TM) Online\n");
  EXPECT_NE(p.WaitForLine("url| https://www.qrz.com/db/DL%2FG4ABC", 10000), "");
  p.Write("::menu Options/Adjust PC Clock\n");
  EXPECT_NE(p.WaitForLine("message| Quillnet does not set the computer's clock", 10000), "");
  p.Write("::answer ss00\n::menu Ham Info/Locator Info\n");
  EXPECT_NE(p.WaitForLine("message| The specified locator is not valid", 10000), "");
  // Asked again: the next input line is the answer.
  EXPECT_NE(p.WaitForLine("input| Type the locator and press OK", 10000), "");
  p.Write("io91wm\n");
  EXPECT_NE(p.WaitForLine("info| IO91WM: Locator Info", 10000), "");
  EXPECT_NE(p.WaitForLine("info| Position: 51.52 N", 10000), "");
  if (std::filesystem::exists("/usr/share/hamradio-files/cty.dat")) {
    p.Write("::answer ja1xyz\n::key Ctrl+F2\n");
    EXPECT_NE(p.WaitForLine("info| JA1XYZ: Prefix Info", 10000), "");
    EXPECT_NE(p.WaitForLine("info| Country: Japan (JA)", 10000), "");
  }
  p.Write("::key Escape\n::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace qn
