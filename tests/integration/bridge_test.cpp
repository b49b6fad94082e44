// Copies of the built program bridging spots: two copies linked both ways
// with "Bridge From Remote" pass a spot into the other's node as a DX/ line
// once and never back; and two copies talking through server mode with the
// same crypto.txt read each other's scrambled traffic.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z";
const std::string kCrypto = "' shared by both stations\r\n3\r\n5\r\n1\r\n7\r\n2\r\n6\r\n4\r\n2\r\n";

SiteRecord Site(const std::string& name, const std::string& address, int port) {
  SiteRecord site;
  site.SetName(name);
  site.SetAddress(address);
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(port));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  return site;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& prefix, const std::string& part) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return StartsWith(l, prefix) && l.find(part) != std::string::npos;
  }));
}

// A node that logs the caller in, sends its spot when told, and keeps what it got.
struct BridgedNode {
  std::atomic<bool> go{false};
  std::string name;
  std::string spot;
  testing::TestNode node{[this](testing::NodeConnection& c, int) {
    c.Send("login: ");
    if (!c.ReadUntil("G4TST\n", 15000)) return;
    c.Send("G4TST de " + name + " >\r\n");
    for (int i = 0; i < 300 && !go; ++i) c.ReadUntil("\x01never", 100);
    if (!spot.empty()) c.Send(spot + "\r\n");
    c.ReadUntil("b\n", 20000);
  }};
  explicit BridgedNode(std::string n) : name(std::move(n)) {}
};

TEST(BridgeEndToEnd, TwoCopiesBridgingBothWaysPassASpotOnceAndNotBack) {
  BridgedNode node1("NODE1"), node2("NODE2");
  node1.spot = kSpot;
  fakes::TempFolder run, dir1, dir2;
  const std::string runDir = (run.Path() / "q").string();
  // Different names of one loopback give the copies different tags.
  for (auto [dir, address, port] : {std::tuple{&dir1, "127.0.0.1", node1.node.Port()},
                                    std::tuple{&dir2, "localhost", node2.node.Port()}}) {
    testing::WriteCallsign(*dir);
    SiteRecord site = Site("node", address, port);
    site.SetServiceFlags(3);  // links in and out
    site.SetBridgeFlags(3);   // bridge from and to remote
    DataFolder(dir->Path()).WriteAtomic("qln.sit", std::string(site.View()));
  }
  auto start = [&](const fakes::TempFolder& dir) {
    return std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S",
                                 "node"},
        std::vector<std::string>{"QUILLNET_RUNTIME_DIR=" + runDir});
  };
  auto copy1 = start(dir1);
  auto copy2 = start(dir2);
  for (auto [copy, name] : {std::pair{copy1.get(), "NODE1"}, std::pair{copy2.get(), "NODE2"}}) {
    ASSERT_NE(copy->WaitForLine("rx| login: ", 15000), "");
    copy->Write("G4TST\n");
    ASSERT_NE(copy->WaitForLine(std::string("rx| G4TST de ") + name + " >", 15000), "");
  }
  ASSERT_NE(copy2->WaitForLine("title| Quillnet [localhost]", 5000), "");
  node1.go = true;
  node2.go = true;
  ASSERT_NE(copy1->WaitForLine("spot| " + kSpot, 10000), "");
  ASSERT_NE(copy2->WaitForLine("spot| " + kSpot, 10000), "");
  // Time for anything that would go round to do so.
  copy1->WaitForLine("\x01never", 1000);
  copy1->Write("::quit\n");
  copy2->Write("::quit\n");
  EXPECT_EQ(copy1->WaitForExit(15000), 0);
  EXPECT_EQ(copy2->WaitForExit(15000), 0);

  std::string wire2 = node2.node.Transcript(1);
  std::string wire1 = node1.node.Transcript(1);
  EXPECT_NE(wire2.find("DX/K1ABC 14025.0 DL1XYZ cq !*G4TST\r\n"), std::string::npos) << wire2;
  EXPECT_EQ(wire2.find("DX/"), wire2.rfind("DX/")) << wire2;
  EXPECT_EQ(wire1.find("DL1XYZ"), std::string::npos) << wire1;
  EXPECT_EQ(Count(copy1->Lines(), "spot| ", "DL1XYZ"), 1u);
  EXPECT_EQ(Count(copy2->Lines(), "spot| ", "DL1XYZ"), 1u);
}

TEST(BridgeEndToEnd, CryptoOnBothSidesOfAServerModeCall) {
  const int port = testing::FreeLoopbackPort();
  ASSERT_NE(port, 0);
  fakes::TempFolder server, client;
  for (const fakes::TempFolder* dir : {&server, &client}) {
    testing::WriteCallsign(*dir);
    DataFolder(dir->Path()).WriteAtomic("crypto.txt", kCrypto);
  }
  DataFolder(server.Path()).WriteAtomic("qln.sit", std::string(Site("ACCEPT", "127.0.0.1", port).View()));

  testing::ChildProcess a(
      {QUILLNET_BINARY, "--headless", "--data-dir", server.Path().string(), "/S", "ACCEPT"},
      testing::ProgramEnv(server));
  ASSERT_NE(a.WaitForLine("status| Waiting for incoming calls (", 15000), "");
  a.Write("::menu Options/Crypto\n");
  testing::ChildProcess b({QUILLNET_BINARY, "--headless", "--data-dir", client.Path().string(),
                           "telnet://127.0.0.1:" + std::to_string(port) + "/"},
                          testing::ProgramEnv(client));
  b.Write("::menu Options/Crypto\n");
  ASSERT_NE(a.WaitForLine("status| Connected to", 15000), "");
  ASSERT_NE(b.WaitForLine("status| Connected to", 15000), "");

  // The serving copy asks for the call; the caller's copy answers it.
  a.Write("login:\n");
  ASSERT_NE(b.WaitForLine("rx| login:", 10000), "");
  b.Write("G4TST\n");
  EXPECT_NE(a.WaitForLine("rx| G4TST", 10000), "");
  a.Write(kSpot + "\n");
  EXPECT_NE(b.WaitForLine("spot| " + kSpot, 10000), "");
  a.Write("::quit\n");
  b.Write("::quit\n");
  EXPECT_EQ(a.WaitForExit(15000), 0);
  EXPECT_EQ(b.WaitForExit(15000), 0);
  EXPECT_EQ(Count(a.Lines(), "error| ", "Crypto"), 0u);
  EXPECT_EQ(Count(b.Lines(), "error| ", "Crypto"), 0u);
}

}  // namespace
}  // namespace qn
