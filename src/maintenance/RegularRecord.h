#pragma once

#include <cstddef>
#include <string_view>

namespace orvanta {

// Offset of field 7 when the line is a record in its regular form already:
// exactly eight fields (separator ",") with a date ("/") in field 7.
// NormalizeRecord leaves such a line as it is (a date already present is
// never replaced), and most lines of a database kept up month by month look
// like this, so one pass over the bytes spares splitting them. npos for
// every other line.
inline std::size_t regularDateField(std::string_view line) {
  std::size_t commas = 0;
  std::size_t lastComma = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ',') {
      ++commas;
      lastComma = i;
    }
  }
  if (commas != 7 || line.find('/', lastComma + 1) == std::string_view::npos) return std::string_view::npos;
  return lastComma + 1;
}

}  // namespace orvanta
