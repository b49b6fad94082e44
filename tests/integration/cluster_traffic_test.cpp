// A realistic mixed stream from a node on loopback, through the built program:
// what lands in which window, what is dropped, and what ALERT.TXT and
// FILTER.TXT in the data folder do.
#include <gtest/gtest.h>

#include <algorithm>

#include "child_process.h"
#include "core/app_settings.h"
#include "core/files.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

std::string SpotLine(const std::string& spotter, const std::string& freq, const std::string& call,
                     const std::string& comment, const std::string& time) {
  return PadRight("DX de " + spotter + ":", 15) + std::string(9 - freq.size(), ' ') + freq + "  " +
         PadRight(call, 12) + " " + PadRight(comment, 31) + time;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& prefix, const std::string& part) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return StartsWith(l, prefix) && l.find(part) != std::string::npos;
  }));
}

TEST(ClusterTrafficEndToEnd, MixedStreamLandsInItsWindowsWithFiltersAndAlerts) {
  const std::string spotDl = SpotLine("DL8ABC", "7012.5", "VK2DEF", "599 long path", "1701Z");
  const std::string spotJa = SpotLine("JA1AAA", "14025.0", "OH2BH", "CQ (tnx", "1702Z");
  const std::string spotW = SpotLine("W3LPL", "21074.0", "ZS6AB", "FT8", "1703Z");  // area filter drops it
  const std::string spotVp8 = SpotLine("DL1XX", "14195.0", "VP8LP", "up 5", "1704Z");
  const std::string stream =
      spotDl + "\r\n" + spotJa + "\r\n" + spotW + "\r\n" +
      SpotLine("DL8ABC", "7012.5", "VK2DEF", "599 long path", "1709Z") + "\r\n" +  // again, later
      SpotLine("JA1AAA", "14025.0", "OH2BH", "CQ <tnx", "1702Z") + "\r\n" +        // "<" for "("
      spotVp8 + "\r\n" + "To ALL de DL1ABC: contest this weekend\a\a\r\n" +
      "To ALL de DL1ABC: contest this weekend\r\n" +
      "WWV de W0MU <18>:   SFI=148, A=5, K=1, No Storms -> No Storms\r\n" +
      "WCY de DK0WCY-1 <17> : K=2 expK=3 A=12 R=93 SFI=146 SA=eru GMF=qui Au=no\r\n" +
      "WX de DL1ABC: rain and wind\r\n" + "DL1ABC talks: are you on 40m tonight?\r\n" +
      "              I will be on 7012\r\n" + "K1ABC says: nobody rang for this\r\n" +
      "To ALL de OH2AA: new one for the IOTA chasers\r\n" + "G4TST de TESTNODE >\r\n";

  testing::TestNode node([&](testing::NodeConnection& c, int) {
    c.Send("login: ");
    if (!c.ReadUntil("G4TST\n", 15000)) return;
    // Odd pieces, as a busy node's segments arrive.
    for (std::size_t i = 0; i < stream.size(); i += 37) c.Send(stream.substr(i, 37));
    c.ReadUntil("b\n", 20000);
  });

  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.dxDeFilterEnabled = true;
  s.alertEnabled = true;
  folder.WriteAtomic("quillnet.cfg", s.Serialise());
  folder.WriteAtomic("FILTER.TXT", "' where the spotters are\r\nDL\r\nJA\r\n");
  folder.WriteAtomic("ALERT.TXT", "VP8\r\nIOTA!\r\n");

  std::string host = "telnet://127.0.0.1:" + std::to_string(node.Port()) + "/";
  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), host},
                          testing::ProgramEnv(dir));
  ASSERT_NE(p.WaitForLine("rx| login: ", 10000), "");
  p.Write("G4TST\n");
  ASSERT_NE(p.WaitForLine("rx| G4TST de TESTNODE >", 15000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  const auto& out = p.Lines();

  // Spots: the two accepted once each, the alert marked, the filtered one gone.
  EXPECT_EQ(Count(out, "spot| ", "VK2DEF"), 1u);
  EXPECT_EQ(Count(out, "spot| ", "OH2BH"), 1u);
  EXPECT_EQ(Count(out, "spot| ", "ZS6AB"), 0u);
  EXPECT_EQ(Count(out, "spot| ", spotVp8 + "<"), 1u);
  // Everything still reached the terminal.
  EXPECT_EQ(Count(out, "rx| ", "ZS6AB"), 1u);
  EXPECT_EQ(Count(out, "rx| ", "VK2DEF"), 2u);

  // Announcements and bulletins, the repeat left out, the bells taken off.
  EXPECT_EQ(Count(out, "ann| ", "To ALL de DL1ABC: contest this weekend"), 1u);
  EXPECT_EQ(Count(out, "ann| ", "\\x07"), 0u);
  EXPECT_EQ(Count(out, "ann| WWV de W0MU", ""), 1u);
  EXPECT_EQ(Count(out, "ann| WCY de DK0WCY", ""), 1u);
  EXPECT_EQ(Count(out, "ann| WX de DL1ABC", ""), 1u);
  EXPECT_EQ(Count(out, "ann| ", "nobody rang"), 0u);

  // The talk and its follow-on line.
  EXPECT_EQ(Count(out, "talk| DL1ABC talks: are you on 40m", ""), 1u);
  EXPECT_EQ(Count(out, "talk| ", "I will be on 7012"), 1u);
  EXPECT_EQ(Count(out, "prompt| F12: talk answer", ""), 1u);

  // The text alert: echoed with "<" and archived with the spot alert.
  EXPECT_EQ(Count(out, "rx| To ALL de OH2AA: new one for the IOTA chasers<", ""), 1u);
  std::string archive = folder.Read("ARCHIVE\\alerts.txt").value_or("");
  EXPECT_NE(archive.find(spotVp8 + "\r\n"), std::string::npos) << archive;
  EXPECT_NE(archive.find("IOTA chasers\r\n"), std::string::npos) << archive;
}

}  // namespace
}  // namespace qn
