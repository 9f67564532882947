// Taking stations over into the user database: the contact on screen, every
// contact of the listed logs, or a station typed in by hand.

#include <algorithm>
#include <initializer_list>
#include <memory>
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

// Each log once, however often or under whichever spelling it is listed,
// so that its contacts count once; missing gets the first that names no file.
std::vector<std::string> distinctLogs(const IFileSystem& files, const std::vector<std::string>& logs,
                                      std::string& missing) {
  std::vector<std::string> distinct;
  std::vector<FileIdentity> seen;
  for (const auto& log : logs) {
    const auto id = files.identity(log);
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
std::string unwritableText(const IFileSystem& files, const std::string& path, bool german,
                           const std::string& nl) {
  if (isBackupOfAnother(files, path)) return fillIn(texts::kTakeOverIsBackup.in(german), {path});
  if (files.writeProtected(path)) return std::string(texts::kDatabaseWriteProtected.in(german)) + nl + path;
  return {};
}

// The backup the database keeps its previous version under, spelt as the
// database is (a bare name for a bare name).
std::string backupPathOf(const LockedDatabase& database) {
  const std::string& listed = database.listed();
  if (listed.find('/') == std::string::npos) return database.backupName();
  return pathIn(folderOf(listed), database.backupName());
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

std::unique_ptr<LockedDatabase> frmVHF::lockForTakeOver(const std::string& title, const std::string& path) {
  const bool german = isGerman();
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  try {
    return std::make_unique<LockedDatabase>(files_, path);
  } catch (const FileLocked&) {
    tell(title, std::string(texts::kDatabaseLocked.in(german)) + nl + path, MessageIcon::Exclamation);
  } catch (const FileError& e) {
    tell(title, std::string(texts::kTakeOverUnreadable.in(german)) + nl + path + nl + e.what(),
         MessageIcon::Stop);
  }
  return nullptr;
}

void frmVHF::tell(const std::string& title, std::string_view text, MessageIcon icon) {
  messages_.show(std::string(text), title, icon, MessageButtons::Ok);
}

void frmVHF::mnuAddStation_Click() {
  const bool german = isGerman();
  const std::string title(texts::kAddStationTitle.in(german));
  if (refusedWhileMaintaining()) return;
  const std::string path = window_.text(ctl::kCombo1);
  if (isLogDatabasePath(path)) {
    if (RecordKey.empty()) {
      tell(title, texts::kTakeOverNoContact.in(german), MessageIcon::Exclamation);
      return;
    }
    takeOverContacts(title, {RecordLine}, {});
  } else if (!path.empty() && isUserDatabasePath(path)) {
    addStationByHand(path);
  } else {
    tell(title, texts::kTakeOverNoDatabase.in(german), MessageIcon::Exclamation);
  }
}

void frmVHF::mnuAddLog_Click() {
  const bool german = isGerman();
  const std::string title(texts::kAddLogTitle.in(german));
  if (refusedWhileMaintaining()) return;
  std::vector<std::string> logs;
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (isLogDatabasePath(item)) logs.push_back(item);
  }
  if (logs.empty()) {
    tell(title, texts::kTakeOverNoLog.in(german), MessageIcon::Exclamation);
    return;
  }
  takeOverContacts(title, {}, logs);
}

// The first user database of the list, checked so that writing it can
// neither overwrite the backup of its folder nor a log.
bool frmVHF::takeOverTarget(const std::string& title, std::string& target) {
  const bool german = isGerman();
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  target.clear();
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (target.empty() && isUserDatabasePath(item)) target = item;
  }
  if (target.empty()) {
    tell(title, texts::kTakeOverNoTarget.in(german), MessageIcon::Exclamation);
    return false;
  }
  const auto id = files_.identity(target);
  if (!id) {
    tell(title, std::string(texts::kTakeOverNotFound.in(german)) + nl + target, MessageIcon::Exclamation);
    return false;
  }
  if (const std::string refused = unwritableText(files_, target, german, nl); !refused.empty()) {
    tell(title, refused, MessageIcon::Exclamation);
    return false;
  }
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (isLogDatabasePath(item) && files_.identity(item) == id) {
      tell(title, fillIn(texts::kTakeOverIsLog.in(german), {target}), MessageIcon::Exclamation);
      return false;
    }
  }
  return true;
}

void frmVHF::takeOverContacts(const std::string& title, const std::vector<std::string>& logLines,
                              const std::vector<std::string>& logs) {
  const bool german = isGerman();
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  std::string target;
  if (!takeOverTarget(title, target)) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  const auto fail = [&](std::string_view what, const std::string& detail) {
    scope.normalPointer();
    tell(title, std::string(what) + nl + detail, MessageIcon::Stop);
  };

  std::string missing;
  const std::vector<std::string> distinct = distinctLogs(files_, logs, missing);
  if (!missing.empty()) {
    fail(texts::kTakeOverNotFound.in(german), missing);
    return;
  }
  // Held from reading until the new file is in place.
  const auto locked = lockForTakeOver(title, target);
  if (!locked) return;
  scope.busyPointer();
  TakeOverPlan plan;
  try {
    plan = planTakeOverFromFiles(files_, *locked, logLines, distinct, FieldSeparator);
  } catch (const TakeOverReadError& e) {
    fail(texts::kTakeOverUnreadable.in(german),
         e.path + nl + (e.longLine ? lineTooLongText(e.longLine) : e.what()));
    return;
  }
  scope.normalPointer();

  const auto& c = plan.counts;
  const auto counted = [german](const CountedText& text, auto count) {
    return fillIn(text.in(german, count), {std::to_string(count)});
  };
  const std::string counts =
      fillIn(texts::kTakeOverCounts.in(german),
             {counted(texts::kStationsCounted, c.added), std::to_string(c.changed),
              std::to_string(c.unchanged), counted(texts::kContactsCounted, c.skipped)});
  if (!plan.changes()) {
    tell(title, counts + nl + std::string(texts::kTakeOverNothing.in(german)), MessageIcon::Information);
    return;
  }
  const std::string question = counts + nl + fillIn(texts::kTakeOverQuestion.in(german), {target});
  if (messages_.show(question, title, MessageIcon::Information, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return;
  }
  scope.busyPointer();
  if (!writeTakenOver(title, *locked, plan.write)) return;
  scope.normalPointer();
  tell(title,
       fillIn(texts::kTakeOverDone.in(german), {target}) + nl +
           fillIn(texts::kTakeOverBackupKept.in(german), {backupPathOf(*locked)}),
       MessageIcon::Information);
}

bool frmVHF::writeTakenOver(const std::string& title, LockedDatabase& database,
                            const std::function<void(IOutputFile&)>& content) {
  const bool german = isGerman();
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  const std::string& path = database.listed();
  std::string report;
  try {
    replaceKeepingBackup(files_, database, content);
    return true;
  } catch (const DatabaseChanged&) {
    report = std::string(texts::kDatabaseChangedMeanwhile.in(german)) + nl + path;
  } catch (const BackupNotPutBack& e) {
    report = std::string(texts::kTakeOverWriteFailed.in(german)) + nl + path + nl + e.what() + nl + nl +
             fillIn(texts::kBackupNowACopy.in(german), {backupPathOf(database)});
  } catch (const FileError& e) {
    report =
        std::string(texts::kTakeOverWriteFailed.in(german)) + nl + path + nl + withoutScratchNames(e.what());
  }
  window_.setMousePointer(MousePointer::Normal);
  tell(title, report, MessageIcon::Stop);
  return false;
}

void frmVHF::addStationByHand(const std::string& database) {
  const bool german = isGerman();
  const std::string title(texts::kAddStationTitle.in(german));
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  if (stationDialog_ == nullptr) return;
  // Nothing is asked for a database that cannot be written.
  const auto id = files_.identity(database);
  if (!id) {
    tell(title, std::string(texts::kTakeOverNotFound.in(german)) + nl + database, MessageIcon::Exclamation);
    return;
  }
  if (const std::string refused = unwritableText(files_, database, german, nl); !refused.empty()) {
    tell(title, refused, MessageIcon::Exclamation);
    return;
  }
  StationDialogRequest request = stationRequest(title, german, encodingOf(files_, database));
  request.initial.call = window_.text(ctl::kText10);
  const auto entry = stationDialog_->askStation(request);
  if (!entry) return;
  // The dialog checks as well, but what is written must never rest on it.
  if (const std::string problem = request.check(*entry); !problem.empty()) {
    tell(title, problem, MessageIcon::Exclamation);
    return;
  }

  MaintenanceScope scope(MaintenanceRunning, window_);
  const auto locked = lockForTakeOver(title, database);
  if (!locked) return;
  scope.busyPointer();
  AddStationPlan plan;
  try {
    plan = planAddStation(readLockedDatabase(*locked), entry->call, entry->locator, entry->remark,
                          FieldSeparator);
  } catch (const LineTooLongError& e) {
    scope.normalPointer();
    tell(title,
         std::string(texts::kTakeOverUnreadable.in(german)) + nl + database + nl + lineTooLongText(e.line()),
         MessageIcon::Stop);
    return;
  } catch (const FileError& e) {
    scope.normalPointer();
    tell(title, std::string(texts::kTakeOverUnreadable.in(german)) + nl + database + nl + e.what(),
         MessageIcon::Stop);
    return;
  }
  if (!plan.notHeld.empty()) {
    scope.normalPointer();
    tell(title, fillIn(texts::kStationRemarkNotHeld.in(german), {plan.notHeld}), MessageIcon::Exclamation);
    return;
  }
  if (!writeTakenOver(title, *locked, [&plan](IOutputFile& out) { out.write(plan.text); })) return;
  scope.normalPointer();
  const auto done = plan.existed ? texts::kStationUpdated : texts::kStationAdded;
  tell(title,
       fillIn(done.in(german), {plan.call, database}) + newLine() +
           fillIn(texts::kStationUndatedHint.in(german), {newLine(), newLine()}),
       MessageIcon::Information);
}

}  // namespace orvanta
