#include <exception>
#include <new>
#include <string>
#include <vector>

#include "Version.h"
#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "maintenance/MergePlacement.h"
#include "maintenance/MonthEnd.h"
#include "maintenance/SafeFiles.h"

namespace orvanta {
namespace {

// Holds a maintenance command for the time it runs: marks it as running (so
// that no second one and no change of the database list starts while it
// yields to the event loop) and brings the mouse pointer back to normal
// however the command ends.
class MaintenanceScope {
 public:
  MaintenanceScope(bool& running, IWindow& window) : running_(running), window_(window) { running_ = true; }
  ~MaintenanceScope() {
    normalPointer();
    running_ = false;
  }
  MaintenanceScope(const MaintenanceScope&) = delete;
  MaintenanceScope& operator=(const MaintenanceScope&) = delete;

  void busyPointer() {
    window_.setMousePointer(MousePointer::Busy);
    busy_ = true;
  }
  void normalPointer() {
    if (!busy_) return;
    window_.setMousePointer(MousePointer::Normal);
    busy_ = false;
  }

 private:
  bool& running_;
  IWindow& window_;
  bool busy_ = false;
};

const char* const kMergeTitleDe = "Datenbanken für WSJT ";
const char* const kMergeTitleEn = "Databases for WSJT ";
const char* const kMonthEndTitleDe = "Update-Datum setzen";
const char* const kMonthEndTitleEn = "Update Set date";

}  // namespace

void frmVHF::mnuAktualiesieren_Click() {
  if (MaintenanceRunning) {
    window_.beep();
    return;
  }
  MaintenanceScope scope(MaintenanceRunning, window_);
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  const bool german = isGerman();
  const std::string title = german ? kMergeTitleDe : kMergeTitleEn;
  const std::string unchanged =
      german ? "Es wurde keine Datenbank verändert." : "No database has been changed.";
  auto fail = [&](const std::string& text) {
    scope.normalPointer();
    messages_.show(text, title, MessageIcon::Stop, MessageButtons::Ok);
  };
  auto tooFew = [&] {
    scope.normalPointer();
    if (german) {
      messages_.show("Es müssen mehrere Datenbanken (z.B. CALL3.txt) ausgewählt werden.        " + nl +
                         "Bitte mit dem Buton 'Öffnen' mindestens zwei Datenbanken auswählen.      " + nl +
                         nl,
                     " Info", MessageIcon::Information, MessageButtons::Ok);
    } else {
      messages_.show("Several data bases (for example CALL3.txt) must be selected.             " + nl +
                         "Select at least two databass with the Buton 'Open' please.               " + nl +
                         nl,
                     " Info", MessageIcon::Information, MessageButtons::Ok);
    }
  };

  // Log databases are only ever read: they take no part.
  std::vector<std::string> listed;
  for (const auto& item : window_.listItems("Combo1")) {
    if (!item.empty() && !IsLogDatabasePath(item)) listed.push_back(item);
  }
  if (listed.size() < 2) {
    tooFew();
    return;
  }
  // Databases restored at start-up leave DbFileName empty; the dialog's own
  // default name is what the operator expects then.
  // DbFileName is also set when a log was opened last; a merge never
  // replaces a log, so then too the default name is used.
  const std::string fileName = MergedFileName(DbFileName);
  if (fileName == kBackupFileName) {
    fail(german ? "Der Name " + fileName + " ist der Sicherungskopie vorbehalten." + nl +
                      "Bitte die Datenbank unter einem anderen Namen öffnen." + nl + nl + unchanged
                : "The name " + fileName + " is reserved for the backup." + nl +
                      "Please open the database under another name." + nl + nl + unchanged);
    return;
  }

  scope.busyPointer();
  events_.yield();

  try {
    // Each file once, however often or under whichever spelling it is listed,
    // so that its backup holds its old content and not the merged file.
    const DistinctDatabases distinct = DistinctFiles(files_, listed);
    if (!distinct.missing.empty()) {
      fail((german ? "Die Datenbank wurde nicht gefunden:" : "The database was not found:") + nl +
           distinct.missing.front() + nl + nl + unchanged);
      return;
    }
    if (distinct.paths.size() < 2) {
      tooFew();
      return;
    }
    // A listed database that is its folder's backup would be overwritten by
    // the backup of the folder's other database.
    for (const auto& path : distinct.paths) {
      const auto backupId = files_.identity(PathIn(FolderOf(path), kBackupFileName));
      if (backupId && backupId == files_.identity(path)) {
        fail(german
                 ? "Die Datenbank " + path + " ist die Sicherungskopie ihres Ordners." + nl +
                       "Bitte sie unter einem anderen Namen speichern und neu öffnen." + nl + nl + unchanged
                 : "The database " + path + " is the backup of its folder." + nl +
                       "Please save it under another name and open it again." + nl + nl + unchanged);
        return;
      }
    }

    std::vector<MergeSource> sources;
    sources.reserve(distinct.paths.size());
    try {
      for (const auto& path : distinct.paths) sources.push_back(LoadMergeSource(files_, path));
    } catch (const FileError& e) {
      fail((german ? "Die Datenbank kann nicht gelesen werden:" : "The database cannot be read:") + nl +
           e.what() + nl + nl + unchanged);
      return;
    }
    events_.yield();

    const TextFormat format = MergedFormat(sources);
    for (auto& source : sources) ConvertSource(source, format.encoding);
    MergedRecords merged =
        MergeRecords(sources, FieldSeparator, lineEndBytes(format.lineEnd), [this] { events_.yield(); });
    sources.clear();
    sources.shrink_to_fit();

    const std::string header = MergeHeaderLine(fromUtf8(fileName, format.encoding));
    const std::string terminator = MergeTerminatorLine(clock_.today(), version::kLegalNotice);
    const std::string text = MergedDatabaseText(header, merged.text, terminator, format);
    merged.text = std::string();

    std::vector<FolderPlacement> placements;
    try {
      placements = PlanPlacement(files_, distinct.paths, fileName);
    } catch (const PlacementRefused& e) {
      fail((german ? "Ein Log wird nie ersetzt:" : "A log is never replaced:") + nl + e.path + nl + nl +
           unchanged);
      return;
    }
    MergeTempPath = TemporaryPathBeside(placements.front().target);
    try {
      PlaceMergedDatabase(files_, placements, text, [this] { events_.yield(); });
    } catch (const PlacementError& e) {
      std::string report = (german ? "Die zusammengefasste Datenbank kann nicht geschrieben werden:"
                                   : "The merged database cannot be written:") +
                           nl + e.what() + nl + nl;
      if (e.completedFolders.empty()) {
        report += unchanged;
      } else {
        report += german ? "Bereits aktualisiert (alte Datenbank als CALL3_Old.txt):"
                         : "Already updated (old database kept as CALL3_Old.txt):";
        for (const auto& folder : e.completedFolders) report += nl + folder;
        report += nl + (german ? std::string("Alle anderen Datenbanken sind unverändert.")
                               : std::string("All other databases are unchanged."));
      }
      fail(report);
      return;
    }
  } catch (const std::exception& e) {
    // Running out of memory, say, before anything was placed.
    scope.normalPointer();
    messages_.show("Database-Error:" + nl + e.what(), "Unexpected Error", MessageIcon::Stop,
                   MessageButtons::Ok);
    return;
  }

  scope.normalPointer();
  window_.beep();
  if (Language == "en") {
    messages_.show("All " + fileName + " " + "complete", "Databases for WSJT ", MessageIcon::Information,
                   MessageButtons::Ok);
  } else if (Language == "de") {
    messages_.show("Alle " + fileName + " " + "komplett", "Datenbanken für WSJT ", MessageIcon::Information,
                   MessageButtons::Ok);
  } else {
    messages_.show(fileName + " ", "", MessageIcon::Information, MessageButtons::Ok);
  }
}

void frmVHF::mnuSetUpdate_Datum_Click() {
  if (MaintenanceRunning) {
    window_.beep();
    return;
  }
  MaintenanceScope scope(MaintenanceRunning, window_);
  const std::string nl = NewLine.empty() ? std::string("\r\n") : NewLine;
  const bool german = isGerman();
  auto fail = [&](const std::string& text) {
    scope.normalPointer();
    messages_.show(text, german ? kMonthEndTitleDe : kMonthEndTitleEn, MessageIcon::Exclamation,
                   MessageButtons::Ok);
  };

  const std::string month = MonthText(clock_.today());
  FieldSeparator.assign(1, ',');
  const std::string path = window_.text("Combo1");
  if (path.empty()) {
    fail(german ? "Es ist keine Datenbank ausgewählt." : "No database is selected.");
    return;
  }
  if (IsLogDatabasePath(path)) {
    fail(german
             ? "Das Update-Datum wird nur in einer Datenbank wie CALL3.txt gesetzt, nicht im Log:" + nl + path
             : "The update date is set only in a database such as CALL3.txt, not in a log:" + nl + path);
    return;
  }
  bool exists = false;
  try {
    exists = FileExists(path);
  } catch (const FileError&) {
    exists = false;
  }
  if (!exists) {
    fail((german ? "Die Datenbank wurde nicht gefunden:" : "The database was not found:") + nl + path);
    return;
  }

  scope.busyPointer();
  events_.yield();

  // The database is read and its new text written beside it in one pass; a
  // file the update leaves as it is (a second run in the same month) is not
  // replaced at all.
  try {
    UpdateMonthEnd(files_, path, month, FieldSeparator);
  } catch (const LineTooLongError& e) {
    fail((german ? "Die Datenbank kann nicht gelesen werden:" : "The database cannot be read:") + nl +
         lineTooLongText(e));
    return;
  } catch (const MonthEndReadError& e) {
    fail((german ? "Die Datenbank kann nicht gelesen werden:" : "The database cannot be read:") + nl +
         e.what());
    return;
  } catch (const FileError& e) {
    fail((german ? "Die Datenbank kann nicht geschrieben werden; sie ist unverändert:"
                 : "The database cannot be written; it is unchanged:") +
         nl + e.what());
    return;
  }
  events_.yield();

  scope.normalPointer();
  events_.yield();
}

}  // namespace orvanta
