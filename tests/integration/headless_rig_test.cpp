// The console program tunes Hamlib's dummy rig: "rigctld -m 1" started here on
// a loopback port, "::menu Options/Tune to Spot" on the demo's spot, and rigctld
// asked afterwards what the rig was set to.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <ctime>

#include "child_process.h"
#include "core/files.h"
#include "fakes/temp_folder.h"

namespace qn {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// A port the system hands out as free; rigctld cannot be given port 0 itself.
// (Debian puts rigctld in /usr/bin; the tests start programs without a shell.)
int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(s);
  return port;
}

bool Accepts(int port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(port);
  bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

bool WaitUntilAccepting(int port) {
  for (int i = 0; i < 100; ++i) {
    if (Accepts(port)) return true;
    timespec pause{0, 50'000'000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

// Asks rigctld in its own protocol ("+f" gives "Frequency: 7185000"); returns
// the value of the answer's field. (rigctl's network model reads the split
// frequency back from the wrong VFO in Hamlib 4.5, so it is not asked.)
std::string AskOnce(int port, const std::string& command, const std::string& field) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(port);
  std::string answer;
  timeval limit{5, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    std::string line = command + "\n";
    if (write(s, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
      char buf[512];
      for (int i = 0; i < 20 && answer.find("RPRT") == std::string::npos; ++i) {
        ssize_t n = read(s, buf, sizeof buf);
        if (n <= 0) break;
        answer.append(buf, static_cast<std::size_t>(n));
      }
    }
  }
  close(s);
  auto at = answer.find(field + ": ");
  if (at == std::string::npos) return answer;
  at += field.size() + 2;
  return answer.substr(at, answer.find('\n', at) - at);
}

// rigctld now and then drops a new connection at once on a busy machine: ask
// again rather than take nothing as the answer.
std::string Ask(int port, const std::string& command, const std::string& field) {
  std::string answer;
  for (int attempt = 0; attempt < 3 && answer.empty(); ++attempt) answer = AskOnce(port, command, field);
  return answer;
}

TEST(HeadlessRig, TuneToSpotSetsTheDummyRig) {
  int port = FreePort();
  ASSERT_NE(port, 0);
  testing::ChildProcess rigctld(
      {"/usr/bin/rigctld", "-m", "1", "-T", "127.0.0.1", "-t", std::to_string(port)});
  ASSERT_TRUE(rigctld.Started());
  ASSERT_TRUE(WaitUntilAccepting(port)) << "rigctld (libhamlib-utils) did not start";

  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  folder.WriteAtomic("ARCHIVE\\DEMO.TXT",
                     "1\r\nDX de OH2XYZ:     7185.0  EA8ABC       SSB listening 7.200            1700Z\r\n");
  folder.WriteAtomic("RIG.TXT",
                     "' the dummy rig\r\nuse = rigctld\r\nport = " + std::to_string(port) + "\r\n");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "--replay-delay", "0", "/DEMO"},
      {"QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string()});
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("input| Enter your callsign", 10000), "");
  p.Write("g4tst\n");
  EXPECT_NE(p.WaitForLine("rig| Rig: 145000.00 FM", 10000), "");
  ASSERT_NE(p.WaitForLine("rx| DX de OH2XYZ:", 10000), "");

  p.Write("::menu Options/Tune to Spot\n");
  EXPECT_NE(p.WaitForLine("rig| Rig: 7185.00 LSB, split 7200.00", 10000), "");
  EXPECT_EQ(Ask(port, "+f", "Frequency"), "7185000");
  EXPECT_EQ(Ask(port, "+m", "Mode"), "LSB");
  EXPECT_EQ(Ask(port, "+s", "Split"), "1");
  EXPECT_EQ(Ask(port, "+i", "TX Frequency"), "7200000") << Ask(port, "+i", "(whole answer)");

  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace qn
