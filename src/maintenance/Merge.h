#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/SafeFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "records/DatabaseKind.h"
#include "records/TextFile.h"

namespace orvanta {

// The name the merge writes under when no file was chosen in the dialog.
inline constexpr std::string_view kDefaultDbFileName = "CALL3.txt";

// The name the merged database is written under: the name chosen in the
// dialog, unless none was chosen in this run or the one chosen is a log (a
// merge never replaces a log), in which case kDefaultDbFileName.
std::string mergedFileName(std::string_view dbFileName);

// The year of an update date "MM/YY" from its last two characters: 0 to 80
// give 2000 to 2080, 81 to 99 give 1981 to 1999; an empty date or one whose
// end is no number counts as the year 2000.
std::int16_t UpdateYear(std::string_view date);

// One database as the merge reads it: all its lines, one after the other in a
// single block, and the length of each. Keeping one block per file instead of
// one string per line keeps the memory of millions of lines close to the size
// of the files.
struct MergeSource {
  std::string path;
  std::string bytes;
  std::vector<std::uint32_t> lengths;
  TextFormat format;
  // Whether the file ended any line at all; format.lineEnd only tells
  // something about files that did.
  bool sawLineEnd = false;
};

// Reads a database for the merge from an open file. A CR that ends the file
// is no part of its last record. Throws FileError.
MergeSource loadMergeSource(IInputFile& file, const std::string& path);

// The format of the merged file: UTF-8 when any source is UTF-8 (with a byte
// order mark when any source had one), else Windows-1252; LF line ends when
// every source that ended a line at all used LF alone, else CR LF (also when
// no source ended a line).
TextFormat mergedFormat(const std::vector<MergeSource>& sources);

// Re-encodes the lines of a source into UTF-8 when that is the target. Each
// line decides for itself: a line that is valid UTF-8 stays as it is, any
// other is read as Windows-1252, so that one stray byte in a UTF-8 file
// does not make every accented letter of it be encoded twice.
void convertSource(MergeSource& source, Encoding target);

struct MergedRecords {
  std::string text;         // the winning records, each followed by the line end
  std::size_t records = 0;  // how many were written
};

// Sorts all lines (comment lines, empty lines and terminator lines dropped,
// leading blanks removed) and keeps one record per call sign: the one with the
// greatest update year, of equal years the one that sorts first. Every
// written record is in its regular eight-field form. yield runs after the lines are collected, after the sort
// and after the walk.
MergedRecords MergeRecords(std::vector<std::string_view> lines, std::string_view lineEnd,
                           const std::function<void()>& yield);
// The same over every line of the sources, in their order, without a list
// of all lines beside the sorted records.
MergedRecords MergeRecords(const std::vector<MergeSource>& sources, std::string_view lineEnd,
                           const std::function<void()>& yield);

// "//" & fileName & " format for WSJT-PROGRAMs by Q9ZZ"
std::string mergeHeaderLine(std::string_view fileName);
// "ZZZZZZ,End-Of-Call3-Database yyyy.mm.dd Orvanta " & legalNotice
std::string mergeTerminatorLine(const CivilDate& today, std::string_view legalNotice);

// The whole merged file: header, records, terminator and one empty line, with
// the format's line ends and byte-order mark.
std::string mergedDatabaseText(std::string_view header, std::string_view records, std::string_view terminator,
                               const TextFormat& format);

}  // namespace orvanta
