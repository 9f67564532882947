// Search, the "-"/"+" steps and the file dialog.

#include <memory>
#include <string>

#include "app/frmVHF.h"
#include "records/Adif.h"
#include "search/ScanInput.h"
#include "search/SearchScan.h"
#include "ui/OpenDialog.h"

namespace orvanta {
namespace {

std::string trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

constexpr const char* kFiltersGerman =
    "User-Datenbank (*.txt)|*.txt|Log-Datei (*.log)|*.log|ADIF-Log (*.adi *.adif)|*.adi *.adif|"
    "Alle Dateien (*.*)|*.*";
constexpr const char* kFiltersEnglish =
    "User-Database (*.txt)|*.txt|Log-File (*.log)|*.log|ADIF log (*.adi *.adif)|*.adi *.adif|"
    "All files (*.*)|*.*";

}  // namespace

void frmVHF::Command1_Click() {
  const std::string path = window_.text("Combo1");
  const bool german = isGerman();
  // A database that is there but cannot be read is told to the operator, and
  // the scan ends without changing anything else.
  const auto reportUnreadable = [&](const std::string& reason) {
    SearchDirection = 0;
    if (german) {
      messages_.show("Die Datenbank kann nicht gelesen werden:" + NewLine + path + NewLine + reason,
                     " Datenbankfehler ", MessageIcon::Stop, MessageButtons::Ok);
    } else {
      messages_.show("The database cannot be read:" + NewLine + path + NewLine + reason, " Database - ERROR ",
                     MessageIcon::Stop, MessageButtons::Ok);
    }
  };

  try {
    if (!FileExists(path)) {
      SearchDirection = 0;
      return;
    }
  } catch (const FileError& e) {
    reportUnreadable(e.what());
    return;
  }

  // A: in a log, a step looks for the date and time of the contact on
  // screen; everything else looks for the search box.
  const std::string boxText = upperCaseUtf8(trimBlanks(window_.text("Text10")));
  const bool stepInLog = DbKind == "log" && !StepKey.empty() && SearchDirection != 0;
  // RecordKey, and so StepKey, holds the raw bytes of the log; the scan
  // takes its texts as UTF-8 and matches them in the file's own encoding.
  const std::string primary =
      stepInLog ? upperCaseUtf8(isValidUtf8(StepKey) ? StepKey : toUtf8(StepKey, Encoding::Windows1252))
                : boxText;
  if (primary.empty()) {
    SearchDirection = 0;
    StepKey.clear();
    RecordKey.clear();
    focusSearchBox();
    return;
  }

  std::unique_ptr<IInputFile> file;
  try {
    file = openScanLines(files_, path, ScanRequest{primary, boxText, SearchDirection});
  } catch (const FileError& e) {
    reportUnreadable(e.what());
    return;
  }
  if (!stepInLog) {
    StepKey.clear();
    RecordKey.clear();
  }

  // The search box cannot change while the scan runs (its boxes are modal),
  // so B is the same for every line.
  struct Listener final : ScanListener {
    frmVHF& form;
    // The prompt's texts, made once for all hits of the scan.
    const std::string text;
    const std::string title;
    explicit Listener(frmVHF& f, bool german)
        : form(f),
          text(german ? "Weiter suchen ?" : "Search further ?"),
          title(german ? " Suche erfolgreich" : " found") {}
    void show(std::string& line, Encoding encoding) override { form.ShowRecord(line, encoding); }
    bool searchFurther() override {
      return form.messages_.show(text, title, MessageIcon::Stop, MessageButtons::YesNo) == MessageAnswer::Yes;
    }
  } listener(*this, german);

  ScanOutcome outcome;
  try {
    outcome = runScan(*file, ScanRequest{primary, boxText, SearchDirection}, LastStepLine, listener);
  } catch (const FileError& e) {
    file.reset();
    reportUnreadable(e.what());
    return;
  }
  file.reset();

  if (!outcome.found) {
    if (german) {
      const std::string further = outcome.continued ? "weiteren" : "";
      messages_.show("Keine " + further + " Daten zu      " + NewLine + primary + NewLine + "vorhanden !",
                     " Suche erfolglos", MessageIcon::Information, MessageButtons::Ok);
    } else {
      const std::string lead = outcome.continued ? "No further data on " : "No data about ";
      messages_.show(lead + NewLine + primary + NewLine + "available." + NewLine, " not found",
                     MessageIcon::Information, MessageButtons::Ok);
    }
  }
  SearchDirection = 0;
  window_.setEnabled("Command2", true);
  window_.setEnabled("Command3", true);
  focusSearchBox();
}

void frmVHF::Command2_Click() {
  SearchDirection = -1;
  StepKey = trimBlanks(RecordKey);
  Command1_Click();
  window_.setText("Text10", window_.text("Text2"));
}

void frmVHF::Command3_Click() {
  SearchDirection = 1;
  StepKey = trimBlanks(RecordKey);
  Command1_Click();
  window_.setText("Text10", window_.text("Text2"));
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
  const std::string title = german ? "Öffnen" : "opens";
  std::string fileName = "CALL3.txt";
  const std::string path =
      ShowOpenDialog(OpenDialogServices{fileDialog_, events_, messages_, NewLine}, title,
                     files_.currentDirectory(), fileName, german ? kFiltersGerman : kFiltersEnglish, 1);
  DbPath = path;
  if (path.empty()) return;
  DbFileName = fileName;
  window_.addListItem("Combo1", path);
  ApplyKindRule(path);
  ApplyLanguage();
  focusSearchBox();
  window_.setText("Combo1", path);
}

void frmVHF::mnuOpen_Click() {
  if (MaintenanceRunning) return;
  window_.clearList("Combo1");
  Command4_Click();
  window_.setFocus("Combo1");
}

}  // namespace orvanta
