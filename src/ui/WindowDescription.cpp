#include "ui/WindowDescription.h"

#include <algorithm>
#include <array>

#include "Version.h"

namespace orvanta {
namespace {

constexpr FontStyle kBold{7.8, true};
constexpr FontStyle kBoldLarge{12.0, true};

using K = ControlKind;

// Creation order: top strip, separator, then the field rows.
constexpr std::array<ControlDescription, 26> kControls{{
    {ctl::kLabel1, K::Label, {60, 240, 1068, 252}, 3, kDefaultFont, "&Datenbanken :", true, false, false},
    {ctl::kCombo1, K::ComboBox, {1224, 180, 5772, 288}, 4, kDefaultFont, "", true, false, false},
    {ctl::kCommand4,
     K::CommandButton,
     {7128, 180, 984, 372},
     23,
     kDefaultFont,
     "&Öffnen",
     true,
     false,
     false},
    {ctl::kLabel10, K::Label, {60, 960, 1068, 255}, 0, kDefaultFont, "Such&text    :", true, false, false},
    {ctl::kText10, K::TextBox, {1224, 900, 4476, 288}, 1, kBold, "", true, false, false},
    {ctl::kCommand1,
     K::CommandButton,
     {5976, 828, 1020, 372},
     2,
     kDefaultFont,
     "&Suchen",
     true,
     false,
     false},
    {ctl::kCommand3, K::CommandButton, {7128, 684, 336, 264}, 22, kBold, "+", false, false, false},
    {ctl::kCommand2, K::CommandButton, {7128, 1044, 336, 264}, 21, kBoldLarge, "-", false, false, false},
    {ctl::kLine2, K::Line, {0, 1365, 8220, 0}, -1, kDefaultFont, "", true, false, true},
    {ctl::kLine1, K::Line, {0, 1380, 8220, 0}, -1, kDefaultFont, "", true, false, false},
    {ctl::kLabel2, K::Label, {60, 1620, 1068, 255}, 5, kDefaultFont, "", true, false, false},
    {ctl::kText2, K::TextBox, {1224, 1548, 4476, 288}, 6, kBold, "", true, true, false},
    {ctl::kLabel4, K::Label, {5760, 1620, 1068, 192}, 7, kDefaultFont, "", true, false, false},
    {ctl::kText4, K::TextBox, {6900, 1560, 1215, 288}, 8, kDefaultFont, "", true, true, false},
    {ctl::kLabel3, K::Label, {60, 2052, 1068, 252}, 9, kDefaultFont, "", true, false, false},
    {ctl::kText3, K::TextBox, {1224, 2016, 6852, 288}, 10, kDefaultFont, "", true, false, false},
    {ctl::kLabel5, K::Label, {60, 2460, 1068, 255}, 11, kDefaultFont, "", true, false, false},
    {ctl::kText5, K::TextBox, {1224, 2412, 6852, 288}, 12, kDefaultFont, "", true, false, false},
    {ctl::kLabel6, K::Label, {60, 2880, 1068, 255}, 13, kDefaultFont, "", true, false, false},
    {ctl::kText6, K::TextBox, {1224, 2808, 6852, 288}, 14, kDefaultFont, "", true, false, false},
    {ctl::kLabel7, K::Label, {72, 3276, 1068, 252}, 15, kDefaultFont, "", true, false, false},
    {ctl::kText7, K::TextBox, {1224, 3204, 6852, 288}, 16, kDefaultFont, "", true, false, false},
    {ctl::kLabel8, K::Label, {60, 3672, 1068, 252}, 17, kDefaultFont, "", true, false, false},
    {ctl::kText8, K::TextBox, {1224, 3600, 6852, 288}, 18, kDefaultFont, "", true, false, false},
    {ctl::kLabel9, K::Label, {60, 4068, 1068, 252}, 19, kDefaultFont, "", true, false, false},
    {ctl::kText9, K::TextBox, {1224, 3996, 6852, 288}, 20, kDefaultFont, "", true, false, false},
}};

constexpr std::array<MenuDescription, 19> kMenus{{
    {ctl::kMnuDat, "", "&Datei", "", true},
    {ctl::kMnuOpen, ctl::kMnuDat, "&Neu öffnen", "", false},
    {ctl::kMnuSuch, ctl::kMnuDat, "&Suchen", "", false},
    {ctl::kMnuEnde, ctl::kMnuDat, "&Beenden", "", false},
    {ctl::kMnuOpt, "", "&Optionen", "", true},
    {ctl::kMnuSprache, ctl::kMnuOpt, "&Sprache", "", true},
    {ctl::kMnuDeutsch, ctl::kMnuSprache, "&deutsch", "", false},
    {ctl::kMnuEnglisch, ctl::kMnuSprache, "&englisch", "", false},
    {ctl::kMnuExtr, "", "&Extras", "", true},
    {ctl::kMnuSetUpdate_Datum, ctl::kMnuExtr, "&Update-Datum setzen (Monatsabschluss)", "", false},
    {ctl::kMnuAktualiesieren, ctl::kMnuExtr, "&Datenbanken aktualiesieren/zusammenfassen", "", false},
    {ctl::kMnuWorked, ctl::kMnuExtr, "Schon gearbeitet?", "F3", false},
    {ctl::kMnuAddStation, ctl::kMnuExtr, "Station übernehmen", "Ctrl+Shift+A", false},
    {ctl::kMnuAddLog, ctl::kMnuExtr, "Log übernehmen", "", false},
    {ctl::kMnuFollow, ctl::kMnuExtr, "WSJT-X folgen", "F4", false},
    {ctl::kMnuConnection, ctl::kMnuExtr, "WSJT-X-Verbindung …", "", false},
    {ctl::kMnuHighlight, ctl::kMnuExtr, "Rufzeichen in WSJT-X färben", "", false},
    {ctl::kMnuHelp, "", " &? ", "", true},
    {ctl::kMnuInfo, ctl::kMnuHelp, "&Info", "F1", false},
}};

constexpr std::array<KeyButton, 2> kKeyButtons{{
    {"PgDown", ctl::kCommand3, ctl::kCombo1},
    {"PgUp", ctl::kCommand2, ctl::kCombo1},
}};

using P = TextProperty;

constexpr std::array<LanguageText, 23> kCommon{{
    {ctl::kMnuDat, P::Caption, "&Datei", "&File"},
    {ctl::kMnuOpt, P::Caption, "&Optionen", "&Options"},
    {ctl::kMnuOpen, P::Caption, "&Neu öffnen", "&reopen"},
    {ctl::kMnuSuch, P::Caption, "&Suchen", "&Search"},
    {ctl::kMnuEnde, P::Caption, "&Beenden", "&Exit"},
    {ctl::kMnuSprache, P::Caption, "&Sprache", "&Language"},
    {ctl::kMnuDeutsch, P::Caption, "&deutsch", "&german"},
    {ctl::kMnuEnglisch, P::Caption, "&englisch", "&english"},
    {ctl::kMnuExtr, P::Caption, "&Extras", "&Tools"},
    {ctl::kMnuAktualiesieren, P::Caption, "&Datenbanken aktualiesieren/zusammenfassen",
     "&Databases renews/summarize"},
    {ctl::kMnuSetUpdate_Datum, P::Caption, "&Update-Datum setzen (Monatsabschluss)",
     "&Update Set date (month-end closing)"},
    {ctl::kMnuWorked, P::Caption, "Schon gearbeitet?", "Worked before?"},
    {ctl::kMnuAddStation, P::Caption, "Station übernehmen", "Add station"},
    {ctl::kMnuAddLog, P::Caption, "Log übernehmen", "Add log"},
    {ctl::kMnuFollow, P::Caption, "WSJT-X folgen", "Follow WSJT-X"},
    {ctl::kMnuConnection, P::Caption, "WSJT-X-Verbindung …", "WSJT-X connection …"},
    {ctl::kMnuHighlight, P::Caption, "Rufzeichen in WSJT-X färben", "Colour calls in WSJT-X"},
    {ctl::kLabel1, P::Caption, "&Datenbanken :", "&Databases :"},
    {ctl::kLabel10, P::Caption, "Such&text    :", "Search&text  :"},
    {ctl::kCommand1, P::Caption, "&Suchen", "&Search"},
    {ctl::kCommand4, P::Caption, "&Öffnen", "&Open"},
    {ctl::kCommand1, P::ToolTip, "Suchen starten", "go search"},
    {ctl::kText10, P::ToolTip, "Suchtext eingeben", "set searchtext"},
}};

constexpr std::array<LanguageText, 9> kUser{{
    {ctl::kCombo1, P::ToolTip, "user-Datenbank auswählen", "select user-Database"},
    {ctl::kLabel2, P::Caption, "Call", "Call"},
    {ctl::kLabel3, P::Caption, "Locator", "Locator"},
    {ctl::kLabel4, P::Caption, "Bemerkung", "Remarks"},
    {ctl::kLabel5, P::Caption, "Aktivitäten", "Activity"},
    {ctl::kLabel6, P::Caption, "RIG / QRG", "RIG / QRG"},
    {ctl::kLabel7, P::Caption, "", ""},
    {ctl::kLabel8, P::Caption, "", ""},
    {ctl::kLabel9, P::Caption, "Stand :", "Last Updated:"},
}};

constexpr std::array<LanguageText, 9> kLog{{
    {ctl::kCombo1, P::ToolTip, "Log-Datenbank auswählen", "select Log-Database"},
    {ctl::kLabel2, P::Caption, "Call", "Call"},
    {ctl::kLabel3, P::Caption, "Start", "Start"},
    {ctl::kLabel4, P::Caption, "QRG", "QRG"},
    {ctl::kLabel5, P::Caption, "End", "End"},
    {ctl::kLabel6, P::Caption, "Name", "Name"},
    {ctl::kLabel7, P::Caption, "Grid", "Grid"},
    {ctl::kLabel8, P::Caption, "Mode", "Mode"},
    {ctl::kLabel9, P::Caption, "Comment", "Comment"},
}};

// The About box, line by line; an empty entry is an empty line. The first
// line (name, version, legal notice) is put in front by aboutText.
constexpr std::array<std::string_view, 12> kAboutGerman{{
    "für die WSJT-Programme von Q9ZZ.    ",
    "",
    "User-Datenbank (CALL3.txt): ",
    "Es können mehrere Datenbanken ausgewählt, angezeigt und gemeinsam zusammengefasst / aktualisiert",
    "werden. Anschliessend sind alle ausgewählten Datenbanken aktuell. Selbst übernommene Daten (Add - "
    "Button)",
    "können zum Monatsende mit einem Update-Datum versehen werden.",
    "",
    "Log-Datei (wsjt.log): ",
    "Hiermit kann z.B. über die Suchfunktion überprüft werden ob die Station schon gearbeitet wurde auch "
    "wenn ",
    "diese Station nicht CQ ruft. ",
    "",
    "Zu Beginn einmal die Suchfunktion benutzen. Es kann nach dem Rufzeichen, Locator, Frequenz-Band o.ä. "
    "gesucht werden. ",
}};

constexpr std::array<std::string_view, 11> kAboutEnglish{{
    "for WSJT-Programs by Q9ZZ.   ",
    "",
    "User-Database (CALL3.txt): ",
    "Multiple databases can select, view, and share combined / are updated. Afterwards, all selected "
    "Databases ",
    "are current. Even data acquired (Add - Button) can be provided to the end of the month with an update "
    "date. ",
    "",
    "Log-File (wsjt.log): ",
    "This can be used, for example, to check via the search function whether the station has already been "
    "worked ",
    "even if this station does not call CQ.",
    "",
    "At the beginning even use the search function. It can be looked for the Call, "
    "Locator, Frequency-band or the like.                 ",
}};

}  // namespace

std::span<const ControlDescription> windowControls() { return kControls; }

const ControlDescription* findControl(std::string_view name) {
  const auto* const it = std::find_if(kControls.begin(), kControls.end(),
                                      [&](const ControlDescription& c) { return c.name == name; });
  return it == kControls.end() ? nullptr : &*it;
}

std::string_view labelBuddy(std::string_view label) {
  const ControlDescription* own = findControl(label);
  if (own == nullptr || own->kind != ControlKind::Label) return {};
  const ControlDescription* next = nullptr;
  for (const auto& c : kControls) {
    if (c.tabIndex == own->tabIndex + 1) next = &c;
  }
  return next == nullptr ? std::string_view{} : next->name;
}

std::span<const MenuDescription> menuTree() { return kMenus; }

std::vector<ControlState> initialControlStates() {
  std::vector<ControlState> states;
  states.reserve(kControls.size() + kMenus.size() + 1);
  for (const auto& c : kControls) states.push_back({std::string(c.name), c.enabled});
  for (const auto& m : kMenus) states.push_back({std::string(m.name), true});
  states.push_back({"CommonDialog1", true});
  return states;
}

std::span<const KeyButton> keyButtons() { return kKeyButtons; }

std::span<const LanguageText> commonTexts() { return kCommon; }
std::span<const LanguageText> userDatabaseTexts() { return kUser; }
std::span<const LanguageText> logDatabaseTexts() { return kLog; }

std::string windowTitle(bool german) {
  std::string title = german ? " Orvanta für WSJT " : " Orvanta for WSJT ";
  title += version::kLegalNotice;
  return title;
}

std::string versionNumber() {
  return std::to_string(version::kMajor) + "." + std::to_string(version::kMinor) + "." +
         std::to_string(version::kRevision);
}

std::string aboutText(bool german, std::string_view newLine) {
  std::string text = "Orvanta V " + versionNumber() + " " + version::kLegalNotice + "  ";
  const auto lines = german ? std::span<const std::string_view>(kAboutGerman)
                            : std::span<const std::string_view>(kAboutEnglish);
  for (const auto line : lines) {
    text += newLine;
    text += line;
  }
  return text;
}

}  // namespace orvanta
