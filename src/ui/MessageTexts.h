#pragma once

// The texts of every message box and dialog, in both languages, beside the
// captions of the window description. Handlers pick a text by the form's
// language and fill it in with fillIn: "{0}", "{1}", ... stand for values,
// "\n" for the form's line end. Texts are exactly as shown, blanks included;
// the odd spellings of the stored texts ("databass", "Buton", "opens") are
// the ones the program has always shown and stay.

#include <initializer_list>
#include <string>
#include <string_view>

namespace orvanta {

struct BilingualText {
  std::string_view german;
  std::string_view english;
  constexpr std::string_view in(bool isGerman) const { return isGerman ? german : english; }
};

// The text with each "{N}" replaced by the Nth value and each "\n" by
// lineEnd, in one pass: a value is never read for placeholders itself. A
// placeholder without a value stays as it is.
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values,
                   std::string_view lineEnd = "\n");

namespace texts {

// ---- Start-up, search, stepping and the file dialog ----

// {0}: the path looked for.
inline constexpr BilingualText kStartNotFound{
    "Datei nicht gefunden!                            \n{0} (User-Version) \n"
    "Die Datenbank-Datei bitte in 'Datenbanken:'      \noder über 'Öffnen' auswählen.  ",
    "Database not found!                       \n{0} (User-Version) \n"
    "Please the data base-file please in 'Databases:' \nor over 'Open' selects.  "};
inline constexpr BilingualText kStartNotFoundTitle{"Hinweis", "Info"};
inline constexpr BilingualText kSearchFurther{"Weiter suchen ?", "Search further ?"};
inline constexpr BilingualText kSearchFoundTitle{" Suche erfolgreich", " found"};
inline constexpr BilingualText kDatabaseErrorTitle{" Datenbankfehler ", " Database - ERROR "};
inline constexpr BilingualText kSearchNotFoundTitle{" Suche erfolglos", " not found"};
// {0}: the text searched for.
inline constexpr BilingualText kSearchNotFound{"Keine  Daten zu      \n{0}\nvorhanden !",
                                               "No data about \n{0}\navailable.\n"};
inline constexpr BilingualText kSearchNoFurther{"Keine weiteren Daten zu      \n{0}\nvorhanden !",
                                                "No further data on \n{0}\navailable.\n"};
// {0}: the call sign of the record, {1}: how many separators too many.
inline constexpr BilingualText kSurplusSeparators{"bei Call: {0}\n({1} Trennzeichen zu viel!)",
                                                  "by Call: {0}"};
// The same in both languages. {0}: the system's description.
inline constexpr std::string_view kOpenDialogFailed = "Fehler: \n{0}";
inline constexpr BilingualText kOpenDialogTitle{"Öffnen", "opens"};
inline constexpr BilingualText kOpenDialogFilters{
    "User-Datenbank (*.txt)|*.txt|Log-Datei (*.log)|*.log|ADIF-Log (*.adi *.adif)|*.adi *.adif|"
    "Alle Dateien (*.*)|*.*",
    "User-Database (*.txt)|*.txt|Log-File (*.log)|*.log|ADIF log (*.adi *.adif)|*.adi *.adif|"
    "All files (*.*)|*.*"};

// ---- Merge ----

inline constexpr BilingualText kMergeTitle{"Datenbanken für WSJT ", "Databases for WSJT "};
inline constexpr BilingualText kMergeTooFewTitle{" Info", " Info"};
inline constexpr BilingualText kMergeSelectSeveral{
    "Es müssen mehrere Datenbanken (z.B. CALL3.txt) ausgewählt werden.        ",
    "Several data bases (for example CALL3.txt) must be selected.             "};
inline constexpr BilingualText kMergeSelectAtLeastTwo{
    "Bitte mit dem Buton 'Öffnen' mindestens zwei Datenbanken auswählen.      ",
    "Select at least two databass with the Buton 'Open' please.               "};
inline constexpr BilingualText kMergeNothingChanged{"Es wurde keine Datenbank verändert.",
                                                    "No database has been changed."};
// {0}: the name.
inline constexpr BilingualText kMergeReservedName{
    "Der Name {0} ist der Sicherungskopie vorbehalten.\nBitte die Datenbank unter einem anderen Namen "
    "öffnen.",
    "The name {0} is reserved for the backup.\nPlease open the database under another name."};
// {0}: the database.
inline constexpr BilingualText kMergeIsBackup{
    "Die Datenbank {0} ist die Sicherungskopie ihres Ordners.\n"
    "Bitte sie unter einem anderen Namen speichern und neu öffnen.",
    "The database {0} is the backup of its folder.\nPlease save it under another name and open it again."};
inline constexpr BilingualText kMergeLogNeverReplaced{"Ein Log wird nie ersetzt:\n{0}",
                                                      "A log is never replaced:\n{0}"};
inline constexpr BilingualText kMergeNameTaken{
    "Dieser Name gehört keiner Datei; die zusammengefasste Datenbank kann dort nicht abgelegt werden:\n{0}",
    "This name belongs to no file; the merged database cannot be put there:\n{0}"};
// {0}: the system's description.
inline constexpr BilingualText kMergeCannotWrite{
    "Die zusammengefasste Datenbank kann nicht geschrieben werden:\n{0}",
    "The merged database cannot be written:\n{0}"};
inline constexpr BilingualText kMergeAlreadyUpdated{
    "Bereits aktualisiert (alte Datenbank als CALL3_Old.txt):",
    "Already updated (old database kept as CALL3_Old.txt):"};
inline constexpr BilingualText kMergeBackupNotPutBack{
    "Datenbank unverändert, aber CALL3_Old.txt ist jetzt eine Kopie von ihr:",
    "Database unchanged, but CALL3_Old.txt is now a copy of it:"};
inline constexpr BilingualText kMergeOthersUnchanged{"Alle anderen Datenbanken sind unverändert.",
                                                     "All other databases are unchanged."};
// {0}: the merged database's name; the last for a language other than "de" and "en".
inline constexpr BilingualText kMergeComplete{"Alle {0} komplett", "All {0} complete"};
inline constexpr std::string_view kMergeCompleteOther = "{0} ";

// ---- Month-end update ----

inline constexpr BilingualText kMonthEndTitle{"Update-Datum setzen", "Update Set date"};
inline constexpr BilingualText kMonthEndNoDatabase{"Es ist keine Datenbank ausgewählt.",
                                                   "No database is selected."};
inline constexpr BilingualText kMonthEndNotInLog{
    "Das Update-Datum wird nur in einer Datenbank wie CALL3.txt gesetzt, nicht im Log:\n{0}",
    "The update date is set only in a database such as CALL3.txt, not in a log:\n{0}"};

// ---- Taking stations over ----

inline constexpr BilingualText kAddStationTitle{"Station übernehmen", "Add station"};
inline constexpr BilingualText kAddLogTitle{"Log übernehmen", "Add log"};
inline constexpr BilingualText kTakeOverCounts{
    "{0} Stationen neu, {1} geändert, {2} unverändert, {3} Kontakte ohne gültiges Rufzeichen oder Locator "
    "übersprungen.",
    "{0} stations new, {1} changed, {2} unchanged, {3} contacts skipped without a valid call or locator."};
inline constexpr BilingualText kTakeOverQuestion{"In {0} übernehmen?", "Take over into {0}?"};
inline constexpr BilingualText kTakeOverNothing{
    "Es gibt nichts zu übernehmen; die Datenbank bleibt unverändert.",
    "There is nothing to take over; the database stays unchanged."};
inline constexpr BilingualText kTakeOverDone{"Die Stationen sind in {0} übernommen.",
                                             "The stations have been taken over into {0}."};
inline constexpr BilingualText kTakeOverBackupKept{"Die bisherige Datenbank ist jetzt CALL3_Old.txt.",
                                                   "The previous database is kept as CALL3_Old.txt."};
inline constexpr BilingualText kStationAdded{"Die Station {0} ist in {1} neu aufgenommen.",
                                             "The station {0} has been added to {1}."};
inline constexpr BilingualText kStationUpdated{"Die Station {0} ist in {1} geändert.",
                                               "The station {0} has been updated in {1}."};
inline constexpr BilingualText kTakeOverNoDatabase{"Es ist keine Datenbank ausgewählt.",
                                                   "No database is selected."};
inline constexpr BilingualText kTakeOverNoContact{
    "Es wird kein Kontakt angezeigt. Bitte zuerst im Log suchen.",
    "No contact is shown. Please search the log first."};
inline constexpr BilingualText kTakeOverNoTarget{
    "In der Liste der Datenbanken ist keine User-Datenbank (z.B. CALL3.txt). Es wurde nichts verändert.",
    "The list of databases holds no user database (such as CALL3.txt). Nothing has been changed."};
inline constexpr BilingualText kTakeOverNoLog{
    "In der Liste der Datenbanken ist kein Log (z.B. wsjtx.log). Es wurde nichts verändert.",
    "The list of databases holds no log (such as wsjtx.log). Nothing has been changed."};
inline constexpr BilingualText kTakeOverIsBackup{
    "Die Datenbank {0} ist die Sicherungskopie ihres Ordners und wird nicht überschrieben.",
    "The database {0} is the backup of its folder and is not overwritten."};
inline constexpr BilingualText kTakeOverIsLog{"Die Datenbank {0} ist ein Log; ein Log wird nie geschrieben.",
                                              "The database {0} is a log; a log is never written."};
inline constexpr BilingualText kStationCallLabel{"Rufzeichen:", "Call sign:"};
inline constexpr BilingualText kStationLocatorLabel{"Locator:", "Locator:"};
inline constexpr BilingualText kStationRemarkLabel{"Bemerkung:", "Remark:"};
inline constexpr BilingualText kStationOk{"OK", "OK"};
inline constexpr BilingualText kStationCancel{"Abbrechen", "Cancel"};
inline constexpr BilingualText kStationBadCall{
    "Das Rufzeichen ist ungültig: 3 bis 13 Zeichen aus A-Z, 0-9 und \"/\", mit mindestens einer Ziffer und "
    "einem Buchstaben.",
    "The call sign is not valid: 3 to 13 characters of A-Z, 0-9 and \"/\", with at least one digit and one "
    "letter."};
inline constexpr BilingualText kStationTerminatorCall{
    "Ein Rufzeichen mit \"ZZZ\" geht nicht: die Zeile gälte als Ende der Datenbank.",
    "A call sign containing \"ZZZ\" is not possible: the line would count as the end of the database."};
inline constexpr BilingualText kStationBadLocator{
    "Der Locator ist ungültig: 4, 6 oder 8 Zeichen wie JO62, JO62QM oder JO62QM12 (RR73 ist kein Locator).",
    "The locator is not valid: 4, 6 or 8 characters such as JO62, JO62QM or JO62QM12 (RR73 is no locator)."};
inline constexpr BilingualText kStationBadRemark{
    "Die Bemerkung darf weder \",\" noch \"//\" noch \"ZZZ\" enthalten.",
    "The remark may contain neither \",\" nor \"//\" nor \"ZZZ\"."};

// ---- Worked before ----

inline constexpr BilingualText kWorkedTitle{"Schon gearbeitet?", "Worked before?"};
inline constexpr BilingualText kWorkedBaseCall{"Grundrufzeichen vergleichen (ohne /P, /M, Präfix)",
                                               "Match the base call (without /P, /M, prefix)"};
inline constexpr BilingualText kWorkedClose{"Schließen", "Close"};
// {0}: the call sign, {1}: the number of contacts.
inline constexpr BilingualText kWorkedContacts{"{0}: {1} Verbindungen", "{0}: {1} contacts"};
inline constexpr BilingualText kWorkedOneContact{"{0}: {1} Verbindung", "{0}: {1} contact"};
inline constexpr BilingualText kWorkedNone{"Keine Verbindung mit diesem Rufzeichen.",
                                           "No contact with this call sign."};
inline constexpr BilingualText kWorkedNoLog{"Kein Log in der Liste der Datenbanken.",
                                            "No log in the list of databases."};
// {0}: the log, {1}: the system's description.
inline constexpr BilingualText kWorkedUnreadable{"Nicht lesbar: {0} ({1})", "Cannot be read: {0} ({1})"};
inline constexpr BilingualText kWorkedBand{"Band", "Band"};
inline constexpr BilingualText kWorkedFirst{"Erste", "First"};
inline constexpr BilingualText kWorkedLast{"Letzte", "Last"};
inline constexpr BilingualText kWorkedGrids{"Locator", "Grids"};

// ---- Whole program ----

// The failures of every command: the same failure is told the same way
// whichever command met it. {0}: the file, {1}: the system's description.
inline constexpr BilingualText kDatabaseNotFound{"Die Datenbank wurde nicht gefunden:\n{0}",
                                                 "The database was not found:\n{0}"};
inline constexpr BilingualText kDatabaseCannotBeRead{"Die Datenbank kann nicht gelesen werden:\n{0}\n{1}",
                                                     "The database cannot be read:\n{0}\n{1}"};
inline constexpr BilingualText kDatabaseCannotBeWritten{
    "Die Datenbank kann nicht geschrieben werden; sie ist unverändert:\n{0}\n{1}",
    "The database cannot be written; it is unchanged:\n{0}\n{1}"};
inline constexpr BilingualText kDatabaseLocked{
    "Die Datenbank wird gerade von einem anderen Orvanta bearbeitet:\n{0}",
    "The database is being changed by another Orvanta:\n{0}"};
inline constexpr BilingualText kDatabaseChangedMeanwhile{
    "Die Datenbank wurde während der Arbeit von einem anderen Programm geändert; es wurde nichts "
    "verändert:\n{0}",
    "The database was changed by another program meanwhile; nothing has been changed:\n{0}"};
// {0}: the line's number, counted from 1.
inline constexpr BilingualText kLineTooLong{"Zeile {0} ist länger als 16 MiB",
                                            "line {0} is longer than 16 MiB"};

// The last resort of the event dispatch. {0}: the reason.
inline constexpr BilingualText kUnexpectedError{"Unerwarteter Fehler:\n{0}", "Unexpected error:\n{0}"};
inline constexpr BilingualText kUnknownReason{"unbekannte Ursache", "unknown cause"};
inline constexpr std::string_view kUnexpectedErrorTitle = "Orvanta";
inline constexpr BilingualText kMergeUnexpectedTitle{"Unexpected Error", "Unexpected Error"};
inline constexpr BilingualText kMergeUnexpected{"Database-Error:\n{0}", "Database-Error:\n{0}"};

}  // namespace texts
}  // namespace orvanta
