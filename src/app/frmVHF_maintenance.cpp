#include <string>
#include <vector>

#include "Version.h"
#include "app/MaintenanceScope.h"
#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "maintenance/MergeDatabases.h"
#include "maintenance/MergePlacement.h"
#include "maintenance/MonthEnd.h"
#include "maintenance/SafeFiles.h"
#include "records/TextFile.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {

const std::string& frmVHF::newLine() const {
  static const std::string kCrLf = "\r\n";
  return NewLine.empty() ? kCrLf : NewLine;
}

std::string frmVHF::say(const BilingualText& text, std::initializer_list<std::string_view> values) const {
  return fillIn(text.in(isGerman()), values, newLine());
}

std::string frmVHF::failureText(const FileError& error, const std::string& path) const {
  const std::string& file = error.path().empty() ? path : error.path();
  if (dynamic_cast<const FileLocked*>(&error) != nullptr) return say(texts::kDatabaseLocked, {file});
  if (dynamic_cast<const FileChanged*>(&error) != nullptr)
    return say(texts::kDatabaseChangedMeanwhile, {file});
  if (const auto* longLine = dynamic_cast<const LineTooLongError*>(&error)) {
    return say(texts::kDatabaseCannotBeRead, {file, lineTooLongText(longLine->line())});
  }
  if (const auto* placement = dynamic_cast<const PlacementError*>(&error))
    return mergeWriteFailureText(*placement);
  if (dynamic_cast<const WriteError*>(&error) == nullptr) {
    return say(texts::kDatabaseCannotBeRead, {file, withoutScratchNames(error.reason())});
  }
  std::string text = say(texts::kDatabaseCannotBeWritten, {file, withoutScratchNames(error.reason())});
  if (const auto* notPutBack = dynamic_cast<const BackupNotPutBack*>(&error)) {
    text += newLine() + newLine() + say(texts::kBackupNowACopy, {notPutBack->backup()});
  }
  return text;
}

std::string frmVHF::mergeWriteFailureText(const PlacementError& error) const {
  const std::string& nl = newLine();
  std::string text = say(texts::kMergeCannotWrite, {withoutScratchNames(error.what())}) + nl + nl;
  if (error.completedFolders.empty() && error.notPutBack.empty())
    return text + say(texts::kMergeNothingChanged);
  if (!error.completedFolders.empty()) {
    text += say(texts::kMergeAlreadyUpdated);
    for (const auto& folder : error.completedFolders) text += nl + folder;
    text += nl;
  }
  if (!error.notPutBack.empty()) {
    text += say(texts::kMergeBackupNotPutBack);
    for (const auto& folder : error.notPutBack) text += nl + folder;
    text += nl;
  }
  return text + say(texts::kMergeOthersUnchanged);
}

std::string frmVHF::mergeRefusalText(const MergeOutcome& outcome) const {
  const std::string& nl = newLine();
  std::string text;
  switch (outcome.result) {
    case MergeResult::ReservedName:
      text = say(texts::kMergeReservedName, {outcome.path});
      break;
    case MergeResult::NotFound:
      text = say(texts::kDatabaseNotFound, {outcome.path});
      break;
    case MergeResult::IsBackup:
      text = say(texts::kMergeIsBackup, {outcome.path});
      break;
    case MergeResult::LogNeverReplaced:
      text = say(texts::kMergeLogNeverReplaced, {outcome.path});
      break;
    case MergeResult::WriteProtected:
      text = say(texts::kDatabaseWriteProtected, {outcome.path});
      break;
    default:
      text = say(texts::kMergeNameTaken, {outcome.path});
      break;
  }
  return text + nl + nl + say(texts::kMergeNothingChanged);
}

bool frmVHF::refusedWhileMaintaining() {
  if (!MaintenanceRunning) return false;
  window_.beep();
  return true;
}

void frmVHF::mnuAktualiesieren_Click() {
  if (refusedWhileMaintaining()) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  const std::string title = say(texts::kMergeTitle);
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
  // The merge splits the collected records at ",".
  FieldSeparator.assign(1, ',');
  MergeOutcome outcome;
  try {
    outcome = mergeDatabases(files_, request);
  } catch (const FileError& e) {
    scope.normalPointer();
    std::string text = failureText(e, {});
    if (dynamic_cast<const ReadError*>(&e) != nullptr)
      text += newLine() + newLine() + say(texts::kMergeNothingChanged);
    messages_.show(text, title, MessageIcon::Stop, MessageButtons::Ok);
    return;
  } catch (const std::exception& e) {
    // Memory running out while the records are collected and sorted: the
    // merge stops there rather than go on with records missing.
    scope.normalPointer();
    messages_.show(say(texts::kMergeUnexpected, {e.what()}), say(texts::kMergeUnexpectedTitle),
                   MessageIcon::Stop, MessageButtons::Ok);
    return;
  }
  if (!outcome.temporaryPath.empty()) MergeTempPath = outcome.temporaryPath;
  scope.normalPointer();
  if (outcome.result == MergeResult::TooFew) {
    messages_.show(say(texts::kMergeSelectSeveral) + newLine() + say(texts::kMergeSelectAtLeastTwo) +
                       newLine() + newLine(),
                   say(texts::kMergeTooFewTitle), MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  if (outcome.result != MergeResult::Done) {
    messages_.show(mergeRefusalText(outcome), title, MessageIcon::Stop, MessageButtons::Ok);
    return;
  }
  window_.beep();
  // The completion message alone tells "en" and "de" apart; any other
  // language shows just the name.
  if (Language == "en" || Language == "de") {
    messages_.show(say(texts::kMergeComplete, {outcome.fileName}), title, MessageIcon::Information,
                   MessageButtons::Ok);
  } else {
    messages_.show(fillIn(texts::kMergeCompleteOther, {outcome.fileName}), "", MessageIcon::Information,
                   MessageButtons::Ok);
  }
}

void frmVHF::mnuSetUpdate_Datum_Click() {
  if (refusedWhileMaintaining()) return;
  MaintenanceScope scope(MaintenanceRunning, window_);
  const std::string title = say(texts::kMonthEndTitle);
  auto tell = [&](const std::string& text, MessageIcon icon) {
    scope.normalPointer();
    messages_.show(text, title, icon, MessageButtons::Ok);
  };

  const std::string month = monthText(clock_.today());
  FieldSeparator.assign(1, ',');
  const std::string path = window_.text(ctl::kCombo1);
  if (path.empty()) return tell(say(texts::kMonthEndNoDatabase), MessageIcon::Exclamation);
  if (isLogDatabasePath(path)) return tell(say(texts::kMonthEndNotInLog, {path}), MessageIcon::Exclamation);
  try {
    if (!FileExists(path)) return tell(say(texts::kDatabaseNotFound, {path}), MessageIcon::Exclamation);
    scope.busyPointer();
    events_.yield();
    if (updateMonthEnd(files_, path, month).writeProtected)
      return tell(say(texts::kDatabaseWriteProtected, {path}), MessageIcon::Exclamation);
  } catch (const FileError& e) {
    const bool raced =
        dynamic_cast<const FileLocked*>(&e) != nullptr || dynamic_cast<const FileChanged*>(&e) != nullptr;
    return tell(failureText(e, path), raced ? MessageIcon::Stop : MessageIcon::Exclamation);
  }
  events_.yield();
  scope.normalPointer();
  events_.yield();
}

}  // namespace orvanta
