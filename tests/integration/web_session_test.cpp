// The built program as a web session ("/WEB", console mode) against web
// clusters written here on loopback: raw sockets, exact bytes. Pages polled
// and filed once, a submission as the exact request and its retry, and
// servers that flood, send garbage, close at once or never answer, while
// the event loop is watched for stalls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "child_process.h"
#include "core/app_settings.h"
#include "core/files.h"
#include "fakes/temp_folder.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

const std::string kSpot1 = "K1ABC      14025.0 DL1XYZ     up 2                          1234 07 Dec";
const std::string kSpot2 = "G4TST       7012.5 JA1ZZZ     cq                            1240 07 Dec";
const std::string kPageRequest =
    "GET /a.html HTTP/1.0\r\nUser-Agent: Quillweb/5.5\r\nHost: localhost\r\nPragma: no-cache\r\n\r\n\r\n\r\n";

std::string Page(const std::vector<std::string>& lines) {
  std::string p = "HTTP/1.0 200 OK\r\nServer: test\r\nContent-Type: text/html\r\n\r\n<html><pre>\r\n";
  for (const auto& l : lines) p += l + "\r\n";
  return p + "</pre></html>\r\n";
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& part) {
  std::size_t n = 0;
  for (const auto& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

struct WebProgram {
  fakes::TempFolder dir;
  std::unique_ptr<testing::ChildProcess> p;

  void Start(int port, int periodMinutes = 2, const std::string& script = {},
             const std::vector<std::string>& env = {}) {
    AppSettings s;
    s.ownCallsign = "G4TST";
    s.webServerList = "127.0.0.1 " + std::to_string(port);
    s.webPagePathList = "/a.html";
    s.webRefreshMinutes = static_cast<std::int16_t>(periodMinutes);
    s.ignoreVeryFirstConnection = false;
    DataFolder folder(dir.Path());
    folder.WriteAtomic("qlnweb.cfg", s.Serialise());
    if (!script.empty()) folder.WriteAtomic("SCRIPT\\WEB.SCR", script);
    std::vector<std::string> allEnv = testing::ProgramEnv(dir);
    allEnv.insert(allEnv.end(), env.begin(), env.end());
    p = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/WEB"},
        allEnv);
  }
  std::string Output() const {
    std::string all;
    for (const auto& l : p->Lines()) all += l + "\n";
    return all;
  }
  // F11 until the server has seen call number n (a poll that runs ignores it).
  bool RefreshUntilCall(const testing::TestNode& node, int n) {
    for (int i = 0; i < 100 && node.Calls() < n; ++i) {
      p->Write("::key F11\n");
      p->WaitForLine("\x01never", 200);
    }
    return node.Calls() >= n;
  }
  void Quit(int withinMs = 20000) {
    p->Write("::quit\n");
    EXPECT_EQ(p->WaitForExit(withinMs), 0);
  }
};

// Answers each call with the page the test gives for it.
void ServePage(testing::NodeConnection& c, const std::string& page) {
  if (!c.ReadUntil("\r\n\r\n", 15000)) return;
  c.Send(page);
}

TEST(WebSession, PagesArePolledFiledOnceAndNewSpotsAppear) {
  testing::TestNode node([&](testing::NodeConnection& c, int call) {
    ServePage(c,
              Page(call == 1 ? std::vector<std::string>{kSpot1} : std::vector<std::string>{kSpot2, kSpot1}));
  });
  WebProgram prog;
  prog.Start(node.Port());
  ASSERT_NE(prog.p->WaitForLine("title| Quillnet [Web:127.0.0.1", 10000), "") << prog.Output();
  ASSERT_NE(prog.p->WaitForLine("rx| " + kSpot1, 15000), "") << prog.Output();
  ASSERT_NE(prog.p->WaitForLine("spot| DX de K1ABC:     14025.0  DL1XYZ", 5000), "") << prog.Output();
  EXPECT_EQ(node.Transcript(1), kPageRequest);

  ASSERT_TRUE(prog.RefreshUntilCall(node, 2));
  ASSERT_NE(prog.p->WaitForLine("spot| DX de G4TST:      7012.5  JA1ZZZ", 15000), "") << prog.Output();
  prog.Quit();
  EXPECT_EQ(Count(prog.p->Lines(), "rx| " + kSpot1), 1u);
  EXPECT_EQ(Count(prog.p->Lines(), "spot| DX de K1ABC:"), 1u);
  EXPECT_EQ(Count(prog.p->Lines(), "rx| HTTP/1.0"), 0u);
  EXPECT_EQ(Count(prog.p->Lines(), "<html>"), 0u);
}

TEST(WebSession, SubmissionArrivesExactlyAndAFailedOneIsSentAgain) {
  const std::string submission =
      "GET http://localhost/SendSpot.aspx?callSign=G4TST&dxCallSign=K1ABC&frequency=14025.5&info=up%202 "
      "HTTP/1.0\r\n";
  std::atomic<int> submissions{0};
  testing::TestNode node(
      [&](testing::NodeConnection& c, int call) {
        // The second call comes from the first submission: it finds no cluster.
        if (call == 2) return;
        c.Send("ready\r\n");
        if (!c.ReadUntil("\r\n\r\n", 15000)) return;
        if (c.Received().find("SendSpot.aspx") != std::string::npos) {
          ++submissions;
          c.Send("HTTP/1.0 200 OK\r\n\r\nSpot received\r\n");
        } else {
          c.Send(Page({kSpot1}));
        }
      },
      20);
  WebProgram prog;
  // A one-minute period: a failed submission goes out again with the poll two seconds later.
  prog.Start(node.Port(), 1, "' wait for the cluster\r\n/I ready\r\n");
  ASSERT_NE(prog.p->WaitForLine("rx| " + kSpot1, 15000), "") << prog.Output();
  prog.p->Write("G4TST 14025.5 K1ABC up 2\n");
  ASSERT_NE(prog.p->WaitForLine("status| Unable to send data", 15000), "") << prog.Output();
  for (int i = 0; i < 100 && submissions == 0; ++i) prog.p->WaitForLine("\x01never", 200);
  prog.Quit();
  ASSERT_EQ(submissions.load(), 1) << prog.Output();
  std::string sent;
  for (int call = 3; call <= node.Calls() && sent.empty(); ++call) {
    if (node.Transcript(call).find("SendSpot") != std::string::npos) sent = node.Transcript(call);
  }
  EXPECT_EQ(sent.substr(0, submission.size()), submission);
  EXPECT_NE(sent.find("\r\nUser-Agent: Quillweb/5.5\r\nHost: localhost\r\n\r\n"), std::string::npos) << sent;
}

TEST(WebSession, MisbehavingServersEndInBoundedTimeAndTheLoopStaysLive) {
  std::atomic<bool> stalled{false};
  testing::TestNode node([&](testing::NodeConnection& c, int call) {
    if (!c.ReadUntil("\r\n\r\n", 15000)) return;
    switch (call) {
      case 1: {  // 10 MB without a line end
        std::string block(64 * 1024, 'A');
        for (int i = 0; i < 160; ++i) c.Send(block);
        break;
      }
      case 2: {  // NUL and CR NUL runs, binary bytes, a line of 100 KB, then a spot
        std::string junk(std::string(4096, '\0') + std::string(2048, '\r') + std::string(4096, '\0'));
        for (int b = 0; b < 256; ++b) junk += static_cast<char>(b);
        c.Send(junk + "\r\n" + std::string(100 * 1024, 'x') + "\r\n");
        break;
      }
      case 3:  // closes at once
        break;
      case 4:
        c.Send(Page({kSpot2}));
        break;
      default:  // accepts and never answers
        stalled = true;
        c.ReadUntil("\x01never", 20000);
        break;
    }
  });
  WebProgram prog;
  const auto probe = prog.dir.Path() / "loop.txt";
  prog.Start(node.Port(), 2, {}, {"QUILLNET_LOOP_PROBE=" + probe.string()});
  ASSERT_TRUE(prog.RefreshUntilCall(node, 4)) << prog.Output();
  ASSERT_NE(prog.p->WaitForLine("rx| " + kSpot2, 15000), "") << prog.Output();
  ASSERT_TRUE(prog.RefreshUntilCall(node, 5)) << prog.Output();
  for (int i = 0; i < 50 && !stalled; ++i) prog.p->WaitForLine("\x01never", 100);
  ASSERT_TRUE(stalled);

  // Three seconds of a server that says nothing: the loop must keep ticking.
  auto lineCount = [&] {
    std::ifstream in(probe);
    std::string l;
    int n = 0;
    while (std::getline(in, l)) ++n;
    return n;
  };
  const int before = lineCount();
  prog.p->WaitForLine("\x01never", 3500);
  std::ifstream in(probe);
  std::string line;
  long longest = -1;
  for (int n = 0; std::getline(in, line); ++n) {
    if (n < before) continue;
    long gap = std::stol(line.substr(line.find(' ') + 1));
    longest = std::max(longest, gap);
  }
  std::printf("longest gap between clock ticks while a stalled web cluster was read: %ld ms\n", longest);
  ASSERT_GE(longest, 0) << "no probe lines";
  EXPECT_LT(longest, 1000);
  // Typing still works, and closing does not wait for the stalled exchange.
  prog.p->Write("::key F12\n");
  prog.Quit(10000);
  // Nothing of the flood or the garbage became a spot.
  EXPECT_EQ(Count(prog.p->Lines(), "spot| DX de"), 1u);
}

}  // namespace
}  // namespace qn
