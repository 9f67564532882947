#pragma once

// The scan behind "Suchen" and the "-"/"+" steps: one sequential pass over a
// database with a fixed-size buffer. Lines are compared as the raw bytes of
// the file, upper-cased in the file's encoding, so nothing is decoded except
// the few lines that contain the search text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "records/Encoding.h"
#include "records/TextFile.h"
#include "search/Finders.h"
#include "search/ScanBuffer.h"

namespace orvanta {

// What the scan asks of the form.
class ScanListener {
 public:
  virtual ~ScanListener() = default;
  // Shows a record line; the line may come back changed.
  virtual void show(std::string& line, Encoding encoding) = 0;
  // After a hit in a plain search: true to search further.
  virtual bool searchFurther() = 0;
  // The file once more from its start, to number a line too long to hold.
  virtual std::unique_ptr<IInputFile> reopen() = 0;
};

struct ScanRequest {
  std::string primary;    // A: upper-cased UTF-8, not empty
  std::string secondary;  // B: upper-cased UTF-8, may be empty
  int direction = 0;      // 0 search, -1 step back, +1 step forward
};

struct ScanOutcome {
  bool found = false;      // a record is on screen and the operator stopped there
  bool continued = false;  // the operator went on after a hit
  // Where the line a step showed starts in the file, when it is known.
  std::optional<std::uint64_t> shownOffset;
};

// Runs the scan over one file, from its first line. Each line is matched and
// shown in its own encoding (lineEncoding). lastStepLine is the line the last
// forward step showed (raw bytes); a forward step updates it. Throws
// FileError when the file cannot be read, and LineTooLongError when a line
// longer than longestLine would have to be held to compare or show it; a
// longer line that cannot hold the text is read through, never held whole.
ScanOutcome runScan(IInputFile& file, const ScanRequest& request, std::string& lastStepLine,
                    ScanListener& listener, std::size_t bufferSize = std::size_t{1} << 17,
                    std::size_t longestLine = kLongestHeldLine);

}  // namespace orvanta
