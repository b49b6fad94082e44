// The real flinger, started headless, between UDP peers on loopback, fake
// Quillnet copies and a poking client that speak docs/ipc.md, and the
// exchange folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "child_process.h"
#include "fakes/temp_folder.h"
#include "link_peers.h"

namespace fl::testing {
namespace {

namespace fs = std::filesystem;
using qn::testing::ChildProcess;

std::string Spot(int n) {
  std::string freq = std::to_string(14000 + n % 1000) + "." + std::to_string(n / 1000 % 10);
  std::string line = "DX de K1ABC:     " + freq + "  DL" + std::to_string(n) + "XYZ";
  line.resize(70, ' ');
  return line + "1200Z";
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FlingerProcess : public ::testing::Test {
 protected:
  void WriteConfig(int remotePort, bool fileExchange = false, const std::string& bind = "127.0.0.1") {
    fs::create_directories(data);
    std::ofstream(data / "FLINGER.CFG", std::ios::binary)
        << "localhost\r\n"
        << (fileExchange ? "1" : "0") << "\r\n0\r\n0\r\n0\r\n"
        << remotePort << "\r\n"
        << bind << "\r\n\r\n";
  }
  std::vector<std::string> Env() const { return {"QUILLNET_RUNTIME_DIR=" + run}; }
  // Starts flinger and gives its UDP port, 0 when it did not come up.
  int Start() {
    fs::create_directories(data);
    proc = std::make_unique<ChildProcess>(
        std::vector<std::string>{FLINGER_BINARY, "--headless", "--data-dir", data.string()}, Env());
    std::string line = proc->WaitForLine("ip| ", 10000);
    std::size_t at = line.find("port ");
    return at == std::string::npos ? 0 : std::stoi(line.substr(at + 5));
  }
  void TearDown() override {
    if (proc) {
      proc->Write("::quit\n");
      EXPECT_EQ(proc->WaitForExit(10000), 0);
      EXPECT_EQ(FindEndpoint(run, "flinger"), "") << "endpoint left behind";
    }
  }

  qn::fakes::TempFolder dir;
  std::string run = (dir.Path() / "run").string();
  fs::path data = dir.Path() / "quillnet" / "flinger";
  std::unique_ptr<ChildProcess> proc;
};

pid_t DeadPid() {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST_F(FlingerProcess, ADatagramReachesEveryCopyOnce) {
  FakeCopy first(run, ::getpid(), "dx.example.org");
  FakeCopy second(run, ::getppid(), "TNC:1");
  // Left by a copy that was killed.
  std::string ghost = run + "/" + std::to_string(DeadPid());
  std::ofstream(ghost + ".endpoint") << "quillnet\tGHOST";
  std::ofstream(ghost + ".sock") << "";
  UdpPeer reader;
  WriteConfig(reader.Port());
  int port = Start();
  ASSERT_GT(port, 0);
  // The same spot from two senders at once.
  UdpPeer a, b;
  a.SendTo(port, Spot(1) + "\r\n");
  b.SendTo(port, Spot(1) + "\r\n");
  for (FakeCopy* copy : {&first, &second}) {
    auto poke = copy->Receive(5000);
    ASSERT_TRUE(poke);
    EXPECT_EQ(poke->application, "quillnet");
    EXPECT_EQ(poke->item, "Textin");
    EXPECT_EQ(poke->text, Spot(1) + "\r\n");
  }
  a.SendTo(port, "+++SH/DX 5\r\n");
  for (FakeCopy* copy : {&first, &second}) {
    auto poke = copy->Receive(5000);
    ASSERT_TRUE(poke);
    EXPECT_EQ(poke->text, "+++SH/DX 5\r\n") << "the spot came twice";
  }
  auto one = first.Receive(0);
  EXPECT_FALSE(one);
  EXPECT_FALSE(fs::exists(ghost + ".endpoint"));
  EXPECT_FALSE(fs::exists(ghost + ".sock"));
}

TEST_F(FlingerProcess, TheWindowProgramServesTheSameLinks) {
  FakeCopy copy(run, ::getpid(), "dx.example.org");
  UdpPeer reader;
  fs::create_directories(data);
  std::ofstream(data / "FLINGER.CFG", std::ios::binary) << "127.0.0.1\r\n0\r\n0\r\n0\r\n0\r\n"
                                                        << reader.Port() << "\r\n127.0.0.1\r\n\r\n";
  ChildProcess gui({FLINGER_BINARY, "--data-dir", data.string()},
                   {"QUILLNET_RUNTIME_DIR=" + run, "QT_QPA_PLATFORM=offscreen"});
  std::string path;
  for (int i = 0; i < 100 && path.empty(); ++i) {
    path = FindEndpoint(run, "flinger");
    if (path.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_NE(path, "");
  long pid = std::stol(fs::path(path).stem().string());
  int port = 0;  // the window shows it; the test asks the system
  for (int i = 0; i < 50 && !port; ++i) {
    port = UdpPortOf(pid);
    if (!port) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_GT(port, 0);
  UdpPeer sender;
  sender.SendTo(port, Spot(7) + "\r\n");
  std::optional<Poke> poke = copy.Receive(5000);
  ASSERT_TRUE(poke);
  EXPECT_EQ(poke->text, Spot(7) + "\r\n");
  IpcClient client(path);
  client.Send({"flinger", "UDP", "Textin", Spot(8)});
  EXPECT_EQ(client.Answer(5000), "OK");
  auto got = reader.Receive(5000);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, Spot(8) + "\r\n");
  ::kill(static_cast<pid_t>(pid), SIGTERM);
  EXPECT_EQ(gui.WaitForExit(10000), 0);
  EXPECT_EQ(FindEndpoint(run, "flinger"), "");
}

TEST_F(FlingerProcess, LinesPokedIntoTextinLeaveAsDatagrams) {
  UdpPeer reader;
  WriteConfig(reader.Port());
  ASSERT_GT(Start(), 0);
  std::string path = FindEndpoint(run, "flinger");
  ASSERT_NE(path, "");
  IpcClient client(path);
  ASSERT_TRUE(client.Connected());
  client.Send({"flinger", "UDP", "Textin", Spot(2) + "\r\n"});
  EXPECT_EQ(client.Answer(5000), "OK");
  auto got = reader.Receive(5000);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, Spot(2) + "\r\n");
  EXPECT_TRUE(proc->WaitForLine("rx| >" + Spot(2), 5000).size());

  client.Send({"FLINGER", "udp", "textin", Spot(3)});
  EXPECT_EQ(client.Answer(5000), "OK");
  client.Send({"flinger", "UDP", "Textin1", Spot(4)});
  EXPECT_EQ(client.Answer(5000), "ERROR unknown-item");
  client.Send({"quillnet", "UDP", "Textin", Spot(4)});
  EXPECT_EQ(client.Answer(5000), "ERROR unknown-endpoint");
  client.SendRaw(std::string("\0\0\0\x03", 4) + std::string("a\0b", 3));
  EXPECT_EQ(client.Answer(5000), "ERROR malformed");
  got = reader.Receive(5000);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, Spot(3) + "\r\n");
  EXPECT_FALSE(reader.Receive(200)) << "a refused poke was sent";

  // A peer that connects and says nothing does not hold up the others; a
  // flood of pokes is answered in order.
  IpcClient silent(path);
  IpcClient flood(path);
  std::string burst;
  for (int i = 0; i < 10000; ++i)
    burst += Encode({"flinger", "UDP", "Textin", "no spot " + std::to_string(i)});
  flood.SendRaw(burst);
  int ok = 0;
  while (ok < 10000 && flood.Answer(10000) == "OK") ++ok;
  EXPECT_EQ(ok, 10000);

  // 10 MB announced: refused, and the connection closed.
  IpcClient huge(path);
  huge.SendRaw(std::string("\0\xA0\0\0", 4) + std::string(1000, 'x'));
  EXPECT_EQ(huge.Answer(5000), "ERROR too-long");
  EXPECT_TRUE(huge.ClosedByPeer(5000));
  // Binary bytes poked are taken (and, being no spot, not sent).
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  client.Send({"flinger", "UDP", "Textin", binary});
  EXPECT_EQ(client.Answer(5000), "OK");
}

// flinger sending to its own port, as a broadcast comes back to the sender:
// a spot a copy handed over is not handed back; the test spot is.
TEST_F(FlingerProcess, ItsOwnSpotsComingBackAreNotPassedOnAgain) {
  FakeCopy copy(run, ::getpid(), "dx.example.org");
  WriteConfig(9);
  int port = Start();
  ASSERT_GT(port, 0);
  std::string p = std::to_string(port);
  proc->Write("::set Send to 127.0.0.1\n::set Local Port " + p + "\n::set Remote Port " + p +
              "\n::press Apply\n");
  auto addressLines = [&] {
    return std::count_if(proc->Lines().begin(), proc->Lines().end(),
                         [&](const std::string& l) { return l == "ip| Your IP: 127.0.0.1  port " + p; });
  };
  for (int i = 0; i < 50 && addressLines() < 2; ++i) proc->WaitForLine("\x01", 100);  // reads on meanwhile
  ASSERT_EQ(addressLines(), 2) << "Apply did not open the port again";
  std::string cfg = ReadAll(data / "FLINGER.CFG");
  EXPECT_NE(cfg.find("\r\n" + p + "\r\n" + p + "\r\n"), std::string::npos) << cfg;

  IpcClient client(FindEndpoint(run, "flinger"));
  client.Send({"flinger", "UDP", "Textin", Spot(9) + "\r\n"});
  EXPECT_EQ(client.Answer(5000), "OK");
  ASSERT_NE(proc->WaitForLine("rx| " + Spot(9), 5000), "") << "the datagram did not come back";
  proc->Write("::press Send test spot\n");
  auto poke = copy.Receive(5000);
  ASSERT_TRUE(poke);
  EXPECT_EQ(poke->text.substr(0, 12), "DX de XX5AA:");
  EXPECT_FALSE(copy.Receive(500)) << "something went round again";
}

TEST_F(FlingerProcess, ExchangeFoldersCarryCommandsOutAndSpotsIn) {
  UdpPeer reader;
  WriteConfig(reader.Port(), true);
  // Left from an earlier run: switching on at start empties the exchange.
  fs::path a = dir.Path() / "quillnet" / "QLNEXA";
  fs::create_directories(a);
  std::ofstream(a / "outgoing.txt") << "OLD\r\n";
  int port = Start();
  ASSERT_GT(port, 0);
  std::ofstream(a / "outgoing.txt", std::ios::app | std::ios::binary) << "SH/DX\r\n";
  auto got = reader.Receive(5000);
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, "+++SH/DX\r\n");

  UdpPeer sender;
  sender.SendTo(port, Spot(5) + "\r\n");
  std::string spots;
  for (int i = 0; i < 50 && spots.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    spots = ReadAll(dir.Path() / "quillnet" / "QLNEXC" / "SPOTS.TXT");
  }
  EXPECT_EQ(spots, Spot(5) + "\r\n");
}

TEST_F(FlingerProcess, GarbageSettingsStillGiveAWorkingProgram) {
  fs::create_directories(data);
  std::mt19937 rnd(7);
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>(rnd());
  std::ofstream(data / "FLINGER.CFG", std::ios::binary) << garbage;
  proc = std::make_unique<ChildProcess>(
      std::vector<std::string>{FLINGER_BINARY, "--headless", "--data-dir", data.string()}, Env());
  EXPECT_NE(proc->WaitForLine("ip| ", 10000), "");
  std::string path;
  for (int i = 0; i < 50 && path.empty(); ++i) {
    path = FindEndpoint(run, "flinger");
    if (path.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  IpcClient client(path);
  client.Send({"flinger", "UDP", "Textin", "hello"});
  EXPECT_EQ(client.Answer(5000), "OK");
}

TEST_F(FlingerProcess, IPv6) {
  FakeCopy copy(run, ::getpid(), "dx.example.org");
  UdpPeer reader(true);
  WriteConfig(reader.Port(), false, "::1");
  int port = Start();
  ASSERT_GT(port, 0);
  UdpPeer sender(true);
  sender.SendTo(port, Spot(6) + "\r\n");
  auto poke = copy.Receive(5000);
  ASSERT_TRUE(poke);
  EXPECT_EQ(poke->text, Spot(6) + "\r\n");
}

long RssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// 100,000 datagrams as fast as they go: noise, 64 KB blocks and spots. The
// program's output goes to a file, as nobody reads a console that fast.
TEST_F(FlingerProcess, AStormLeavesMemoryBoundedAndTheLinksWorking) {
  FakeCopy copy(run, ::getpid(), "dx.example.org");
  UdpPeer reader;
  WriteConfig(reader.Port());
  fs::path out = dir.Path() / "out.txt";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string bin = FLINGER_BINARY, dataDir = data.string(), envRun = "QUILLNET_RUNTIME_DIR=" + run;
  std::vector<char*> argv{bin.data(), const_cast<char*>("--headless"), const_cast<char*>("--data-dir"),
                          dataDir.data(), nullptr};
  std::vector<char*> envp{envRun.data()};
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("QUILLNET_RUNTIME_DIR=", 0) != 0) envp.push_back(*e);
  }
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&fa);
  int port = 0;
  for (int i = 0; i < 100 && !port; ++i) {
    std::string text = ReadAll(out);
    if (std::size_t at = text.find("port "); at != std::string::npos) port = std::atoi(text.c_str() + at + 5);
    if (!port) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_GT(port, 0);

  std::mt19937 rnd(1);
  auto noise = [&](std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rnd());
    return s;
  };
  UdpPeer a, b;
  long peak = 0;
  for (int i = 0; i < 100000; ++i) {
    UdpPeer& from = i % 2 ? a : b;
    if (i % 2000 == 0) {
      from.SendTo(port, noise(65507));
    } else if (i % 10 == 0) {
      from.SendTo(port, Spot(i / 20) + "\r\n");  // each spot twice, from both peers
    } else {
      from.SendTo(port, noise(1 + rnd() % 300));
    }
    if (i % 10000 == 0) peak = std::max(peak, RssKb(pid));
  }
  peak = std::max(peak, RssKb(pid));
  EXPECT_LT(peak, 300 * 1024) << "kB resident";

  // Afterwards a new spot still gets through (sent again while the socket's
  // buffer may still be full of the storm); none came twice.
  std::set<std::string> seen;
  bool arrived = false;
  for (int round = 0; round < 30 && !arrived; ++round) {
    a.SendTo(port, Spot(999999) + "\r\n");
    for (int n = 0; n < 20000 && !arrived; ++n) {
      auto poke = copy.Receive(1000);
      if (!poke) break;
      EXPECT_TRUE(seen.insert(poke->text).second) << poke->text;
      arrived = poke->text == Spot(999999) + "\r\n";
    }
  }
  EXPECT_GT(seen.size(), 100u);
  EXPECT_TRUE(arrived);
  EXPECT_EQ(::kill(pid, 0), 0);
  ::kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 100 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(FindEndpoint(run, "flinger"), "");
}

}  // namespace
}  // namespace fl::testing
