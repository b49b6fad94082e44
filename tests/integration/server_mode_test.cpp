// A copy serving an "ACCEPT" site on loopback, called by Debian's telnet
// client as a user would call it: the caller's spot reaches the spot window,
// what the user types reaches the caller, a second caller is told the station
// is busy, and after the first one leaves the copy listens again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"

namespace qn {
namespace {

const std::filesystem::path kTelnet =
    std::filesystem::path(QUILLNET_SOURCE_DIR) / "build/peers/usr/bin/inetutils-telnet";

std::size_t CountLines(const testing::ChildProcess& p, const std::string& text) {
  const auto& lines = p.Lines();
  return static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; }));
}

// Reads on until text has been seen n times, or the time is up.
bool WaitForCount(testing::ChildProcess& p, const std::string& text, std::size_t n, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    if (CountLines(p, text) >= n) return true;
    p.WaitForLine("\x01 never printed", 100);
  }
  return CountLines(p, text) >= n;
}

TEST(ServerModeEndToEnd, ATelnetCallerIsServedAndTheNextOneWaits) {
  if (!std::filesystem::exists(kTelnet)) GTEST_SKIP() << "no telnet client unpacked (tools/fetch-peers)";
  const int port = testing::FreeLoopbackPort();
  ASSERT_NE(port, 0);
  fakes::TempFolder dir;
  testing::WriteCallsign(dir);
  SiteRecord site;
  site.SetName("ACCEPT");
  site.SetAddress("127.0.0.1");  // loopback only
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(port));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  DataFolder(dir.Path()).WriteAtomic("qln.sit", std::string(site.View()));

  testing::ChildProcess q({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S", "ACCEPT"},
                          testing::ProgramEnv(dir));
  ASSERT_TRUE(q.Started());
  const std::string waiting = "status| Waiting for incoming calls (" + std::to_string(port) + ")...";
  ASSERT_NE(q.WaitForLine(waiting, 15000), "");
  EXPECT_NE(q.WaitForLine("title| Quillnet [PORT:" + std::to_string(port) + "]", 1000), "");

  {
    testing::ChildProcess caller({kTelnet.string(), "127.0.0.1", std::to_string(port)});
    ASSERT_TRUE(caller.Started());
    ASSERT_NE(caller.WaitForLine("Connected to", 10000), "");
    ASSERT_NE(q.WaitForLine("status| Connected to", 10000), "");
    caller.Write("DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z\n");
    EXPECT_NE(q.WaitForLine("spot| DX de K1ABC:     14025.0  DL1XYZ", 10000), "");
    q.Write("welcome to the gateway\n");
    EXPECT_NE(caller.WaitForLine("welcome to the gateway", 10000), "");

    testing::ChildProcess second({kTelnet.string(), "127.0.0.1", std::to_string(port)});
    EXPECT_NE(second.WaitForLine("Sorry, this station is busy with another caller", 10000), "");
    // Turned away, not kept waiting.
    EXPECT_NE(second.WaitForExit(10000), -1);
  }
  // The caller's telnet is gone: the copy notices and listens again.
  EXPECT_NE(q.WaitForLine("rx| ***  DISCONNECTED", 10000), "");
  EXPECT_TRUE(WaitForCount(q, waiting, 2, 10000));

  testing::ChildProcess next({kTelnet.string(), "127.0.0.1", std::to_string(port)});
  EXPECT_NE(next.WaitForLine("Connected to", 10000), "");
  EXPECT_TRUE(WaitForCount(q, "status| Connected to", 2, 10000));
  q.Write("::quit\n");
  EXPECT_EQ(q.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace qn
