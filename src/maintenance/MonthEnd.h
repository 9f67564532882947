#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace orvanta {

// The month text "MM/YY" of a date, written with the system's date separator;
// a "." separator is replaced by "/", so the text reads MM/YY either way.
std::string MonthText(const CivilDate& today, char dateSeparator = '/');

// The new text of a database after the month-end update, held in pieces of a
// few megabytes so that a database of millions of lines is never copied as a
// whole while it grows.
class MonthEndResult {
 public:
  // Size in bytes of the new file.
  std::size_t size() const;
  // True when the new file is byte for byte the old one.
  bool unchanged() const { return changedLines == 0 && size() == originalSize; }
  void writeTo(IOutputFile& out) const;
  std::string bytes() const;

  std::size_t changedLines = 0;  // record lines the update rewrote
  std::size_t originalSize = 0;  // bytes of the old file

 private:
  friend MonthEndResult MonthEndUpdate(IInputFile&, std::string_view, std::string&);
  void append(std::string_view line);
  std::vector<std::string> pieces_;  // whole lines, each ended by "\n"
  bool crlf_ = true;
  bool byteOrderMark_ = false;
  std::size_t lines_ = 0;
};

// The month-end update of a whole user database read from input: every record
// line of three or more fields is brought to its eight fields, those without
// an update date getting monthText; comment, empty and terminator lines ("ZZZ"
// anywhere) and lines of one or two fields stay as they are. The file keeps
// its encoding (bytes are never re-encoded), byte-order mark and line ends
// (LF when it used LF alone, else CR LF); unchanged lines stay byte for byte.
// The file ends with one empty line: it is added only when the last line is
// not empty, so a second run in the same month changes nothing. Sets
// fieldSeparator to ",". Throws FileError when reading fails.
MonthEndResult MonthEndUpdate(IInputFile& input, std::string_view monthText, std::string& fieldSeparator);

// The same for bytes already in memory.
MonthEndResult MonthEndUpdate(std::string_view fileBytes, std::string_view monthText,
                              std::string& fieldSeparator);

}  // namespace orvanta
