#include "session/command_translation.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

SessionFlags Irc() {
  SessionFlags f;
  f.irc = true;
  f.robotNick = "ROBOT";
  f.ircChannel = "#CQDX";
  return f;
}

std::string Irc(const std::string& line) { return TranslateCommand(line, Irc()).value_or("<dropped>"); }

TEST(CommandTranslation, RobotRequestsInAnyAbbreviation) {
  EXPECT_EQ(Irc("sh/dx"), "PRIVMSG ROBOT :sh/dx");
  EXPECT_EQ(Irc("SH/DX 20"), "PRIVMSG ROBOT :sh/dx 20");
  EXPECT_EQ(Irc("show/dx/5"), "PRIVMSG ROBOT :sh/dx/5");
  EXPECT_EQ(Irc("s/dx"), "PRIVMSG ROBOT :sh/dx");
  EXPECT_EQ(Irc("sh/ann"), "PRIVMSG ROBOT :sh/ann");
  EXPECT_EQ(Irc("sho/announce 3"), "PRIVMSG ROBOT :sh/ann 3");
  EXPECT_EQ(Irc("sh/wwv"), "PRIVMSG ROBOT :sh/wwv");
  EXPECT_EQ(Irc("SH/WW 2"), "PRIVMSG ROBOT :sh/wwv 2");
}

TEST(CommandTranslation, ShowUsersListsTheChannel) {
  for (const char* typed : {"SH/U", "sh/us", "show/users", "s/user", "SHO/USE"}) {
    EXPECT_EQ(Irc(typed), "NAMES #CQDX") << typed;
  }
  // Not one of the abbreviations: plain channel text.
  EXPECT_EQ(Irc("sh/uptime"), "PRIVMSG #CQDX :sh/uptime");
  EXPECT_EQ(CanonicalCommand("show/users now"), "SH/U now");
  EXPECT_EQ(CanonicalCommand("a/full hi"), "ANN/F hi");
}

TEST(CommandTranslation, TalksAndPrivateMessages) {
  EXPECT_EQ(Irc("T ZX9ABC hello there"), "PRIVMSG ZX9ABC :hello there");
  EXPECT_EQ(Irc("t zx9abc hi"), "PRIVMSG zx9abc :hi");
  EXPECT_EQ(Irc("/MSG ZX9ABC see you"), "PRIVMSG ZX9ABC :see you");
  // The program's own talk replies in IRC sessions use "/M".
  EXPECT_EQ(Irc("/M ZX9ABC 73"), "PRIVMSG ZX9ABC :73");
}

TEST(CommandTranslation, CtcpAndSlashCommands) {
  EXPECT_EQ(Irc("@ROBOT sh/dx 10"), "PRIVMSG ROBOT :\x01SH/DX 10\x01");
  // The macro text "/CTCP robot sh/dx " with nothing typed after it.
  EXPECT_EQ(Irc("/CTCP ROBOT sh/dx "), "PRIVMSG ROBOT :\x01SH/DX\x01");
  EXPECT_EQ(Irc("/join #other"), "join #other");
  EXPECT_EQ(Irc("/away :gone"), "away :gone");
  EXPECT_EQ(Irc("/NOTICE nick :\x01VERSION x\x01"), "NOTICE nick :\x01VERSION x\x01");
  EXPECT_EQ(Irc("/Q"), "QUIT");
}

TEST(CommandTranslation, SpotsAndAnnouncements) {
  EXPECT_EQ(Irc("DX 14025 ZX1AA up 2 "), "PRIVMSG ROBOT :dx 14025 ZX1AA up 2");
  SessionFlags dxs = Irc();
  dxs.robotNick = "DXS";
  EXPECT_EQ(TranslateCommand("dx 7005.5 ZX2BB cq cq", dxs),
            "PRIVMSG DXS :&dxcall=ZX2BB&freq=7005.5&info=cq cq");
  // The submission check refuses a malformed spot: nothing goes out.
  RobotSpotCheck refuse = [](const std::string&) { return false; };
  EXPECT_EQ(TranslateCommand("DX abc", Irc(), refuse), std::nullopt);
  EXPECT_EQ(TranslateLines("DX abc\nhello\n", Irc(), refuse), "PRIVMSG #CQDX :hello\n");

  EXPECT_EQ(Irc("ANN/F qrv 6m"), "PRIVMSG ROBOT :ann qrv 6m");
  EXPECT_EQ(Irc("announce/full qrv"),
            "PRIVMSG #CQDX :announce/full qrv");  // "announce" is not an abbreviation
  EXPECT_EQ(Irc("a/fu qrv"), "PRIVMSG ROBOT :ann qrv");
  EXPECT_EQ(Irc("ann/local here"), "PRIVMSG #CQDX :here");
}

TEST(CommandTranslation, PlainTextGoesToTheChannel) {
  EXPECT_EQ(Irc("good evening all"), "PRIVMSG #CQDX :good evening all");
  EXPECT_EQ(Irc("ann hello"), "PRIVMSG #CQDX :ann hello");
  EXPECT_EQ(Irc("t"), "PRIVMSG #CQDX :t");
  EXPECT_EQ(Irc(""), "");
}

TEST(CommandTranslation, ChatTalksAndOtherSessions) {
  SessionFlags chat;
  chat.chat = true;
  EXPECT_EQ(TranslateCommand("T ZX9ABC hi", chat), "/M ZX9ABC hi");
  EXPECT_EQ(TranslateCommand("t/zx9abc hi", chat), "/M zx9abc hi");
  EXPECT_EQ(TranslateCommand("sh/dx", chat), "sh/dx");
  EXPECT_EQ(TranslateCommand("sh/dx", SessionFlags{}), "sh/dx");
}

TEST(CommandTranslation, EachLineKeepsItsOwnLineEnd) {
  EXPECT_EQ(TranslateLines("sh/dx\r\nhi\rT A b\n", Irc()),
            "PRIVMSG ROBOT :sh/dx\r\nPRIVMSG #CQDX :hi\rPRIVMSG A :b\n");
  EXPECT_EQ(TranslateLines("\r\n", Irc()), "\r\n");
}

}  // namespace
}  // namespace qn
