// One body of tests for the LinkEndpoint port, run against the fake network
// and the local-socket adapter on a temporary runtime folder; then what only
// the adapter meets: broken framing, silent peers, floods, leftovers of killed
// copies and other users.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/text.h"
#include "fakes/fake_link_endpoint.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"
#include "links/link_message.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_link_endpoint.h"

namespace {

using qn::PokeAnswer;

struct FakeEnv {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakeLinkNetwork network{loop};
  std::unique_ptr<qn::LinkEndpoint> Make(long pid) {
    return std::make_unique<qn::fakes::FakeLinkEndpoint>(network, pid);
  }
};

struct QtEnv {
  qn::fakes::TempFolder dir;
  qn::QtEventLoop loop;
  std::string Folder() const { return (dir.Path() / "run").string(); }
  std::unique_ptr<qn::LinkEndpoint> Make(long pid) {
    return std::make_unique<qn::QtLinkEndpoint>(Folder(), pid);
  }
};

template <typename Env>
class LinkEndpointContract : public ::testing::Test {
 protected:
  Env env;
  // Process ids that are alive: the adapter passes over endpoints of dead ones.
  std::unique_ptr<qn::LinkEndpoint> server = env.Make(::getpid());
  std::unique_ptr<qn::LinkEndpoint> client = env.Make(::getppid());
  std::vector<std::string> got;
  std::vector<PokeAnswer> answers;

  void SetUp() override {
    ASSERT_TRUE(
        server->Serve("quillnet", "dx.example.org", [this](const std::string& item, const std::string& text) {
          if (!qn::IEquals(item, "Textin")) return PokeAnswer::UnknownItem;
          got.push_back(text);
          return PokeAnswer::Ok;
        }));
  }
  qn::LinkEndpoint::AnswerHandler Keep() {
    return [this](PokeAnswer a) { answers.push_back(a); };
  }
  bool WaitAnswers(std::size_t n) {
    return env.loop.WaitUntil(10000, [&] { return answers.size() >= n; });
  }
};

using Envs = ::testing::Types<FakeEnv, QtEnv>;
TYPED_TEST_SUITE(LinkEndpointContract, Envs);

TYPED_TEST(LinkEndpointContract, APokeReachesTheItemAndIsAnswered) {
  auto list = this->client->Endpoints();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].application, "quillnet");
  EXPECT_EQ(list[0].topic, "dx.example.org");
  EXPECT_TRUE(this->server->Endpoints().empty());
  EXPECT_EQ(this->client->Poke("QUILLNET", "DX.example.ORG", "textin", "DX de K1ABC\r\n", this->Keep()), 1);
  EXPECT_EQ(this->client->Poke("quillnet", "dx.example.org", "Textout", "x", this->Keep()), 1);
  EXPECT_EQ(this->client->Poke("quillnet", "elsewhere", "Textin", "x", this->Keep()), 0);
  ASSERT_TRUE(this->WaitAnswers(2));
  EXPECT_EQ(this->answers, (std::vector<PokeAnswer>{PokeAnswer::Ok, PokeAnswer::UnknownItem}));
  EXPECT_EQ(this->got, std::vector<std::string>{"DX de K1ABC\r\n"});
}

TYPED_TEST(LinkEndpointContract, EveryByteArrivesInOrderUpToTheLimit) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (int i = 0; i < 50; ++i)
    this->client->Poke("quillnet", "dx.example.org", "Textin", std::to_string(i) + all);
  std::string biggest(qn::kMaxPokeBytes - 8 - 14 - 6 - 3, 'x');
  this->client->Poke("quillnet", "dx.example.org", "Textin", biggest, this->Keep());
  this->client->Poke("quillnet", "dx.example.org", "Textin", biggest + "y", this->Keep());
  ASSERT_TRUE(this->WaitAnswers(2));
  // The refusal needs no round trip, so it may come first.
  std::sort(this->answers.begin(), this->answers.end());
  EXPECT_EQ(this->answers, (std::vector<PokeAnswer>{PokeAnswer::Ok, PokeAnswer::TooLong}));
  ASSERT_EQ(this->got.size(), 51u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(this->got[static_cast<std::size_t>(i)], std::to_string(i) + all);
  EXPECT_EQ(this->got[50], biggest);
}

TYPED_TEST(LinkEndpointContract, TheTopicFollowsAndAStoppedEndpointIsGone) {
  this->server->SetTopic("TNC:3");
  EXPECT_EQ(this->client->Poke("quillnet", "dx.example.org", "Textin", "x"), 0);
  EXPECT_EQ(this->client->Poke("quillnet", "tnc:3", "Textin", "y", this->Keep()), 1);
  ASSERT_TRUE(this->WaitAnswers(1));
  EXPECT_EQ(this->got, std::vector<std::string>{"y"});
  this->server->StopServing();
  EXPECT_TRUE(this->client->Endpoints().empty());
  EXPECT_EQ(this->client->Poke("quillnet", "tnc:3", "Textin", "z"), 0);
}

// A client of our own, on a plain socket, so the test can break the framing.
class RawClient {
 public:
  explicit RawClient(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::fcntl(fd_, F_SETFL, O_NONBLOCK);
  }
  ~RawClient() { ::close(fd_); }
  bool Connected() const { return connected_; }
  // Writes what the socket takes now; returns how much.
  std::size_t Send(std::string_view bytes) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  // Reads what has come; false once the endpoint has closed.
  bool Read() {
    char buf[65536];
    for (;;) {
      ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
      if (n > 0) {
        received.append(buf, static_cast<std::size_t>(n));
        continue;
      }
      if (n == 0) closed = true;
      return !closed;
    }
  }
  std::string received;
  bool closed = false;

 private:
  int fd_ = -1;
  bool connected_ = false;
};

struct QtEndpointTest : ::testing::Test {
  QtEnv env;
  qn::QtLinkEndpoint server{env.Folder(), ::getpid()};
  int handled = 0;
  void SetUp() override {
    ASSERT_TRUE(server.Serve("quillnet", "K1", [this](const std::string&, const std::string&) {
      ++handled;
      return PokeAnswer::Ok;
    }));
  }
  std::string Path() { return server.SocketPath(::getpid()); }
  bool Until(RawClient& c, const std::function<bool()>& done, int ms = 10000) {
    return env.loop.WaitUntil(ms, [&] {
      c.Read();
      return done();
    });
  }
};

TEST_F(QtEndpointTest, FilesAndModesAsDocumented) {
  struct stat st {};
  ASSERT_EQ(::stat(env.Folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(Path().c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
  std::ifstream in(env.Folder() + "/" + std::to_string(::getpid()) + ".endpoint", std::ios::binary);
  std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(line, "quillnet\tK1");
}

TEST_F(QtEndpointTest, BrokenFramingIsAnsweredAndTooLongCloses) {
  RawClient c(Path());
  ASSERT_TRUE(c.Connected());
  std::string noFields = std::string("\0\0\0\x05", 4) + "hello";
  c.Send(noFields);
  c.Send(qn::EncodePoke({"quillnet", "K2", "Textin", "x"}));
  c.Send(std::string("\xff\xff\xff\xff", 4) + "rest is never read");
  ASSERT_TRUE(Until(c, [&] { return c.closed; }));
  EXPECT_EQ(c.received, "ERROR malformed\nERROR unknown-endpoint\nERROR too-long\n");
  EXPECT_EQ(handled, 0);
  RawClient zero(Path());
  zero.Send(std::string(4, '\0'));
  ASSERT_TRUE(Until(zero, [&] { return zero.closed; }));
  EXPECT_EQ(zero.received, "ERROR too-long\n");
}

TEST_F(QtEndpointTest, SilentAndHalfFinishedPeersAreDropped) {
  server.SetIdleTimeoutMs(300);
  RawClient silent(Path());
  RawClient half(Path());
  half.Send(qn::EncodePoke({"quillnet", "K1", "Textin", "whole"}));
  half.Send(std::string("\0\0\0\x40", 4) + "quillnet");
  ASSERT_TRUE(Until(
      silent, [&] { return silent.closed; }, 5000));
  ASSERT_TRUE(Until(
      half, [&] { return half.closed; }, 5000));
  EXPECT_EQ(half.received, "OK\n");
  EXPECT_EQ(handled, 1);
  env.loop.WaitUntil(100, [] { return false; });
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(QtEndpointTest, AFloodOfTenThousandIsTakenWhole) {
  RawClient c(Path());
  std::string one = qn::EncodePoke({"quillnet", "K1", "Textin", std::string(60, 'd')});
  std::string all;
  for (int i = 0; i < 10000; ++i) all += one;
  std::size_t sent = 0;
  // The endpoint reads only what it can hold; the rest waits in our socket.
  ASSERT_TRUE(Until(c, [&] {
    sent += c.Send(std::string_view(all).substr(sent));
    return c.received.size() == 30000;
  }));
  EXPECT_EQ(handled, 10000);
}

TEST_F(QtEndpointTest, ConnectionsBeyondTheLimitAreRefused) {
  std::vector<std::unique_ptr<RawClient>> clients;
  for (int i = 0; i < qn::QtLinkEndpoint::kMaxConnections + 8; ++i)
    clients.push_back(std::make_unique<RawClient>(Path()));
  env.loop.WaitUntil(2000, [&] {
    int closed = 0;
    for (auto& c : clients) closed += c->Read() ? 0 : 1;
    return closed >= 8;
  });
  EXPECT_LE(server.OpenConnections(), qn::QtLinkEndpoint::kMaxConnections);
  int closed = 0;
  for (auto& c : clients) closed += c->closed ? 1 : 0;
  EXPECT_EQ(closed, 8);
}

TEST_F(QtEndpointTest, LeftoversOfAKilledCopyAreClearedAndDoNotStopAStart) {
  // A copy that died: its process id is known to be free.
  pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string stem = env.Folder() + "/" + std::to_string(dead);
  { std::ofstream(stem + ".endpoint") << "quillnet\tK9"; }
  { std::ofstream(stem + ".sock") << ""; }
  qn::QtLinkEndpoint client(env.Folder(), ::getppid());
  EXPECT_EQ(client.Poke("quillnet", "K9", "Textin", "x"), 0);
  EXPECT_FALSE(std::filesystem::exists(stem + ".endpoint"));
  EXPECT_FALSE(std::filesystem::exists(stem + ".sock"));

  // A socket file left at our own name is taken over.
  server.StopServing();
  { std::ofstream(Path()) << "left over"; }
  ASSERT_TRUE(server.Serve("quillnet", "K1", [](auto&, auto&) { return PokeAnswer::Ok; }));
  std::vector<PokeAnswer> answers;
  client.Poke("quillnet", "K1", "Textin", "x", [&](PokeAnswer a) { answers.push_back(a); });
  ASSERT_TRUE(env.loop.WaitUntil(5000, [&] { return !answers.empty(); }));
  EXPECT_EQ(answers[0], PokeAnswer::Ok);
}

TEST_F(QtEndpointTest, AnEndpointThatNeverAnswersIsGivenUp) {
  // A live process (init) that listens but never takes a poke.
  const std::string stem = env.Folder() + "/1";
  { std::ofstream(stem + ".endpoint") << "quillnet\tMUTE"; }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", (stem + ".sock").c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 4), 0);
  qn::QtLinkEndpoint client(env.Folder(), ::getppid());
  client.SetOutboundIdleMs(300);
  std::vector<PokeAnswer> answers;
  for (int i = 0; i < 3; ++i)
    client.Poke("quillnet", "MUTE", "Textin", "x", [&](PokeAnswer a) { answers.push_back(a); });
  EXPECT_TRUE(env.loop.WaitUntil(5000, [&] { return answers.size() == 3; }));
  EXPECT_EQ(answers, std::vector<PokeAnswer>(3, PokeAnswer::NoAnswer));
  ::close(fd);
}

// The folder's mode is the guard: another user cannot even reach the socket,
// whatever the socket's own mode. Shown for real only where the test may
// change its user (as root, as in CI).
TEST_F(QtEndpointTest, AnotherUserCannotReachTheSocket) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // The temp folder above the runtime folder must let the other user pass.
  ::chmod(env.dir.Path().c_str(), 0755);
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", Path().c_str());
    int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::_exit(rc == 0 ? 0 : errno == EACCES ? 1 : 2);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);

  // Nor is a folder of someone else's trusted.
  qn::fakes::TempFolder other;
  std::string theirs = (other.Path() / "run").string();
  ::mkdir(theirs.c_str(), 0700);
  ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
  qn::QtLinkEndpoint intruded(theirs, ::getpid());
  EXPECT_FALSE(intruded.Serve("quillnet", "K1", [](auto&, auto&) { return PokeAnswer::Ok; }));
  EXPECT_TRUE(intruded.Endpoints().empty());
}

}  // namespace
