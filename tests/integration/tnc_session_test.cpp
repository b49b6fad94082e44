// The program in a TNC session against a TNC simulated on a pty pair: the TNC
// speaks TAPR command mode ("cmd:"), connects with "C CALL" to a loopback node
// written here ("*** CONNECTED to CALL"), relays in converse mode, goes back to
// command mode on Ctrl-C and disconnects with "D". A second TNC never answers.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "core/text.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

class SimulatedTnc {
 public:
  SimulatedTnc(int nodePort, bool silent) : nodePort_(nodePort), silent_(silent) {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (openpty(&master_, &slave_, name, &raw, nullptr) == 0) path_ = name;
    thread_ = std::thread([this] { Run(); });
  }
  ~SimulatedTnc() {
    stop_ = true;
    thread_.join();
    if (node_ >= 0) ::close(node_);
    ::close(master_);
    ::close(slave_);
  }
  const std::string& Path() const { return path_; }
  // Bytes from the TNC's side as they come, beside its own answers.
  // What the pty cannot take is dropped: a real line does not wait either.
  void Inject(const std::string& bytes) {
    pollfd out{master_, POLLOUT, 0};
    if (::poll(&out, 1, 0) == 1) (void)!::write(master_, bytes.data(), bytes.size());
  }
  std::string FromProgram() {
    std::lock_guard<std::mutex> lock(mutex_);
    return fromProgram_;
  }
  int Connects() const { return connects_.load(); }

 private:
  void ToProgram(const std::string& text) {
    if (!silent_) (void)!::write(master_, text.data(), text.size());
  }
  void Command(const std::string& line) {
    std::string u = UCase(Trim(line));
    if (StartsWith(u, "C ") && node_ < 0) {
      node_ = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_port = htons(static_cast<uint16_t>(nodePort_));
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (::connect(node_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        ++connects_;
        converse_ = true;
        ToProgram("\r\n*** CONNECTED to " + Trim(u.substr(2)) + "\r\n");
        return;
      }
      ::close(node_);
      node_ = -1;
      ToProgram("\r\n*** retry count exceeded\r\ncmd:");
    } else if (u == "D" && node_ >= 0) {
      DropNode();
    } else {
      ToProgram("\r\ncmd:");
    }
  }
  void DropNode() {
    ::close(node_);
    node_ = -1;
    converse_ = false;
    ToProgram("\r\n*** DISCONNECTED\r\ncmd:");
  }
  void Run() {
    std::string line;
    // Bounded: the test ends it, or it gives up after two minutes.
    for (int round = 0; round < 1200 && !stop_; ++round) {
      pollfd fds[2] = {{master_, POLLIN, 0}, {node_, POLLIN, 0}};
      if (::poll(fds, node_ >= 0 ? 2 : 1, 100) <= 0) continue;
      char buf[4096];
      if (fds[0].revents & POLLIN) {
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          fromProgram_.append(buf, static_cast<std::size_t>(n));
        }
        for (ssize_t i = 0; i < n; ++i) {
          char c = buf[i];
          if (c == 0x03) {
            converse_ = false;
            line.clear();
            ToProgram("\r\ncmd:");
          } else if (converse_) {
            (void)!::write(node_, &c, 1);
          } else if (c == '\r') {
            Command(line);
            line.clear();
          } else if (c >= ' ') {
            line += c;
          }
        }
      }
      if (node_ >= 0 && (fds[1].revents & (POLLIN | POLLHUP))) {
        ssize_t n = ::read(node_, buf, sizeof buf);
        if (n <= 0)
          DropNode();
        else
          ToProgram(std::string(buf, static_cast<std::size_t>(n)));
      }
    }
  }

  int nodePort_;
  bool silent_;
  int master_ = -1, slave_ = -1, node_ = -1;
  std::string path_;
  bool converse_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> connects_{0};
  std::mutex mutex_;
  std::string fromProgram_;
  std::thread thread_;
};

std::string SpotLine() {
  return PadRight("DX de ZX1AB:", 15) + "  14025.0  " + PadRight("ZX2CD", 12) + " " + PadRight("cq up", 31) +
         "1200Z";
}

// A TNC instance's configuration: the aux port 1 enabled, TAPR mode, a callsign.
void WriteTncSetup(const fakes::TempFolder& dir, const std::string& device, int nodePort,
                   const std::string& script = "/S C ZX0NODE\r\n/W login:\r\n/S $$$$$\r\n") {
  testing::WriteAuxPortSetup(dir, "qlntnc.cfg", device);
  DataFolder data(dir.Path());
  SiteRecord site;
  site.SetName("zx0node");
  site.SetAddress("ZX0NODE");
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(nodePort));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetAutoFlags(1);  // use script
  data.WriteAtomic("qlntnc.sit", std::string(site.View()));
  data.WriteAtomic(ScriptFileName("zx0node", true), script);
}

std::vector<std::string> TncArgv(const fakes::TempFolder& dir, const std::vector<std::string>& more) {
  std::vector<std::string> argv = {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/TNC"};
  argv.insert(argv.end(), more.begin(), more.end());
  return argv;
}

// The built program as a TNC copy on the given device, its data folder set up first.
struct TncCopy {
  fakes::TempFolder dir;
  testing::ChildProcess p;
  TncCopy(const std::string& device, int nodePort, const std::vector<std::string>& more = {},
          const std::string& script = "/S C ZX0NODE\r\n/W login:\r\n/S $$$$$\r\n")
      : p((WriteTncSetup(dir, device, nodePort, script), TncArgv(dir, more)), testing::ProgramEnv(dir)) {}
  void Quit() {
    p.Write("::quit\n");
    EXPECT_EQ(p.WaitForExit(20000), 0);
  }
};

TEST(TncSessionEndToEnd, ScriptedLoginSpotsTypingDisconnectAndReconnection) {
  testing::TestNode node([](testing::NodeConnection& c, int) {
    c.Send("Welcome to ZX0NODE\r\nlogin: ");
    if (!c.ReadUntil("g4tst\r", 15000)) return;
    c.Send("Hello G4TST\r\n" + SpotLine() + "\r\nG4TST de ZX0NODE >\r\n");
    if (!c.ReadUntil("sh/dx\r", 15000)) return;
    c.Send("ok sh/dx\r\n");
    c.ReadUntil("never", 20000);
  });
  SimulatedTnc tnc(node.Port(), false);
  ASSERT_FALSE(tnc.Path().empty());
  TncCopy copy(tnc.Path(), node.Port(), {"/S", "zx0node"});
  testing::ChildProcess& p = copy.p;
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("rx| *** CONNECTED to ZX0NODE", 20000), "");
  EXPECT_NE(p.WaitForLine("rx| G4TST de ZX0NODE >", 15000), "");
  auto spotShown = [&] {
    return std::any_of(p.Lines().begin(), p.Lines().end(), [](const std::string& l) {
      return StartsWith(l, "spot| ") && l.find("ZX2CD") != l.npos;
    });
  };
  for (int i = 0; i < 20 && !spotShown(); ++i) p.WaitForLine("never shown", 250);
  EXPECT_TRUE(spotShown());
  p.Write("sh/dx\n");
  EXPECT_NE(p.WaitForLine("rx| ok sh/dx", 10000), "");

  // The user's disconnect: the TNC's sequence, Ctrl-C CR then D CR.
  p.Write("::menu Session/Disconnect\n");
  EXPECT_NE(p.WaitForLine("rx| ***  DISCONNECTED", 15000), "");
  std::string wire = tnc.FromProgram();
  EXPECT_NE(wire.find("sh/dx\r\x03\rD\r"), std::string::npos);
  // And the next connect logs in again by the script.
  p.Write("::menu Session/Connect\n");
  for (int i = 0; i < 30 && tnc.Connects() < 2; ++i) p.WaitForLine("never shown", 500);
  EXPECT_EQ(tnc.Connects(), 2);
  for (int i = 0; i < 30 && node.Calls() < 2; ++i) p.WaitForLine("never shown", 500);
  auto logins = [&] { return std::count(p.Lines().begin(), p.Lines().end(), "rx| G4TST de ZX0NODE >"); };
  for (int i = 0; i < 30 && logins() < 2; ++i) p.WaitForLine("never shown", 500);
  EXPECT_EQ(logins(), 2);
  EXPECT_NE(tnc.FromProgram().rfind("C ZX0NODE\r"), wire.find("C ZX0NODE\r"));
  copy.Quit();
}

// The node here plays a web gateway station: the script's first "/S" and "/W"
// reach it, the second pair asks for the page. The page is filed as a web
// session's would be, and a typed spot goes to the gateway as a request.
TEST(TncSessionEndToEnd, AWebGatewayFetchesAPageAndTakesATypedSpot) {
  const std::string webSpot = "K1ABC      14025.0 DL1XYZ     up 2                          1234 07 Dec";
  testing::TestNode gateway([&](testing::NodeConnection& c, int call) {
    if (call == 1) {
      if (!c.ReadUntil("GET DXS\r", 15000)) return;
      // Slow enough for a spot typed meanwhile to find the gateway busy.
      c.ReadUntil("never", 3000);
      c.Send("<html><pre>\r\n" + webSpot + "\r\n</pre></html>\r\n73\r\n");
    } else {
      if (!c.ReadUntil("Keep-Alive\r\r", 15000)) return;
      c.Send("Spot received\r\n73\r\n");
    }
  });
  SimulatedTnc tnc(gateway.Port(), false);
  ASSERT_FALSE(tnc.Path().empty());
  TncCopy copy(tnc.Path(), gateway.Port(), {"/S", "zx0node"},
               "/S C GW7WEB\r\n/W CONNECTED\r\n/S GET DXS\r\n/W 73\r\n/T 1\r\n/F WEBGW\r\n");
  testing::ChildProcess& p = copy.p;
  ASSERT_TRUE(p.Started());
  ASSERT_NE(p.WaitForLine("status| W:73...", 20000), "");
  p.Write("G4TST 14025.5 K1ABC up 2\n");
  EXPECT_NE(p.WaitForLine("message| Can't submit or retrieve now, please retry in a while", 10000), "");
  ASSERT_NE(p.WaitForLine("spot| DX de K1ABC:     14025.0  DL1XYZ", 15000), "");
  EXPECT_NE(p.WaitForLine("title| Quillnet [WEBGW]", 1000), "");
  // The page was the gateway's: shown by its parse, not as raw reception.
  auto count = [&](const std::string& part) {
    return std::count_if(p.Lines().begin(), p.Lines().end(),
                         [&](const std::string& l) { return l.find(part) != l.npos; });
  };
  EXPECT_EQ(count("<html>"), 0);
  EXPECT_EQ(count("rx| " + webSpot), 1);

  // The refused spot went back into the box: Enter sends it to the gateway.
  ASSERT_NE(p.WaitForLine("rx| *** DISCONNECTED", 15000), "");
  p.Write("\n");
  for (int i = 0; i < 60 && count("rx| *** DISCONNECTED") < 2; ++i) p.WaitForLine("never shown", 250);
  ASSERT_EQ(gateway.Calls(), 2);
  // A TNC command is still the TNC's.
  p.Write("MYCALL G4TST\n");
  for (int i = 0; i < 40 && tnc.FromProgram().find("MYCALL") == std::string::npos; ++i)
    p.WaitForLine("never shown", 250);
  copy.Quit();
  std::string request = gateway.Transcript(2);
  EXPECT_EQ(
      request.rfind("GET http://localhost/SendSpot.aspx?callSign=G4TST&dxCallSign=K1ABC&frequency=14025.5"
                    "&info=up%202 HTTP/1.0\r",
                    0),
      0u)
      << request;
  EXPECT_EQ(request.find("User-Agent"), std::string::npos);
  EXPECT_NE(request.find("Proxy-Connection: Keep-Alive\r\r"), std::string::npos);
  std::string wire = tnc.FromProgram();
  EXPECT_NE(wire.find("MYCALL G4TST\r"), std::string::npos);
  EXPECT_NE(wire.find("C GW7WEB\r"), wire.rfind("C GW7WEB\r"));
}

TEST(TncSessionEndToEnd, ASilentTncIsReportedAndTheProgramGoesOn) {
  SimulatedTnc tnc(0, true);
  ASSERT_FALSE(tnc.Path().empty());
  TncCopy copy(tnc.Path(), 1);
  testing::ChildProcess& p = copy.p;
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("The TNC is not responding; fix and restart Quillnet", 30000), "");
  std::string wire = tnc.FromProgram();
  EXPECT_EQ(wire, std::string("\x03\r\x03\x03\x03\x01OHON\x17RESTART\r*"));
  copy.Quit();
}

TEST(TncSessionEndToEnd, RandomBytesAt115200BaudLeaveTheProgramAnswering) {
  SimulatedTnc tnc(1, false);
  ASSERT_FALSE(tnc.Path().empty());
  TncCopy copy(tnc.Path(), 1);
  testing::ChildProcess& p = copy.p;
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("rx| cmd:", 15000), "");
  // Five seconds of noise at the line's rate: 11520 bytes a second, in 10 ms slices.
  unsigned x = 4711;
  for (int slice = 0; slice < 500; ++slice) {
    std::string noise;
    for (int i = 0; i < 115; ++i) {
      x = x * 1103515245u + 12345u;
      noise += static_cast<char>((x >> 16) & 0xFF);
    }
    tnc.Inject(noise);
    // Paced by reading what the program prints meanwhile (it must not block on its output).
    p.WaitForLine("never shown", 10);
  }
  // The menu still answers at once: Ctrl-C reaches the TNC.
  const std::size_t before = tnc.FromProgram().size();
  p.Write("::menu Options/TNC Command Mode\n");
  for (int i = 0; i < 40 && tnc.FromProgram().size() == before; ++i) p.WaitForLine("never shown", 250);
  EXPECT_EQ(tnc.FromProgram().substr(before), "\x03");
  copy.Quit();
}

TEST(TncSessionEndToEnd, AMissingDeviceIsReportedWithItsName) {
  TncCopy copy("/dev/quillnet-no-such-tty", 1);
  testing::ChildProcess& p = copy.p;
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("No serial port could be open", 15000), "");
  EXPECT_NE(p.WaitForLine("/dev/quillnet-no-such-tty: no such device", 5000), "");
  copy.Quit();
}

}  // namespace
}  // namespace qn
