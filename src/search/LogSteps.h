#pragma once

// Steps through a log from a line whose number is known, so that contacts
// sharing date, time and call sign (a Fox's log, JTDX answering several
// stations at once) are passed one by one instead of found again.

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"
#include "records/Encoding.h"

namespace orvanta {

// Where a step from a known line lands.
struct LineStep {
  bool found = false;
  std::uint64_t number = 0;  // counted from 1, as the lines of the file
  std::string line;          // as stored
  Encoding encoding = Encoding::Utf8;
};

// The nearest line after (direction +1) or before (-1) line `from` that holds
// anything but blanks; a terminator line ("ZZZZZZ") ends the file. Nothing is
// found past either end. Throws FileError, and LineTooLongError when the
// line it lands on is too long to hold; such lines on the way are read through.
LineStep stepFromLine(IInputFile& file, std::uint64_t from, int direction);

}  // namespace orvanta
