#pragma once

// "Worked before?": every contact with one call sign across the logs, by band
// and mode, each contact counted once however many logs hold it.

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/FileSystem.h"
#include "search/SearchScan.h"

namespace orvanta {

struct AmateurBand {
  std::string_view name;  // as the ADIF band table writes it, "2m"
  double lowMHz;
  double highMHz;
};

// The ADIF band table from 2190m to 1mm, longest wavelength first.
const std::vector<AmateurBand>& adifBands();
// Index into adifBands() of the band a frequency in MHz lies in, edges
// included; nothing when it lies in none.
std::optional<std::size_t> bandOfFrequency(double mhz);
// Index of the band a text names, in any letter case.
std::optional<std::size_t> bandNamed(std::string_view name);

// The call without "/P", "/M" and prefixes: the longest part between "/"
// (the first of equal length).
std::string_view baseCall(std::string_view call);

// One contact as the count sees it.
struct WorkedContact {
  std::string call;  // as written, trimmed
  std::string date;  // field 0
  std::string time;  // field 1
  std::optional<std::size_t> band;
  std::string mode;  // upper-cased
  std::string grid;
};

// The contact of a log line by its layout: call, grid, frequency and mode
// are fields 2 to 5 in a line of up to 12 fields, 4 to 7 from 13 fields on.
// An ADIF record's own band, when it names one of the table, goes before the
// frequency. Nothing for a line too short to hold a call.
std::optional<WorkedContact> contactOfLogLine(std::string_view line, std::string_view adifBand = {});

// What makes two contacts one: the call as written, date and time to the
// minute, and band. A contact held by two logs (or logged twice by WSJT-X)
// is counted once.
std::string contactIdentity(const WorkedContact& contact);

// The contacts of one band in one mode, with the dates of the earliest and
// the latest.
struct WorkedCell {
  std::size_t count = 0;
  std::string first;
  std::string last;
};

struct WorkedRow {
  std::string band;                         // "2m", or "?"
  std::map<std::string, WorkedCell> modes;  // modes in byte order
  std::string first;                        // date of the earliest contact
  std::string last;                         // date of the latest contact
  std::set<std::string> grids;
};

struct WorkedSummary {
  std::string call;
  std::size_t total = 0;
  std::vector<std::string> modes;  // every mode of any row, in byte order
  std::vector<WorkedRow> rows;     // band order of the table, "?" last
  // Logs that could not be read, each with the reason.
  std::vector<std::pair<std::string, std::string>> unreadable;
};

// Counts the contacts with one call sign, fed line by line.
class WorkedBeforeCount {
 public:
  // call: trimmed and upper-cased by the caller. With baseCalls, both sides
  // are reduced to the base call before they are compared.
  WorkedBeforeCount(std::string_view call, bool baseCalls);

  // A fast test on raw bytes: false when the line cannot hold the call.
  bool mayMatch(std::string_view line) const;
  void addLine(std::string_view line, std::string_view adifBand = {});
  // Reads a whole log, wsjtx.log or ADIF; a log that cannot be read is noted
  // and the count goes on without it.
  void addLog(const IFileSystem& files, const std::string& path);

  WorkedSummary summary() const;

 private:
  // A cell with the date and time of its earliest and latest contact.
  struct Span {
    WorkedCell cell;
    std::string firstKey;
    std::string lastKey;
    void add(const WorkedContact& contact);
    void addAdif(IInputFile& file);
  };
  struct Slot {
    std::map<std::string, Span> modes;
    Span all;
    std::set<std::string> grids;
  };
  void add(const WorkedContact& contact);
  void addAdif(IInputFile& file);

  std::string call_;
  std::string wanted_;  // the call, or its base call
  bool baseCalls_;
  AnchorFinder finder_;  // finds the wanted call in any letter case
  std::unordered_set<std::string> seen_;
  std::map<std::size_t, Slot> slots_;  // band index; the table's size for "?"
  std::size_t total_ = 0;
  std::vector<std::pair<std::string, std::string>> unreadable_;
};

// The text orvanta-bench prints: "BAND MODE COUNT FIRST LAST" per band and
// mode in table order, then "total N".
std::string workedBeforeText(const WorkedSummary& summary);

}  // namespace orvanta
