// Copies of the built program linked on one runtime folder, each with its own
// node on loopback: a spot from one node reaches the other copy, scripts poke
// lines into a copy, and a logger's "outgoing.txt" reaches the node.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "child_process.h"
#include "core/app_settings.h"
#include "core/files.h"
#include "core/site_record.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"
#include "test_node.h"
#ifdef FLINGER_BINARY
#include "link_peers.h"
#endif

namespace qn {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z";
const std::string kPokedSpot = "DX de W1AW:       7005.0  VK9XX        up 2                           1201Z";

// A node that logs the caller in, then waits (at most 30 s) until told to send.
struct LinkedNode {
  std::atomic<bool> go{false};
  std::atomic<bool> arrived{false};
  std::string name;
  std::string sendOnGo;
  std::string awaited;
  testing::TestNode node{[this](testing::NodeConnection& c, int) {
    c.Send("login: ");
    if (!c.ReadUntil("G4TST\n", 15000)) return;
    c.Send("G4TST de " + name + " >\r\n");
    for (int i = 0; i < 300 && !go; ++i) c.ReadUntil("\x01never", 100);
    if (!sendOnGo.empty()) c.Send(sendOnGo);
    if (c.ReadUntil(awaited.empty() ? "b\n" : awaited, 30000)) arrived = true;
    c.ReadUntil("b\n", 15000);
  }};
  explicit LinkedNode(std::string n) : name(std::move(n)) {}
};

// A data folder with a callsign and one site "node" with DDE in and out.
void PrepareCopy(const fakes::TempFolder& dir, const std::string& address, int port, const AppSettings& s) {
  DataFolder data(dir.Path());
  data.WriteAtomic("quillnet.cfg", s.Serialise());
  SiteRecord site;
  site.SetName("node");
  site.SetAddress(address);
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(port));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetServiceFlags(3);
  data.WriteAtomic("qln.sit", std::string(site.View()));
}

AppSettings WithCall() {
  AppSettings s;
  s.ownCallsign = "G4TST";
  return s;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& prefix, const std::string& part) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return StartsWith(l, prefix) && l.find(part) != std::string::npos;
  }));
}

std::unique_ptr<testing::ChildProcess> StartCopy(const fakes::TempFolder& dir, const std::string& run) {
  return std::make_unique<testing::ChildProcess>(
      std::vector<std::string>{QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S",
                               "node"},
      std::vector<std::string>{"QUILLNET_RUNTIME_DIR=" + run});
}

void LogIn(testing::ChildProcess& p, const std::string& nodeName) {
  ASSERT_NE(p.WaitForLine("rx| login: ", 15000), "");
  p.Write("G4TST\n");
  ASSERT_NE(p.WaitForLine("rx| G4TST de " + nodeName + " >", 15000), "");
}

// quillnet --poke ...: its exit code and what it printed.
std::pair<int, std::string> Poke(const std::string& run, std::vector<std::string> args) {
  args.insert(args.begin(), QUILLNET_BINARY);
  testing::ChildProcess p(args, {"QUILLNET_RUNTIME_DIR=" + run});
  int rc = p.WaitForExit(15000);
  std::string out;
  for (const auto& l : p.Lines()) out += l + "\n";
  return {rc, out};
}

TEST(LinksEndToEnd, ASpotCrossesToTheOtherCopyAndScriptsPokeIntoOne) {
  LinkedNode node1("NODE1"), node2("NODE2");
  node1.sendOnGo = kSpot + "\r\n";
  node2.awaited = "sh/dx 3";
  fakes::TempFolder run, dir1, dir2;
  const std::string runDir = (run.Path() / "q").string();
  // Different names for one loopback node give the copies different tags.
  PrepareCopy(dir1, "127.0.0.1", node1.node.Port(), WithCall());
  PrepareCopy(dir2, "localhost", node2.node.Port(), WithCall());

  auto copy1 = StartCopy(dir1, runDir);
  auto copy2 = StartCopy(dir2, runDir);
  LogIn(*copy1, "NODE1");
  LogIn(*copy2, "NODE2");
  ASSERT_NE(copy1->WaitForLine("title| Quillnet [127.0.0.1]", 5000), "");
  ASSERT_NE(copy2->WaitForLine("title| Quillnet [localhost]", 5000), "");

  node1.go = true;
  node2.go = true;
  ASSERT_NE(copy1->WaitForLine("spot| " + kSpot, 10000), "");
  ASSERT_NE(copy2->WaitForLine("spot| " + kSpot, 10000), "");

  // A spot poked in is shown, and not handed on: it came from a link.
  auto [rcSpot, outSpot] = Poke(runDir, {"--poke", "127.0.0.1", "Textin", kPokedSpot + "\r\n"});
  EXPECT_EQ(rcSpot, 0) << outSpot;
  EXPECT_EQ(outSpot, "OK\n");
  ASSERT_NE(copy1->WaitForLine("spot| " + kPokedSpot, 10000), "");

  auto [rcLine, outLine] = Poke(runDir, {"--poke", "LOCALHOST", "textin1", "sh/wwv\r\n"});
  EXPECT_EQ(rcLine, 0) << outLine;
  auto [rcItem, outItem] = Poke(runDir, {"--poke", "localhost", "Bogus", "x"});
  EXPECT_EQ(rcItem, 1);
  EXPECT_EQ(outItem, "ERROR unknown-item\n");
  auto [rcNone, outNone] = Poke(runDir, {"--poke", "nowhere.example", "Textin", "x"});
  EXPECT_EQ(rcNone, 2);
  auto [rcApp, outApp] = Poke(runDir, {"--poke-app", "flinger", "--poke", "UDP", "Textin", "x"});
  EXPECT_EQ(rcApp, 2);
  auto [rcCmd, outCmd] = Poke(runDir, {"--poke", "localhost", "Textin", "+++sh/dx 3"});
  EXPECT_EQ(rcCmd, 0) << outCmd;

  // The poked spot had time to go astray while the pokes ran.
  copy1->Write("::quit\n");
  copy2->Write("::quit\n");
  EXPECT_EQ(copy1->WaitForExit(15000), 0);
  EXPECT_EQ(copy2->WaitForExit(15000), 0);
  EXPECT_EQ(Count(copy1->Lines(), "spot| ", "DL1XYZ"), 1u);
  EXPECT_EQ(Count(copy2->Lines(), "spot| ", "DL1XYZ"), 1u);
  EXPECT_EQ(Count(copy2->Lines(), "spot| ", "VK9XX"), 0u);
  std::string wire = node2.node.Transcript(1);
  EXPECT_NE(wire.find("sh/wwv\n"), std::string::npos) << wire;
  EXPECT_NE(wire.find("sh/dx 3\r\n"), std::string::npos) << wire;
  EXPECT_EQ(wire.find("DL1XYZ"), std::string::npos) << wire;
  // A copy that has ended leaves nothing behind in the runtime folder.
  std::error_code ec;
  EXPECT_TRUE(fs::is_empty(runDir, ec)) << runDir;
}

TEST(LinksEndToEnd, LinesALoggerWritesToOutgoingTxtReachTheNode) {
  LinkedNode node("NODE1");
  node.go = true;
  node.awaited = "sh/dx\r\n";
  fakes::TempFolder run, dir, log;
  AppSettings s = WithCall();
  s.linkEnabled = true;
  s.logFolder = log.Path().string() + "/";
  PrepareCopy(dir, "127.0.0.1", node.node.Port(), s);
  DataFolder(log.Path()).WriteAtomic("outgoing.txt", "left from the last run\r\n");

  auto copy = StartCopy(dir, (run.Path() / "q").string());
  LogIn(*copy, "NODE1");
  // The copy started the link afresh: the old file is gone.
  EXPECT_FALSE(DataFolder(log.Path()).Exists("outgoing.txt"));
  DataFolder(log.Path()).Append("outgoing.txt", "DX 14025.0 K1ABC tnx\r\nsh/dx\r\n");
  // The file is read every ten seconds.
  for (int i = 0; i < 25 && !node.arrived; ++i) copy->WaitForLine("rx| never", 1000);
  copy->Write("::quit\n");
  EXPECT_EQ(copy->WaitForExit(15000), 0);
  std::string wire = node.node.Transcript(1);
  EXPECT_NE(wire.find("DX 14025.0 K1ABC tnx\r\nsh/dx\r\n"), std::string::npos) << wire;
  EXPECT_EQ(wire.find("left from the last run"), std::string::npos) << wire;
}

#ifdef FLINGER_BINARY
// Two copies and flinger linked as the README says: copy 1 hands its spots to
// flinger, which sends them as datagrams; a datagram sent to flinger reaches
// both copies once, and a command datagram reaches a node.
TEST(LinksEndToEnd, CopiesAndFlingerPassSpotsWithoutLooping) {
  LinkedNode node1("NODE1"), node2("NODE2");
  node1.sendOnGo = kSpot + "\r\n";
  node2.go = true;
  node2.awaited = "SH/WWV";
  fakes::TempFolder run, dir1, dir2, flingerDir;
  const std::string runDir = (run.Path() / "q").string();
  AppSettings toFlinger = WithCall();
  toFlinger.ddeApplication = "flinger";
  toFlinger.ddeTopic = "UDP";
  toFlinger.ddeItem = "Textin";
  PrepareCopy(dir1, "127.0.0.1", node1.node.Port(), toFlinger);
  PrepareCopy(dir2, "localhost", node2.node.Port(), WithCall());

  fl::testing::UdpPeer reader, sender;
  // Remote host, exchange off, port 0 (any), the reader's port, bound to loopback.
  DataFolder(flingerDir.Path())
      .WriteAtomic("FLINGER.CFG", "localhost\r\n0\r\n0\r\n0\r\n0\r\n" + std::to_string(reader.Port()) +
                                      "\r\n127.0.0.1\r\n\r\n");
  testing::ChildProcess flinger({FLINGER_BINARY, "--headless", "--data-dir", flingerDir.Path().string()},
                                {"QUILLNET_RUNTIME_DIR=" + runDir});
  const std::string ip = flinger.WaitForLine("ip| ", 10000);
  const std::size_t at = ip.find("port ");
  ASSERT_NE(at, std::string::npos) << ip;
  const int flingerPort = std::stoi(ip.substr(at + 5));

  auto copy1 = StartCopy(dir1, runDir);
  auto copy2 = StartCopy(dir2, runDir);
  LogIn(*copy1, "NODE1");
  LogIn(*copy2, "NODE2");
  ASSERT_NE(copy1->WaitForLine("title| Quillnet [127.0.0.1]", 5000), "");
  ASSERT_NE(copy2->WaitForLine("title| Quillnet [localhost]", 5000), "");

  // The node's spot: copy 1, copy 2 (directly) and a datagram through flinger.
  node1.go = true;
  ASSERT_NE(copy1->WaitForLine("spot| " + kSpot, 10000), "");
  ASSERT_NE(copy2->WaitForLine("spot| " + kSpot, 10000), "");
  std::optional<std::string> datagram;
  for (int i = 0; i < 5 && !(datagram && datagram->find("DL1XYZ") != std::string::npos); ++i)
    datagram = reader.Receive(2000);
  ASSERT_TRUE(datagram);
  EXPECT_NE(datagram->find("DL1XYZ"), std::string::npos) << *datagram;

  // A spot from the network reaches both copies.
  sender.SendTo(flingerPort, kPokedSpot + "\r\n");
  ASSERT_NE(copy1->WaitForLine("spot| " + kPokedSpot, 10000), "");
  ASSERT_NE(copy2->WaitForLine("spot| " + kPokedSpot, 10000), "");
  // A command from the network goes to the nodes.
  sender.SendTo(flingerPort, "+++SH/WWV\r\n");
  for (int i = 0; i < 100 && !node2.arrived; ++i) copy2->WaitForLine("rx| never", 100);
  EXPECT_TRUE(node2.arrived);

  copy1->Write("::quit\n");
  copy2->Write("::quit\n");
  EXPECT_EQ(copy1->WaitForExit(15000), 0);
  EXPECT_EQ(copy2->WaitForExit(15000), 0);
  flinger.Write("::quit\n");
  EXPECT_EQ(flinger.WaitForExit(10000), 0);
  // Nothing went round for ever: each spot is in each window once.
  for (const auto* copy : {copy1.get(), copy2.get()}) {
    EXPECT_EQ(Count(copy->Lines(), "spot| ", "DL1XYZ"), 1u);
    EXPECT_EQ(Count(copy->Lines(), "spot| ", "VK9XX"), 1u);
  }
}
#endif

}  // namespace
}  // namespace qn
