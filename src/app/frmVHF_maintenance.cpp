#include <string>
#include <vector>

#include "Version.h"
#include "app/MaintenanceScope.h"
#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "maintenance/MergeDatabases.h"
#include "maintenance/MonthEnd.h"
#include "maintenance/SafeFiles.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// A message text in the form's language, ready to be joined with others.
std::string in(const BilingualText& text, bool german) { return std::string(text.in(german)); }

}  // namespace

const std::string& frmVHF::newLine() const {
  static const std::string kCrLf = "\r\n";
  return NewLine.empty() ? kCrLf : NewLine;
}

std::string frmVHF::mergeWriteFailureText(const MergeOutcome& outcome) const {
  const bool de = isGerman();
  const std::string& nl = newLine();
  std::string text = in(texts::kMergeCannotWrite, de) + nl + outcome.reason + nl + nl;
  if (outcome.updatedFolders.empty() && outcome.notPutBack.empty())
    return text + in(texts::kMergeNothingChanged, de);
  if (!outcome.updatedFolders.empty()) {
    text += in(texts::kMergeAlreadyUpdated, de);
    for (const auto& folder : outcome.updatedFolders) text += nl + folder;
    text += nl;
  }
  if (!outcome.notPutBack.empty()) {
    text += in(texts::kMergeBackupNotPutBack, de);
    for (const auto& folder : outcome.notPutBack) text += nl + folder;
    text += nl;
  }
  return text + in(texts::kMergeOthersUnchanged, de);
}

std::string frmVHF::mergeFailureText(const MergeOutcome& outcome) const {
  const bool de = isGerman();
  const std::string& nl = newLine();
  const std::string unchanged = nl + nl + in(texts::kMergeNothingChanged, de);
  switch (outcome.result) {
    case MergeResult::ReservedName:
      return in(texts::kMergeReservedNameBefore, de) + outcome.path + in(texts::kMergeReservedNameAfter, de) +
             nl + in(texts::kMergeReservedNameHint, de) + unchanged;
    case MergeResult::NotFound:
      return in(texts::kDatabaseNotFound, de) + nl + outcome.path + unchanged;
    case MergeResult::IsBackup:
      return in(texts::kMergeIsBackupBefore, de) + outcome.path + in(texts::kMergeIsBackupAfter, de) + nl +
             in(texts::kMergeIsBackupHint, de) + unchanged;
    case MergeResult::CannotRead:
      return in(texts::kDatabaseCannotBeRead, de) + nl + outcome.reason + unchanged;
    case MergeResult::LogNeverReplaced:
      return in(texts::kMergeLogNeverReplaced, de) + nl + outcome.path + unchanged;
    case MergeResult::NotAFile:
      return in(texts::kMergeNameTaken, de) + nl + outcome.path + unchanged;
    case MergeResult::WriteProtected:
      return in(texts::kDatabaseWriteProtected, de) + nl + outcome.path + unchanged;
    case MergeResult::Locked:
      return in(texts::kDatabaseLocked, de) + nl + outcome.path;
    case MergeResult::Changed:
      return in(texts::kDatabaseChangedMeanwhile, de) + nl + outcome.path;
    default:
      return mergeWriteFailureText(outcome);
  }
}

bool frmVHF::refusedWhileMaintaining() {
  if (!MaintenanceRunning) return false;
  window_.beep();
  return true;
}

void frmVHF::mnuAktualiesieren_Click() {
  if (refusedWhileMaintaining()) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  const bool de = isGerman();
  const std::string& nl = newLine();
  MergeRequest request;
  request.listed = window_.listItems(ctl::kCombo1);
  request.dbFileName = DbFileName;
  request.today = clock_.today();
  request.legalNotice = version::kLegalNotice;
  request.started = [&] {
    scope.busyPointer();
    events_.yield();
  };
  request.yield = [this] { events_.yield(); };
  const MergeOutcome outcome = mergeDatabases(files_, request, FieldSeparator);
  if (!outcome.temporaryPath.empty()) MergeTempPath = outcome.temporaryPath;
  scope.normalPointer();

  const std::string title(in(texts::kMergeTitle, de));
  switch (outcome.result) {
    case MergeResult::Done:
      break;
    case MergeResult::TooFew:
      messages_.show(
          in(texts::kMergeSelectSeveral, de) + nl + in(texts::kMergeSelectAtLeastTwo, de) + nl + nl,
          in(texts::kMergeTooFewTitle, de), MessageIcon::Information, MessageButtons::Ok);
      return;
    case MergeResult::Unexpected:
      messages_.show(in(texts::kMergeUnexpected, de) + nl + outcome.reason,
                     in(texts::kMergeUnexpectedTitle, de), MessageIcon::Stop, MessageButtons::Ok);
      return;
    default:
      messages_.show(mergeFailureText(outcome), title, MessageIcon::Stop, MessageButtons::Ok);
      return;
  }
  window_.beep();
  // The completion message alone tells "en" and "de" apart; any other
  // language shows just the name.
  if (Language == "en" || Language == "de") {
    messages_.show(
        in(texts::kMergeCompleteBefore, de) + outcome.fileName + " " + in(texts::kMergeCompleteAfter, de),
        title, MessageIcon::Information, MessageButtons::Ok);
  } else {
    messages_.show(outcome.fileName + " ", "", MessageIcon::Information, MessageButtons::Ok);
  }
}

void frmVHF::mnuSetUpdate_Datum_Click() {
  if (refusedWhileMaintaining()) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  const bool de = isGerman();
  const std::string& nl = newLine();
  const std::string title(in(texts::kMonthEndTitle, de));
  auto tell = [&](const std::string& text, MessageIcon icon) {
    scope.normalPointer();
    messages_.show(text, title, icon, MessageButtons::Ok);
  };

  const std::string month = monthText(clock_.today());
  FieldSeparator.assign(1, ',');
  const std::string path = window_.text(ctl::kCombo1);
  if (path.empty()) return tell(in(texts::kMonthEndNoDatabase, de), MessageIcon::Exclamation);
  if (isLogDatabasePath(path))
    return tell(in(texts::kMonthEndNotInLog, de) + nl + path, MessageIcon::Exclamation);
  bool exists = false;
  try {
    exists = FileExists(path);
  } catch (const FileError&) {
    exists = false;
  }
  if (!exists) return tell(in(texts::kDatabaseNotFound, de) + nl + path, MessageIcon::Exclamation);

  scope.busyPointer();
  events_.yield();
  const MonthEndOutcome outcome = updateMonthEnd(files_, path, month, FieldSeparator);
  switch (outcome.result) {
    case MonthEndResult::Updated:
    case MonthEndResult::Unchanged:
      break;
    case MonthEndResult::CannotRead:
      return tell(in(texts::kDatabaseCannotBeRead, de) + nl + outcome.reason, MessageIcon::Exclamation);
    case MonthEndResult::CannotWrite:
    case MonthEndResult::Unexpected:
      return tell(in(texts::kMonthEndCannotWrite, de) + nl + outcome.reason, MessageIcon::Exclamation);
    case MonthEndResult::Locked:
      return tell(in(texts::kDatabaseLocked, de) + nl + path, MessageIcon::Stop);
    case MonthEndResult::Changed:
      return tell(in(texts::kDatabaseChangedMeanwhile, de) + nl + path, MessageIcon::Stop);
    case MonthEndResult::WriteProtected:
      return tell(in(texts::kDatabaseWriteProtected, de) + nl + path, MessageIcon::Exclamation);
    case MonthEndResult::BackupNotPutBack:
      return tell(in(texts::kMonthEndCannotWrite, de) + nl + outcome.reason + nl + nl +
                      fillIn(texts::kBackupNowACopy.in(de),
                             {pathIn(folderOf(path), backupNameFor(fileNameOf(path)))}),
                  MessageIcon::Exclamation);
    case MonthEndResult::LineTooLong:
      return tell(in(texts::kDatabaseCannotBeRead, de) + nl + lineTooLongText(outcome.line),
                  MessageIcon::Exclamation);
  }
  events_.yield();
  scope.normalPointer();
  events_.yield();
}

}  // namespace orvanta
