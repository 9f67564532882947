#pragma once

// The texts of every message box, in both languages, beside the captions of
// the window description. Handlers pick a text by the form's language; texts
// are exactly as shown, blanks included.

#include <string_view>

namespace orvanta {

struct BilingualText {
  std::string_view german;
  std::string_view english;
  constexpr std::string_view in(bool isGerman) const { return isGerman ? german : english; }
};

namespace texts {

// ---- Search, stepping and the file dialog ----

// ---- Merge ----

// ---- Month-end update ----

// ---- Taking stations over ----
// "{0}", "{1}", ... stand for the values filled in by fillIn.

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
inline constexpr BilingualText kTakeOverNotFound{"Die Datei wurde nicht gefunden:",
                                                 "The file was not found:"};
inline constexpr BilingualText kTakeOverUnreadable{"Die Datei kann nicht gelesen werden:",
                                                   "The file cannot be read:"};
inline constexpr BilingualText kTakeOverWriteFailed{
    "Die Datenbank kann nicht geschrieben werden; sie ist unverändert:",
    "The database cannot be written; it is unchanged:"};
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
// After the call sign and the number: "Q1ABC: 3 Verbindungen".
inline constexpr BilingualText kWorkedContacts{" Verbindungen", " contacts"};
inline constexpr BilingualText kWorkedOneContact{" Verbindung", " contact"};
inline constexpr BilingualText kWorkedNone{"Keine Verbindung mit diesem Rufzeichen.",
                                           "No contact with this call sign."};
inline constexpr BilingualText kWorkedNoLog{"Kein Log in der Liste der Datenbanken.",
                                            "No log in the list of databases."};
inline constexpr BilingualText kWorkedUnreadable{"Nicht lesbar: ", "Cannot be read: "};
inline constexpr BilingualText kWorkedBand{"Band", "Band"};
inline constexpr BilingualText kWorkedFirst{"Erste", "First"};
inline constexpr BilingualText kWorkedLast{"Letzte", "Last"};
inline constexpr BilingualText kWorkedGrids{"Locator", "Grids"};

// ---- Whole program ----

}  // namespace texts
}  // namespace orvanta
