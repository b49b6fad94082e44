#include "traffic/non_spot_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace qn {
namespace {

NonSpotContext Telnet(std::string ownCall = "K1ABC") {
  return {SessionKind::Telnet, false, std::move(ownCall)};
}
NonSpotContext Tnc(std::string ownCall = "K1ABC") { return {SessionKind::Tnc, false, std::move(ownCall)}; }
NonSpotContext Chat(std::string ownCall = "K1ABC") { return {SessionKind::Telnet, true, std::move(ownCall)}; }

NonSpotMatch Classify(const std::string& line, bool marked = false, const NonSpotContext& ctx = Telnet()) {
  return ClassifyNonSpotLine(line, marked, ctx);
}

TEST(Announcements, KeywordFormsAtLineStart) {
  struct Case {
    std::string line;
    NonSpotForm form;
    Bulletin bulletin;
  } cases[] = {
      {"WX de GB7XX <K1ABC>: Sunny, 22C\r\n", NonSpotForm::WxDe, Bulletin::Wx},
      {"WX at 1200Z: rain\r\n", NonSpotForm::WxAt, Bulletin::Wx},
      {"WWV de W0MU <18Z>:   SFI=150, A=5, K=1, No Storms -> No Storms\r\n", NonSpotForm::WwvDe,
       Bulletin::Wwv},
      {"WWV for 18Z: SFI=150\r\n", NonSpotForm::WwvFor, Bulletin::Wwv},
      {"WCY de DK0WCY-1 <12> : K=2 expK=3 A=7 R=88 SFI=150 SA=qui GMF=qui Au=no\r\n", NonSpotForm::WcyDe,
       Bulletin::Wcy},
      {"To LOCAL de GB7XX <1234z>: node restart at 2200Z\r\n", NonSpotForm::ToLocal, Bulletin::None},
      {"To ALL de DL1XYZ <1234z>: QRV on 6m\r\n", NonSpotForm::ToAll, Bulletin::None},
      {"ALL de DL1XYZ: QRV on 6m\r\n", NonSpotForm::AllDe, Bulletin::None},
  };
  for (const auto& c : cases) {
    NonSpotMatch m = Classify(c.line);
    EXPECT_EQ(m.lineClass, LineClass::Announcement) << c.line;
    EXPECT_EQ(m.form, c.form) << c.line;
    EXPECT_EQ(m.BulletinKind(), c.bulletin) << c.line;
    EXPECT_EQ(m.line, c.line);
  }
}

TEST(Announcements, KeywordAfterAPromptCountsOnlyOverRadio) {
  const std::string line = "GB7XX-5>To ALL de DL1XYZ <1234z>: QRV on 6m\r\n";
  EXPECT_EQ(Classify(line).lineClass, LineClass::Other);
  NonSpotMatch tnc = Classify(line, false, Tnc());
  EXPECT_EQ(tnc.lineClass, LineClass::Announcement);
  EXPECT_EQ(tnc.line, "To ALL de DL1XYZ <1234z>: QRV on 6m\r\n");
  // Within the first 25 characters only.
  EXPECT_EQ(Classify(std::string(24, '.') + "WWV de W0MU: SFI=150\r\n", false, Tnc()).lineClass,
            LineClass::Announcement);
  EXPECT_EQ(Classify(std::string(25, '.') + "WWV de W0MU: SFI=150\r\n", false, Tnc()).lineClass,
            LineClass::Other);
  // Keywords are case-sensitive, as the nodes send them.
  EXPECT_EQ(Classify("to all de DL1XYZ: hi\r\n").lineClass, LineClass::Other);
}

TEST(Announcements, ContinuingFormsRememberTheirColon) {
  EXPECT_EQ(Classify("WX at 1200Z: rain\r\n").continuationColon, 12u);
  EXPECT_EQ(Classify("WWV for 18Z: SFI=150\r\n").continuationColon, 12u);
  EXPECT_EQ(Classify("DL1XYZ says: hello all\r\n", true).continuationColon, 12u);
  // The de forms do not continue.
  EXPECT_EQ(Classify("To ALL de DL1XYZ: QRV on 6m\r\n").continuationColon, 0u);
  EXPECT_EQ(Classify("WWV de W0MU <18Z>: SFI=150\r\n").continuationColon, 0u);
}

TEST(Announcements, SaysAndShoutsNeedTheBell) {
  EXPECT_EQ(Classify("DL1XYZ says: hello all\r\n").lineClass, LineClass::Other);
  EXPECT_EQ(Classify("DL1XYZ says: hello all\r\n", true).form, NonSpotForm::Says);
  EXPECT_EQ(Classify("DL1XYZ says 1234Z: hello all\r\n", true).form, NonSpotForm::SaysTimed);
  EXPECT_EQ(Classify("DL1XYZ shouts: hello all\r\n", true).form, NonSpotForm::Shouts);
  EXPECT_EQ(Classify("DL1XYZ shouts 1234Z: hello all\r\n", true).form, NonSpotForm::ShoutsTimed);
  EXPECT_EQ(Classify("DL1XYZ shouts 1234Z: hello all\r\n").lineClass, LineClass::Other);
  // Not near the start: chatter quoting someone.
  EXPECT_EQ(Classify("VERYLONGCALL1 says: hello\r\n", true).lineClass, LineClass::Other);
  // The timed forms want "Z:" right after the four digits, and room for it.
  EXPECT_EQ(Classify("DL1XYZ says 12345: hello\r\n", true).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("DL1XYZ says 1234Z", true).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("DL1XYZ shouts 1234", true).lineClass, LineClass::Other);
}

TEST(Talks, DeFormNeedsTheBell) {
  NonSpotMatch m = Classify("de dl1xyz: are you there?\r\n", true);
  EXPECT_EQ(m.lineClass, LineClass::Talk);
  EXPECT_EQ(m.form, NonSpotForm::DeTalk);
  EXPECT_EQ(m.talker, "DL1XYZ");
  EXPECT_EQ(Classify("de DL1XYZ: are you there?\r\n").lineClass, LineClass::Other);
  // The colon must come within the first 29 characters.
  EXPECT_EQ(Classify("de " + std::string(30, 'X') + ": hi\r\n", true).lineClass, LineClass::Other);
}

TEST(Talks, DeFormAfterAPathOverRadio) {
  NonSpotMatch m = Classify("GB7XX>de DL1XYZ: are you there?\r\n", true, Tnc());
  EXPECT_EQ(m.lineClass, LineClass::Talk);
  EXPECT_EQ(m.line, "de DL1XYZ: are you there?\r\n");
  EXPECT_EQ(m.talker, "DL1XYZ");
  // " de " before it: the own-call form's shape, not this one.
  EXPECT_EQ(Classify("G4ABC de DL1XYZ: hi\r\n", true, Tnc()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("GB7XX>de DL1XYZ: hi\r\n", true, Telnet()).lineClass, LineClass::Other);
}

TEST(Talks, OwnCallFirst) {
  NonSpotMatch m = Classify("k1abc de DL1XYZ: hello Bob\r\n", false, Telnet("K1ABC"));
  EXPECT_EQ(m.form, NonSpotForm::OwnCallTalk);
  EXPECT_EQ(m.talker, "DL1XYZ");
  EXPECT_EQ(Classify("K1ABC de DL1XYZ hello\r\n").lineClass, LineClass::Other);
  EXPECT_EQ(Classify("G4ABC de DL1XYZ: hello\r\n").lineClass, LineClass::Other);
  // No own call set: nothing begins with it.
  EXPECT_EQ(Classify(" de DL1XYZ: hello\r\n", false, Telnet("")).lineClass, LineClass::Other);
}

TEST(Talks, TalksForms) {
  NonSpotMatch m = Classify("dl1xyz talks: hello\r\n");
  EXPECT_EQ(m.form, NonSpotForm::Talks);
  EXPECT_EQ(m.talker, "DL1XYZ");
  EXPECT_EQ(m.continuationColon, 13u);
  NonSpotMatch timed = Classify("DL1XYZ talks 1234Z: hello\r\n");
  EXPECT_EQ(timed.form, NonSpotForm::TalksTimed);
  EXPECT_EQ(timed.talker, "DL1XYZ");
  EXPECT_EQ(Classify("DL1XYZ talks 12345: hello\r\n").lineClass, LineClass::Other);
  // Only the word next to " talks" is the talker.
  EXPECT_EQ(Classify("14:02 DL1XYZ talks: hi\r\n").talker, "14:02");
}

TEST(Talks, TalkDeForm) {
  NonSpotMatch atStart = Classify("TALK de DL1XYZ\r\n");
  EXPECT_EQ(atStart.form, NonSpotForm::TalkDe);
  // The line end never joins the call.
  EXPECT_EQ(atStart.talker, "DL1XYZ");
  EXPECT_EQ(Classify("TALK de DL1XYZ hello there\r\n").talker, "DL1XYZ");
  EXPECT_EQ(Classify("gb7xx TALK de DL1XYZ\r\n").talker, "GB7XX");
}

TEST(Talks, ChatForm) {
  EXPECT_EQ(Classify("<*nick*> hi there\r\n", false, Chat()).talker, "<*nick*>");
  NonSpotMatch named = Classify("<bob> hello k1abc, 73\r\n", false, Chat());
  EXPECT_EQ(named.form, NonSpotForm::Chat);
  EXPECT_EQ(named.talker, "<bob>");
  // The call less its first characters, down to the last three.
  EXPECT_EQ(Classify("<bob> hello 1ABC\r\n", false, Chat()).lineClass, LineClass::Talk);
  EXPECT_EQ(Classify("<bob> hello ABC\r\n", false, Chat()).lineClass, LineClass::Talk);
  EXPECT_EQ(Classify("<bob> hello BC\r\n", false, Chat()).lineClass, LineClass::Other);
  // Part of a longer word.
  EXPECT_EQ(Classify("<bob> hello K1ABCD\r\n", false, Chat()).lineClass, LineClass::Other);
  // Robots, lines that are no chat lines, other sessions.
  EXPECT_EQ(Classify("<*dxrobot*> K1ABC\r\n", false, Chat()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("<*DX-bot*> K1ABC\r\n", false, Chat()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("*** Welcome K1ABC\r\n", false, Chat()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("<bob hello K1ABC\r\n", false, Chat()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("<bob> hello K1ABC\r\n", false, Telnet()).lineClass, LineClass::Other);
  EXPECT_EQ(Classify("<bob> hello K1ABC\r\n", false, Chat("")).lineClass, LineClass::Other);
}

TEST(NonSpotLines, AnnouncementWinsOverTalk) {
  EXPECT_EQ(Classify("To ALL de DL1XYZ: K1ABC talks: x\r\n").lineClass, LineClass::Announcement);
  EXPECT_EQ(Classify("hello\r\n").lineClass, LineClass::Other);
  EXPECT_EQ(Classify("").lineClass, LineClass::Other);
}

TEST(NonSpotLines, HostileInput) {
  std::string nulBells;
  for (int i = 0; i < 5000; ++i) nulBells += std::string("\0\a", 2);
  for (const auto& ctx : {Telnet(), Tnc(), Chat(), Chat("K1")}) {
    for (const std::string& s :
         {std::string(10000, 'x'), nulBells, std::string(10000, ' '), std::string(80, 'K') + " talks ",
          "de " + std::string(10000, ':'), "<" + std::string(10000, '>'),
          "K1ABC de " + std::string(10000, 'x'), std::string("TALK de "), std::string(" says 1234Z"),
          std::string("<* K1ABC")}) {
      NonSpotMatch m = ClassifyNonSpotLine(s, true, ctx);
      EXPECT_LE(m.line.size(), s.size());
      EXPECT_LE(m.talker.size(), s.size());
    }
  }
}

}  // namespace
}  // namespace qn
