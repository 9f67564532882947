#pragma once

// The window was designed for "MS Sans Serif". Its stand-in here is DejaVu
// Sans (Debian: fonts-dejavu-core), a little smaller than the design size
// because DejaVu runs wider, so that every caption of both languages fits the
// room the design gives it.

#include <QFont>

#include "ui/WindowDescription.h"

namespace orvanta {

QFont windowFont(const FontSpec& spec);

}  // namespace orvanta
