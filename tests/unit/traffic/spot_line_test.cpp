#include "traffic/spot_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace qn {
namespace {

// Exact 75-column lines as nodes send them.
const std::string kStandard = "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z";
const std::string kLongSpotter =
    "DX de DL1ABCDEF-12:   7012.5  VK0EK        CW 599                         0815Z";
const std::string kCrLfText = "\r\n";

SpotRecord Normalised(const std::string& line, SpotSource source = SpotSource::Main) {
  auto rec = NormaliseSpotLine(line, source);
  EXPECT_TRUE(rec.has_value()) << line;
  return rec.value_or(SpotRecord{});
}

TEST(ParseSpotFields, FindsSpotterColonFrequencyAndDxCall) {
  ASSERT_EQ(kStandard.size(), 75u);
  SpotFields f = ParseSpotFields(kStandard + kCrLfText);
  EXPECT_EQ(f.colon, 12u);
  EXPECT_EQ(f.frequency, "14025.0");
  EXPECT_EQ(f.dxCall, "DL1XYZ");
  EXPECT_TRUE(f.Understood());
}

TEST(ParseSpotFields, ColonRunEndsAtTheLastCloseColon) {
  // Colons fewer than 5 apart belong to the spotter field.
  EXPECT_EQ(ParseSpotFields("DX de K1AB:C: 14025.0 DL1XYZ x").colon, 13u);
  EXPECT_EQ(ParseSpotFields("DX de K1ABC:::: 14025.0 DL1XYZ x").colon, 15u);
  // A colon further on (a time in the comment) is not part of it.
  EXPECT_EQ(ParseSpotFields("DX de K1ABC: 14025.0 DL1XYZ QSX 14:30 x").colon, 12u);
  EXPECT_EQ(ParseSpotFields("DX de K1ABC:   :14025.0 DL1XYZ x").colon, 16u);
  EXPECT_EQ(ParseSpotFields("DX de K1ABC:    :14025.0 DL1XYZ x").colon, 12u);
  EXPECT_EQ(ParseSpotFields("no colon here").colon, 0u);
}

TEST(ParseSpotFields, AWordWithoutAFollowingBlankIsNotTaken) {
  SpotFields endsAfterFrequency = ParseSpotFields("DX de K1ABC: 14025.0");
  EXPECT_EQ(endsAfterFrequency.colon, 12u);
  EXPECT_EQ(endsAfterFrequency.frequency, "");
  EXPECT_EQ(endsAfterFrequency.dxCall, "");
  // Both or neither.
  SpotFields endsAfterCall = ParseSpotFields("DX de K1ABC: 14025.0 DL1XYZ");
  EXPECT_EQ(endsAfterCall.frequency, "");
  EXPECT_EQ(endsAfterCall.dxCall, "");
  EXPECT_TRUE(ParseSpotFields("DX de K1ABC:    14025.0    DL1XYZ   x").Understood());
}

TEST(NormaliseSpotLine, StandardLineComesOutUnchanged) {
  SpotRecord rec = Normalised(kStandard + kCrLfText, SpotSource::Serial);
  EXPECT_EQ(rec.line, kStandard + kCrLfText);
  EXPECT_EQ(rec.spotter, "K1ABC");
  EXPECT_EQ(rec.frequency, "14025.0");
  EXPECT_EQ(rec.dxCall, "DL1XYZ");
  EXPECT_EQ(rec.comment, "up 2");
  EXPECT_EQ(rec.time, "1234Z");
  EXPECT_EQ(rec.source, SpotSource::Serial);
  EXPECT_FALSE(rec.converted);
  EXPECT_DOUBLE_EQ(rec.FrequencyKhz(), 14025.0);
}

TEST(NormaliseSpotLine, CommentLosesLeadingAndDoubledBlanksAndKeepsItsColumns) {
  const std::string in = "DX de K1ABC:     14025.0  DL1XYZ          up   2  QSX  14030          1234Z";
  ASSERT_EQ(in.size(), 75u);
  SpotRecord rec = Normalised(in + kCrLfText);
  EXPECT_EQ(rec.line, "DX de K1ABC:     14025.0  DL1XYZ       up 2 QSX 14030                 1234Z\r\n");
  EXPECT_EQ(rec.line.size(), 77u);
  EXPECT_EQ(rec.line.substr(70, 5), "1234Z");
  EXPECT_EQ(rec.comment, "up 2 QSX 14030");
}

TEST(NormaliseSpotLine, LongSpotterPushesTheRestRight) {
  SpotRecord rec = Normalised(kLongSpotter + kCrLfText);
  EXPECT_EQ(rec.line, kLongSpotter + kCrLfText);
  EXPECT_EQ(rec.spotter, "DL1ABCDEF-12");
  EXPECT_EQ(rec.frequency, "7012.5");
  EXPECT_EQ(rec.dxCall, "VK0EK");
  EXPECT_EQ(rec.time, "0815Z");

  // Longer than its shifted layout: cut, and the time is lost.
  SpotRecord tooLong = Normalised(
      "DX de DL1ABCDEF-12:   7012.5  VK0EK        CW 599 and more and more and more and more text 0815Z\r\n");
  EXPECT_NE(tooLong.time, "0815Z");

  // Without a time the fixed columns are read shifted by the excess (4 here).
  SpotRecord noTime = Normalised("DX de DL1ABCDEF-12:   7012.5  VK0EK        0815Z CW 599\r\n");
  EXPECT_EQ(noTime.time, "0815Z");
  EXPECT_EQ(noTime.comment, "CW 599");
  EXPECT_EQ(noTime.line,
            "DX de DL1ABCDEF-12:   7012.5  VK0EK        CW 599                         0815Z\r\n");
}

TEST(NormaliseSpotLine, LineWithoutTimeIsPaddedAndTakesTimeFromColumn40) {
  // Older listings put the time in front of the comment.
  SpotRecord timeFirst = Normalised("DX de K1ABC:     14025.0  DL1XYZ       1234Z up 2\r\n");
  EXPECT_EQ(timeFirst.line, kStandard + kCrLfText);

  // A line that simply ends in its comment gets columns 40-44 as its time.
  SpotRecord endsInComment = Normalised("DX de K1ABC:     14025.0  DL1XYZ       up 2\r\n");
  EXPECT_EQ(endsInComment.time, "up 2 ");
  EXPECT_EQ(endsInComment.line.size(), 77u);
  EXPECT_EQ(endsInComment.line.substr(0, 39), kStandard.substr(0, 39));
}

TEST(NormaliseSpotLine, BlankAfterSpotterBecomesTheColon) {
  SpotRecord rec =
      Normalised("DX de K1ABC      14025.0  DL1XYZ       up 2                           1234Z\r\n");
  EXPECT_EQ(rec.line, kStandard + kCrLfText);
  EXPECT_EQ(rec.spotter, "K1ABC");
  // A colon anywhere in the first 20 characters leaves the line alone.
  EXPECT_EQ(ParseSpotFields("DX de K1A:BC 14025.0 DL1XYZ x").colon, 10u);
  // The first blank from position 8 on must stand before position 20.
  EXPECT_FALSE(NormaliseSpotLine("DX de K1ABCDEFGHIJKLMNOP 14025.0 DL1XYZ x\r\n", SpotSource::Main));
}

TEST(NormaliseSpotLine, EightyCharacterLineIsCutAndFailsTheTimeCheck) {
  const std::string in = "DX de K1ABC:     14025.0  DL1XYZ       up 2 and a long comment text here 1234Z";
  ASSERT_EQ(in.size() + 2, 80u);
  SpotRecord rec = Normalised(in + kCrLfText);
  EXPECT_NE(rec.time, "1234Z");
  EXPECT_EQ(rec.line.size(), 77u);
  EXPECT_EQ(rec.line.substr(75), "\r\n");
}

TEST(NormaliseSpotLine, ShortLineNeverPassesTheTimeCheck) {
  SpotRecord rec = Normalised("DX de K1ABC: 14025.0 DL1XYZ up 2 1234Z\r\n");
  EXPECT_EQ(rec.time, "     ");
  EXPECT_EQ(rec.line.size(), 77u);
  EXPECT_EQ(rec.dxCall, "DL1XYZ");
}

TEST(NormaliseSpotLine, ZOutOfPlaceFailsTheTimeCheck) {
  const std::string in = "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1Z34Z";
  ASSERT_EQ(in.size(), 75u);
  EXPECT_NE(Normalised(in + kCrLfText).time, "1Z34Z");
}

TEST(NormaliseSpotLine, NoSpotterColonRejects) {
  EXPECT_FALSE(NormaliseSpotLine("DX de K1ABC\r\n", SpotSource::Main));
  EXPECT_FALSE(NormaliseSpotLine("", SpotSource::Main));
  EXPECT_FALSE(NormaliseSpotLine("\r\n", SpotSource::Main));
}

TEST(NormaliseSpotLine, ConversionMarkSetsConvertedAndGoes) {
  SpotRecord rec = Normalised("\x01" + kStandard + kCrLfText, SpotSource::Link);
  EXPECT_TRUE(rec.converted);
  EXPECT_EQ(rec.line, kStandard + kCrLfText);
}

TEST(NormaliseSpotLine, UpdatesLastParsedSpotOnlyWhenUnderstood) {
  LastParsedSpot last{"OLD", "1.0"};
  NormaliseSpotLine("DX de K1ABC: 14025.0\r\n", SpotSource::Main, &last);
  EXPECT_EQ(last.dxCall, "OLD");
  NormaliseSpotLine(kStandard + kCrLfText, SpotSource::Main, &last);
  EXPECT_EQ(last.dxCall, "DL1XYZ");
  EXPECT_EQ(last.frequency, "14025.0");
}

TEST(NormaliseSpotLine, HostileInputStaysBounded) {
  // 10,000 characters: cut to the layout.
  SpotRecord huge = Normalised("DX de K1ABC:     14025.0  DL1XYZ       " + std::string(10000, 'x') + "\r\n");
  EXPECT_EQ(huge.line.size(), 77u);
  // A spotter colon far beyond the layout.
  SpotRecord farColon = Normalised("DX de " + std::string(9000, 'K') + ": 14025.0 DL1XYZ x\r\n");
  EXPECT_LE(farColon.line.size(), 77u + 120u);
  EXPECT_EQ(farColon.line.substr(farColon.line.size() - 2), "\r\n");
  // Numbers that do not read as sane ones are text; their value is finite.
  SpotRecord inf =
      Normalised("DX de K1ABC:       1e999  DL1XYZ       up 2                           1234Z\r\n");
  EXPECT_EQ(inf.frequency, "1e999");
  EXPECT_DOUBLE_EQ(inf.FrequencyKhz(), 1.0);
  SpotRecord minusZero =
      Normalised("DX de K1ABC:          -0  DL1XYZ       up 2                           1234Z\r\n");
  EXPECT_EQ(minusZero.FrequencyKhz(), 0.0);
  EXPECT_FALSE(std::signbit(minusZero.FrequencyKhz()));
  // NULs and bells.
  std::string junk;
  for (int i = 0; i < 500; ++i) junk += std::string("\0\a", 2);
  auto rec = NormaliseSpotLine("DX de K1ABC:" + junk + "\r\n", SpotSource::Main);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->line.size(), 77u);
}

TEST(LayoutHelpers, SqueezeFitAndPad) {
  EXPECT_EQ(SqueezeSpaces("  a   b c  "), " a b c ");
  EXPECT_EQ(FitRight("14025.0", 9), "  14025.0");
  EXPECT_EQ(FitRight("1234567890", 9), "123456789");
  EXPECT_EQ(PadAtLeast("abc", 5), "abc  ");
  EXPECT_EQ(PadAtLeast("abcdef", 5), "abcdef");
  EXPECT_EQ(WithoutLineEnd("x\r\n"), "x");
  EXPECT_EQ(WithoutLineEnd("x\n"), "x");
}

}  // namespace
}  // namespace qn
