#include "platform/qt/QtFonts.h"

#include <cmath>

namespace orvanta {

namespace {
// Design points to pixels at 96 dots per inch, then narrowed to DejaVu's width.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kDejaVuScale = 0.9;
}  // namespace

QFont windowFont(const FontSpec& spec) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.points * kPixelsPerPoint * kDejaVuScale))));
  font.setBold(spec.bold);
  return font;
}

}  // namespace orvanta
