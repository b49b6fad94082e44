// Debian's telnet daemon as the peer: its real option negotiation must be
// answered well enough for it to start the login program. The test accepts
// the connection on loopback itself and hands the socket to the daemon, as
// inetd would.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "child_process.h"
#include "program_setup.h"

extern char** environ;

namespace qn {
namespace {

const std::filesystem::path kTelnetd =
    std::filesystem::path(QUILLNET_SOURCE_DIR) / "build/peers/usr/sbin/telnetd";

class LoopbackInetd {
 public:
  LoopbackInetd() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 1) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
      return;
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackInetd() {
    if (thread_.joinable()) thread_.join();
    if (daemon_ > 0) {
      ::kill(daemon_, SIGTERM);
      ::waitpid(daemon_, nullptr, 0);
    }
    ::close(fd_);
  }
  int Port() const { return port_; }

 private:
  void Serve() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 20000) != 1) return;
    int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    for (int i = 0; i < 3; ++i) posix_spawn_file_actions_adddup2(&fa, c, i);
    std::string prog = kTelnetd.string();
    char arg0[] = "telnetd";
    char noHostInfo[] = "-h";
    char* argv[] = {arg0, noHostInfo, nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, prog.c_str(), &fa, nullptr, argv, environ) == 0) daemon_ = pid;
    posix_spawn_file_actions_destroy(&fa);
    ::close(c);
  }

  int fd_ = -1;
  int port_ = 0;
  pid_t daemon_ = 0;
  std::thread thread_;
};

TEST(RealTelnetd, NegotiationReachesTheLoginPrompt) {
  if (!std::filesystem::exists(kTelnetd) || !std::filesystem::exists("/bin/login")) {
    GTEST_SKIP() << "no telnet daemon unpacked (tools/fetch-peers)";
  }
  LoopbackInetd inetd;
  ASSERT_NE(inetd.Port(), 0);
  fakes::TempFolder dir;
  testing::WriteCallsign(dir);
  std::string host = "telnet://127.0.0.1:" + std::to_string(inetd.Port()) + "/";
  testing::ChildProcess p({QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), host},
                          testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  std::string line = p.WaitForLine("login: ", 30000);
  EXPECT_NE(line, "") << "no login prompt from the daemon";
  EXPECT_EQ(line.rfind("rx| ", 0), 0u) << line;
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace
}  // namespace qn
