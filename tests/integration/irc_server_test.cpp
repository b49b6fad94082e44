// An IRC site against Debian's ngircd on loopback: the program registers
// (past a nickname already taken), joins the channel its script names, files a
// robot's spot and a user's private message, answers CTCP and PING, sends typed
// lines as IRC messages, and logs out with QUIT. The robot and the user are
// played by the test.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "program_setup.h"
#include "session/script_loader.h"

extern char** environ;

namespace qn {
namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string FindNgircd() {
  for (const char* dir : {"/usr/sbin", "/usr/local/sbin", "/usr/bin"}) {
    std::filesystem::path p = std::filesystem::path(dir) / "ngircd";
    if (::access(p.c_str(), X_OK) == 0) return p.string();
  }
  return {};
}

int ConnectTo(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Our own ngircd: on a free loopback port, no DNS, ident or PAM, no flood
// penalties, and a PING after five silent seconds.
class Ngircd {
 public:
  explicit Ngircd(const std::filesystem::path& dir) {
    const std::string binary = FindNgircd();
    port_ = testing::FreeLoopbackPort();
    if (binary.empty() || port_ == 0) return;
    const std::filesystem::path conf = dir / "ngircd.conf";
    DataFolder(dir).WriteAtomic("ngircd.conf",
                                "[Global]\nName = irc.test\nInfo = Quillnet tests\n"
                                "Listen = 127.0.0.1\nPorts = " +
                                    std::to_string(port_) +
                                    "\nMotdPhrase = Test server\nAdminInfo1 = tests\n"
                                    "[Limits]\nPingTimeout = 5\nPongTimeout = 5\n"
                                    "MaxNickLength = 20\n"
                                    "[Options]\nDNS = no\nIdent = no\nPAM = no\n"
                                    "MaxPenaltyTime = 0\n");
    std::vector<std::string> args = {binary, "-n", "-f", conf.string()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string log = (dir / "ngircd.log").string();
    posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    if (::posix_spawn(&pid_, binary.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    // Up when it accepts a connection; bounded.
    for (int i = 0; i < 100 && pid_ > 0; ++i) {
      int fd = ConnectTo(port_);
      if (fd >= 0) {
        ::close(fd);
        ready_ = true;
        break;
      }
      ::poll(nullptr, 0, 50);
    }
  }
  ~Ngircd() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Ready() const { return ready_; }
  int Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  bool ready_ = false;
};

// A user of the channel played by the test; answers the server's PINGs while it waits.
class IrcUser {
 public:
  IrcUser(int port, const std::string& nick, const std::string& channel) : fd_(ConnectTo(port)) {
    Send("NICK " + nick);
    Send("USER " + nick + " 0 * :" + nick);
    Wait(" 001 ", 5000);
    Send("JOIN " + channel);
    Wait(" 366 ", 5000);
  }
  ~IrcUser() {
    if (fd_ >= 0) ::close(fd_);
  }
  void Send(const std::string& line) {
    std::string bytes = line + "\r\n";
    if (fd_ >= 0) (void)!::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
  // Reads for at most ms; the line holding text once it came, else "".
  std::string Wait(const std::string& text, int ms) {
    const long long end = NowMs() + ms;
    for (;;) {
      std::size_t at = received_.find(text, searched_);
      if (at != std::string::npos) {
        std::size_t start = received_.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        std::size_t stop = received_.find('\n', at);
        searched_ = stop == std::string::npos ? received_.size() : stop;
        return received_.substr(start, searched_ - start);
      }
      long long left = end - NowMs();
      if (left <= 0 || !Pump(static_cast<int>(left))) return {};
    }
  }
  // One read of what arrived within ms; false when the server closed.
  bool Pump(int ms) {
    pollfd p{fd_, POLLIN, 0};
    if (fd_ < 0 || ::poll(&p, 1, ms) < 0) return false;
    if (p.revents == 0) return true;
    char buf[4096];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) return false;
    received_.append(buf, static_cast<std::size_t>(n));
    for (std::size_t ping = received_.find("PING :", pinged_); ping != std::string::npos;
         ping = received_.find("PING :", pinged_)) {
      std::size_t eol = received_.find('\r', ping);
      if (eol == std::string::npos) break;
      if (ping == 0 || received_[ping - 1] == '\n')
        Send("PONG :" + received_.substr(ping + 6, eol - ping - 6));
      pinged_ = eol;
    }
    return true;
  }

 private:
  int fd_;
  std::string received_;
  std::size_t searched_ = 0;
  std::size_t pinged_ = 0;
};

// A site of the name on the loopback port, with its script and a callsign.
void WriteSite(const fakes::TempFolder& home, const std::string& name, int port, const std::string& script) {
  testing::WriteCallsign(home);
  DataFolder folder(home.Path());
  SiteRecord site;
  site.SetName(name);
  site.SetAddress("127.0.0.1");
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(port));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetAutoFlags(1);
  folder.WriteAtomic("qln.sit", std::string(site.View()));
  folder.WriteAtomic(ScriptFileName(name, false), script);
}

TEST(IrcServer, ASiteJoinsFilesSpotsAndTalksAndLogsOut) {
  fakes::TempFolder dir;
  Ngircd server(dir.Path());
  if (!server.Ready()) GTEST_SKIP() << "ngircd is not installed (tools/install-deps)";

  // The program's nickname is taken: it must register with the next one.
  IrcUser squatter(server.Port(), "G4TST", "#other");
  IrcUser robot(server.Port(), "DXBOT", "#DXTEST");
  IrcUser user(server.Port(), "K1ABC", "#DXTEST");

  fakes::TempFolder home;
  WriteSite(home, "TEST-IRC", server.Port(),
            "' our channel and its robot, then the registration\r\n"
            "/S JOIN #dxtest\r\n/S \"ROBOT\" DXBOT\r\n/S \"NICK\"\r\n");

  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", home.Path().string(), "/S", "TEST-IRC"},
      testing::ProgramEnv(home));
  ASSERT_TRUE(p.Started());
  ASSERT_NE(robot.Wait(":G4TST-1!", 15000), "") << "the program never joined the channel";

  robot.Send(
      "PRIVMSG #DXTEST :\x03"
      "4K1ABC 14025.0 DL1XYZ cq test 1234Z");
  EXPECT_NE(p.WaitForLine("spot| DX de K1ABC:     14025.0  DL1XYZ", 10000), "");
  user.Send("PRIVMSG G4TST-1 :hello from Boston");
  EXPECT_NE(p.WaitForLine("talk| G4TST de K1ABC: hello from Boston", 10000), "");
  user.Send("PRIVMSG #DXTEST :just chatting");
  EXPECT_NE(p.WaitForLine("rx| <K1ABC> just chatting", 10000), "");

  user.Send("PRIVMSG G4TST-1 :\x01VERSION\x01");
  EXPECT_NE(user.Wait("VERSION Quillnet", 10000), "");
  // One answer per user every few seconds: the second user asks.
  robot.Send("PRIVMSG G4TST-1 :\x01PING 4242\x01");
  EXPECT_NE(robot.Wait("NOTICE DXBOT :\x01PING 4242\x01", 10000), "");

  // Typed lines: a request to the robot, chat to the channel, a talk to the user.
  p.Write("sh/dx\n");
  EXPECT_NE(robot.Wait("PRIVMSG DXBOT :sh/dx", 10000), "");
  p.Write("hello channel\n");
  EXPECT_NE(user.Wait("PRIVMSG #DXTEST :hello channel", 10000), "");
  p.Write("t K1ABC 73 and good DX\n");
  EXPECT_NE(user.Wait("PRIVMSG K1ABC :73 and good DX", 10000), "");

  // Silent past the server's PING and PONG time-outs, the program is still there.
  const long long quiet = NowMs() + 11500;
  while (NowMs() < quiet) {
    robot.Pump(100);
    squatter.Pump(100);
    user.Pump(100);
  }
  user.Send("PRIVMSG #DXTEST :still there?");
  EXPECT_NE(p.WaitForLine("rx| <K1ABC> still there?", 10000), "") << "the server dropped the program";
  for (const auto& line : p.Lines()) EXPECT_EQ(line.find("PING"), std::string::npos) << line;

  // Closing logs out with the server's own command, not a dropped connection.
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  EXPECT_NE(user.Wait("QUIT :G4TST-1", 10000), "");
}

// A copy running as the channel's DX robot answers other users' requests by
// private message on a real server.
TEST(IrcServer, ARobotCopyAnswersUsersByPrivateMessage) {
  fakes::TempFolder dir;
  Ngircd server(dir.Path());
  if (!server.Ready()) GTEST_SKIP() << "ngircd is not installed (tools/install-deps)";
  IrcUser user(server.Port(), "K1ABC", "#DXTEST");

  fakes::TempFolder home;
  WriteSite(home, "ROBOT-IRC", server.Port(), "/S JOIN #dxtest\r\n/F DXROBOT\r\n/S \"NICK\"\r\n");
  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", home.Path().string(), "/S", "ROBOT-IRC"},
      testing::ProgramEnv(home));
  ASSERT_TRUE(p.Started());
  ASSERT_NE(user.Wait(":G4TST!", 15000), "") << "the robot never joined the channel";

  user.Send("PRIVMSG G4TST :sh/wwv");
  EXPECT_NE(user.Wait("PRIVMSG K1ABC :No WWVs found!", 10000), "");
  user.Send("PRIVMSG G4TST :!DX 14025.5 ZX2CD big signal");
  EXPECT_NE(user.Wait("PRIVMSG K1ABC :Your DX has been submitted", 10000), "");
  user.Send("PRIVMSG G4TST :!DX 14025.5 ZX2CD big signal");
  EXPECT_NE(user.Wait("PRIVMSG K1ABC :Your DX was already submitted!", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

// A server that closes during the registration, and one that sends garbage:
// the program says so and stays usable.
TEST(IrcServer, HostileServerLinesLeaveTheProgramResponsive) {
  fakes::TempFolder home;
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(listener, 2), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len), 0);
  const int port = ntohs(a.sin_port);

  WriteSite(home, "BAD-IRC", port, "/S \"NICK\"\r\n");

  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", home.Path().string(), "/S", "BAD-IRC"},
      testing::ProgramEnv(home));
  ASSERT_TRUE(p.Started());
  pollfd pf{listener, POLLIN, 0};
  ASSERT_EQ(::poll(&pf, 1, 15000), 1);
  int c = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  ASSERT_GE(c, 0);
  std::string garbage =
      ":" + std::string(5000, 'p') + "\r\n\x03\x03\x02\r\n" + std::string("a\0b\xff\r\n", 7);
  garbage += std::string(1 << 20, 'z');  // a megabyte without a line end
  garbage += "\r\n:irc.test 433 * G4TST :Nickname already in use\r\n";
  for (int i = 0; i < 40; ++i) garbage += ":irc.test 433 * G4TST :Nickname already in use\r\n";
  garbage += ":DXS!d@h PRIVMSG #CQDX :K1ABC 14025.0 DL1XYZ after the storm 0101Z\r\n";
  std::size_t off = 0;
  while (off < garbage.size()) {
    ssize_t n = ::send(c, garbage.data() + off, garbage.size() - off, MSG_NOSIGNAL);
    if (n <= 0) break;
    off += static_cast<std::size_t>(n);
  }
  EXPECT_NE(p.WaitForLine("spot| DX de K1ABC:     14025.0  DL1XYZ", 15000), "");
  EXPECT_NE(p.WaitForLine("is in use", 5000), "");
  ::close(c);
  EXPECT_NE(p.WaitForLine("DISCONNECTED", 10000), "");
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  ::close(listener);
}

}  // namespace
}  // namespace qn
