#include "traffic/filters.h"

#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "core/files.h"
#include "core/text.h"
#include "fakes/temp_folder.h"
#include "traffic/spot_line.h"

namespace qn {
namespace {

std::string Line(const std::string& spotter, const std::string& freq, const std::string& call,
                 const std::string& comment) {
  return PadRight("DX de " + spotter + ":", 15) + FitRight(freq, 9) + "  " + PadRight(call, 12) + " " +
         PadRight(comment, 31) + "1234Z\r\n";
}

struct FilterFixture : ::testing::Test {
  AppSettings s;
  Filters filters{s};
  bool Passes(const std::string& freq, const std::string& comment, const std::string& call = "DL1XYZ",
              const std::string& spotter = "K1ABC") {
    return filters.PassesFrequencyAndWords(freq, Line(spotter, freq, call, comment));
  }
};

TEST_F(FilterFixture, RangesAreInclusiveAndEndAtTheFirstEmptyUpperLimit) {
  s.exclusionLow[0] = "14000";
  s.exclusionHigh[0] = "14070.5";
  s.exclusionLow[2] = "7000";  // behind an empty range 2: never looked at
  s.exclusionHigh[2] = "7100";
  EXPECT_FALSE(Passes("14000.0", "cq"));
  EXPECT_FALSE(Passes("14070.5", "cq"));
  EXPECT_FALSE(Passes("14035", "cq"));
  EXPECT_TRUE(Passes("14070.6", "cq"));
  EXPECT_TRUE(Passes("13999.9", "cq"));
  EXPECT_TRUE(Passes("7050.0", "cq"));
  // A range written upside down never matches; a number that is no number reads as 0.
  s.exclusionLow[1] = "21100";
  s.exclusionHigh[1] = "21000";
  EXPECT_TRUE(Passes("21050.0", "cq"));
  EXPECT_TRUE(Passes("1e999", "cq"));
  EXPECT_TRUE(Passes("-0", "cq"));
  s.exclusionLow[1] = "-5";
  s.exclusionHigh[1] = "1";
  EXPECT_FALSE(Passes("1e999", "cq"));  // reads as 1
  EXPECT_FALSE(Passes("-0", "cq"));
}

TEST_F(FilterFixture, SelectWordsStandAloneOnTheLeftAndMayBeFollowedByDigits) {
  s.selectWords = " cw, rtty  ";
  EXPECT_TRUE(Passes("14025.0", "CW up 2"));
  EXPECT_TRUE(Passes("14025.0", "cw599"));
  EXPECT_FALSE(Passes("14025.0", "CWOPS member"));
  EXPECT_FALSE(Passes("14025.0", "5CW"));
  EXPECT_TRUE(Passes("14085.0", "tnx rtty QSO"));
  EXPECT_FALSE(Passes("14025.0", "ssb"));
  // Only the first occurrence of a word counts.
  EXPECT_FALSE(Passes("14025.0", "CWOPS and CW"));
  // The whole line is searched: the DX call or spotter is a word too.
  s.selectWords = "dl1xyz";
  EXPECT_TRUE(Passes("14025.0", "nothing"));
  s.selectWords = "k1abc";
  EXPECT_TRUE(Passes("14025.0", "nothing"));
}

TEST_F(FilterFixture, RejectWordsIgnoreDigitsAroundThemAndAreSkippedWhenSelectWordsExist) {
  s.rejectWords = "qrp,pirate";
  EXPECT_FALSE(Passes("14025.0", "5QRP station"));
  EXPECT_FALSE(Passes("14025.0", "QRP5"));
  EXPECT_TRUE(Passes("14025.0", "XQRP"));
  EXPECT_FALSE(Passes("14025.0", "a PIRATE"));
  EXPECT_TRUE(Passes("14025.0", "cq"));
  s.selectWords = "cw";
  EXPECT_TRUE(Passes("14025.0", "cw qrp"));
  EXPECT_FALSE(Passes("14025.0", "ssb"));
}

TEST(SplitFilterWords, CutsAtCommasAndBlanks) {
  EXPECT_EQ(SplitFilterWords(" cw,, rtty  ft8,"), (std::vector<std::string>{"CW", "RTTY", "FT8"}));
  EXPECT_TRUE(SplitFilterWords("  ,  ").empty());
}

TEST(AreaList, PrefixesAdmitCallsWhoseDigitFollowsThem) {
  AreaList area;
  area.LoadText("' Europe\r\ni\r\n  DL \r\n\r\nIK2\n");
  EXPECT_EQ(area.Text(), ";I;DL;IK2;");
  EXPECT_EQ(area.LongestPrefix(), 3u);
  EXPECT_TRUE(area.Passes("I1ABC"));
  EXPECT_TRUE(area.Passes("DL1ABC"));
  EXPECT_TRUE(area.Passes("dl1abc"));
  EXPECT_FALSE(area.Passes("IK1ABC"));
  EXPECT_TRUE(area.Passes("IK2ABC"));  // the prefix with its digit
  EXPECT_FALSE(area.Passes("W1AW"));
  EXPECT_FALSE(area.Passes("DL"));
  EXPECT_FALSE(area.Passes(""));
}

TEST(AreaList, EmptyWithoutPrefixesLetsEverySpotterPass) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  AreaList area;
  area.Load(folder);  // no file
  EXPECT_TRUE(area.Empty());
  EXPECT_TRUE(area.Passes("W1AW"));
  folder.WriteAtomic("Filter.txt", "' only comments\r\n'\r\n");
  area.Load(folder);
  EXPECT_TRUE(area.Empty());
  EXPECT_TRUE(area.Passes("W1AW"));
  // Binary garbage is read as odd prefixes, nothing worse.
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 37) & 0xFF);
  folder.WriteAtomic("FILTER.TXT", garbage);
  area.Load(folder);
  EXPECT_FALSE(area.Passes("W1AW"));
}

TEST(Filters, AreaListIsLoadedOnlyWhenTheFilterIsOn) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  folder.WriteAtomic("FILTER.TXT", "DL\r\n");
  AppSettings s;
  Filters filters(s);
  filters.LoadAreaList(folder);
  EXPECT_TRUE(filters.PassesArea("W1AW"));
  s.dxDeFilterEnabled = true;
  filters.LoadAreaList(folder);
  EXPECT_FALSE(filters.PassesArea("W1AW"));
  EXPECT_TRUE(filters.PassesArea("DL1ABC"));
}

}  // namespace
}  // namespace qn
