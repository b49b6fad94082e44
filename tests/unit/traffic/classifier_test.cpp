#include "traffic/classifier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"

namespace qn {
namespace {

const std::string kStandard =
    "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z\r\n";

struct Event {
  std::string kind;
  std::string line;
  SpotSource source;
  std::string extra;
  bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* os) {
  *os << e.kind << "(" << ::testing::PrintToString(e.line) << ", " << SourceNumber(e.source) << ", "
      << e.extra << ")";
}

// Records what the classifier hands on; the announcement window is its text.
struct Recorder {
  std::vector<Event> events;
  std::string announcementWindow;
  Classifier classifier;

  explicit Recorder(SessionKind kind = SessionKind::Telnet, bool withBulletinSink = true) {
    ClassifierSinks& s = classifier.Sinks();
    s.onSpot = [this](const std::string& line, SpotSource src) { events.push_back({"spot", line, src, ""}); };
    s.announcementShown = [this](std::string_view line) { return InStr(announcementWindow, line) > 0; };
    s.onAnnouncement = [this](const std::string& line, SpotSource src, NonSpotForm) {
      announcementWindow += line;
      events.push_back({"announcement", line, src, ""});
    };
    if (withBulletinSink) {
      s.onBulletin = [this](const std::string& line, SpotSource src, Bulletin b) {
        announcementWindow += line;
        events.push_back({"bulletin", line, src, std::to_string(static_cast<int>(b))});
      };
    }
    s.onTalk = [this](const std::string& line, SpotSource src, const std::string& talker) {
      events.push_back({"talk", line, src, talker});
    };
    s.onContinuation = [this](const std::string& line, SpotSource src, LineClass window) {
      events.push_back({"continuation", line, src, std::string(LineClassName(window))});
    };
    ClassifierContext& c = classifier.Context();
    c.sessionKind = kind;
    c.ownCall = "K1ABC";
    c.utcHhmm = [] { return std::string("2359"); };
  }

  LineClass Line(const std::string& line, SpotSource source = SpotSource::Main, bool marked = false) {
    return classifier.ClassifyIncomingLine(line, source, marked);
  }
};

TEST(ClassifyIncomingLine, SpotLineAtPositionOneGoesToThePipeline) {
  Recorder r;
  EXPECT_EQ(r.Line(kStandard), LineClass::Spot);
  EXPECT_EQ(r.events, (std::vector<Event>{{"spot", kStandard, SpotSource::Main, ""}}));
}

TEST(ClassifyIncomingLine, SpotLineLaterInTheLineOnlyFromTheSerialPort) {
  Recorder r;
  EXPECT_EQ(r.Line(" " + kStandard), LineClass::Other);
  EXPECT_EQ(r.Line("GB7XX-5> " + kStandard), LineClass::Other);
  EXPECT_TRUE(r.events.empty());

  // The serial-port dispatcher accepts a radio path in front and drops it.
  EXPECT_EQ(r.Line("GB7XX-5> " + kStandard, SpotSource::Serial), LineClass::Spot);
  EXPECT_EQ(r.Line(std::string(24, '.') + kStandard, SpotSource::Serial), LineClass::Spot);
  EXPECT_EQ(r.Line(std::string(25, '.') + kStandard, SpotSource::Serial), LineClass::Other);
  EXPECT_EQ(r.events, (std::vector<Event>{{"spot", kStandard, SpotSource::Serial, ""},
                                          {"spot", kStandard, SpotSource::Serial, ""}}));
}

TEST(ClassifyIncomingLine, NodeRecordBecomesASpotOfItsOwnAndTheLineGoesOn) {
  Recorder r;
  EXPECT_EQ(r.Line("PC11^14025.0^DL1XYZ^ 5-Jan-2024^1234Z^up 2^K1ABC^GB7XX^H99^~\r\n"), LineClass::Other);
  EXPECT_EQ(r.Line("  PC11^14025.0^DL1XYZ^ 5-Jan-2024^1234Z^up 2^K1ABC^GB7XX^H99^~\r\n"), LineClass::Other);
  EXPECT_EQ(r.Line("        PC11^14025.0^DL1XYZ^d^1234Z^up 2^K1ABC^GB7XX^H99^~\r\n"), LineClass::Other);
  EXPECT_EQ(r.events, (std::vector<Event>{{"spot", kStandard, SpotSource::Node, ""},
                                          {"spot", kStandard, SpotSource::Node, ""}}));
  // A broken record is no spot.
  r.events.clear();
  r.Line("PC11^^^\r\n");
  EXPECT_TRUE(r.events.empty());
}

TEST(ClassifyIncomingLine, BridgeLineIsConvertedAndStamped) {
  Recorder r;
  EXPECT_EQ(r.Line("DX/K1ABC 14025.0 DL1XYZ up 2\r\n", SpotSource::Serial), LineClass::Spot);
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].line, "\x01" + kStandard.substr(0, 70) + "2359Z\r\n");
  EXPECT_EQ(r.events[0].source, SpotSource::Serial);

  // Unconvertible or after a call: classified like any other line.
  r.events.clear();
  EXPECT_EQ(r.Line("DX/K1ABC 14025.0\r\n"), LineClass::Other);
  EXPECT_EQ(r.Line("K1ABC de DL1XYZ: try PA/DX/ON4XX 14025 x\r\n"), LineClass::Talk);
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].kind, "talk");
}

TEST(ClassifyIncomingLine, BellStillInTheLineMarksIt) {
  Recorder r;
  EXPECT_EQ(r.Line("DL1XYZ says: hello\r\n"), LineClass::Other);
  EXPECT_EQ(r.Line("DL1XYZ says: hello\a\a\r\n"), LineClass::Announcement);
  EXPECT_EQ(r.Line("DL1XYZ says: again\r\n", SpotSource::Main, true), LineClass::Announcement);
  ASSERT_EQ(r.events.size(), 2u);
  EXPECT_EQ(r.events[0].line, "DL1XYZ says: hello\r\n");
}

TEST(ClassifyNonSpotLine, RepeatedAnnouncementIsShownOnce) {
  Recorder r;
  const std::string ann = "To ALL de DL1XYZ <1234z>: QRV on 6m\r\n";
  EXPECT_EQ(r.Line(ann), LineClass::Announcement);
  EXPECT_EQ(r.Line(ann), LineClass::Announcement);
  EXPECT_EQ(r.events.size(), 1u);
}

TEST(ClassifyNonSpotLine, BulletinsHaveTheirOwnSinkOrFallBack) {
  Recorder r;
  r.Line("WWV de W0MU <18Z>: SFI=150, A=5, K=1\r\n");
  r.Line("WCY de DK0WCY-1 <12> : K=2 expK=3 A=7\r\n");
  r.Line("WX de GB7XX: sunny\r\n");
  ASSERT_EQ(r.events.size(), 3u);
  EXPECT_EQ(r.events[0].extra, std::to_string(static_cast<int>(Bulletin::Wwv)));
  EXPECT_EQ(r.events[1].extra, std::to_string(static_cast<int>(Bulletin::Wcy)));
  EXPECT_EQ(r.events[2].extra, std::to_string(static_cast<int>(Bulletin::Wx)));

  Recorder plain(SessionKind::Telnet, false);
  plain.Line("WWV de W0MU <18Z>: SFI=150, A=5, K=1\r\n");
  ASSERT_EQ(plain.events.size(), 1u);
  EXPECT_EQ(plain.events[0].kind, "announcement");
}

TEST(ClassifyNonSpotLine, TalkStoresTheTalkerPerSide) {
  Recorder r;
  EXPECT_EQ(r.Line("K1ABC de DL1XYZ: hello\r\n"), LineClass::Talk);
  EXPECT_EQ(r.Line("G4ABC talks: hi\r\n", SpotSource::Serial), LineClass::Talk);
  EXPECT_EQ(r.classifier.LastTalker(SpotSource::Main), "DL1XYZ");
  EXPECT_EQ(r.classifier.LastTalker(SpotSource::Serial), "G4ABC");
  ASSERT_EQ(r.events.size(), 2u);
  EXPECT_EQ(r.events[0].extra, "DL1XYZ");
  EXPECT_EQ(r.events[1].source, SpotSource::Serial);
}

TEST(ClassifyNonSpotLine, TncSessionCutsTheLineToTheKeyword) {
  Recorder r(SessionKind::Tnc);
  EXPECT_EQ(r.Line("GB7XX>To ALL de DL1XYZ: QRV\r\n", SpotSource::Serial), LineClass::Announcement);
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].line, "To ALL de DL1XYZ: QRV\r\n");
}

TEST(HandleContinuation, IndentedLineFollowsTheTalk) {
  Recorder r;
  // The colon of " talks: " is at 13: a follow-on line starts with 14 blanks.
  r.Line("DL1XYZ talks: first part\r\n");
  EXPECT_EQ(r.classifier.TalkColon(SpotSource::Main), 13u);
  const std::string more = std::string(14, ' ') + "second part\r\n";
  EXPECT_EQ(r.Line(more), LineClass::Continuation);
  EXPECT_EQ(r.Line(more), LineClass::Continuation);
  EXPECT_EQ(r.events.back(), (Event{"continuation", more, SpotSource::Main, "Talk"}));
  // Fewer blanks: forgotten, and classified as usual.
  EXPECT_EQ(r.Line(std::string(13, ' ') + "DL1XYZ talks: x\r\n"), LineClass::Talk);
  EXPECT_EQ(r.Line("unrelated\r\n"), LineClass::Other);
  EXPECT_EQ(r.Line(more), LineClass::Other);
}

TEST(HandleContinuation, AnnouncementContinuesAndAnyOtherLineClearsBothSides) {
  Recorder r;
  r.Line("WX at 1200Z: rain\r\n");
  EXPECT_EQ(r.Line(std::string(13, ' ') + "and wind\r\n"), LineClass::Continuation);
  EXPECT_EQ(r.events.back().extra, "Announcement");

  // A line on the serial side clears the main session's colon too.
  r.Line("DL1XYZ talks: first\r\n");
  r.Line("hello\r\n", SpotSource::Serial);
  EXPECT_EQ(r.classifier.TalkColon(SpotSource::Main), 0u);
  EXPECT_EQ(r.Line(std::string(14, ' ') + "x\r\n"), LineClass::Other);

  // The sides keep their own colons: a serial line is no follow-on of a main talk.
  r.Line("DL1XYZ talks: first\r\n");
  EXPECT_EQ(r.Line(std::string(14, ' ') + "x\r\n", SpotSource::Serial), LineClass::Other);
}

TEST(HandleContinuation, SpotAndRepeatedAnnouncementLeaveNoContinuation) {
  Recorder r;
  r.Line("DL1XYZ talks: first\r\n");
  r.Line(kStandard);
  EXPECT_EQ(r.Line(std::string(14, ' ') + "x\r\n"), LineClass::Other);

  r.Line("WX at 1200Z: rain\r\n");
  r.Line("hello\r\n");
  r.Line("WX at 1200Z: rain\r\n");  // a repeat, not shown
  EXPECT_EQ(r.Line(std::string(13, ' ') + "and wind\r\n"), LineClass::Other);
}

TEST(ClassifyIncomingLine, HostileInput) {
  Recorder r(SessionKind::Tnc);
  r.classifier.Context().chatSession = true;
  std::string nulBells;
  for (int i = 0; i < 5000; ++i) nulBells += std::string("\0\a", 2);
  const std::string inputs[] = {
      std::string(10000, 'x') + "\r\n",
      nulBells,
      std::string(10000, ' '),
      std::string(80, 'A') + "\r\n",
      "DX de " + std::string(10000, ':'),
      "DX/" + std::string(10000, ' '),
      "PC11^" + std::string(10000, '^'),
      "  DX/K1ABC 1e999 -0 " + std::string(10000, 'c'),
      "",
      "\r\n",
  };
  for (SpotSource src : {SpotSource::Main, SpotSource::Serial}) {
    for (const auto& in : inputs) r.Line(in, src);
  }
  // A talk with its colon far out, then a line of as many blanks.
  r.Line(std::string(9000, 'A') + " talks: x\r\n");
  EXPECT_EQ(r.Line(std::string(9010, ' ') + "x"), LineClass::Continuation);
  for (const auto& e : r.events) EXPECT_LE(e.line.size(), 10200u);
}

}  // namespace
}  // namespace qn
