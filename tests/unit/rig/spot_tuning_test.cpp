#include "rig/spot_tuning.h"

#include <gtest/gtest.h>

#include "rig/band_plan.h"

namespace qn {
namespace {

constexpr int kEurope = 1;    // JN58
constexpr int kAmericas = 2;  // FN31
constexpr int kAsia = 3;      // PM95

SpotTuning Tune(std::string_view line, int region = kEurope) {
  auto spot = ReadSpotLine(line);
  EXPECT_TRUE(spot) << line;
  return spot ? TuningForSpot(*spot, region) : SpotTuning{};
}

TEST(SpotTuning, ModeWordsOfRealCommentsComeFirst) {
  EXPECT_EQ(ModeFromComment("CW"), SpotMode::Cw);
  EXPECT_EQ(ModeFromComment("FT8 -12 dB 1234 Hz"), SpotMode::Data);
  EXPECT_EQ(ModeFromComment("ft4 +02dB"), SpotMode::Data);
  EXPECT_EQ(ModeFromComment("SSB 5/9 tnx QSO"), SpotMode::Ssb);
  EXPECT_EQ(ModeFromComment("RTTY 12 dB 45 BPS CQ"), SpotMode::Rtty);
  EXPECT_EQ(ModeFromComment("CW 23 dB 25 WPM CQ"), SpotMode::Cw);
  EXPECT_EQ(ModeFromComment("PSK31 nice sig"), SpotMode::Data);
  EXPECT_EQ(ModeFromComment("AM ragchew"), SpotMode::Am);
  EXPECT_EQ(ModeFromComment("fm simplex"), SpotMode::Fm);
  EXPECT_EQ(ModeFromComment("(CW) up 1"), SpotMode::Cw);
  EXPECT_EQ(ModeFromComment("FT8-15dB"), SpotMode::Data);
  // Words that only begin like a mode are none.
  EXPECT_EQ(ModeFromComment("CWOPS member, AMSAT, FMT"), SpotMode::None);
  EXPECT_EQ(ModeFromComment("tnx QSO 73"), SpotMode::None);
  EXPECT_EQ(ModeFromComment(""), SpotMode::None);
}

TEST(SpotTuning, SplitForms) {
  const std::int64_t rx = 14025000;
  EXPECT_EQ(SplitFromComment("up 2", rx, SpotMode::Cw), 14027000);
  EXPECT_EQ(SplitFromComment("UP 5-10", 14195000, SpotMode::Ssb), 14200000);
  EXPECT_EQ(SplitFromComment("UP5", 14195000, SpotMode::Ssb), 14200000);
  EXPECT_EQ(SplitFromComment("qrx up 1.5 kHz", rx, SpotMode::Cw), 14026500);
  EXPECT_EQ(SplitFromComment("dn 3", rx, SpotMode::Cw), 14022000);
  EXPECT_EQ(SplitFromComment("pse UP", rx, SpotMode::Cw), 14026000);
  EXPECT_EQ(SplitFromComment("UP", 14195000, SpotMode::Ssb), 14200000);
  EXPECT_EQ(SplitFromComment("QSX 14.205", 14195000, SpotMode::Ssb), 14205000);
  EXPECT_EQ(SplitFromComment("QSX 7185", 7065000, SpotMode::Ssb), 7185000);
  EXPECT_EQ(SplitFromComment("QSX 205", 14195000, SpotMode::Ssb), 14205000);
  EXPECT_EQ(SplitFromComment("listening 7.180", 7065000, SpotMode::Ssb), 7180000);
  EXPECT_EQ(SplitFromComment("lstn on 7180", 7065000, SpotMode::Ssb), 7180000);
  EXPECT_EQ(SplitFromComment("QSX:14,205", 14195000, SpotMode::Ssb), 14205000);
  // Not split: no keyword, a word that only begins like one, a frequency far off.
  EXPECT_FALSE(SplitFromComment("CW 23 dB 25 WPM CQ", rx, SpotMode::Cw));
  EXPECT_FALSE(SplitFromComment("update your log", rx, SpotMode::Cw));
  EXPECT_FALSE(SplitFromComment("QSX", rx, SpotMode::Cw));
  EXPECT_FALSE(SplitFromComment("QSX 21.205", rx, SpotMode::Ssb));
  EXPECT_FALSE(SplitFromComment("listening for JA", rx, SpotMode::Cw));
}

TEST(SpotTuning, BandPlanByRegionWhenTheCommentNamesNoMode) {
  EXPECT_EQ(IaruRegionOfLocator("JN58td"), 1);
  EXPECT_EQ(IaruRegionOfLocator("FN31"), 2);
  EXPECT_EQ(IaruRegionOfLocator("PM95"), 3);  // Japan
  EXPECT_EQ(IaruRegionOfLocator("QF56"), 3);  // Australia
  EXPECT_EQ(IaruRegionOfLocator("PO02"), 1);  // Asiatic Russia
  EXPECT_EQ(IaruRegionOfLocator(""), 1);
  EXPECT_EQ(IaruRegionOfLocator("??"), 1);

  EXPECT_EQ(BandPlanMode(kEurope, 7030000), SpotMode::Cw);
  EXPECT_EQ(BandPlanMode(kEurope, 7045000), SpotMode::Data);
  EXPECT_EQ(BandPlanMode(kEurope, 7150000), SpotMode::Ssb);
  // 7.100 is phone in Europe, CW and data in the Americas.
  EXPECT_EQ(BandPlanMode(kAmericas, 7100000), SpotMode::Data);
  EXPECT_EQ(BandPlanMode(kAmericas, 7250000), SpotMode::Ssb);
  EXPECT_EQ(BandPlanMode(kEurope, 7250000), SpotMode::None);
  EXPECT_EQ(BandPlanMode(kAsia, 7250000), SpotMode::Ssb);
  EXPECT_EQ(BandPlanMode(kEurope, 145500000), SpotMode::Fm);
  EXPECT_EQ(BandPlanMode(kEurope, 12000000), SpotMode::None);

  EXPECT_TRUE(LowerSideband(7150000));
  EXPECT_TRUE(LowerSideband(3750000));
  EXPECT_FALSE(LowerSideband(5357000));  // 60 m is upper sideband
  EXPECT_FALSE(LowerSideband(14200000));
}

TEST(SpotTuning, RealSpotLines) {
  SpotTuning cw = Tune("DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z");
  EXPECT_EQ(cw.order.rxHz, 14025000);
  EXPECT_EQ(cw.order.mode, "CW");
  EXPECT_TRUE(cw.order.split);
  EXPECT_EQ(cw.order.txHz, 14027000);
  EXPECT_EQ(cw.band, "20m");

  SpotTuning ssb = Tune("DX de G4ABC:      7185.0  EA8XYZ       SSB 5/9                        0930Z\r\n");
  EXPECT_EQ(ssb.order.mode, "LSB");
  EXPECT_FALSE(ssb.order.split);

  SpotTuning qsx =
      Tune("DX de W1AW:      14195.0  VP8ABC       QSX 14.205                     2101Z", kAmericas);
  EXPECT_EQ(qsx.order.mode, "USB");
  EXPECT_EQ(qsx.order.txHz, 14205000);

  // FT8: the rig's data mode on the dial frequency, the signal in its passband.
  SpotTuning ft8 = Tune("DX de OH6BG-#:   14075.2  JA1XYZ       FT8 -12 dB 1234 Hz             0815Z");
  EXPECT_EQ(ft8.order.rxHz, 14074000);
  EXPECT_EQ(ft8.order.mode, "PKTUSB");

  // A skimmer line.
  SpotTuning skim = Tune("DX de DK8NE-#:    7023.1  UA9ABC       CW 19 dB 28 WPM CQ             2359Z");
  EXPECT_EQ(skim.order.mode, "CW");
  EXPECT_FALSE(skim.order.split);

  SpotTuning rtty = Tune("DX de F5XYZ:     14085.0  5H3ABC       RTTY                           1200Z");
  EXPECT_EQ(rtty.order.mode, "RTTY");

  // No mode word: the band plan of the own region, USB on 60 m.
  EXPECT_EQ(
      Tune("DX de N0XYZ:      7100.0  KP4ABC                                      1200Z", kEurope).order.mode,
      "LSB");
  EXPECT_EQ(Tune("DX de N0XYZ:      7100.0  KP4ABC                                      1200Z", kAmericas)
                .order.mode,
            "PKTUSB");
  EXPECT_EQ(Tune("DX de N0XYZ:      5362.0  KP4ABC                                      1200Z").order.mode,
            "USB");

  // The show commands' listing form.
  SpotTuning listed = Tune("  3795.0  ZL1ABC       8-Dec-2026 1530Z  QSX 3.805              <K1ABC>");
  EXPECT_EQ(listed.order.rxHz, 3795000);
  EXPECT_EQ(listed.order.mode, "LSB");
  EXPECT_EQ(listed.order.txHz, 3805000);
}

TEST(SpotTuning, OddSpotsAreHandledSanely) {
  // Outside every band: the frequency, and only a mode the comment names.
  SpotTuning broadcast = Tune("DX de SWL1:      12095.0  BBC1         strong signal                  1200Z");
  EXPECT_FALSE(broadcast.inBand);
  EXPECT_EQ(broadcast.order.rxHz, 12095000);
  EXPECT_EQ(broadcast.order.mode, "");
  EXPECT_EQ(Tune("DX de SWL1:      12095.0  R1ABC        AM                             1200Z").order.mode,
            "AM");

  // 10 GHz.
  SpotTuning micro = Tune("DX de G4ABC:  10368100.0  F1XYZ        CW 559 JN18                    1200Z");
  EXPECT_EQ(micro.order.rxHz, 10368100000);
  EXPECT_EQ(micro.band, "3cm");
  EXPECT_EQ(micro.order.mode, "CW");

  // A comment of 5,000 characters: read without harm, the first words count.
  std::string huge = "DX de K1ABC:     14025.0  DL1XYZ       up 2 " + std::string(5000, 'x') + " 1234Z";
  SpotTuning h = Tune(huge);
  EXPECT_EQ(h.order.txHz, 14027000);
  std::string words;
  for (int i = 0; i < 1000; ++i) words += "up ";
  auto spot = ReadSpotLine("DX de K1ABC:     14025.0  DL1XYZ  " + words);
  ASSERT_TRUE(spot);
  EXPECT_EQ(TuningForSpot(*spot, kEurope).order.txHz, 14026000);

  // Lines that hold no spot.
  EXPECT_FALSE(ReadSpotLine("To ALL de K1ABC: the band is open"));
  EXPECT_FALSE(ReadSpotLine("DX de K1ABC: abc DL1XYZ"));
  EXPECT_FALSE(ReadSpotLine("Talk from: K1ABC 14025 is busy"));
  EXPECT_FALSE(ReadSpotLine(""));
  EXPECT_FALSE(ReadSpotLine("DX de K1ABC:   99999999999999.0  DL1XYZ   x"));
}

TEST(SpotTuning, PassbandOfTheRigsMode) {
  using Edges = std::pair<std::int64_t, std::int64_t>;
  EXPECT_EQ(PassbandEdges(14074000, "PKTUSB", 0), Edges(14074000, 14077000));
  EXPECT_EQ(PassbandEdges(7150000, "LSB", 2400), Edges(7147600, 7150000));
  EXPECT_EQ(PassbandEdges(14025000, "CW", 0), Edges(14024750, 14025250));
  EXPECT_EQ(PassbandEdges(14025000, "CW", 15000), Edges(14023500, 14026500));
  EXPECT_EQ(FormatRigFrequency(14025500), "14025.50");
}

}  // namespace
}  // namespace qn
