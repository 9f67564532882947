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
