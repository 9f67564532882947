#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The update date a user record gets when it has none and the caller passes none.
inline constexpr std::string_view kDefaultUpdateDate = "01/00";

// Splits a line at every occurrence of the separator; empty fields count, also
// at the ends. The empty line gives no fields; an empty separator gives the
// whole line as one field.
std::vector<std::string> SplitFields(std::string_view line, std::string_view separator);

// SplitFields as views into the line, into a list the caller reuses.
void SplitFieldViews(std::string_view line, std::string_view separator,
                     std::vector<std::string_view>& fields);

// The one routine that cuts a record line into its fields. It reads the line,
// the date, the kind and the separator; it writes the line (user records),
// the separator (log records) and the fields, and nothing else.
//
// dbKind "user": splits at fieldSeparator and brings a record of three or
// more fields to the eight regular fields (call, locator, remark, activities,
// rig, two free fields, update date), rewriting `line` into that form:
//   - three to seven fields: a last field holding "/" moves to field 7,
//     otherwise `date` ("01/00" when empty) is added as field 7;
//   - eight fields: field 7 without "/" is replaced by the date;
//   - nine or more: the surplus is folded from the end down to field 7 into
//     field 6 (texts, trimmed of blanks) and field 7 (a date).
//   Lines of one or two fields (a header comment read as a record, say) stay
//   as they are, so no field is ever lost. A regular record always ends at
//   field 7, whatever index the form holds for it (0 before the window is
//   first activated would lose or double fields).
// dbKind "log": sets fieldSeparator to "," and only splits; the line stays.
// Any other kind: only splits at fieldSeparator; the line stays.
//
// The date passed in applies to records without one; a record's own date never
// changes it for the next call. Works on raw bytes of either encoding: it only
// looks for ASCII (the separator, "/", blanks).
//
// `fields` receives the fields as views into `line` as it stands afterwards,
// valid until the line changes; the caller keeps the list, so that a loop
// over many lines reuses its room.
void NormalizeRecordFields(std::string& line, std::string_view date, std::string_view dbKind,
                           std::string& fieldSeparator, std::vector<std::string_view>& fields);

// NormalizeRecordFields with the fields copied out.
std::vector<std::string> NormalizeRecord(std::string& line, std::string_view date, std::string_view dbKind,
                                         std::string& fieldSeparator);

// Classes of the lines of a database. A line belongs to the first class that
// fits; which terminator test applies depends on who reads the file.
inline bool IsCommentLine(std::string_view line) { return line.find("//") != std::string_view::npos; }
inline bool IsEmptyLine(std::string_view line) { return line.empty(); }
// The search stops at a line holding "ZZZZZZ" anywhere.
inline bool IsSearchTerminator(std::string_view line) {
  return line.find("ZZZZZZ") != std::string_view::npos;
}
// The merge stops at a line whose field 0 is exactly "ZZZZZZ".
bool IsMergeTerminator(std::string_view line, std::string_view separator = ",");
// The month-end update leaves every line holding "ZZZ" anywhere alone.
inline bool IsMonthEndTerminator(std::string_view line) { return line.find("ZZZ") != std::string_view::npos; }

}  // namespace orvanta
