// Search, the "-"/"+" steps and the file dialog.

#include <memory>
#include <optional>
#include <string>

#include "app/frmVHF.h"
#include "maintenance/SafeFiles.h"
#include "records/Adif.h"
#include "records/Text.h"
#include "search/LogSteps.h"
#include "search/ScanInput.h"
#include "search/SearchScan.h"
#include "ui/MessageTexts.h"
#include "ui/OpenDialog.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// The scan's questions, answered by the form: a hit goes to the record view,
// and the prompt asks whether to go on.
class FormListener final : public ScanListener {
 public:
  FormListener(frmVHF& form, IMessageBox& messages, const IFileSystem& files, const std::string& path,
               bool german)
      : form_(form),
        messages_(messages),
        files_(files),
        path_(path),
        text_(texts::kSearchFurther.in(german)),
        title_(texts::kSearchFoundTitle.in(german)) {}
  void show(std::string& line, Encoding encoding) override { form_.ShowRecord(line, encoding); }
  bool searchFurther() override {
    return messages_.show(text_, title_, MessageIcon::Stop, MessageButtons::YesNo) == MessageAnswer::Yes;
  }
  std::unique_ptr<IInputFile> reopen() override { return openDatabaseLines(files_, path_); }

 private:
  frmVHF& form_;
  IMessageBox& messages_;
  const IFileSystem& files_;
  const std::string& path_;
  // The prompt's texts, made once for all hits of the scan.
  const std::string text_;
  const std::string title_;
};

}  // namespace

// In a log, a step looks for the date and time of the contact on screen
// (everything else looks for the search box). RecordKey, and so StepKey,
// holds the raw bytes of the log; the scan takes its texts as UTF-8 and
// matches them in the file's own encoding.
std::string frmVHF::stepKeyText() const {
  return upperCaseUtf8(isValidUtf8(StepKey) ? StepKey : toUtf8(StepKey, Encoding::Windows1252));
}

void frmVHF::Command1_Click() {
  const std::string path = window_.text(ctl::kCombo1);
  // A database that is there but cannot be read is told to the operator, and
  // the scan ends without changing anything else.
  ScanOutcome outcome;
  std::string primary;
  try {
    if (!FileExists(path)) {
      SearchDirection = 0;
      return;
    }
    if (stepFromShownLine(path)) return;
    Shown = {};
    if (!runSearch(path, primary, outcome)) return;
  } catch (const FileError& e) {
    SearchDirection = 0;
    messages_.show(failureText(e, path), say(texts::kDatabaseErrorTitle), MessageIcon::Stop,
                   MessageButtons::Ok);
    return;
  }
  if (!outcome.found) showNotFound(outcome.continued, primary);
  endStep();
}

bool frmVHF::runSearch(const std::string& path, std::string& primary, ScanOutcome& outcome) {
  const std::string boxText = upperCaseUtf8(trimBlanks(window_.text(ctl::kText10)));
  const bool stepInLog = DbKind == "log" && !StepKey.empty() && SearchDirection != 0;
  primary = stepInLog ? stepKeyText() : boxText;
  if (primary.empty()) {
    SearchDirection = 0;
    StepKey.clear();
    RecordKey.clear();
    focusSearchBox();
    return false;
  }

  // The search box cannot change while the scan runs (its boxes are modal),
  // so B is the same for every line.
  FormListener listener(*this, messages_, files_, path, isGerman());
  const ScanRequest request{primary, boxText, SearchDirection};
  const auto file = openScanLines(files_, path, request);
  if (!stepInLog) {
    StepKey.clear();
    RecordKey.clear();
  }
  outcome = runScan(*file, request, LastStepLine, listener);
  if (stepInLog && outcome.found && outcome.shownOffset) {
    rememberShownLine(path, lineNumberAt(*openDatabaseLines(files_, path), *outcome.shownOffset));
  }
  return true;
}

void frmVHF::showNotFound(bool continued, const std::string& key) {
  messages_.show(say(continued ? texts::kSearchNoFurther : texts::kSearchNotFound, {key}),
                 say(texts::kSearchNotFoundTitle), MessageIcon::Information, MessageButtons::Ok);
}

// The scan's last step: the step buttons work from now on.
void frmVHF::endStep() {
  SearchDirection = 0;
  window_.setEnabled(ctl::kCommand2, true);
  window_.setEnabled(ctl::kCommand3, true);
  focusSearchBox();
}

void frmVHF::rememberShownLine(const std::string& path, std::uint64_t number) {
  Shown = {};
  const std::optional<FileStatus> status = files_.status(path);
  if (!status) return;
  Shown = ShownLine{path, number, *status, window_.text(ctl::kText10)};
}

bool frmVHF::stepFromShownLine(const std::string& path) {
  if (SearchDirection == 0 || DbKind != "log" || Shown.number == 0 || Shown.path != path) return false;
  if (window_.text(ctl::kText10) != Shown.searchBox) return false;
  const std::optional<FileStatus> status = files_.status(path);
  if (!status || !status->sameContentAs(Shown.file)) return false;

  const LineStep step = stepFromLine(*openDatabaseLines(files_, path), Shown.number, SearchDirection);
  if (step.found) {
    Shown.number = step.number;
    // A step back shows the line upper-cased, as the scan holds it.
    std::string line;
    if (SearchDirection < 0) {
      upperCaseInto(step.line, step.encoding, line);
    } else {
      line = step.line;
    }
    ShowRecord(line, step.encoding);
  } else {
    // Past the first or last contact: the key of the one still on screen.
    const std::string key =
        StepKey.empty() ? upperCaseUtf8(trimBlanks(window_.text(ctl::kText10))) : stepKeyText();
    showNotFound(false, key);
  }
  endStep();
  return true;
}

void frmVHF::Command2_Click() {
  SearchDirection = -1;
  StepKey = trimBlanks(RecordKey);
  Command1_Click();
  window_.setText(ctl::kText10, window_.text(ctl::kText2));
  Shown.searchBox = window_.text(ctl::kText10);
}

void frmVHF::Command3_Click() {
  SearchDirection = 1;
  StepKey = trimBlanks(RecordKey);
  Command1_Click();
  window_.setText(ctl::kText10, window_.text(ctl::kText2));
  Shown.searchBox = window_.text(ctl::kText10);
}

void frmVHF::Text10_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) Command1_Click();
}

void frmVHF::mnuSuch_Click() {
  SearchDirection = 0;
  Command1_Click();
  focusSearchBox();
}

void frmVHF::Command4_Click() {
  // A merge or month-end update works from the list; it must not change under it.
  if (MaintenanceRunning) return;
  const bool german = isGerman();
  const std::string title = say(texts::kOpenDialogTitle);
  std::string fileName = "CALL3.txt";
  // WSJT-X keeps its files in the user's data folders, not where the program
  // was started: the dialog offers them among its places.
  const std::vector<std::string> folders = dataFolders();
  const std::string folder = openDialogFolder(folders);
  // WSJT-X writes "CALL3.TXT": the dialog proposes the spelling the folder holds.
  try {
    if (!files_.exists(pathIn(folder, fileName))) {
      fileName = files_.findFirst(pathIn(folder, fileName)).value_or(fileName);
    }
  } catch (const FileError&) {
    // A folder that cannot be listed gets the usual name.
  }
  const std::string path =
      ShowOpenDialog(OpenDialogServices{fileDialog_, events_, messages_, NewLine, folders}, title, folder,
                     fileName, std::string(texts::kOpenDialogFilters.in(german)), 1);
  DbPath = path;
  if (path.empty()) return;
  DbFileName = fileName;
  Shown = {};
  window_.addListItem(ctl::kCombo1, path);
  applyKindRule(path);
  ApplyLanguage();
  focusSearchBox();
  window_.setText(ctl::kCombo1, path);
}

void frmVHF::mnuOpen_Click() {
  if (MaintenanceRunning) return;
  window_.clearList(ctl::kCombo1);
  Command4_Click();
  window_.setFocus(ctl::kCombo1);
}

}  // namespace orvanta
