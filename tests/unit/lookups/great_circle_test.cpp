#include "lookups/great_circle.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(Locator, CentreOfTheSquare) {
  // IO91WM: field I,O = 20 W, 50 N; square 9,1 = +18, +1; subsquare W,M =
  // 22 x 5', 12 x 2.5'; the centre a further 2.5' and 1.25'.
  auto p = LocatorToLatLon("io91wm");
  ASSERT_TRUE(p);
  EXPECT_NEAR(p->lat, 51.0 + 30.0 / 60 + 1.25 / 60, 1e-9);
  EXPECT_NEAR(p->lon, -2.0 + 110.0 / 60 + 2.5 / 60, 1e-9);
  auto four = LocatorToLatLon("JN58");
  ASSERT_TRUE(four);
  EXPECT_NEAR(four->lat, 48.0 + 1.25 / 60, 1e-9) << "completed with AA";
  EXPECT_NEAR(four->lon, 10.0 + 2.5 / 60, 1e-9);
  auto corner = LocatorToLatLon("AA00AA");
  EXPECT_NEAR(corner->lat, -90.0 + 1.25 / 60, 1e-9);
  auto top = LocatorToLatLon("RR99XX");
  EXPECT_NEAR(top->lon, 180.0 - 2.5 / 60, 1e-9);
  EXPECT_FALSE(LocatorToLatLon("SA00AA"));
  EXPECT_FALSE(LocatorToLatLon("JN58TY"));
  EXPECT_FALSE(LocatorToLatLon(""));
  EXPECT_EQ(FormatLatLon({48.146, -11.6}), "48.15 N, 11.60 W");
  EXPECT_EQ(FormatLatLon({-33.0, 121.8}), "33.00 S, 121.80 E");
}

// The worked example of Wikipedia's "Great-circle navigation" article:
// Valparaiso (33 S, 71.6 W) to Shanghai (31.4 N, 121.8 E), initial course
// -94.41 degrees, central angle 168.56 degrees, 18743 km on the 6371 km sphere.
TEST(GreatCircle, PublishedExample) {
  GreatCirclePath p = PathBetween({-33.0, -71.6}, {31.4, 121.8});
  EXPECT_NEAR(p.headingDeg, 360.0 - 94.41, 0.01);
  EXPECT_NEAR(p.distanceKm, 18743.0, 1.0);
}

TEST(GreatCircle, SimpleCases) {
  // Along the equator a quarter of the way round, due east.
  GreatCirclePath e = PathBetween({0, 0}, {0, 90});
  EXPECT_NEAR(e.headingDeg, 90.0, 1e-9);
  EXPECT_NEAR(e.distanceKm, 6371.0 * 3.14159265358979 / 2, 0.01);
  // Due north and due south; headings stay within 0 to 360.
  EXPECT_NEAR(PathBetween({10, 20}, {40, 20}).headingDeg, 0.0, 1e-9);
  EXPECT_NEAR(PathBetween({40, 20}, {10, 20}).headingDeg, 180.0, 1e-9);
  EXPECT_NEAR(PathBetween({0, 0}, {0, -10}).headingDeg, 270.0, 1e-9);
  EXPECT_NEAR(PathBetween({51.5, -0.1}, {51.5, -0.1}).distanceKm, 0.0, 1e-9);
  // One degree of latitude is 111.19 km on this sphere.
  EXPECT_NEAR(PathBetween({50, 5}, {51, 5}).distanceKm, 111.19, 0.01);
}

}  // namespace
}  // namespace qn
