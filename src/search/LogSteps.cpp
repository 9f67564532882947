#include "search/LogSteps.h"

#include <string_view>

#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta {

LineStep stepFromLine(IInputFile& file, std::uint64_t from, int direction) {
  LineReader reader(file, std::size_t{1} << 17, kLongestHeldLine);
  LineStep step;
  std::string_view line;
  while ((direction > 0 || reader.lineNumber() + 1 < from) && reader.next(line)) {
    const std::uint64_t number = reader.lineNumber();
    if (direction > 0 && number <= from) continue;
    if (trimBlanks(line).empty()) continue;
    const bool terminator = contains(line, "ZZZZZZ") || contains(line, "zzzzzz");
    if (terminator) {
      if (direction > 0) break;
      continue;
    }
    step.found = true;
    step.number = number;
    step.line.assign(line);
    if (direction > 0) break;
  }
  if (step.found) step.encoding = lineEncoding(step.line);
  return step;
}

}  // namespace orvanta
