#pragma once

// The window was designed for "MS Sans Serif". Its stand-in here is DejaVu
// Sans (Debian: fonts-dejavu-core), set semi-condensed and a little smaller
// than the design size, because DejaVu runs wider: so every caption of both
// languages fits the room the design gives it. Sizes are in pixels, as the
// geometry is, so the window keeps its proportions at any screen resolution.

#include <QFont>

#include "ui/WindowDescription.h"

namespace orvanta {

QFont windowFont(const FontStyle& style);

}  // namespace orvanta
