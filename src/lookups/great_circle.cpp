#include "lookups/great_circle.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/personal_info.h"
#include "core/text.h"

namespace qn {

namespace {

double Rad(double deg) { return deg * std::numbers::pi / 180.0; }
double Deg(double rad) { return rad * 180.0 / std::numbers::pi; }

}  // namespace

std::optional<LatLon> LocatorToLatLon(std::string locator) {
  locator = UCase(Trim(locator));
  if (!ValidateLocator(locator)) return std::nullopt;
  // Field 20 x 10 degrees, square 2 x 1 degree, subsquare 5 x 2.5 minutes.
  LatLon p;
  p.lon = -180.0 + (locator[0] - 'A') * 20.0 + (locator[2] - '0') * 2.0 + (locator[4] - 'A') * (5.0 / 60.0) +
          2.5 / 60.0;
  p.lat = -90.0 + (locator[1] - 'A') * 10.0 + (locator[3] - '0') * 1.0 + (locator[5] - 'A') * (2.5 / 60.0) +
          1.25 / 60.0;
  return p;
}

GreatCirclePath PathBetween(LatLon from, LatLon to) {
  double p1 = Rad(from.lat), p2 = Rad(to.lat);
  double dl = Rad(to.lon - from.lon);
  double y = std::cos(p2) * std::sin(dl);
  double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  // atan2 of both parts keeps short and antipodal distances accurate.
  double sigma =
      std::atan2(std::hypot(y, x), std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl));
  GreatCirclePath path;
  path.headingDeg = std::fmod(Deg(std::atan2(y, x)) + 360.0, 360.0);
  path.distanceKm = sigma * kEarthRadiusKm;
  return path;
}

std::string FormatLatLon(LatLon p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f %c, %.2f %c", std::fabs(p.lat), p.lat < 0 ? 'S' : 'N',
                std::fabs(p.lon), p.lon < 0 ? 'W' : 'E');
  return buf;
}

}  // namespace qn
