#pragma once

// Taking stations over into a user database: from the contacts of logs, or
// one station typed in by hand. Every byte of the database that no station
// touches stays as it was; new and changed lines use the file's own line end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "maintenance/SafeFiles.h"
#include "platform/FileSystem.h"
#include "records/DatabaseKind.h"
#include "records/Encoding.h"

namespace orvanta {

// 3 to 13 characters of A-Z, 0-9 and "/", at least one digit and one letter;
// "/" neither first nor last nor twice in a row.
bool isValidCall(std::string_view call);
// Maidenhead of 4, 6 or 8 characters in any letter case: two letters A-R, two
// digits, optionally two letters A-X, optionally two digits. "RR73", a
// message that lands in the grid field, is never a grid.
bool isValidGrid(std::string_view grid);

// Date and time of a contact: field 0 as YYYY-MM-DD or YYYY-Mon-DD (English
// month abbreviation, any letter case), field 1 as HH:MM:SS, HH:MM, HHMMSS
// or HHMM.
struct ContactTime {
  int year = 0;
  int month = 0;
  std::uint64_t stamp = 0;  // orders contacts by date and time
};
bool parseContactTime(std::string_view date, std::string_view time, ContactTime& out);

// Calls every line of a log, without its line end; an ADIF file gives the
// lines WSJT-X writes for its contacts. Throws FileError.
void readLogLines(const IFileSystem& files, const std::string& path,
                  const std::function<void(std::string_view)>& line);

// A valid call (at most 13 characters) as two numbers that sort as the
// call's bytes do, so that contacts sort and compare without strings.
struct CallKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  // The defaulted comparison compares with a literal 0 of its own.
  friend auto operator<=>(const CallKey&, const CallKey&) = default;  // NOLINT(modernize-use-nullptr)
};
CallKey makeCallKey(std::string_view call);
std::string callText(const CallKey& key);

// The newest valid contact of every call (latest date and time; of equal
// ones the later line), collected line by line in list and file order.
class ContactCollector {
 public:
  struct Contact {
    CallKey call;
    std::uint64_t stamp = 0;  // date and time
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t gridLength = 0;
    std::array<char, 8> grid{};  // upper case
    [[nodiscard]] std::string_view gridText() const { return {grid.data(), gridLength}; }
  };
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // A line of fewer than six fields, an empty line and a comment line are no
  // contact; a contact without a valid call, grid or date is counted as skipped.
  void addLine(std::string_view line);

  // One contact per call, in the order the calls first appeared.
  [[nodiscard]] const std::vector<Contact>& newest() const { return newest_; }
  // The place of a call's contact in newest(), or npos.
  [[nodiscard]] std::size_t find(const CallKey& call) const;
  // Makes room for this many calls ahead.
  void reserve(std::size_t calls) { places_.reserve(calls); }
  [[nodiscard]] std::size_t skipped() const { return skipped_; }

 private:
  struct KeyHash {
    std::size_t operator()(const CallKey& call) const noexcept;
  };
  std::vector<Contact> newest_;
  std::unordered_map<CallKey, std::size_t, KeyHash> places_;  // call → place in newest_
  std::size_t skipped_ = 0;
  std::vector<std::string_view> fields_;
  std::string call_;
};

struct TakeOverCounts {
  std::size_t added = 0;
  std::size_t changed = 0;
  std::size_t unchanged = 0;
  std::size_t skipped = 0;
};

struct TakeOverPlan {
  TakeOverCounts counts;
  std::string text;  // the whole new database from planTakeOver; empty when nothing changes
  // Writes the new database planTakeOverFromFiles planned, piece by piece;
  // empty when nothing changes.
  std::function<void(IOutputFile&)> write;
  [[nodiscard]] bool changes() const { return !text.empty() || static_cast<bool>(write); }
};

// Works out the new database from its bytes and the collected contacts: a
// call without a record gets the line "CALL,GRID,,,,,,MM/YY" in call order; a
// record dated before the newest contact's month whose locator differs gets
// the grid and that month.
TakeOverPlan planTakeOver(std::string_view database, const ContactCollector& contacts);

// The whole content of a locked database, read from its start. Throws
// ReadError (LineTooLongError for a line longer than kLongestHeldLine).
std::string readLockedDatabase(LockedDatabase& database);

// PlanTakeOver over files: the contacts of lines (log lines taken first)
// and of the logs, the database as it is held under its lock. The logs are
// read on a second thread meanwhile, through files' const operations only.
// The plan holds the database's bytes and writes the new file from them, so
// that the whole new text is never held beside them. Throws ReadError naming
// the file that could not be read.
TakeOverPlan planTakeOverFromFiles(const IFileSystem& files, LockedDatabase& database,
                                   const std::vector<std::string>& lines,
                                   const std::vector<std::string>& logs);

// The encoding a database's bytes are in, read in pieces. Throws FileError.
Encoding databaseEncoding(const IFileSystem& files, const std::string& path);

// What is wrong with a station typed in by hand.
enum class StationProblem { None, Call, CallTerminator, Locator, Remark, RemarkControl };
// Call and locator are taken trimmed of blanks and in any letter case.
StationProblem checkStation(std::string_view call, std::string_view locator, std::string_view remark);

// The distinct characters of UTF-8 text that the encoding cannot hold,
// separated by blanks; empty when it holds them all.
std::string charactersNotHeld(std::string_view utf8, Encoding encoding);

struct AddStationPlan {
  std::string notHeld;   // characters of the remark the database cannot hold; nothing planned then
  bool existed = false;  // the database had a record of the call
  std::string call;      // the call as written: trimmed, upper case
  std::string text;      // the whole new database
};

// Puts one checked station into the database: a call without a record gets
// "CALL,LOCATOR,REMARK,,,,," in call order (no date, so the month-end update
// stamps it); a record gets its locator and remark replaced and its date
// emptied. The remark is UTF-8 and is written in the database's encoding.
//
AddStationPlan planAddStation(std::string_view database, std::string_view call, std::string_view locator,
                              std::string_view remark);

}  // namespace orvanta
