#include "search/ScanInput.h"

#include <algorithm>
#include <memory>

namespace orvanta {

std::string adifValueAnchor(const ScanRequest& request) {
  // Steps show the record before or after a hit, which must be converted.
  if (request.direction != 0) return {};
  if (!request.secondary.empty() && request.secondary != request.primary) return {};
  // The scan's own candidate test: the longest piece of the ASCII anchor
  // without "I", since a dotless i upper-cases to "I".
  const SearchNeedle needle(request.primary);
  const std::string_view anchor = needle.asciiAnchor();
  std::string_view piece;
  for (std::size_t start = 0; start <= anchor.size();) {
    const std::size_t stop = std::min(anchor.find('I', start), anchor.size());
    if (stop - start > piece.size()) piece = anchor.substr(start, stop - start);
    start = stop + 1;
  }
  // Converting adds "," between fields, "-" and ":" inside dates and times,
  // ":00" seconds and blanks for commas and line ends: a piece without those
  // characters and not of digits alone lies inside one value as written.
  const bool separator = piece.find_first_of(",-: \r\n") != std::string_view::npos;
  const bool digitsOnly =
      std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (piece.empty() || separator || digitsOnly) return {};
  return std::string(piece);
}

RawTextFilter anchorFilter(const std::string& upperAscii) {
  auto finder = std::make_shared<const AnchorFinder>(upperAscii);
  return RawTextFilter{[finder](const char* begin, const char* end) { return finder->find(begin, end); },
                       upperAscii.size()};
}

std::unique_ptr<IInputFile> openScanLines(const IFileSystem& files, const std::string& path,
                                          const ScanRequest& request) {
  const std::string anchor = isAdifPath(path) ? adifValueAnchor(request) : std::string();
  return openDatabaseLines(files, path, anchor.empty() ? RawTextFilter{} : anchorFilter(anchor));
}

}  // namespace orvanta
