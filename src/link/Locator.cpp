#include "link/Locator.h"

#include <array>
#include <cmath>
#include <numbers>

#include "records/Text.h"

namespace orvanta::link {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

bool between(char c, char low, char high) { return c >= low && c <= high; }

}  // namespace

std::optional<GeoPoint> locatorCentre(std::string_view locator) {
  locator = trimBlanks(locator);
  if (locator.size() != 4 && locator.size() != 6 && locator.size() != 8) return std::nullopt;
  // "RR73" lands in grid fields as a message; it is never a station's square.
  if (equalsIgnoringCase(locator, "RR73")) return std::nullopt;
  std::array<char, 8> c{};
  for (std::size_t i = 0; i < locator.size(); ++i) c[i] = upperAscii(locator[i]);
  if (!between(c[0], 'A', 'R') || !between(c[1], 'A', 'R') || !between(c[2], '0', '9') ||
      !between(c[3], '0', '9')) {
    return std::nullopt;
  }
  // Field 20 x 10 degrees, square 2 x 1, subsquare 1/12 x 1/24, extended
  // square a tenth of that.
  double lon = (c[0] - 'A') * 20.0 + (c[2] - '0') * 2.0 - 180.0;
  double lat = (c[1] - 'A') * 10.0 + (c[3] - '0') * 1.0 - 90.0;
  double lonSize = 2.0;
  double latSize = 1.0;
  if (locator.size() >= 6) {
    if (!between(c[4], 'A', 'X') || !between(c[5], 'A', 'X')) return std::nullopt;
    lonSize /= 24.0;
    latSize /= 24.0;
    lon += (c[4] - 'A') * lonSize;
    lat += (c[5] - 'A') * latSize;
  }
  if (locator.size() == 8) {
    if (!between(c[6], '0', '9') || !between(c[7], '0', '9')) return std::nullopt;
    lonSize /= 10.0;
    latSize /= 10.0;
    lon += (c[6] - '0') * lonSize;
    lat += (c[7] - '0') * latSize;
  }
  return GeoPoint{lat + latSize / 2.0, lon + lonSize / 2.0};
}

double distanceKm(const GeoPoint& from, const GeoPoint& to) {
  // Haversine: well-conditioned for near points as for far ones.
  const double dLat = (to.latitude - from.latitude) * kDegree;
  const double dLon = (to.longitude - from.longitude) * kDegree;
  const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(from.latitude * kDegree) *
                                                         std::cos(to.latitude * kDegree) *
                                                         std::pow(std::sin(dLon / 2), 2);
  return 2.0 * kEarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

std::optional<double> initialBearing(const GeoPoint& from, const GeoPoint& to) {
  const double lat1 = from.latitude * kDegree;
  const double lat2 = to.latitude * kDegree;
  const double dLon = (to.longitude - from.longitude) * kDegree;
  const double y = std::sin(dLon) * std::cos(lat2);
  const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
  // Equal or antipodal points have every heading or none.
  constexpr double kTiny = 1e-12;
  if (std::abs(x) < kTiny && std::abs(y) < kTiny) return std::nullopt;
  const double degrees = std::atan2(y, x) / kDegree;
  return degrees < 0 ? degrees + 360.0 : degrees;
}

BeamPath beamPath(std::string_view ownLocator, std::string_view dxLocator) {
  const auto own = locatorCentre(ownLocator);
  const auto dx = locatorCentre(dxLocator);
  BeamPath path;
  if (!own || !dx) return path;
  path.km = std::lround(distanceKm(*own, *dx));
  if (const auto bearing = initialBearing(*own, *dx))
    path.degrees = static_cast<int>(std::lround(*bearing)) % 360;
  return path;
}

}  // namespace orvanta::link
