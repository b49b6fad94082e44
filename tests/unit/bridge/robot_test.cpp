// The DX robot: who it listens to, what it answers and submits, and that odd
// senders and repeated submissions have a clear outcome.
#include "bridge/robot.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

class RobotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    robot.Hooks().send = [this](const std::string& t) { sent.push_back(t); };
    robot.Hooks().startHelper = [this](const std::string& a) { helper.push_back(a); };
    robot.Hooks().spotRing = [this] { return ring; };
    robot.Prepare(";DL1BAD;");
  }
  std::string terminator = "\n";
  Robot robot{terminator};
  std::vector<std::string> sent, helper;
  std::vector<std::string> ring = std::vector<std::string>(10);
};

TEST(RobotSenderTest, DisplayFormsOfTheIrcSession) {
  EXPECT_EQ(RobotSender("<K1ABC>:"), "K1ABC");
  EXPECT_EQ(RobotSender("  <*K1ABC*>: "), "K1ABC");
  EXPECT_EQ(RobotSender("<K1ABC:#cqdx>:"), "K1ABC");
  EXPECT_EQ(RobotSender("K1ABC>:"), "");
  EXPECT_EQ(RobotSender("<K1ABC>"), "");
  EXPECT_EQ(RobotSender("<>:"), "");
}

TEST_F(RobotTest, NothingBeforePreparedOrWithoutTheSenderForm) {
  Robot idle{terminator};
  EXPECT_EQ(idle.RobotCommand("<K1ABC>: sh/dx\r\n"), "");
  robot.RobotCommand("K1ABC: sh/dx\r\n");
  robot.RobotCommand("<K1ABC> sh/dx\r\n");
  robot.RobotCommand("hello there\r\n");
  EXPECT_TRUE(sent.empty());
}

TEST_F(RobotTest, ShowDxOldestFirstAndWwv) {
  robot.RobotCommand("<K1ABC>: sh/dx\r\n");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], "/M K1ABC No spots found!\n");
  sent.clear();
  ring[3] = "W1AW: 14025.0 JA1XYZ cq\n";
  ring[7] = "W1AW: 7010.0 VK2ABC\n";
  robot.RobotCommand("<K1ABC>: SH/DX\r\n");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], "/M K1ABC W1AW: 14025.0 JA1XYZ cq\n");
  sent.clear();
  robot.RobotCommand("<K1ABC>: sh/wwv\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC No WWVs found!\n");
  robot.OnWindowLine("WWV de W1AW <18>:   SFI=150, A=5, K=1\r\n");
  robot.RobotCommand("<K1ABC>: sh/wwv\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC W1AW <18>:   SFI=150, A=5, K=1\n");
}

TEST_F(RobotTest, DxSubmissionOnceAndThroughTheHelper) {
  std::string reply = robot.RobotCommand("<K1ABC>: !DX 14025.55 ja1xyz big signal\r\n");
  EXPECT_EQ(reply, "DX/K1ABC-@ 14025.55 JA1XYZ big signal\r\n");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], "/M K1ABC Your DX has been submitted\n");
  EXPECT_EQ(sent[1], "DX/K1ABC-@ 14025.55 JA1XYZ big signal\n");
  ASSERT_EQ(helper.size(), 1u);
  EXPECT_EQ(helper[0],
            "\x05"
            "dmycall=K1ABC&dxcall=ja1xyz&freq=14025.55&info=big signal&Submit%21=Submit%21");
  sent.clear();
  EXPECT_EQ(robot.RobotCommand("<K1ABC>: !dx 14025.55 JA1XYZ big signal\r\n"), "");
  EXPECT_EQ(sent.back(), "/M K1ABC Your DX was already submitted!\n");
  EXPECT_EQ(helper.size(), 1u);
  // A frequency without digits, or no DX call: refused.
  robot.RobotCommand("<K1ABC>: !DX 14O25.5 JA1XYZ\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC Invalid submission!\n");
  robot.RobotCommand("<K1ABC>: !DX 14025\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC Invalid submission!\n");
  // A decimal part that is no number reads as 0.
  EXPECT_EQ(robot.RobotCommand("<K1ABC>: !DX 7010.x VK2ABC\r\n"), "DX/K1ABC-@ 7010.0 VK2ABC\r\n");
}

TEST_F(RobotTest, AnnouncementWinsOverShowDx) {
  std::string reply = robot.RobotCommand("<K1ABC>: !ANN  qrv  tonight, sh/dx later\r\n");
  EXPECT_EQ(reply, "To ALL de K1ABC-@ : qrv tonight, sh/dx later\a\r\n");
  EXPECT_EQ(sent[0], "/M K1ABC Your ANN has been submitted\n");
  EXPECT_EQ(sent[1], "To ALL de K1ABC-@ : qrv tonight, sh/dx later\n");
  EXPECT_EQ(helper.back(),
            "\x05"
            "amycall=K1ABC&dxcall=&freq=&info=qrv tonight, sh/dx later&Submit%21=Submit%21");
  robot.RobotCommand("<K1ABC>: !ANN QRV TONIGHT, SH/DX LATER\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC Your ANN was already submitted!\n");
  robot.RobotCommand("<K1ABC>: !ANN \r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC Invalid submission!\n");
}

TEST_F(RobotTest, BlockedLongAndBinarySenders) {
  robot.RobotCommand("<dl1bad>: !DX 14025.5 JA1XYZ\r\n");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], "/M dl1bad Sorry: the command is disabled\n");
  EXPECT_TRUE(helper.empty());
  sent.clear();
  EXPECT_EQ(robot.RobotCommand("<" + std::string(5000, 'K') + ">: !DX 14025.5 JA1XYZ\r\n"), "");
  EXPECT_TRUE(sent.empty());
  // A binary black list blocks nobody.
  Robot other{terminator};
  std::vector<std::string> out;
  other.Hooks().send = [&](const std::string& t) { out.push_back(t); };
  other.Prepare(std::string(";DL1BAD;\0\xff", 10));
  other.RobotCommand("<DL1BAD>: sh/wwv\r\n");
  EXPECT_EQ(out.back(), "/M DL1BAD No WWVs found!\n");
}

TEST_F(RobotTest, SubmittedKeysStayWithinTheirLimit) {
  for (int i = 0; i < 40; ++i) {
    robot.RobotCommand("<K1ABC>: !DX 14025." + std::to_string(i) + " JA1XYZ comment number " +
                       std::to_string(i) + "\r\n");
    EXPECT_LE(robot.Submitted().size(), Robot::kSubmittedLimit);
    EXPECT_EQ(robot.Submitted().front(), '\x01');
  }
  // The newest are remembered, the oldest forgotten.
  sent.clear();
  robot.RobotCommand("<K1ABC>: !DX 14025.39 JA1XYZ comment number 39\r\n");
  EXPECT_EQ(sent.back(), "/M K1ABC Your DX was already submitted!\n");
  EXPECT_NE(robot.RobotCommand("<K1ABC>: !DX 14025.0 JA1XYZ comment number 0\r\n"), "");
}

}  // namespace
}  // namespace qn
