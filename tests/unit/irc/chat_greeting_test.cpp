#include "irc/chat_greeting.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(ChatGreeting, ArrivalNoticesOfTheThreeTypes) {
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** (12:00) K1ABC@host.example joined channel 107", '1'), "K1ABC");
  EXPECT_EQ(ChatGreeting::ArrivalNick("***  DL1XYZ@node logged in", '2'), "DL1XYZ");
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** PA3ZZZ signed on at 12:00", '3'), "PA3ZZZ");
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** PA3ZZZ signed on at 12:00", '2'), "");
  EXPECT_EQ(ChatGreeting::ArrivalNick("** PA3ZZZ signed on at 12:00", '3'), "");
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** DX-Robot signed on now", '3'), "");
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** a;b@x logged in", '2'), "");
  EXPECT_EQ(ChatGreeting::ArrivalNick("*** (x) K1ABC@h joined channel 5", '1'), "");
}

TEST(ChatGreeting, EachNewArrivalIsGreetedOncePerPiece) {
  ChatGreeting g;
  std::vector<std::string> sent;
  std::vector<std::string> handedOver;
  g.send = [&](const std::string& t) { sent.push_back(t); };
  g.sendTerminator = [] { return std::string("\r\n"); };
  g.robotHandOver = [&](const std::string& nick) { handedOver.push_back(nick); };
  g.OnNotice("*** K1ABC@h logged in", '2', "Welcome!/Latest spots >>");
  EXPECT_EQ(sent, (std::vector<std::string>{"/M K1ABC Welcome!\r\n", "/M K1ABC Latest spots >>\r\n"}));
  EXPECT_EQ(handedOver, std::vector<std::string>{"K1ABC"});
  g.OnNotice("*** K1ABC@h logged in", '2', "Welcome!/Latest spots >>");
  EXPECT_EQ(sent.size(), 2u);
  g.OnNotice("*** K1ABC@h logged in", '2', "");
  EXPECT_EQ(sent.size(), 2u);
}

TEST(ChatGreeting, TheListKeepsTheNewestWithinItsLength) {
  ChatGreeting g;
  int greeted = 0;
  g.send = [&](const std::string&) { ++greeted; };
  for (int i = 0; i < 20; ++i) g.OnNotice("*** CALL" + std::to_string(i) + "@h logged in", '2', "hi");
  EXPECT_EQ(greeted, 20);
  EXPECT_LE(g.Arrivals().size(), ChatGreeting::kMaxArrivals);
  EXPECT_TRUE(g.Arrivals().ends_with("CALL19;"));
  // A known nick moves to the end and is not greeted again.
  g.OnNotice("*** CALL17@h logged in", '2', "hi");
  EXPECT_EQ(greeted, 20);
  EXPECT_TRUE(g.Arrivals().ends_with("CALL17;"));
  // The oldest fell off: greeted again.
  g.OnNotice("*** CALL0@h logged in", '2', "hi");
  EXPECT_EQ(greeted, 21);
}

}  // namespace
}  // namespace qn
