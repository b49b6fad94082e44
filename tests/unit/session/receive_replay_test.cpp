// Recorded node sessions replayed in pieces of every size: a stream parser must
// give the same lines, replies and terminal text however TCP cut the stream.
#include <gtest/gtest.h>

#include <random>

#include "unit/session/receive_harness.h"

namespace qn {
namespace {

using testing::Replay;
using testing::ReplayInPieces;

std::string B(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

// A node that negotiates the terminal type first and ends its lines with LF.
std::string SpiderLikeSession() {
  return B({255, 253, 24, 255, 251, 1, 255, 253, 31}) + "\n" + B({255, 250, 24, 1, 255, 240}) +
         "Welcome to the cluster node\nlogin: " + "\n" +
         "Hello G4TST, this is GB7XYZ in Sheffield\n"
         "running node software version 1.57\n"
         "Cluster: 312 nodes, 26 local / 4412 total users  Max users 9000  Uptime 10 18:02\n"
         "G4TST de GB7XYZ 13-Mar-2024 1702Z dxspider >\a\a\n"
         "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z\n"
         "DX de DL8ABC:     7012.5  VK2DEF       599 long path                  1701Z\n"
         "To ALL de DL8ABC: contest this weekend, please QSY off 14025\n"
         "WWV de W0MU <18>:   SFI=148, A=5, K=1, No Storms -> No Storms\n"
         "*** reconnected to GB7DJK\n"
         "DX de G4ZZZ:     21074.0  ZS6AB        FT8 -12dB                      1702Z\a\n"
         "G4TST de GB7DJK 13-Mar-2024 1703Z dxspider >";
}

// A node with CR LF lines, highlighted own call, bells and an IAC IAC in the text.
std::string CrLfSession() {
  return "\r\n\r\nAR-Cluster node K1TTT-7\r\n\r\nPlease enter your call: " + B({255, 251, 0}) +
         "\r\nG4TST\r\n"
         "\x1b[7mG4TST\x1b[0m de K1TTT: welcome back\r\n"
         "DX de EA5XX:     28495.0  PY2QQ        59 into EU                     1703Z\r\n"
         "To G4TST de K1ABC: \athanks for the QSO\r\n"
         "price " +
         B({255, 255}) +
         " units\r\n"
         "WCY de DK0WCY-1 <17> : K=2 expK=3 A=12 R=93 SFI=146 SA=eru GMF=qui Au=no\r\n"
         "K1TTT-7> ";
}

// A node that mixes LF CR, lone CR, backspaces and empty lines.
std::string MixedEndSession() {
  return "CC-Cluster\n\rlogin:\b\b\b\b\b\bcall: \n\r\n\r" + B({255, 253, 0, 255, 253, 3, 255, 254, 1}) +
         "DX de K1TTT:      3525.0  OH2BH        CW 599                         1704Z\r"
         "DX de IK2AAA:    18068.0  5R8UI        tnx QSO                        1705Z\r\r"
         "line after an empty one\n\n"
         "connected to OH2BH-5\r\n" +
         B({255, 250, 24, 1, 255, 240}) + "bye\r";
}

class ReceiveReplay : public ::testing::TestWithParam<std::string (*)()> {};

TEST_P(ReceiveReplay, EverySplitGivesTheSameResult) {
  const std::string stream = GetParam()();
  const auto whole = ReplayInPieces(stream, stream.size());
  ASSERT_GE(whole.lines.size(), 8u);
  for (std::size_t size = 1; size < stream.size(); ++size) {
    ASSERT_EQ(ReplayInPieces(stream, size), whole) << "pieces of " << size;
  }
  std::mt19937 rng(12345);
  std::uniform_int_distribution<std::size_t> dist(1, 40);
  for (int round = 0; round < 200; ++round) {
    ASSERT_EQ(Replay(stream, [&] { return dist(rng); }), whole) << "random round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Sessions, ReceiveReplay,
                         ::testing::Values(&SpiderLikeSession, &CrLfSession, &MixedEndSession));

TEST(ReceiveReplayResult, SpiderSessionGivesTheExpectedTraffic) {
  const auto r = ReplayInPieces(SpiderLikeSession(), 7);
  EXPECT_EQ(r.replies,
            B({255, 251, 24, 255, 254, 1, 255, 252, 31, 255, 250, 24, 0}) + "DEC-VT100" + B({255, 240}));
  ASSERT_EQ(r.lines.size(), 13u);
  EXPECT_EQ(r.lines[0], "\r\n");
  EXPECT_EQ(r.lines[2], "login: \r\n");
  EXPECT_EQ(r.lines[6], "G4TST de GB7XYZ 13-Mar-2024 1702Z dxspider >\r\n");
  EXPECT_TRUE(r.marked[6]);
  EXPECT_EQ(r.titles, std::vector<std::string>{"Quillnet [GB7DJK]"});
  EXPECT_EQ(r.pending, "G4TST de GB7DJK 13-Mar-2024 1703Z dxspider >");
  for (const auto& l : r.lines) EXPECT_TRUE(l.ends_with("\r\n")) << l;
}

// Hostile or broken nodes: each arrival costs what it brings, and the terminal
// stays within its limit.
TEST(ReceiveFlood, AMegabyteWithoutLineEnd) {
  testing::ReceiveHarness h;
  std::string chunk(1460, 'x');
  for (int i = 0; i < 720; ++i) {
    h.Feed(chunk);
    ASSERT_LT(h.terminal.Text().size(), TextWindow::kLimit);
  }
  // What no window could show is passed on in pieces, not held.
  EXPECT_LT(h.rx.Pending().size(), Receiver::kMaxUnfinishedLine);
  h.Feed("\r\nnext\r\n");
  ASSERT_EQ(h.lines.size(), 720u * 1460 / Receiver::kMaxUnfinishedLine + 2);
  std::size_t passed = 0;
  for (std::size_t i = 0; i + 1 < h.lines.size(); ++i) {
    ASSERT_TRUE(h.lines[i].ends_with("\r\n"));
    ASSERT_LE(h.lines[i].size(), Receiver::kMaxUnfinishedLine + 2);
    passed += h.lines[i].size() - 2;
  }
  EXPECT_EQ(passed, 720u * 1460);
  EXPECT_EQ(h.lines.back(), "next\r\n");
  EXPECT_EQ(h.rx.Pending(), "");
}

TEST(ReceiveFlood, OneHugeArrivalIsShownWithinTheLimit) {
  testing::ReceiveHarness h;
  std::string big;
  for (int i = 0; i < 20000; ++i)
    big += "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z\r\n";
  big += std::string(1 << 20, 'y');
  h.Feed(big);
  EXPECT_LT(h.terminal.Text().size(), TextWindow::kLimit);
  EXPECT_EQ(h.lines.size(), 20000u + (1u << 20) / Receiver::kMaxUnfinishedLine);
  EXPECT_EQ(h.rx.Pending().size(), (1u << 20) % Receiver::kMaxUnfinishedLine);
}

TEST(ReceiveFlood, NulsAndEndlessSubnegotiation) {
  testing::ReceiveHarness h;
  h.Feed(std::string(1 << 20, '\0'));
  EXPECT_LT(h.terminal.Text().size(), TextWindow::kLimit);
  h.Feed("\r\n");
  EXPECT_EQ(h.lines.size(), (1u << 20) / Receiver::kMaxUnfinishedLine + 1);
  // IAC SB and then a megabyte that never closes it.
  h.Feed(B({255, 250, 24}));
  for (int i = 0; i < 1000; ++i) h.Feed(std::string(1000, 'z') + B({255, 250, 24}));
  // The last one swallows what follows up to its limit; then text shows again.
  h.Feed(std::string(TelnetCodec::kMaxSubnegotiation, 'z') + "\r\nstill here\r\n");
  ASSERT_FALSE(h.lines.empty());
  EXPECT_TRUE(h.lines.back() == "still here\r\n") << h.lines.back().size();
  EXPECT_LT(h.terminal.Text().size(), TextWindow::kLimit);
  // Each IAC SB 24 is answered; a flood of them must not hang the scan.
  EXPECT_GT(h.replies.size(), 0u);
}

}  // namespace
}  // namespace qn
