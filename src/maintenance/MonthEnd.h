#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace orvanta {

// The month text "MM/YY" of a date, written with the system's date separator;
// a "." separator is replaced by "/", so the text reads MM/YY either way.
std::string MonthText(const CivilDate& today, char dateSeparator = '/');

// The month-end update of a user database: every record line of three or
// more fields is brought to its eight fields, those without an update date
// getting monthText; comment, empty and terminator lines ("ZZZ" anywhere) and
// lines of one or two fields stay as they are. The file keeps its encoding
// (bytes are never re-encoded), byte-order mark and line ends (LF when it
// used LF alone, else CR LF); unchanged lines stay byte for byte. The file
// ends with one empty line: it is added only when the last line is not empty,
// so a second run in the same month changes nothing. Sets fieldSeparator to
// ",".
std::string MonthEndText(std::string_view fileBytes, std::string_view monthText, std::string& fieldSeparator);

// Reading the database failed; nothing was written.
class MonthEndReadError : public FileError {
 public:
  using FileError::FileError;
};

struct MonthEndOutcome {
  std::size_t changedLines = 0;  // record lines the update rewrote
  bool replaced = false;         // false when the file already was as the update leaves it
};

// Runs the month-end update on the database at path. The new text streams
// into a scratch file beside it, is flushed to the disk and then renamed over
// the database, so the database holds its old or its new content in full at
// every moment. A database the update leaves as it is is not replaced.
// Throws MonthEndReadError when the database cannot be read,
// LineTooLongError when one of its lines is longer than kLongestHeldLine,
// and FileError when the new file cannot be written; the database is
// unchanged then.
MonthEndOutcome UpdateMonthEnd(IFileSystem& files, const std::string& path, std::string_view monthText,
                               std::string& fieldSeparator);

}  // namespace orvanta
