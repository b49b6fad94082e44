#include "irc/irc_session.h"

#include <gtest/gtest.h>

#include "fakes/virtual_time.h"
#include "session/received_line.h"

namespace qn {
namespace {

class IrcSessionTest : public ::testing::Test {
 protected:
  IrcSessionTest() : irc(clock, Hooks()) {}
  IrcSessionHooks Hooks() {
    IrcSessionHooks h;
    h.sendLine = [this](const std::string& l) { sent.push_back(l); };
    h.show = [this](const std::string& t) { shown += t; };
    h.ownCall = [this] { return call; };
    h.robotNick = [] { return std::string("DXBOT"); };
    h.channel = [this] { return channel; };
    h.channelKey = [this] { return key; };
    h.localHost = [] { return std::string("127.0.0.1"); };
    h.localPort = [] { return std::string("40001"); };
    return h;
  }
  // The line as the receive path hands it on: done, or traffic text.
  ReceivedLine Feed(const std::string& body) {
    ReceivedLine line{body + "\r\n"};
    irc.OnLine(line);
    return line;
  }

  fakes::VirtualClock clock;
  std::string call = "G4TST";
  std::string channel = "#CQDX";
  std::string key;
  std::vector<std::string> sent;
  std::string shown;
  IrcSession irc;
};

TEST_F(IrcSessionTest, RegistrationUsesTheCallAndTheLocalEnd) {
  irc.RegisterIrc();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], "NICK G4TST");
  EXPECT_EQ(sent[1], "USER G4TST \"127.0.0.1\" \"40001\" :G4TST");
  sent.clear();
  call = "9A1AA";
  irc.RegisterIrc();
  EXPECT_EQ(sent[0], "NICK _9A1AA");
  EXPECT_EQ(sent[1], "USER 9A1AA \"127.0.0.1\" \"40001\" :9A1AA");
}

TEST_F(IrcSessionTest, CollisionsTakeTheNextSuffixAndWrap) {
  const std::string inUse = ":irc.test 433 * G4TST :Nickname already in use";
  for (const char* expected : {"NICK G4TST-1", "NICK G4TST-2", "NICK G4TST-3"}) {
    sent.clear();
    Feed(inUse);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], expected);
  }
  EXPECT_EQ(sent[1], "USER G4TST-3 \"127.0.0.1\" \"40001\" :G4TST");
  for (int i = 4; i <= 16; ++i) Feed(inUse);
  EXPECT_EQ(irc.NickSuffix(), "-0");
  // A storm past every suffix: one message, then quiet.
  sent.clear();
  Feed(inUse);
  Feed(inUse);
  EXPECT_TRUE(sent.empty());
  EXPECT_NE(shown.find("is in use"), std::string::npos);
}

TEST_F(IrcSessionTest, CollisionsEndWithTheWelcomeOrThePingAndIgnoreUsers) {
  Feed(":K1ABC!k@h PRIVMSG #CQDX :that nick is already in use, ha");
  EXPECT_TRUE(sent.empty());
  Feed("PING :irc.test");
  sent.clear();
  Feed(":irc.test 433 * G4TST :Nickname already in use");
  EXPECT_TRUE(sent.empty());
}

TEST_F(IrcSessionTest, PingIsAnsweredAtOnceAndNotShown) {
  ReceivedLine l = Feed("PING :irc.test");
  EXPECT_TRUE(l.done);
  EXPECT_TRUE(irc.PingSeen());
  EXPECT_EQ(sent, std::vector<std::string>{"PONG :irc.test"});
  Feed("ping :lower");
  EXPECT_EQ(sent.back(), "pong :lower");
  Feed(":irc.test PING :cookie");
  EXPECT_EQ(sent.back(), "PONG :cookie");
  EXPECT_EQ(shown, "");
}

TEST_F(IrcSessionTest, WelcomeJoinsTheScriptsChannelOnce) {
  channel = "#DXSPOTS";
  key = "secret";
  Feed(":irc.test 001 G4TST :Welcome");
  Feed(":irc.test 001 G4TST :Welcome");
  EXPECT_EQ(sent, std::vector<std::string>{"JOIN #DXSPOTS secret"});
  EXPECT_EQ(shown, "Welcome\r\nWelcome\r\n");
  irc.StartSession();
  Feed(":irc.test 001 G4TST :Welcome");
  EXPECT_EQ(sent.size(), 2u);
}

TEST_F(IrcSessionTest, TrafficGoesOnAndChatIsOnlyShown) {
  ReceivedLine chat = Feed(":K1ABC!k@h PRIVMSG #CQDX :hello all");
  EXPECT_TRUE(chat.done);
  ReceivedLine talk = Feed(":K1ABC!k@h PRIVMSG G4TST :hello you");
  EXPECT_FALSE(talk.done);
  EXPECT_EQ(talk.text, "G4TST de K1ABC: hello you\r\n");
  EXPECT_EQ(shown, "<K1ABC> hello all\r\nG4TST de K1ABC: hello you\r\n");
}

TEST_F(IrcSessionTest, PrivateAndChannelMessagesReachTheRobot) {
  std::vector<std::string> got;
  irc.privateMessage.Subscribe([&](const std::string& nick, const std::string& text) {
    got.push_back("private " + nick + " " + text);
  });
  irc.channelMessage.Subscribe([&](const std::string& nick, const std::string& text) {
    got.push_back("channel " + nick + " " + text);
  });
  Feed(":K1ABC!k@h PRIVMSG G4TST :SH/DX");
  Feed(":K1ABC!k@h PRIVMSG #CQDX :!DX 14025 DL1XYZ cq");
  Feed(":K1ABC!k@h PRIVMSG G4TST :\x01VERSION\x01");
  Feed(":K1ABC!k@h NOTICE G4TST :SH/DX");
  EXPECT_EQ(got, (std::vector<std::string>{"private K1ABC SH/DX", "channel K1ABC !DX 14025 DL1XYZ cq"}));
  sent.clear();
  irc.SendPrivateMessage("K1ABC", "one\r\ntwo\rQUIT\n" + std::string(900, 'x'));
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], "PRIVMSG K1ABC :one");
  EXPECT_EQ(sent[1], "PRIVMSG K1ABC :twoQUIT");
  EXPECT_EQ(sent[2].size(), std::string("PRIVMSG K1ABC :").size() + 400);
}

TEST(IrcSessionTnc, FunctionKeysSwitchAndRegisterWithTheCallForTheLocalEnd) {
  fakes::VirtualClock clock;
  std::vector<std::string> sent;
  std::vector<bool> modes;
  IrcSessionHooks h;
  h.sendLine = [&](const std::string& l) { sent.push_back(l); };
  h.ownCall = [] { return std::string("G4TST"); };
  h.setIrcMode = [&](bool on) { modes.push_back(on); };
  IrcSession irc(clock, h);
  irc.TncFunctionKey(3);
  irc.TncFunctionKey(2);
  EXPECT_TRUE(sent.empty());
  irc.TncFunctionKey(1);
  EXPECT_EQ(modes, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(sent, (std::vector<std::string>{"NICK G4TST", "USER G4TST \"G4TST\" \"G4TST\" :G4TST"}));
}

TEST_F(IrcSessionTest, CtcpRequestsAreAnsweredSparingly) {
  const std::string version = ":K1ABC!k@h PRIVMSG G4TST :\x01VERSION\x01";
  Feed(version);
  Feed(version);
  EXPECT_EQ(sent.size(), 1u);
  clock.SetNowMs(clock.NowMs() + IrcSession::kCtcpSenderSpanMs);
  Feed(version);
  EXPECT_EQ(sent.size(), 2u);
  // Many senders at once: no more answers than the span allows.
  clock.SetNowMs(clock.NowMs() + IrcSession::kCtcpSpanMs);
  sent.clear();
  for (int i = 0; i < 1000; ++i) Feed(":u" + std::to_string(i) + "!k@h PRIVMSG G4TST :\x01PING 1\x01");
  EXPECT_EQ(sent.size(), static_cast<std::size_t>(IrcSession::kCtcpAnswersPerSpan));
  EXPECT_EQ(shown, "");
}

}  // namespace
}  // namespace qn
