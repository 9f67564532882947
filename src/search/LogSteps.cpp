#include "search/LogSteps.h"

#include <string_view>

#include "records/Text.h"
#include "records/TextFile.h"
#include "search/ScanBuffer.h"

namespace orvanta {

LineStep stepFromLine(IInputFile& file, std::uint64_t from, int direction) {
  // Only the line a step shows must be held: a line too long to hold is read
  // through on the way and refused only when it would be shown.
  ScanBuffer buffer(file, std::size_t{1} << 17, kLongestHeldLine, 1);
  LineStep step;
  bool stepTooLong = false;
  std::string_view line;
  bool tooLong = false;
  std::uint64_t number = 0;
  while ((direction > 0 || number + 1 < from) && buffer.nextLineOrSkip(line, tooLong)) {
    ++number;
    if (direction > 0 && number <= from) continue;
    if (!tooLong && trimBlanks(line).empty()) continue;
    const bool terminator = contains(line, "ZZZZZZ") || contains(line, "zzzzzz");
    if (terminator) {
      if (direction > 0) break;
      continue;
    }
    step.found = true;
    step.number = number;
    step.line.assign(line);
    stepTooLong = tooLong;
    if (direction > 0) break;
  }
  if (stepTooLong) throw LineTooLongError(step.number);
  if (step.found) step.encoding = lineEncoding(step.line);
  return step;
}

}  // namespace orvanta
