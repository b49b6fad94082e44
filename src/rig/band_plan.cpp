#include "rig/band_plan.h"

#include <array>
#include <cctype>
#include <span>

namespace qn {

namespace {

constexpr std::int64_t kHz = 1000;

// A band and where its segments end, in kHz. Below cwEnd CW, below dataEnd
// data, below phoneEnd phone (SSB), above that FM up to the band's top.
struct Band {
  const char* name;
  double low;
  double high;
  double cwEnd;
  double dataEnd;
  double phoneEnd;
};

// Region 1 (Europe, Africa, Middle East, northern Asia).
constexpr std::array kRegion1 = {
    Band{"160m", 1810, 2000, 1838, 1843, 2000},
    Band{"80m", 3500, 3800, 3570, 3600, 3800},
    Band{"60m", 5351.5, 5366.5, 5354, 5354, 5366.5},
    Band{"40m", 7000, 7200, 7040, 7060, 7200},
    Band{"30m", 10100, 10150, 10130, 10150, 10150},
    Band{"20m", 14000, 14350, 14070, 14100, 14350},
    Band{"17m", 18068, 18168, 18095, 18111, 18168},
    Band{"15m", 21000, 21450, 21070, 21150, 21450},
    Band{"12m", 24890, 24990, 24915, 24931, 24990},
    Band{"10m", 28000, 29700, 28070, 28300, 29510},
    Band{"6m", 50000, 52000, 50100, 50100, 51000},
    Band{"4m", 70000, 70500, 70100, 70100, 70250},
    Band{"2m", 144000, 146000, 144150, 144150, 144500},
    Band{"70cm", 430000, 440000, 432100, 432100, 432400},
    Band{"23cm", 1240000, 1300000, 1296150, 1296150, 1296800},
    Band{"13cm", 2300000, 2450000, 2320150, 2320150, 2320800},
    Band{"9cm", 3400000, 3475000, 3400150, 3400150, 3400800},
    Band{"6cm", 5650000, 5850000, 5760150, 5760150, 5760800},
    Band{"3cm", 10000000, 10500000, 10368150, 10368150, 10368800},
    Band{"1.2cm", 24000000, 24250000, 24048150, 24048150, 24048800},
};

// Region 2 (the Americas): wider bands, phone higher up on 40, 20 and 15 m.
constexpr std::array kRegion2 = {
    Band{"160m", 1800, 2000, 1840, 1850, 2000},
    Band{"80m", 3500, 4000, 3570, 3600, 4000},
    Band{"60m", 5330, 5410, 5330, 5330, 5410},
    Band{"40m", 7000, 7300, 7060, 7125, 7300},
    Band{"30m", 10100, 10150, 10130, 10150, 10150},
    Band{"20m", 14000, 14350, 14070, 14150, 14350},
    Band{"17m", 18068, 18168, 18095, 18110, 18168},
    Band{"15m", 21000, 21450, 21070, 21200, 21450},
    Band{"12m", 24890, 24990, 24915, 24930, 24990},
    Band{"10m", 28000, 29700, 28070, 28300, 29510},
    Band{"6m", 50000, 54000, 50100, 50100, 51000},
    Band{"2m", 144000, 148000, 144100, 144100, 144500},
    Band{"70cm", 420000, 450000, 432100, 432100, 432400},
    Band{"23cm", 1240000, 1300000, 1296150, 1296150, 1296800},
    Band{"13cm", 2300000, 2450000, 2304150, 2304150, 2304800},
    Band{"9cm", 3300000, 3500000, 3456150, 3456150, 3456800},
    Band{"6cm", 5650000, 5925000, 5760150, 5760150, 5760800},
    Band{"3cm", 10000000, 10500000, 10368150, 10368150, 10368800},
    Band{"1.2cm", 24000000, 24250000, 24192150, 24192150, 24192800},
};

// Region 3 (southern and eastern Asia, Oceania).
constexpr std::array kRegion3 = {
    Band{"160m", 1800, 2000, 1838, 1843, 2000},
    Band{"80m", 3500, 3900, 3535, 3600, 3900},
    Band{"60m", 5351.5, 5366.5, 5354, 5354, 5366.5},
    Band{"40m", 7000, 7300, 7040, 7060, 7300},
    Band{"30m", 10100, 10150, 10130, 10150, 10150},
    Band{"20m", 14000, 14350, 14070, 14112, 14350},
    Band{"17m", 18068, 18168, 18095, 18110, 18168},
    Band{"15m", 21000, 21450, 21070, 21150, 21450},
    Band{"12m", 24890, 24990, 24915, 24930, 24990},
    Band{"10m", 28000, 29700, 28070, 28300, 29510},
    Band{"6m", 50000, 54000, 50100, 50100, 51000},
    Band{"2m", 144000, 148000, 144150, 144150, 144500},
    Band{"70cm", 430000, 440000, 432100, 432100, 432400},
    Band{"23cm", 1240000, 1300000, 1296150, 1296150, 1296800},
    Band{"13cm", 2300000, 2450000, 2304150, 2304150, 2304800},
    Band{"6cm", 5650000, 5850000, 5760150, 5760150, 5760800},
    Band{"3cm", 10000000, 10500000, 10368150, 10368150, 10368800},
    Band{"1.2cm", 24000000, 24250000, 24048150, 24048150, 24048800},
};

std::span<const Band> PlanOf(int region) {
  if (region == 2) return kRegion2;
  if (region == 3) return kRegion3;
  return kRegion1;
}

const Band* Find(int region, std::int64_t hz) {
  for (const Band& b : PlanOf(region)) {
    if (hz >= static_cast<std::int64_t>(b.low * kHz) && hz <= static_cast<std::int64_t>(b.high * kHz))
      return &b;
  }
  return nullptr;
}

}  // namespace

int IaruRegionOfLocator(const std::string& locator) {
  if (locator.size() < 4) return 1;
  auto up = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  char a = up(locator[0]), b = up(locator[1]);
  if (a < 'A' || a > 'R' || b < 'A' || b > 'R' || !std::isdigit(static_cast<unsigned char>(locator[2])) ||
      !std::isdigit(static_cast<unsigned char>(locator[3])))
    return 1;
  // South-west corner of the square, in degrees.
  double lon = -180 + (a - 'A') * 20 + (locator[2] - '0') * 2;
  double lat = -90 + (b - 'A') * 10 + (locator[3] - '0');
  // The Americas, Greenland and the eastern Pacific.
  if (lon < -25 || lon >= 170) return 2;
  if (lon < 60) return 1;
  // East of the Urals: Russia, central Asia and Mongolia follow region 1.
  if (lat >= 50) return 1;
  if (lon < 87 && lat >= 37) return 1;
  if (lon < 120 && lat >= 42) return 1;
  return 3;
}

BandSegment FindBand(int region, std::int64_t hz) {
  const Band* b = Find(region, hz);
  if (!b) return {};
  return {static_cast<std::int64_t>(b->low * kHz), static_cast<std::int64_t>(b->high * kHz), b->name};
}

SpotMode BandPlanMode(int region, std::int64_t hz) {
  const Band* b = Find(region, hz);
  if (!b) return SpotMode::None;
  double khz = static_cast<double>(hz) / kHz;
  if (khz < b->cwEnd) return SpotMode::Cw;
  if (khz < b->dataEnd) return SpotMode::Data;
  if (khz < b->phoneEnd) return SpotMode::Ssb;
  // Above the phone segment: FM on 10 m and up, SSB on the bands without FM.
  return b->low >= 28000 ? SpotMode::Fm : SpotMode::Ssb;
}

bool LowerSideband(std::int64_t hz) {
  if (hz >= 5000 * kHz && hz < 5500 * kHz) return false;
  return hz < 10000 * kHz;
}

}  // namespace qn
