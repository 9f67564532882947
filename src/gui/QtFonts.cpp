#include "gui/QtFonts.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {
// Design points to pixels at 96 dots per inch, then scaled to DejaVu's size.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kDejaVuScale = 0.9;
}  // namespace

QFont windowFont(const FontStyle& style) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(
      std::max(1, static_cast<int>(std::lround(style.points * kPixelsPerPoint * kDejaVuScale))));
  font.setStretch(QFont::SemiCondensed);
  font.setBold(style.bold);
  return font;
}

}  // namespace orvanta
