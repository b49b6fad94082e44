// Positions of Maidenhead locators and the great-circle path between two
// places on a sphere of the earth's mean radius: initial heading and distance.
#pragma once

#include <optional>
#include <string>

namespace qn {

// Degrees; north and east positive.
struct LatLon {
  double lat = 0;
  double lon = 0;
};

struct GreatCirclePath {
  double headingDeg = 0;  // initial heading, 0 to below 360, clockwise from north
  double distanceKm = 0;
};

inline constexpr double kEarthRadiusKm = 6371.0;

// The centre of a locator's square (four characters are completed with "AA"
// first, as the locator check does); empty when it is no locator.
std::optional<LatLon> LocatorToLatLon(std::string locator);
GreatCirclePath PathBetween(LatLon from, LatLon to);
// "48.15 N, 11.63 E"
std::string FormatLatLon(LatLon p);

}  // namespace qn
