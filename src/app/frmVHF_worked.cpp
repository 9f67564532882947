// Extras "Schon gearbeitet?": ask which call, count it across the listed
// logs, show the table; the check box counts again by base calls.

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "records/Text.h"
#include "search/WorkedBefore.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

constexpr const char* kBaseCallKey = "BaseCall";

std::string joined(const std::set<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

WorkedBeforeTable makeTable(const WorkedSummary& summary, bool german, bool noLog) {
  WorkedBeforeTable table;
  table.title = texts::kWorkedTitle.in(german);
  table.heading =
      fillIn(texts::kWorkedContacts.in(german, summary.total), {summary.call, std::to_string(summary.total)});
  table.columns.emplace_back(texts::kWorkedBand.in(german));
  table.columns.insert(table.columns.end(), summary.modes.begin(), summary.modes.end());
  table.columns.emplace_back(texts::kWorkedFirst.in(german));
  table.columns.emplace_back(texts::kWorkedLast.in(german));
  table.columns.emplace_back(texts::kWorkedGrids.in(german));
  for (const auto& row : summary.rows) {
    std::vector<std::string> cells{row.band};
    for (const auto& mode : summary.modes) {
      const auto cell = row.modes.find(mode);
      cells.push_back(cell == row.modes.end() ? std::string() : std::to_string(cell->second.count));
    }
    cells.insert(cells.end(), {row.first, row.last, joined(row.grids)});
    table.rows.push_back(std::move(cells));
  }
  if (table.rows.empty()) table.emptyText = texts::kWorkedNone.in(german);
  if (noLog) table.notes.emplace_back(texts::kWorkedNoLog.in(german));
  for (const auto& [path, reason] : summary.unreadable) {
    table.notes.push_back(fillIn(texts::kWorkedUnreadable.in(german), {path, reason}));
  }
  table.checkBoxText = texts::kWorkedBaseCall.in(german);
  table.closeText = texts::kWorkedClose.in(german);
  return table;
}

}  // namespace

// Every log of the database list, each file once however it is spelled.
std::vector<std::string> frmVHF::listedLogs() {
  std::vector<std::string> candidates = window_.listItems(ctl::kCombo1);
  candidates.push_back(window_.text(ctl::kCombo1));
  std::vector<std::string> logs;
  std::vector<FileIdentity> seen;
  for (const auto& path : candidates) {
    if (path.empty() || !isLogDatabasePath(path)) continue;
    if (std::find(logs.begin(), logs.end(), path) != logs.end()) continue;
    std::optional<FileIdentity> identity;
    try {
      identity = files_.identity(path);
    } catch (const FileError&) {
      // Counted by its path; reading it will tell what is wrong.
    }
    if (identity && std::find(seen.begin(), seen.end(), *identity) != seen.end()) continue;
    if (identity) seen.push_back(*identity);
    logs.push_back(path);
  }
  return logs;
}

WorkedBeforeTable frmVHF::workedTable(const WorkedSummary& summary, bool noLog) const {
  return makeTable(summary, isGerman(), noLog);
}

void frmVHF::mnuWorked_Click() {
  if (workedBefore_ == nullptr && stationView_ == nullptr) return;
  std::string call = upperCaseUtf8(trimBlanks(window_.text(ctl::kText10)));
  if (call.empty()) call = upperCaseUtf8(trimBlanks(window_.text(ctl::kText2)));
  if (call.empty()) {
    focusSearchBox();
    return;
  }
  bool baseCalls = false;
  try {
    baseCalls = settings_.read(kApplication, kSection, kBaseCallKey, "0") == "1";
  } catch (const std::exception&) {
    // A settings store that cannot be read leaves the check box clear.
  }
  if (stationView_ != nullptr) {
    // The station window: the call on screen, its locator for distance and
    // heading, the table beside the main window.
    if (call != stationCall_) stationNotice_.clear();
    stationCall_ = call;
    if (!Following) stationInstance_.clear();
    stationRecordGrid_ = window_.text(DbKind == "user" ? ctl::kText3 : ctl::kText7);
    stationWorked_ = countWorked(call, baseCalls);
    refreshStation(true);
    return;
  }
  const std::vector<std::string> logs = listedLogs();
  const bool german = isGerman();
  const auto tableFor = [&](bool checked) {
    // Reading a log of a million contacts takes a moment.
    window_.setMousePointer(MousePointer::Busy);
    WorkedBeforeCount count(call, checked);
    for (const auto& log : logs) count.addLog(files_, log);
    window_.setMousePointer(MousePointer::Normal);
    WorkedBeforeTable table = makeTable(count.summary(), german, logs.empty());
    table.checked = checked;
    return table;
  };
  workedBefore_->show(tableFor(baseCalls), [&](bool checked) {
    try {
      settings_.write(kApplication, kSection, kBaseCallKey, checked ? "1" : "0");
    } catch (const std::exception&) {
      // Not remembered this time; the table still follows the check box.
    }
    return tableFor(checked);
  });
  focusSearchBox();
}

}  // namespace orvanta
