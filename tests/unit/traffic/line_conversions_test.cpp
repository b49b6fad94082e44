#include "traffic/line_conversions.h"

#include <gtest/gtest.h>

#include <string>

#include "traffic/spot_line.h"

namespace qn {
namespace {

const std::string kStandard =
    "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z\r\n";

TEST(ConvertNodeRecord, BuildsTheStandardLayout) {
  EXPECT_EQ(ConvertNodeRecord("PC11^14025.0^DL1XYZ^ 5-Jan-2024^1234Z^up 2^K1ABC^GB7XX^H99^~\r\n"), kStandard);
  // Runs of blanks in the comment shrink; the time keeps its last five characters.
  EXPECT_EQ(ConvertNodeRecord("PC11^ 7012.5 ^ VK0EK ^5-Jan-2024^T0815Z^ CW   599 ^ DL1ABCDEF-12 ^N^H1^~"),
            "DX de DL1ABCDEF-12:   7012.5  VK0EK        CW 599                         0815Z\r\n");
  // The pipeline keeps such a line whole, time included.
  auto rec = NormaliseSpotLine(ConvertNodeRecord("PC11^7012.5^VK0EK^d^0815Z^CW 599^DL1ABCDEF-12^N^H1^~"),
                               SpotSource::Node);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->time, "0815Z");
  EXPECT_EQ(rec->spotter, "DL1ABCDEF-12");
  // Over-long fields are cut to their columns.
  std::string cut = ConvertNodeRecord("PC11^14025.000000^ABCDEFGHIJKLMNOP^d^1234Z^" + std::string(40, 'c') +
                                      "^K1ABC^N^H^~");
  EXPECT_EQ(cut.size(), 77u);
  EXPECT_EQ(cut.substr(15, 9), "14025.000");
  EXPECT_EQ(cut.substr(26, 12), "ABCDEFGHIJKL");
  EXPECT_EQ(cut.substr(70, 5), "1234Z");
}

TEST(ConvertNodeRecord, IncompleteRecordGivesNothing) {
  EXPECT_EQ(ConvertNodeRecord("PC11^14025.0^DL1XYZ^5-Jan-2024^1234Z^up 2\r\n"), "");
  EXPECT_EQ(ConvertNodeRecord("PC11^^DL1XYZ^d^1234Z^c^K1ABC^"), "");
  EXPECT_EQ(ConvertNodeRecord("PC11^"), "");
  EXPECT_EQ(ConvertNodeRecord(""), "");
  // The last field may carry the line end.
  EXPECT_EQ(ConvertNodeRecord("PC11^14025.0^DL1XYZ^d^1234Z^up 2^K1ABC\r\n"), kStandard);
}

TEST(ConvertBridgeLine, ReadsTheBridgeFormBack) {
  std::string line = "DX/K1ABC 14025.0 DL1XYZ up 2\r\n";
  std::size_t at = BridgeLinePosition(line);
  ASSERT_EQ(at, 1u);
  ASSERT_TRUE(ConvertBridgeLine(line, at, "1234"));
  EXPECT_EQ(line, "\x01" + kStandard);
  auto rec = NormaliseSpotLine(line, SpotSource::Serial);
  ASSERT_TRUE(rec);
  EXPECT_TRUE(rec->converted);
  EXPECT_EQ(rec->line, kStandard);
}

TEST(ConvertBridgeLine, TextBeforeTheBridgeFormIsDropped) {
  std::string line = "GB7XX> DX/K1ABC-@ 7012.5 VK0EK\r\n";
  std::size_t at = BridgeLinePosition(line);
  ASSERT_EQ(at, 8u);
  ASSERT_TRUE(ConvertBridgeLine(line, at, "0001"));
  EXPECT_EQ(line,
            "\x01"
            "DX de K1ABC-@:    7012.5  VK0EK" +
                std::string(39, ' ') + "0001Z\r\n");
}

TEST(ConvertBridgeLine, MissingFieldLeavesTheLine) {
  for (std::string line : {"DX/K1ABC 14025.0\r\n", "DX/K1ABC\r\n", "DX/ 14025.0 DL1XYZ x\r\n", "DX/\r\n"}) {
    std::string before = line;
    std::size_t at = 1;
    EXPECT_FALSE(ConvertBridgeLine(line, at, "1234")) << before;
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(line, before);
  }
  std::string line = "no bridge";
  std::size_t at = 4;
  EXPECT_FALSE(ConvertBridgeLine(line, at, "1234"));
  EXPECT_EQ(at, 0u);
}

TEST(BridgeLinePosition, OnlyWhereNoCallCanContinue) {
  EXPECT_EQ(BridgeLinePosition("DX/K1ABC 14025 DL1XYZ"), 1u);
  EXPECT_EQ(BridgeLinePosition(":DX/K1ABC 14025 DL1XYZ"), 2u);
  EXPECT_EQ(BridgeLinePosition("PA/DX/K1ABC 14025 DL1XYZ"), 0u);
  EXPECT_EQ(BridgeLinePosition("K1ABCDX/K1ABC 14025 DL1XYZ"), 0u);
  EXPECT_EQ(BridgeLinePosition("k9DX/K1ABC"), 0u);
  EXPECT_EQ(BridgeLinePosition(std::string(27, ' ') + " DX/K1ABC 1 D"), 29u);
  EXPECT_EQ(BridgeLinePosition(std::string(28, ' ') + " DX/K1ABC 1 D"), 0u);
  EXPECT_EQ(BridgeLinePosition(""), 0u);
}

TEST(BridgeTimeStamp, LocalTimePlusOffsetHours) {
  DateTime t;
  t.hour = 23;
  t.minute = 50;
  EXPECT_EQ(BridgeTimeStamp(t, "1"), "0050");
  EXPECT_EQ(BridgeTimeStamp(t, "0"), "2350");
  EXPECT_EQ(BridgeTimeStamp(t, "-0"), "2350");
  // Only the decimal number at the start counts.
  EXPECT_EQ(BridgeTimeStamp(t, "5:30"), "0450");
  EXPECT_EQ(BridgeTimeStamp(t, "1.5"), "0120");
  t.hour = 2;
  t.minute = 0;
  EXPECT_EQ(BridgeTimeStamp(t, "-5"), "2100");
  EXPECT_EQ(BridgeTimeStamp(t, "1e999"), "0300");
  EXPECT_EQ(BridgeTimeStamp(t, "junk"), "0200");
  // However absurd the offset, the stamp is a time of day.
  std::string absurd = BridgeTimeStamp(t, "999999999999999999999999");
  ASSERT_EQ(absurd.size(), 4u);
  EXPECT_LT(absurd, "2400");
}

// Listing columns: spotter to 16, frequency to 17, DX call 19-30, comment 31-60, time 61-64.
TEST(ConvertColumnLine, FixedColumnsBecomeASpotLine) {
  const std::string listing = "K1ABC     14025.0 DL1XYZ      up 2                          1234 EU";
  ASSERT_EQ(listing.find("1234"), 60u);
  EXPECT_EQ(ConvertColumnLine(listing), kStandard);
  // A frequency reaching left into column 10 still ends the spotter before it.
  const std::string wide = "W1AW     144300.0 DL1XYZ      up    2                       0001";
  EXPECT_EQ(ConvertColumnLine(wide),
            "DX de W1AW:     144300.0  DL1XYZ       up 2                           0001Z\r\n");
}

TEST(ConvertColumnLine, TimeColumnsMustHoldFourCharacters) {
  EXPECT_EQ(ConvertColumnLine("K1ABC     14025.0 DL1XYZ      up 2                          123"), "");
  EXPECT_EQ(ConvertColumnLine("K1ABC     14025.0 DL1XYZ      up 2"), "");
  // Below "0000" as text.
  EXPECT_EQ(ConvertColumnLine("K1ABC     14025.0 DL1XYZ      up 2                           123"), "");
  EXPECT_EQ(ConvertColumnLine(""), "");
}

TEST(ConvertColumnLine, SpotterWithColonKeepsTheSpotText) {
  EXPECT_EQ(ConvertColumnLine("K1ABC:  14025.0  DL1XYZ  up 2  1234Z  JO40"),
            "DX de K1ABC:  14025.0  DL1XYZ  up 2  1234Z\r\n");
  EXPECT_EQ(ConvertColumnLine("K1ABC:  14025.0  DL1XYZ  up 2  JO40AA"), "");
  EXPECT_EQ(ConvertColumnLine("K1AB:"), "");
}

TEST(Conversions, HostileInputStaysBounded) {
  std::string big(10000, 'x');
  std::string nulBells;
  for (int i = 0; i < 500; ++i) nulBells += std::string("\0\a", 2);
  for (const std::string& s : {big, nulBells, "PC11^" + big, "PC11^" + std::string(5000, '^'), "DX/" + big,
                               "DX/a b c" + big, big + ":" + big, std::string(80, ' ')}) {
    std::string node = ConvertNodeRecord(s);
    std::string column = ConvertColumnLine(s);
    EXPECT_LE(column.size(), 10100u);
    std::string line = s;
    std::size_t at = 1;
    ConvertBridgeLine(line, at, "1234");
    if (at != 0) {
      EXPECT_LE(line.size(), 10100u);
    }
    EXPECT_LE(node.size(), 10100u);
  }
}

}  // namespace
}  // namespace qn
