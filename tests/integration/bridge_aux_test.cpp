// A telnet copy whose site bridges both ways through its aux port, the port
// being one end of a pty pair whose other end the test holds: the node's
// spots leave the port as "DX/" lines, and a "DX/" line arriving on the port
// becomes a spot of this copy and goes on to the node.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "core/text.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

const std::string kNodeSpot = "DX de K1ABC:     14025.0  ZX2CD        cq                             1200Z";

// The far end of the aux port, read with a deadline.
class PortEnd {
 public:
  PortEnd() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (openpty(&master_, &slave_, name, &raw, nullptr) == 0) path_ = name;
  }
  ~PortEnd() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }
  const std::string& Path() const { return path_; }
  void Write(const std::string& text) { (void)!::write(master_, text.data(), text.size()); }
  // Reads until the text has come, or the time is up; returns all read.
  std::string ReadUntil(const std::string& text, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (read_.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd in{master_, POLLIN, 0};
      if (::poll(&in, 1, 100) != 1) continue;
      char buf[4096];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) read_.append(buf, static_cast<std::size_t>(n));
    }
    return read_;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::string read_;
};

TEST(BridgeThroughTheAuxPort, NodeSpotsLeaveAsBridgeLinesAndPortLinesBecomeSpots) {
  std::atomic<bool> bridgedIn{false};
  testing::TestNode node([&bridgedIn](testing::NodeConnection& c, int) {
    c.Send("Hello G4TST\r\nG4TST de ZX0NODE >\r\n" + kNodeSpot + "\r\n");
    if (c.ReadUntil("DX/ZX9AA 7005.0 ZX8YY", 20000)) bridgedIn = true;
    c.ReadUntil("never", 20000);
  });
  PortEnd port;
  ASSERT_FALSE(port.Path().empty());

  fakes::TempFolder dir;
  testing::WriteAuxPortSetup(dir, "quillnet.cfg", port.Path());
  DataFolder data(dir.Path());
  SiteRecord site;
  site.SetName("zx0node");
  site.SetAddress("127.0.0.1");
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(node.Port()));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetBridgeFlags(3);  // from and to the remote side
  data.WriteAtomic("qln.sit", SerialiseSiteFile({site}));

  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S", "zx0node"},
                          testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("rx| G4TST de ZX0NODE >", 15000), "");
  // The node's spot leaves the port as a bridge line tagged with the own call.
  const std::string out = port.ReadUntil("!*G4TST", 15000);
  EXPECT_NE(out.find("DX/K1ABC 14025.0 ZX2CD"), std::string::npos) << out;

  // A bridge line from the far side: a spot here, and on to the node.
  port.Write("DX/ZX9AA 7005.0 ZX8YY far side !*ZX7BB\r\n");
  auto filed = [&] {
    return std::any_of(p.Lines().begin(), p.Lines().end(), [](const std::string& l) {
      return StartsWith(l, "spot| ") && l.find("ZX8YY") != std::string::npos;
    });
  };
  for (int i = 0; i < 40 && !filed(); ++i) p.WaitForLine("never shown", 250);
  EXPECT_TRUE(filed());
  for (int i = 0; i < 40 && !bridgedIn; ++i) p.WaitForLine("never shown", 250);
  EXPECT_TRUE(bridgedIn) << "the far side's spot did not reach the node";
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(20000), 0);
}

}  // namespace
}  // namespace qn
