#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace orvanta {

// The month text "MM/YY" of a date, written with the system's date separator;
// a "." separator is replaced by "/", so the text reads MM/YY either way.
std::string monthText(const CivilDate& today, char dateSeparator = '/');

// Reading the database failed; nothing was written.
class MonthEndReadError : public FileError {
 public:
  using FileError::FileError;
};

enum class MonthEndResult {
  Updated,
  Unchanged,         // the file already was as the update leaves it; not rewritten
  CannotRead,        // reason: the system's description
  CannotWrite,       // reason: the system's description; the database is unchanged
  Locked,            // another run holds the database
  Changed,           // another program wrote the database meanwhile; nothing replaced
  Unexpected,        // out of memory, say; the database is unchanged
  LineTooLong,       // line: a line longer than kLongestHeldLine; the database is unchanged
  WriteProtected,    // the database may not be written; nothing was touched
  BackupNotPutBack,  // the database is unchanged, but its backup is now a copy of it
};

struct MonthEndOutcome {
  MonthEndResult result = MonthEndResult::Unchanged;
  std::size_t changedLines = 0;  // record lines the update rewrote
  std::string reason;
  std::uint64_t line = 0;  // LineTooLong: its number, counted from 1
};

// The month-end update of a user database: every record line of three or
// more fields is brought to its eight fields, those without an update date
// getting monthText; comment, empty and terminator lines ("ZZZ" anywhere) and
// lines of one or two fields stay as they are. The file keeps its encoding
// (bytes are never re-encoded), byte-order mark and line ends (LF when it
// used LF alone, else CR LF); unchanged lines stay byte for byte. The file
// ends with one empty line: it is added only when the last line is not empty,
// so a second run in the same month changes nothing. Sets fieldSeparator to
// ",".
//
// The database is held under the lock while the new text streams into a
// scratch file beside it; the scratch file takes the database's place only
// when the database is still the file that was read, so the database holds
// its old or its new content in full at every moment and nobody's later
// write is lost. The previous version stays as the database's backup
// (backupNameFor). A database that is a link stays that link.
MonthEndOutcome updateMonthEnd(IFileSystem& files, const std::string& path, std::string_view monthText,
                               std::string& fieldSeparator);

}  // namespace orvanta
