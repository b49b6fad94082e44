// The amateur bands of the three IARU regions with their CW, data and phone
// segments, and the region a locator lies in. Used to choose a mode for a spot
// whose comment names none.
#pragma once

#include <cstdint>
#include <string>

namespace qn {

enum class SpotMode { None, Cw, Ssb, Data, Rtty, Am, Fm };

struct BandSegment {
  std::int64_t lowHz = 0;
  std::int64_t highHz = 0;
  const char* band = "";  // "20m"
};

// 1, 2 or 3 from a locator ("JN58", "FN31PR"); 1 when it cannot be read.
// The region borders are followed roughly: what matters is which band plan
// the user's own dial follows.
int IaruRegionOfLocator(const std::string& locator);

// The band that holds the frequency in the region's plan; band empty when none.
BandSegment FindBand(int region, std::int64_t hz);
// The mode the region's band plan gives the frequency; None outside the bands.
SpotMode BandPlanMode(int region, std::int64_t hz);

// The sideband convention: lower below 10 MHz, upper above, but upper on 60 m.
bool LowerSideband(std::int64_t hz);

}  // namespace qn
