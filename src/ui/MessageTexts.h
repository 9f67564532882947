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
  [[nodiscard]] constexpr std::string_view in(bool isGerman) const { return isGerman ? german : english; }
};

// The text with each "{N}" replaced by the Nth value and each "\n" by
// lineEnd, in one pass: a value is never read for placeholders itself. A
// placeholder without a value stays as it is.
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values,
                   std::string_view lineEnd = "\n");

// A counted noun with its number, "{0}": the singular for exactly one, the
// plural for every other number ("0 Stationen", "1 Station").
struct CountedText {
  BilingualText one;
  BilingualText many;
  [[nodiscard]] constexpr std::string_view in(bool isGerman, unsigned long long count) const {
    return (count == 1 ? one : many).in(isGerman);
  }
};

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
// "{0}" and "{3}" stand for the counted stations and contacts.
inline constexpr BilingualText kTakeOverCounts{
    "{0} neu, {1} geändert, {2} unverändert, {3} ohne gültiges Rufzeichen oder Locator übersprungen.",
    "{0} new, {1} changed, {2} unchanged, {3} skipped without a valid call or locator."};
inline constexpr CountedText kStationsCounted{{"{0} Station", "{0} station"},
                                              {"{0} Stationen", "{0} stations"}};
inline constexpr CountedText kContactsCounted{{"{0} Kontakt", "{0} contact"},
                                              {"{0} Kontakte", "{0} contacts"}};
inline constexpr BilingualText kTakeOverQuestion{"In {0} übernehmen?", "Take over into {0}?"};
inline constexpr BilingualText kTakeOverNothing{
    "Es gibt nichts zu übernehmen; die Datenbank bleibt unverändert.",
    "There is nothing to take over; the database stays unchanged."};
inline constexpr BilingualText kTakeOverDone{"Die Stationen sind in {0} übernommen.",
                                             "The stations have been taken over into {0}."};
inline constexpr BilingualText kTakeOverBackupKept{"Die bisherige Datenbank ist jetzt {0}.",
                                                   "The previous database is kept as {0}."};
inline constexpr BilingualText kStationAdded{"Die Station {0} ist in {1} neu aufgenommen.",
                                             "The station {0} has been added to {1}."};
inline constexpr BilingualText kStationUpdated{"Die Station {0} ist in {1} geändert.",
                                               "The station {0} has been updated in {1}."};
// A station added by hand is undated; a merge takes it for the year 2000.
inline constexpr BilingualText kStationUndatedHint{
    "Bitte vor dem Zusammenfassen das Update-Datum setzen (Monatsabschluss):\nbis dahin ist die Station "
    "undatiert, und ein datierter Eintrag desselben\nRufzeichens in einer anderen Datenbank gewinnt.",
    "Please set the update date (month-end) before merging:\nuntil then the station is undated, and a "
    "dated entry of the same call\nin another database wins."};
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
    "einem Buchstaben; \"/\" nicht am Anfang, nicht am Ende und nicht zweimal hintereinander.",
    "The call sign is not valid: 3 to 13 characters of A-Z, 0-9 and \"/\", with at least one digit and one "
    "letter; \"/\" neither at the start nor at the end nor twice in a row."};
inline constexpr BilingualText kStationTerminatorCall{
    "Ein Rufzeichen mit \"ZZZ\" geht nicht: die Zeile gälte als Ende der Datenbank.",
    "A call sign containing \"ZZZ\" is not possible: the line would count as the end of the database."};
inline constexpr BilingualText kStationBadLocator{
    "Der Locator ist ungültig: 4, 6 oder 8 Zeichen wie JO62, JO62QM oder JO62QM12 (RR73 ist kein Locator).",
    "The locator is not valid: 4, 6 or 8 characters such as JO62, JO62QM or JO62QM12 (RR73 is no locator)."};
inline constexpr BilingualText kStationBadRemark{
    R"(Die Bemerkung darf weder "," noch "//" noch "ZZZ" enthalten.)",
    R"(The remark may contain neither "," nor "//" nor "ZZZ".)"};

inline constexpr BilingualText kStationRemarkControl{
    "Die Bemerkung darf keine Steuerzeichen enthalten (Tabulator, Zeilenumbruch und andere).",
    "The remark may not contain control characters (tab, line breaks and others)."};
inline constexpr BilingualText kStationRemarkNotHeld{
    "Diese Zeichen der Bemerkung kann die Datenbank nicht aufnehmen: {0}",
    "The database cannot hold these characters of the remark: {0}"};
inline constexpr BilingualText kDatabaseWriteProtected{"Die Datenbank ist schreibgeschützt:\n{0}",
                                                       "The database is write-protected:\n{0}"};
inline constexpr BilingualText kBackupNowACopy{
    "Die Datenbank ist unverändert, aber ihre Sicherungskopie {0} ist jetzt eine Kopie von ihr.",
    "The database is unchanged, but its backup {0} is now a copy of it."};

// ---- Worked before ----

inline constexpr BilingualText kWorkedTitle{"Schon gearbeitet?", "Worked before?"};
inline constexpr BilingualText kWorkedBaseCall{"Grundrufzeichen vergleichen (ohne /P, /M, Präfix)",
                                               "Match the base call (without /P, /M, prefix)"};
inline constexpr BilingualText kWorkedClose{"Schließen", "Close"};
// {0}: the call sign, {1}: the number of contacts ("Q1ABC: 3 Verbindungen").
inline constexpr CountedText kWorkedContacts{{"{0}: {1} Verbindung", "{0}: {1} contact"},
                                             {"{0}: {1} Verbindungen", "{0}: {1} contacts"}};
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

// ---- Following WSJT-X ----
// "{0}", "{1}", ... stand for the values filled in by fillIn.

inline constexpr BilingualText kStationTitle{"Station", "Station"};
inline constexpr BilingualText kFollowNotIn{"{0} ist nicht in {1}", "{0} is not in {1}"};
inline constexpr BilingualText kFollowConnected{"Verbunden mit WSJT-X ({0})", "Connected to WSJT-X ({0})"};
inline constexpr BilingualText kFollowWaiting{"Warte auf WSJT-X an {0}:{1}", "Waiting for WSJT-X on {0}:{1}"};
inline constexpr BilingualText kFollowClosed{"WSJT-X ({0}) wurde beendet", "WSJT-X ({0}) has closed"};
inline constexpr BilingualText kFollowOff{"WSJT-X wird nicht gefolgt.", "Not following WSJT-X."};
inline constexpr BilingualText kFollowCannotListen{"Kann nicht an {0}:{1} empfangen: {2}",
                                                   "Cannot listen on {0}:{1}: {2}"};
inline constexpr BilingualText kFollowIgnored{"{0} Datagramme nicht gelesen: {1}",
                                              "{0} datagrams not read: {1}"};
// One reason datagrams were left aside. {0}: the reason, {1}: how many.
inline constexpr std::string_view kFollowIgnoredReason = "{0} ({1})";
inline constexpr std::string_view kListSeparator = "; ";
inline constexpr BilingualText kFollowInstance{"Programm", "Instance"};
inline constexpr BilingualText kFollowBand{"Band", "Band"};
inline constexpr BilingualText kFollowMode{"Betriebsart", "Mode"};
inline constexpr BilingualText kFollowGrid{"Locator", "Grid"};
inline constexpr BilingualText kFollowDistance{"Entfernung", "Distance"};
inline constexpr BilingualText kFollowBearing{"Richtung", "Beam heading"};
inline constexpr BilingualText kFollowKm{"{0} km", "{0} km"};
inline constexpr BilingualText kFollowDegrees{"{0}°", "{0}°"};
inline constexpr BilingualText kFollowAutoAdd{"Geloggte Stationen übernehmen", "Add logged stations"};
inline constexpr BilingualText kFollowAddedNew{"{0} ist neu in {1}.", "{0} is new in {1}."};
inline constexpr BilingualText kFollowAddedChanged{"{0} ist in {1} geändert.", "{0} is changed in {1}."};
inline constexpr BilingualText kFollowAddedUnchanged{"{0} ist in {1} unverändert.",
                                                     "{0} is unchanged in {1}."};
inline constexpr BilingualText kFollowAddLocked{"{0} nicht übernommen: ein anderes Orvanta hält {1}.",
                                                "{0} not added: another Orvanta holds {1}."};
inline constexpr BilingualText kFollowAddInvalid{"{0} nicht übernommen: Rufzeichen oder Locator ungültig.",
                                                 "{0} not added: the call or grid is not valid."};
inline constexpr BilingualText kFollowAddNoDatabase{
    "{0} nicht übernommen: keine User-Datenbank in der Liste.",
    "{0} not added: no user database in the list."};
inline constexpr BilingualText kFollowAddFailed{"{0} nicht übernommen: {1}", "{0} not added: {1}"};
inline constexpr BilingualText kConnectionTitle{"WSJT-X-Verbindung", "WSJT-X connection"};
inline constexpr BilingualText kConnectionAddress{"Adresse", "Address"};
inline constexpr BilingualText kConnectionPort{"Port", "Port"};
inline constexpr BilingualText kConnectionMyLocator{"Eigener Locator", "My locator"};
inline constexpr BilingualText kConnectionHint{
    "WSJT-X muss unter \"UDP Server\" dieselbe Adresse und denselben Port nennen; mit einer "
    "Multicast-Adresse "
    "(224.0.0.0 bis 239.255.255.255) können mehrere Programme zugleich empfangen.",
    "WSJT-X's \"UDP Server\" setting must name the same address and port; a multicast address (224.0.0.0 to "
    "239.255.255.255) lets several programs listen at once."};
inline constexpr BilingualText kConnectionNotLocal{
    "{0} ist keine Adresse dieses Rechners; bitte 127.0.0.1, eine Adresse dieses Rechners oder eine "
    "Multicast-Adresse angeben.",
    "{0} is not an address of this machine; please give 127.0.0.1, an address of this machine or a multicast "
    "address."};
inline constexpr BilingualText kConnectionBadPort{"Der Port muss eine Zahl von 1 bis 65535 sein.",
                                                  "The port must be a number from 1 to 65535."};
inline constexpr BilingualText kConnectionBadLocator{"Der eigene Locator ist ungültig (4, 6 oder 8 Zeichen).",
                                                     "My locator is not valid (4, 6 or 8 characters)."};
inline constexpr BilingualText kConnectionColourNeeded{"Farbe: in der Datenbank, noch nicht gearbeitet",
                                                       "Colour: in the database, not yet worked"};
inline constexpr BilingualText kConnectionColourNewSlot{"Farbe: neues Band oder neue Betriebsart",
                                                        "Colour: new band or mode"};
inline constexpr BilingualText kConnectionColourWorked{"Farbe: schon gearbeitet", "Colour: worked"};
inline constexpr BilingualText kConnectionBadColour{
    "{0} ist keine Farbe; bitte #RRGGBB mit sechs Hexadezimalziffern angeben, etwa #ff5050.",
    "{0} is not a colour; please give #RRGGBB with six hexadecimal digits, such as #ff5050."};
inline constexpr BilingualText kHighlightNotSent{"Farbe für {0} nicht gesendet: {1}",
                                                 "Colour for {0} not sent: {1}"};
inline constexpr BilingualText kHighlightHint{
    "WSJT-X nimmt Farben nur an, wenn in seinen Einstellungen \"Accept UDP requests\" eingeschaltet ist.",
    "WSJT-X accepts colours only with its setting \"Accept UDP requests\" on."};

// ---- Whole program ----

// What `orvanta --help` prints, and the answer to an option not understood ({0}).
inline constexpr BilingualText kCommandLineHelp{
    "Aufruf: orvanta [OPTION...] [DATEI...]\n"
    "Rufzeichen-Datenbanken (CALL3.txt) und WSJT-X-Logs (wsjtx.log, wsjtx_log.adi) nachschlagen und "
    "pflegen.\n"
    "\n"
    "Die angegebenen Dateien kommen nach den zuletzt benutzten in die Liste der Datenbanken;\n"
    "die erste wird angezeigt.\n"
    "\n"
    "  -h, --help      diese Hilfe zeigen und beenden\n"
    "  -V, --version   die Version zeigen und beenden\n"
    "\n"
    "Die Optionen von Qt gelten ebenso, etwa -style Fusion.\n",
    "Usage: orvanta [OPTION...] [FILE...]\n"
    "Look up and maintain call sign databases (CALL3.txt) and WSJT-X logs (wsjtx.log, wsjtx_log.adi).\n"
    "\n"
    "The files given are added to the list of databases after the ones used last;\n"
    "the first of them is shown.\n"
    "\n"
    "  -h, --help      show this help and exit\n"
    "  -V, --version   show the version and exit\n"
    "\n"
    "Qt's options apply as well, such as -style Fusion.\n"};
// What `orvanta --version` prints, the same in both languages. {0}: the
// version, {1}: the legal notice.
inline constexpr std::string_view kCommandLineVersion = "orvanta {0}\n{1}\n";
inline constexpr BilingualText kCommandLineUnknown{
    "orvanta: unbekannte Option {0}\nMehr mit: orvanta --help\n",
    "orvanta: unknown option {0}\nTry: orvanta --help\n"};

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
// One line on standard error, before the language is known. {0}: the file.
inline constexpr std::string_view kSettingsFileSkipped =
    "Orvanta: settings not read and not saved (no regular file or larger than 1 MiB): {0}";
// The merge failing for another reason than a file, memory running out
// above all. {0}: the reason.
inline constexpr BilingualText kMergeUnexpectedTitle{"Unexpected Error", "Unexpected Error"};
inline constexpr BilingualText kMergeUnexpected{"Database-Error:\n{0}", "Database-Error:\n{0}"};

}  // namespace texts
}  // namespace orvanta
