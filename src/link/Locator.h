#pragma once

// Maidenhead locators and the path between two of them on a sphere.

#include <optional>
#include <string_view>

namespace orvanta::link {

struct GeoPoint {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
};

// The centre of the square a 4-, 6- or 8-character locator names (any
// letter case, blanks around it ignored); nothing for anything else, and
// for "RR73", a message rather than a square.
std::optional<GeoPoint> locatorCentre(std::string_view locator);

inline constexpr double kEarthRadiusKm = 6371.0;

// Great-circle distance in km on a sphere of kEarthRadiusKm.
double distanceKm(const GeoPoint& from, const GeoPoint& to);
// Initial bearing from `from` towards `to`, degrees in [0, 360); nothing when
// the points are equal or exactly opposite.
std::optional<double> initialBearing(const GeoPoint& from, const GeoPoint& to);

// What the station window shows: km and degrees rounded to whole numbers,
// 360 shown as 0; each missing when it cannot be worked out.
struct BeamPath {
  std::optional<long> km;
  std::optional<int> degrees;
};
BeamPath beamPath(std::string_view ownLocator, std::string_view dxLocator);

}  // namespace orvanta::link
