// Taking stations over into the user database: the contact on screen, every
// contact of the listed logs, or a station typed in by hand.

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MaintenanceScope.h"
#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "maintenance/SafeFiles.h"
#include "maintenance/TakeOver.h"
#include "records/Text.h"
#include "records/TextFile.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

std::string problemText(StationProblem problem, bool german) {
  switch (problem) {
    case StationProblem::Call:
      return std::string(texts::kStationBadCall.in(german));
    case StationProblem::CallTerminator:
      return std::string(texts::kStationTerminatorCall.in(german));
    case StationProblem::Locator:
      return std::string(texts::kStationBadLocator.in(german));
    case StationProblem::Remark:
      return std::string(texts::kStationBadRemark.in(german));
    case StationProblem::RemarkControl:
      return std::string(texts::kStationRemarkControl.in(german));
    case StationProblem::None:
      break;
  }
  return {};
}

// What identifies the file at path; a path that cannot be examined cannot be read.
std::optional<FileIdentity> identityOf(const IFileSystem& files, const std::string& path) {
  try {
    return files.identity(path);
  } catch (const FileError& e) {
    throw ReadError(path, e);
  }
}

// Each log once, however often or under whichever spelling it is listed,
// so that its contacts count once; missing gets the first that names no file.
std::vector<std::string> distinctLogs(const IFileSystem& files, const std::vector<std::string>& logs,
                                      std::string& missing) {
  std::vector<std::string> distinct;
  std::vector<FileIdentity> seen;
  for (const auto& log : logs) {
    const auto id = identityOf(files, log);
    if (!id) {
      if (missing.empty()) missing = log;
      continue;
    }
    if (std::find(seen.begin(), seen.end(), *id) != seen.end()) continue;
    seen.push_back(*id);
    distinct.push_back(log);
  }
  return distinct;
}

// Why a user database must not be written, or nothing: it is the backup of
// another database of its folder, or it is write-protected.
const BilingualText* unwritableText(const IFileSystem& files, const std::string& path) {
  if (isBackupOfAnother(files, path)) return &texts::kTakeOverIsBackup;
  if (files.writeProtected(path)) return &texts::kDatabaseWriteProtected;
  return nullptr;
}

// The database's encoding as far as it can be told before the lock; the
// plan checks again on what it reads.
Encoding encodingOf(const IFileSystem& files, const std::string& database) {
  try {
    return databaseEncoding(files, database);
  } catch (const FileError&) {
    return Encoding::Utf8;  // told when the database is read under its lock
  }
}

// The dialog for a station typed in by hand, checking the entry against the
// rules of a record and the characters the database can hold.
StationDialogRequest stationRequest(const std::string& title, bool german, Encoding encoding) {
  StationDialogRequest request;
  request.title = title;
  request.callLabel = texts::kStationCallLabel.in(german);
  request.locatorLabel = texts::kStationLocatorLabel.in(german);
  request.remarkLabel = texts::kStationRemarkLabel.in(german);
  request.okCaption = texts::kStationOk.in(german);
  request.cancelCaption = texts::kStationCancel.in(german);
  request.check = [german, encoding](const StationEntry& entry) {
    const StationProblem problem = checkStation(entry.call, entry.locator, entry.remark);
    if (problem != StationProblem::None) return problemText(problem, german);
    const std::string notHeld = charactersNotHeld(trimBlanks(entry.remark), encoding);
    return notHeld.empty() ? std::string() : fillIn(texts::kStationRemarkNotHeld.in(german), {notHeld});
  };
  return request;
}

}  // namespace

void frmVHF::tell(const std::string& title, std::string_view text, MessageIcon icon) {
  messages_.show(std::string(text), title, icon, MessageButtons::Ok);
}

void frmVHF::tellTakeOverFailure(const std::string& title, const FileError& error, const std::string& path) {
  window_.setMousePointer(MousePointer::Normal);
  const bool locked = dynamic_cast<const FileLocked*>(&error) != nullptr;
  tell(title, failureText(error, path), locked ? MessageIcon::Exclamation : MessageIcon::Stop);
}

void frmVHF::mnuAddStation_Click() {
  const std::string title = say(texts::kAddStationTitle);
  if (refusedWhileMaintaining()) return;
  const std::string path = window_.text(ctl::kCombo1);
  try {
    if (isLogDatabasePath(path)) {
      if (RecordKey.empty()) {
        tell(title, say(texts::kTakeOverNoContact), MessageIcon::Exclamation);
        return;
      }
      takeOverContacts(title, {RecordLine}, {});
    } else if (!path.empty() && isUserDatabasePath(path)) {
      addStationByHand(path);
    } else {
      tell(title, say(texts::kTakeOverNoDatabase), MessageIcon::Exclamation);
    }
  } catch (const FileError& e) {
    tellTakeOverFailure(title, e, path);
  }
}

void frmVHF::mnuAddLog_Click() {
  const std::string title = say(texts::kAddLogTitle);
  if (refusedWhileMaintaining()) return;
  std::vector<std::string> logs;
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (isLogDatabasePath(item)) logs.push_back(item);
  }
  if (logs.empty()) {
    tell(title, say(texts::kTakeOverNoLog), MessageIcon::Exclamation);
    return;
  }
  try {
    takeOverContacts(title, {}, logs);
  } catch (const FileError& e) {
    tellTakeOverFailure(title, e, {});
  }
}

// The first user database of the list, checked so that writing it can
// neither overwrite the backup of its folder nor a log.
bool frmVHF::takeOverTarget(const std::string& title, std::string& target) {
  target.clear();
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (target.empty() && isUserDatabasePath(item)) target = item;
  }
  if (target.empty()) {
    tell(title, say(texts::kTakeOverNoTarget), MessageIcon::Exclamation);
    return false;
  }
  if (!writableDatabase(title, target)) return false;
  const auto id = identityOf(files_, target);
  const auto isTarget = [&](const std::string& item) {
    return isLogDatabasePath(item) && identityOf(files_, item) == id;
  };
  if (std::ranges::any_of(window_.listItems(ctl::kCombo1), isTarget)) {
    tell(title, say(texts::kTakeOverIsLog, {target}), MessageIcon::Exclamation);
    return false;
  }
  return true;
}

// A database the take-over may write: it is there and is not its folder's backup.
bool frmVHF::writableDatabase(const std::string& title, const std::string& database) {
  const auto id = identityOf(files_, database);
  if (!id) {
    tell(title, say(texts::kDatabaseNotFound, {database}), MessageIcon::Exclamation);
    return false;
  }
  if (const BilingualText* refused = unwritableText(files_, database)) {
    tell(title, say(*refused, {database}), MessageIcon::Exclamation);
    return false;
  }
  return true;
}

void frmVHF::takeOverContacts(const std::string& title, const std::vector<std::string>& logLines,
                              const std::vector<std::string>& logs) {
  const std::string& nl = newLine();
  std::string target;
  if (!takeOverTarget(title, target)) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  std::string missing;
  const std::vector<std::string> distinct = distinctLogs(files_, logs, missing);
  if (!missing.empty()) {
    tell(title, say(texts::kDatabaseNotFound, {missing}), MessageIcon::Stop);
    return;
  }
  // Held from reading until the new file is in place.
  LockedDatabase locked(files_, target);
  scope.busyPointer();
  FieldSeparator.assign(1, ',');
  const TakeOverPlan plan = planTakeOverFromFiles(files_, locked, logLines, distinct);
  scope.normalPointer();

  const auto& c = plan.counts;
  const bool german = isGerman();
  const auto counted = [german](const CountedText& text, auto count) {
    return fillIn(text.in(german, count), {std::to_string(count)});
  };
  const std::string counts =
      say(texts::kTakeOverCounts, {counted(texts::kStationsCounted, c.added), std::to_string(c.changed),
                                   std::to_string(c.unchanged), counted(texts::kContactsCounted, c.skipped)});
  if (!plan.changes()) {
    tell(title, counts + nl + say(texts::kTakeOverNothing), MessageIcon::Information);
    return;
  }
  const std::string question = counts + nl + say(texts::kTakeOverQuestion, {target});
  if (messages_.show(question, title, MessageIcon::Information, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return;
  }
  scope.busyPointer();
  replaceKeepingBackup(files_, locked, plan.write);
  scope.normalPointer();
  tell(title,
       say(texts::kTakeOverDone, {target}) + nl + say(texts::kTakeOverBackupKept, {backupPathOf(locked)}),
       MessageIcon::Information);
}

void frmVHF::addStationByHand(const std::string& database) {
  const std::string title = say(texts::kAddStationTitle);
  if (stationDialog_ == nullptr) return;
  // Nothing is asked for a database that cannot be written.
  if (!writableDatabase(title, database)) return;
  StationDialogRequest request = stationRequest(title, isGerman(), encodingOf(files_, database));
  request.initial.call = window_.text(ctl::kText10);
  const auto entry = stationDialog_->askStation(request);
  if (!entry) return;
  // The dialog checks as well, but what is written must never rest on it.
  if (const std::string problem = request.check(*entry); !problem.empty()) {
    tell(title, problem, MessageIcon::Exclamation);
    return;
  }

  MaintenanceScope scope(MaintenanceRunning, window_);
  LockedDatabase locked(files_, database);
  scope.busyPointer();
  FieldSeparator.assign(1, ',');
  const AddStationPlan plan =
      planAddStation(readLockedDatabase(locked), entry->call, entry->locator, entry->remark);
  if (!plan.notHeld.empty()) {
    scope.normalPointer();
    tell(title, say(texts::kStationRemarkNotHeld, {plan.notHeld}), MessageIcon::Exclamation);
    return;
  }
  replaceKeepingBackup(files_, locked, plan.text);
  scope.normalPointer();
  tell(title,
       say(plan.existed ? texts::kStationUpdated : texts::kStationAdded, {plan.call, database}) + newLine() +
           say(texts::kStationUndatedHint),
       MessageIcon::Information);
}

}  // namespace orvanta
