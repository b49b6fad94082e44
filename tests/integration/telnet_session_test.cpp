// The built program against a small cluster node on loopback, driven through
// the console front end as a user would type.
#include <gtest/gtest.h>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

const std::string kIAC = "\xff";
const std::string kSpot = "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z\r\n";

std::vector<std::string> Env(const fakes::TempFolder& dir) { return testing::ProgramEnv(dir); }
void WriteCall(const fakes::TempFolder& dir) { testing::WriteCallsign(dir); }

TEST(TelnetSessionEndToEnd, LoginNegotiationDropAndReconnect) {
  testing::TestNode node([](testing::NodeConnection& c, int) {
    // Terminal type asked for, echo offered, then a login prompt.
    c.Send(kIAC + "\xfd\x18" + kIAC + "\xfb\x01" + "Welcome to the test node\r\nlogin: ");
    if (!c.ReadUntil("G4TST\n", 15000)) return;
    c.Send(kIAC + "\xfa\x18\x01" + kIAC + "\xf0");
    // A spot split at odd places, then the node goes away. Each piece ends
    // in a request for an option of its own; its refusal shows the program
    // has read the piece before the next one leaves, so every piece is a read
    // of its own.
    std::string all = "Hello G4TST\r\n" + kSpot + "G4TST de TESTNODE >\r\n";
    for (std::size_t i = 0; i < all.size(); i += 7) {
      const char option = static_cast<char>(100 + i / 7);
      c.Send(all.substr(i, 7) + kIAC + "\xfd" + option);
      if (!c.ReadUntil(kIAC + "\xfc" + option, 5000)) return;
    }
    c.ReadUntil("never", 300);
  });

  fakes::TempFolder dir;
  WriteCall(dir);
  SiteRecord site;
  site.SetName("testnode");
  site.SetAddress("127.0.0.1");
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(node.Port()));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetAutoFlags(2);  // auto reconnection, no script
  DataFolder(dir.Path()).WriteAtomic("qln.sit", std::string(site.View()));

  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S", "testnode"}, Env(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("title| Quillnet [", 10000), "");
  EXPECT_NE(p.WaitForLine("rx| login: ", 10000), "");
  p.Write("G4TST\n");
  EXPECT_NE(p.WaitForLine("rx| G4TST de TESTNODE >", 10000), "");
  EXPECT_NE(p.WaitForLine("rx| " + kSpot.substr(0, 75), 1000), "");
  // The spot arrived in pieces but is one line.
  for (const auto& l : p.Lines()) EXPECT_NE(l, "rx| DX de W3L") << "a split line";
  EXPECT_NE(p.WaitForLine("rx| ***  DISCONNECTED", 10000), "");
  std::string wire = node.Transcript(1);
  EXPECT_NE(wire.find(kIAC + "\xfb\x18"), std::string::npos);  // WILL terminal type
  EXPECT_NE(wire.find(kIAC + "\xfe\x01"), std::string::npos);  // DONT echo
  EXPECT_NE(wire.find(kIAC + "\xfa\x18" + std::string(1, '\0') + "DEC-VT100" + kIAC + "\xf0"),
            std::string::npos);
  EXPECT_NE(wire.find("G4TST\n"), std::string::npos);

  // Reconnecting needs a login script: without one the site's flag is refused
  // with a warning (the scripted reconnection has a test of its own).
  EXPECT_NE(p.WaitForLine("message| Warning: automatic connection/reconnection can't be performed", 0), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  EXPECT_EQ(node.Calls(), 1);
}

TEST(TelnetSessionEndToEnd, FloodsDoNotStopTheProgram) {
  testing::TestNode node([](testing::NodeConnection& c, int) {
    c.Send(std::string(1 << 20, 'x'));                            // a megabyte without a line end
    c.Send("\r\n" + kIAC + "\xfa\x18" + std::string(5000, 'y'));  // a subnegotiation that never ends
    c.Send(std::string(100000, '\0'));                            // a NUL flood
    c.Send("\r\nstill here\r\n");
    c.ReadUntil("b\n", 15000);
  });
  fakes::TempFolder dir;
  WriteCall(dir);
  std::string host = "telnet://127.0.0.1:" + std::to_string(node.Port()) + "/";
  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), host}, Env(dir));
  EXPECT_NE(p.WaitForLine("rx| still here", 20000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  // Closing the window logs out of the node.
  EXPECT_NE(node.Transcript(1).find("b\n"), std::string::npos);
}

TEST(TelnetSessionEndToEnd, UnreachableHostsGiveAClearMessage) {
  fakes::TempFolder dir;
  WriteCall(dir);
  // A port nobody listens on: take one from a listener and close it again.
  int freePort;
  {
    testing::TestNode probe([](testing::NodeConnection&, int) {}, 0);
    freePort = probe.Port();
  }
  for (const std::string& host : {"telnet://127.0.0.1:" + std::to_string(freePort) + "/",
                                  "telnet://[::1]:" + std::to_string(freePort) + "/"}) {
    testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), host},
                            Env(dir));
    EXPECT_NE(p.WaitForLine("message| ", 20000), "") << host;
    EXPECT_NE(p.WaitForLine("rx| ***  DISCONNECTED", 5000), "") << host;
    p.Write("::quit\n");
    EXPECT_EQ(p.WaitForExit(10000), 0);
  }
}

}  // namespace
}  // namespace qn
