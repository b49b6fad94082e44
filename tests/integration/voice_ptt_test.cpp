// The program spells a replayed spot through the console's sound lines and
// keys PTT on a pty standing in for a USB serial adapter; the preloaded
// modem-line recorder reports the RTS line on the same output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "child_process.h"
#include "core/app_settings.h"
#include "core/files.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"

namespace qn {
namespace {

struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) slave = ::ptsname(master);
  }
  ~Pty() {
    if (master >= 0) ::close(master);
  }
};

void WriteVoiceSetup(const fakes::TempFolder& dir, const std::string& lptLine) {
  DataFolder folder(dir.Path());
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.soundsEnabled = true;
  s.voiceSpelling = true;
  s.pttOnLpt1 = true;
  folder.WriteAtomic("quillnet.cfg", s.Serialise());
  folder.WriteAtomic("ARCHIVE\\DEMO.TXT",
                     "1\r\nDX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z\r\n");
  if (!lptLine.empty()) folder.WriteAtomic("LPTPORT.TXT", lptLine + "\r\n");
}

std::vector<std::string> SoundAndPttLines(const std::vector<std::string>& lines) {
  std::vector<std::string> r;
  for (const auto& l : lines)
    if (StartsWith(l, "sound| ") || StartsWith(l, "ptt| ") || StartsWith(l, "modem| ")) r.push_back(l);
  return r;
}

TEST(VoicePtt, SpotIsSpelledWithRtsKeyedAroundIt) {
  fakes::TempFolder dir;
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  WriteVoiceSetup(dir, pty.slave);
  auto env = testing::ProgramEnv(dir);
  env.push_back(std::string("LD_PRELOAD=") + QUILLNET_MODEM_PRELOAD);
  env.push_back("QUILLNET_MODEM_SHIM=1");
  // A sanitizer build wants its runtime first; the recorder only wraps one call.
  const char* asan = std::getenv("ASAN_OPTIONS");
  env.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") +
                "verify_asan_link_order=0");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "--replay-delay", "0", "/DEMO"},
      env);
  ASSERT_TRUE(p.Started());
  ASSERT_NE(p.WaitForLine("ptt| off", 30000), "");
  std::vector<std::string> expected{
      "modem| RTS on", "ptt| on",      "sound| spot.wav", "sound| j.wav", "sound| a.wav",   "sound| 1.wav",
      "sound| x.wav",  "sound| y.wav", "sound| z.wav",    "sound| 1.wav", "sound| 4.wav",   "sound| 0.wav",
      "sound| 2.wav",  "sound| 5.wav", "sound| pt.wav",   "sound| 0.wav", "modem| RTS off", "ptt| off"};
  EXPECT_EQ(SoundAndPttLines(p.Lines()), expected);
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

TEST(VoicePtt, EscapeCutsTheSpokenSpotShortAndReleasesTheTransmitter) {
  fakes::TempFolder dir;
  WriteVoiceSetup(dir, "");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "--replay-delay", "0", "/DEMO"},
      testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  ASSERT_NE(p.WaitForLine("sound| j.wav", 15000), "");
  p.Write("::key Escape\n");
  ASSERT_NE(p.WaitForLine("ptt| off", 5000), "");
  // The frequency, seconds away when Escape came, is never spoken.
  auto heard = SoundAndPttLines(p.Lines());
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "sound| pt.wav"), 0);
  EXPECT_EQ(heard.back(), "ptt| off");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

TEST(VoicePtt, ADeviceThatCannotBeOpenedIsReportedAndSpeechGoesOn) {
  fakes::TempFolder dir;
  WriteVoiceSetup(dir, "/dev/quillnet-no-such-adapter");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "--replay-delay", "0", "/DEMO"},
      testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("status| PTT: /dev/quillnet-no-such-adapter: cannot open it", 10000), "");
  EXPECT_NE(p.WaitForLine("sound| j.wav", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

TEST(VoicePtt, APtyWithoutModemLinesIsRefused) {
  fakes::TempFolder dir;
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  WriteVoiceSetup(dir, pty.slave + " DTR");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "--replay-delay", "0", "/DEMO"},
      testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("status| PTT: " + pty.slave + ": cannot set its DTR line", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace qn
