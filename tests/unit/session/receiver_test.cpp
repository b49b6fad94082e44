#include "session/receiver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/capture.h"
#include "fakes/temp_folder.h"
#include "unit/session/receive_harness.h"

namespace qn {
namespace {

using testing::ReceiveHarness;
using Lines = std::vector<std::string>;

std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

const std::string kTtypeReply = Bytes({255, 250, 24, 0}) + "DEC-VT100" + Bytes({255, 240});

TEST(ReceiverNegotiation, AnswersTheOptionTableByteForByte) {
  struct Case {
    std::string in;
    std::string reply;
  } cases[] = {
      {Bytes({255, 253, 24}), Bytes({255, 251, 24})},  // DO terminal type
      {Bytes({255, 253, 0}), Bytes({255, 251, 0})},    // DO binary
      {Bytes({255, 253, 1}), Bytes({255, 252, 1})},    // DO echo refused
      {Bytes({255, 253, 31}), Bytes({255, 252, 31})},
      {Bytes({255, 251, 0}), Bytes({255, 253, 0})},  // WILL binary
      {Bytes({255, 251, 24}), Bytes({255, 253, 24})},
      {Bytes({255, 251, 1}), Bytes({255, 254, 1})},  // WILL echo refused
      {Bytes({255, 252, 24}), ""},                   // WONT, DONT: silence
      {Bytes({255, 254, 0}), ""},
      {Bytes({255, 250, 24, 1, 255, 240}), kTtypeReply},
      {Bytes({255, 250, 31, 0, 80, 0, 24, 255, 240}), ""},
      {Bytes({255, 249}), ""},  // GA
  };
  for (const auto& c : cases) {
    ReceiveHarness h;
    h.Feed("a" + c.in + "b\r\n");
    EXPECT_EQ(h.replies, c.reply) << ::testing::PrintToString(c.in);
    // No byte of a command reaches the text.
    EXPECT_EQ(h.lines, Lines{"ab\r\n"}) << ::testing::PrintToString(c.in);
    EXPECT_EQ(h.terminal.Text(), "ab\r\n");
  }
}

TEST(ReceiverNegotiation, CommandsCutByAChunkBoundaryAreAnsweredOnce) {
  ReceiveHarness h;
  std::string stream = Bytes({255, 253, 24, 255, 250, 24, 1, 255, 240, 255, 255}) + "x\r\n";
  for (char c : stream) h.Feed(std::string(1, c));
  EXPECT_EQ(h.replies, Bytes({255, 251, 24}) + kTtypeReply);
  EXPECT_EQ(h.lines, Lines{"\xffx\r\n"});
}

TEST(ReceiverNegotiation, IacIacIsOneDataCharacter) {
  ReceiveHarness h;
  h.Feed("a" + Bytes({255, 255, 255, 255}) + "b\r\n");
  EXPECT_EQ(h.lines, Lines{"a\xff\xff"
                           "b\r\n"});
  EXPECT_EQ(h.replies, "");
}

TEST(ReceiverNegotiation, SubnegotiationWithoutEndGivesTheTextBack) {
  ReceiveHarness h;
  h.Feed(Bytes({255, 250, 39}) + std::string(TelnetCodec::kMaxSubnegotiation + 100, 'x') + "\r\nhello\r\n");
  ASSERT_EQ(h.lines.size(), 2u);
  EXPECT_EQ(h.lines[1], "hello\r\n");
  // An escaped 255 inside a body still counts towards the limit.
  ReceiveHarness g;
  std::string body;
  for (std::size_t i = 0; i < TelnetCodec::kMaxSubnegotiation; ++i) body += Bytes({255, 255});
  g.Feed(Bytes({255, 250, 39}) + body + "\r\nhello\r\n");
  EXPECT_EQ(g.lines.back(), "hello\r\n");
}

struct LineEndCase {
  const char* name;
  std::vector<std::string> chunks;
  Lines lines;
  std::string pending;
};

class ReceiverLineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(ReceiverLineEnds, EachPairingGivesOneLineEnd) {
  const auto& c = GetParam();
  ReceiveHarness h;
  for (const auto& chunk : c.chunks) h.Feed(chunk);
  EXPECT_EQ(h.lines, c.lines);
  EXPECT_EQ(std::string(h.rx.Pending()), c.pending);
  std::string shown;
  for (const auto& l : c.lines) shown += l;
  EXPECT_EQ(h.terminal.Text(), shown + c.pending);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReceiverLineEnds,
    ::testing::Values(
        LineEndCase{"CrLf", {"abc\r\ndef\r\n"}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{"LfCr", {"abc\n\rdef\n\r"}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{"LoneCr", {"abc\rdef\r"}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{"LoneLf", {"abc\ndef\nghi"}, {"abc\r\n", "def\r\n"}, "ghi"},
        LineEndCase{"CrCr", {"abc\r\rdef\r\n"}, {"abc\r\n", "\r\n", "def\r\n"}, ""},
        LineEndCase{"LfLf", {"abc\n\ndef\n"}, {"abc\r\n", "\r\n", "def\r\n"}, ""},
        LineEndCase{"CrLfLf", {"abc\r\n\ndef\r\n"}, {"abc\r\n", "\r\n", "def\r\n"}, ""},
        LineEndCase{"LfCrLf", {"abc\n\r\ndef"}, {"abc\r\n", "\r\n"}, "def"},
        LineEndCase{"CrThenLfNextChunk", {"abc\r", "\ndef\r", "\n"}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{"LfThenCrNextChunk", {"abc\n", "\r", "def\n"}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{"BackspaceBreaksThePair", {"abc\r\b\ndef\r\n"}, {"abc\r\n", "\r\n", "def\r\n"}, ""},
        LineEndCase{"BackspaceDropped", {"ab\bc\r\n"}, {"abc\r\n"}, ""},
        LineEndCase{"CommandBetweenCrAndLf",
                    {"abc\r"
                     "\xff\xf9"
                     "\ndef\r\n"},
                    {"abc\r\n", "def\r\n"},
                    ""},
        LineEndCase{"CrNulRemoved", {std::string("abc\r\0def\r\n", 10)}, {"abcdef\r\n"}, ""},
        LineEndCase{
            "NulAfterCrOfLastChunk", {"abc\r", std::string("\0def\r\n", 6)}, {"abc\r\n", "def\r\n"}, ""},
        LineEndCase{
            "OtherControlsKept", {std::string("a\0\x01\tb\r\n", 7)}, {std::string("a\0\x01\tb\r\n", 7)}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReceiverLines, ALineOverThreeArrivalsIsDispatchedOnceAtItsEnd) {
  ReceiveHarness h;
  h.Feed("DX de W3LPL:     14025.0  JA1");
  h.Feed("XYZ       CQ CQ loud");
  EXPECT_TRUE(h.lines.empty());
  // The terminal shows the parts as they come.
  EXPECT_EQ(h.terminal.Text(), "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud");
  h.Feed(" here 1700Z\r\nDX");
  EXPECT_EQ(h.lines, Lines{"DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here 1700Z\r\n"});
  EXPECT_EQ(std::string(h.rx.Pending()), "DX");
}

TEST(ReceiverLines, HighlightAndBellsAreTakenOutOfDispatchedLines) {
  ReceiveHarness h;
  h.Feed("\x1b[7mG4TST\x1b[0m de DL8ABC: hi \x1b[7mx\x1b[0m\r\n");
  h.Feed("To G4TST de DL8ABC: \aurgent\a\r\nplain\r\n");
  ASSERT_EQ(h.lines.size(), 3u);
  // Only the first of each sequence goes.
  EXPECT_EQ(h.lines[0], "G4TST de DL8ABC: hi \x1b[7mx\x1b[0m\r\n");
  EXPECT_EQ(h.lines[1], "To G4TST de DL8ABC: urgent\r\n");
  EXPECT_EQ(h.marked, (std::vector<bool>{false, true, false}));
  // The terminal never shows a bell.
  EXPECT_EQ(h.terminal.Text().find('\a'), std::string::npos);
}

TEST(ReceiverLines, LineEndCounterCountsEveryLineEndUntilReset) {
  ReceiveHarness h;
  h.Feed("a\r\nb\n\rc\r\rd\r");
  EXPECT_EQ(h.rx.LineEndsSincePrompt(), 5u);
  h.rx.ResetLineCounter();
  h.Feed("\nlogin: ");  // the LF pairs with the CR before the reset
  EXPECT_EQ(h.rx.LineEndsSincePrompt(), 0u);
  h.Feed("\n");
  EXPECT_EQ(h.rx.LineEndsSincePrompt(), 1u);
}

TEST(ReceiverLines, NodeHopNamesTheNewNode) {
  ReceiveHarness h;
  h.Feed("*** reconnected to GB7DJK-1 at 1200Z\r\nconnected to K1TTT\r\nnothing here\r\nconnected to \r\n");
  EXPECT_EQ(h.titles, (Lines{"Quillnet [GB7DJK-1]", "Quillnet [K1TTT]"}));
}

TEST(ReceiverLines, StepsRunInOrderAndADoneLineGoesNoFurther) {
  ReceiveHarness h;
  std::vector<std::string> order;
  bool serverSawBell = false;
  bool robotSawMark = false;
  std::string chatBody;
  auto& s = h.rx.steps;
  s.serverLine = [&](ReceivedLine& l) {
    order.push_back("server");
    serverSawBell = l.text.find('\a') != std::string::npos;
  };
  s.robotCommand = [&](const ReceivedLine& l) {
    order.push_back("robot");
    robotSawMark = l.marked;
    return std::string();
  };
  s.chatNotice = [&](std::string_view body) {
    order.push_back("chat");
    chatBody = body;
  };
  s.ircLine = [&](ReceivedLine&) { order.push_back("irc"); };
  s.lineAlert = [&](ReceivedLine&) { order.push_back("alert"); };
  s.classify = [&](ReceivedLine&) { order.push_back("classify"); };
  s.copyToRf = [&](const ReceivedLine&) { order.push_back("rf"); };
  h.Feed("WWV de W0MU: \aSFI=148\r\n");
  EXPECT_EQ(order, (Lines{"server", "robot", "chat", "irc", "alert", "classify", "rf"}));
  EXPECT_TRUE(serverSawBell);  // the bells go after the server step
  EXPECT_TRUE(robotSawMark);
  EXPECT_EQ(chatBody, "WWV de W0MU: SFI=148");

  order.clear();
  h.Feed("DX de W3LPL:     14025.0  JA1XYZ\r\n");
  EXPECT_EQ(order.back(), "classify");  // a spot line is not copied to the radio side

  order.clear();
  s.ircLine = [&](ReceivedLine& l) {
    order.push_back("irc");
    l.done = true;
  };
  h.Feed("PING :server\r\n");
  EXPECT_EQ(order, (Lines{"server", "robot", "chat", "irc"}));
}

TEST(ReceiverLines, RobotReplyIsDispatchedRightAfterItsLine) {
  ReceiveHarness h;
  h.rx.steps.robotCommand = [](const ReceivedLine& l) {
    return l.text.starts_with("<*G4TST*>: !DX") ? std::string("DX/G4TST-@ 14025.0 JA1XYZ") : std::string();
  };
  h.Feed("<*G4TST*>: !DX 14025 JA1XYZ\r\nnext\r\n");
  EXPECT_EQ(h.lines,
            (Lines{"<*G4TST*>: !DX 14025 JA1XYZ\r\n", "\n", "DX/G4TST-@ 14025.0 JA1XYZ\r\n", "next\r\n"}));
}

TEST(ReceiverReentry, ArrivalDuringDispatchIsPickedUpByTheRunningDispatch) {
  ReceiveHarness h;
  int nested = 0;
  h.rx.steps.classify = [&](ReceivedLine& l) {
    h.lines.push_back(l.text);
    if (l.text == "first\r\n") {
      EXPECT_TRUE(h.rx.Dispatching());
      // A script step waiting for window events lets the next arrival in.
      h.Feed("second\r\nthi");
      ++nested;
      // Shown at once, but not dispatched from inside this step.
      EXPECT_EQ(h.lines.size(), 1u);
      EXPECT_EQ(h.terminal.Text(), "first\r\nthird\r\nsecond\r\nthi");
    }
  };
  h.Feed("first\r\nthird\r\n");
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(h.lines, (Lines{"first\r\n", "third\r\n", "second\r\n"}));
  h.Feed("rd\r\n");
  EXPECT_EQ(h.lines.back(), "third\r\n");
  EXPECT_FALSE(h.rx.Dispatching());
}

TEST(ReceiverReentry, ArrivalDuringTheScanJoinsTheRunningScan) {
  ReceiveHarness h;
  bool once = false;
  h.rx.sendRaw = [&](std::string_view reply) {
    h.replies.append(reply);
    EXPECT_TRUE(h.rx.Scanning());
    if (!once) {
      once = true;
      h.Feed("c\r\n" + Bytes({255, 253, 1}));
      EXPECT_TRUE(h.lines.empty());
    }
  };
  h.Feed("a" + Bytes({255, 253, 24}) + "b\r\n");
  EXPECT_EQ(h.lines, (Lines{"ab\r\n", "c\r\n"}));
  EXPECT_EQ(h.replies, Bytes({255, 251, 24, 255, 252, 1}));
  EXPECT_FALSE(h.rx.Scanning());
}

TEST(ReceiverReentry, ArrivalWhileTheScriptLooksKeepsTheTerminalInOrder) {
  ReceiveHarness h;
  bool once = false;
  h.rx.scriptMatcher = [&](std::string& transcript) {
    if (!once && transcript.find("login: ") != std::string::npos) {
      once = true;
      h.Feed("welcome\r\n");
    }
  };
  h.Feed("node\r\nlogin: ");
  EXPECT_EQ(h.terminal.Text(), "node\r\nlogin: welcome\r\n");
  EXPECT_EQ(h.lines, (Lines{"node\r\n", "login: welcome\r\n"}));
}

TEST(ReceiverConnection, NewConnectionStartsFromEmptyBuffers) {
  ReceiveHarness h;
  h.Feed("old partial line\r");
  h.Feed(Bytes({255, 250}));  // a command cut off by the drop
  h.rx.MarkNewConnection();
  h.Feed("\nnew\r\n");
  EXPECT_EQ(h.lines, (Lines{"old partial line\r\n", "\r\n", "new\r\n"}));
  EXPECT_EQ(h.rx.Transcript(), "\nnew\r\n");
  EXPECT_FALSE(h.rx.NewConnection());
  ReceiveHarness g;
  g.Feed("half a li");
  g.rx.MarkNewConnection();
  g.Feed("ne\r\n");
  EXPECT_EQ(g.lines, Lines{"ne\r\n"});
}

TEST(ReceiverDisplay, IrcSessionsLeaveTheTerminalToTheIrcHandler) {
  ReceiveHarness h;
  h.rx.ircSession = [] { return true; };
  h.Feed(":irc.example PRIVMSG #CQDX :hi\r\n");
  EXPECT_EQ(h.terminal.Text(), "");
  EXPECT_EQ(h.lines.size(), 1u);
}

TEST(ReceiverDisplay, TerminalChangedFollowsEachShownArrival) {
  ReceiveHarness h;
  std::vector<std::string> seen;
  h.rx.terminalChanged = [&] { seen.push_back(h.terminal.Text()); };
  h.Feed("login: ");
  h.Feed(Bytes({255, 253, 24}));  // nothing to show
  EXPECT_EQ(seen, Lines{"login: "});
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ReceiverCapture, WritesChunksAsReceivedUnlessSpotsOnly) {
  fakes::TempFolder dir;
  std::string stream =
      Bytes({255, 253, 24}) + "DX de W3LPL: 14025.0 JA1XYZ\r\n" + Bytes({255, 250, 24, 1, 255, 240});
  {
    Capture cap;
    ASSERT_TRUE(cap.Open(dir.Path() / "all.txt", false, false));
    ReceiveHarness h(&cap);
    h.Feed(stream);
  }
  EXPECT_EQ(ReadFile(dir.Path() / "all.txt"), stream);
  {
    Capture cap;
    ASSERT_TRUE(cap.Open(dir.Path() / "spots.txt", true, false));
    ReceiveHarness h(&cap);
    h.Feed(stream);
    EXPECT_EQ(h.lines.size(), 1u);
  }
  // Spot lines reach it from the spot pipeline; the receive path writes nothing.
  EXPECT_EQ(ReadFile(dir.Path() / "spots.txt"), "");
}

TEST(ReceiverCapture, DecipheredTextIsWhatTheRestSees) {
  fakes::TempFolder dir;
  Capture cap;
  ASSERT_TRUE(cap.Open(dir.Path() / "c.txt", false, false));
  ReceiveHarness h(&cap);
  h.rx.decipherReceived = [](std::string& chunk) {
    for (auto& c : chunk)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  };
  h.Feed("dx de w3lpl\r\n");
  cap.Close();
  EXPECT_EQ(h.lines, Lines{"DX DE W3LPL\r\n"});
  EXPECT_EQ(ReadFile(dir.Path() / "c.txt"), "DX DE W3LPL\r\n");
}

}  // namespace
}  // namespace qn
