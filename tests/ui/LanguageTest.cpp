// Captions of both languages, the Options and Extras menus, and the About box,
// through the form with the fake window.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FormFixture.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

using Language = testing::FormFixture;

const std::string kNotice = "Copyright (C) 2026 The Orvanta developers";

struct Texts {
  std::map<std::string, std::string> captions;
  std::map<std::string, std::string> tips;
};

const Texts& germanCommon() {
  static const Texts t{{{"mnuDat", "&Datei"},
                        {"mnuOpt", "&Optionen"},
                        {"mnuOpen", "&Neu öffnen"},
                        {"mnuSuch", "&Suchen"},
                        {"mnuEnde", "&Beenden"},
                        {"mnuSprache", "&Sprache"},
                        {"mnuDeutsch", "&deutsch"},
                        {"mnuEnglisch", "&englisch"},
                        {"mnuExtr", "&Extras"},
                        {"mnuAktualiesieren", "&Datenbanken aktualiesieren/zusammenfassen"},
                        {"mnuSetUpdate_Datum", "&Update-Datum setzen (Monatsabschluss)"},
                        {"Label1", "&Datenbanken :"},
                        {"Label10", "Such&text    :"},
                        {"Command1", "&Suchen"},
                        {"Command4", "&Öffnen"}},
                       {{"Command1", "Suchen starten"}, {"Text10", "Suchtext eingeben"}}};
  return t;
}

const Texts& englishCommon() {
  static const Texts t{{{"mnuDat", "&File"},
                        {"mnuOpt", "&Options"},
                        {"mnuOpen", "&reopen"},
                        {"mnuSuch", "&Search"},
                        {"mnuEnde", "&Exit"},
                        {"mnuSprache", "&Language"},
                        {"mnuDeutsch", "&german"},
                        {"mnuEnglisch", "&english"},
                        {"mnuExtr", "&Tools"},
                        {"mnuAktualiesieren", "&Databases renews/summarize"},
                        {"mnuSetUpdate_Datum", "&Update Set date (month-end closing)"},
                        {"Label1", "&Databases :"},
                        {"Label10", "Search&text  :"},
                        {"Command1", "&Search"},
                        {"Command4", "&Open"}},
                       {{"Command1", "go search"}, {"Text10", "set searchtext"}}};
  return t;
}

// Label2..Label9 in order, then Combo1's tooltip.
const std::vector<std::string> kFieldLabels{"Label2", "Label3", "Label4", "Label5",
                                            "Label6", "Label7", "Label8", "Label9"};
const std::vector<std::string> kUserGerman{"Call",      "Locator", "Bemerkung", "Aktivitäten",
                                           "RIG / QRG", "",        "",          "Stand :"};
const std::vector<std::string> kUserEnglish{"Call",      "Locator", "Remarks", "Activity",
                                            "RIG / QRG", "",        "",        "Last Updated:"};
const std::vector<std::string> kLogBoth{"Call", "Start", "QRG", "End", "Name", "Grid", "Mode", "Comment"};

// The field labels and Combo1's tooltip for a kind; other kinds leave them.
std::pair<std::vector<std::string>, std::string> kindLabels(bool german, const std::string& kind) {
  if (kind == "user")
    return {german ? kUserGerman : kUserEnglish,
            german ? "user-Datenbank auswählen" : "select user-Database"};
  if (kind == "log") return {kLogBoth, german ? "Log-Datenbank auswählen" : "select Log-Database"};
  return {std::vector<std::string>(kFieldLabels.size(), "before"), "before"};
}

TEST_F(Language, ApplyLanguageByLanguageAndKind) {
  for (const std::string language : {"de", "en", "EN", "fr", "", "DE", "de "}) {
    for (const std::string kind : {"user", "log", "", "USER"}) {
      SCOPED_TRACE("Language \"" + language + "\", DbKind \"" + kind + "\"");
      testing::FakeWindow fresh;
      for (const auto& label : kFieldLabels) fresh.setCaption(label, "before");
      fresh.setToolTip("Combo1", "before");
      fresh.setText("Text2", "Q1ABC");
      fresh.addListItem("Combo1", "/data/CALL3.txt");
      fresh.setChecked("mnuEnglisch", true);
      fresh.setEnabled("mnuAktualiesieren", false);
      frmVHF f{FormServices{fresh, messages, dialog, settings, files, clock, events}};
      f.Language = language;
      f.DbKind = kind;
      f.ApplyLanguage();

      const bool german = language == "de";
      EXPECT_EQ(fresh.title(), (german ? " Orvanta für WSJT " : " Orvanta for WSJT ") + kNotice);
      const Texts& common = german ? germanCommon() : englishCommon();
      for (const auto& [control, caption] : common.captions)
        EXPECT_EQ(fresh.caption(control), caption) << control;
      for (const auto& [control, tip] : common.tips) EXPECT_EQ(fresh.toolTip(control), tip) << control;

      const auto [labels, comboTip] = kindLabels(german, kind);
      for (std::size_t i = 0; i < kFieldLabels.size(); ++i) {
        EXPECT_EQ(fresh.caption(kFieldLabels[i]), labels[i]) << kFieldLabels[i];
      }
      EXPECT_EQ(fresh.toolTip("Combo1"), comboTip);

      // Nothing else changes: not the field boxes, the list, the check marks or the merge item.
      EXPECT_EQ(fresh.text("Text2"), "Q1ABC");
      EXPECT_EQ(fresh.listItems("Combo1"), std::vector<std::string>{"/data/CALL3.txt"});
      EXPECT_TRUE(fresh.isChecked("mnuEnglisch"));
      EXPECT_FALSE(fresh.isChecked("mnuDeutsch"));
      EXPECT_FALSE(fresh.isEnabled("mnuAktualiesieren"));
      // The captions that never change are not ApplyLanguage's to write.
      EXPECT_EQ(fresh.caption("mnuHelp"), "");
      EXPECT_EQ(fresh.caption("Command2"), "");
    }
  }
}

TEST_F(Language, SwitchingFromLogToUserEmptiesTheGridAndModeLabels) {
  form.Language = "en";
  form.DbKind = "log";
  form.ApplyLanguage();
  EXPECT_EQ(window.caption("Label7"), "Grid");
  EXPECT_EQ(window.caption("Label9"), "Comment");
  form.DbKind = "user";
  form.ApplyLanguage();
  EXPECT_EQ(window.caption("Label7"), "");
  EXPECT_EQ(window.caption("Label8"), "");
  EXPECT_EQ(window.caption("Label9"), "Last Updated:");
}

TEST_F(Language, LanguageItemsSwitchAtOnce) {
  form.DbKind = "user";
  form.Language = "fr";
  form.mnuDeutsch_Click();
  EXPECT_EQ(form.Language, "de");
  EXPECT_EQ(window.caption("mnuDat"), "&Datei");
  EXPECT_EQ(window.caption("Label9"), "Stand :");
  form.mnuEnglisch_Click();
  EXPECT_EQ(form.Language, "en");
  EXPECT_EQ(window.caption("mnuDat"), "&File");
  EXPECT_EQ(window.caption("Label9"), "Last Updated:");
  // Choosing German twice gives the same texts again.
  form.mnuDeutsch_Click();
  const std::string title = window.title();
  form.mnuDeutsch_Click();
  EXPECT_EQ(window.title(), title);
  EXPECT_EQ(window.caption("Label1"), "&Datenbanken :");

  // Through the window's events, as the toolkit reports them.
  form.onWindowEvent("mnuEnglisch", WindowEvent::Click, 0);
  EXPECT_EQ(window.caption("Command4"), "&Open");
}

TEST_F(Language, OptionsMenuChecksTheActiveLanguage) {
  struct Case {
    std::string language;
    bool deutsch;
    bool englisch;
  };
  const auto cases = std::to_array<Case>({{"de", true, false},
                                          {"en", false, true},
                                          {"EN", false, false},
                                          {"fr", false, false},
                                          {"", false, false},
                                          {"DE", false, false}});
  for (const auto& c : cases) {
    for (const bool before : {false, true}) {
      window.setChecked("mnuDeutsch", before);
      window.setChecked("mnuEnglisch", before);
      form.Language = c.language;
      form.onWindowEvent("mnuOpt", WindowEvent::MenuOpen, 0);
      EXPECT_EQ(window.isChecked("mnuDeutsch"), c.deutsch) << c.language;
      EXPECT_EQ(window.isChecked("mnuEnglisch"), c.englisch) << c.language;
    }
  }
}

TEST_F(Language, ExtrasMenuEnablesMergeForUserDatabases) {
  struct Case {
    std::string text;
    bool before;
    bool after;
  };
  const auto cases = std::to_array<Case>({
      {"/data/CALL3.txt", false, true},
      {"/data/CALL3.TXT", false, true},
      {"/data/call3.TxT", false, true},
      {"txt", false, true},
      {"", true, false},
      {"", false, false},
      {"/data/wsjtx.log", true, true},
      {"/data/wsjtx.log", false, false},
      {"/data/CALL3.txt ", false, false},
      {"xt", false, false},
      {"/data/nötxt", false, true},
      {"/data/Datei.tx", true, true},
  });
  for (const auto& c : cases) {
    window.setText("Combo1", c.text);
    window.setEnabled("mnuAktualiesieren", c.before);
    window.setEnabled("mnuSetUpdate_Datum", true);
    form.onWindowEvent("mnuExtr", WindowEvent::MenuOpen, 0);
    EXPECT_EQ(window.isEnabled("mnuAktualiesieren"), c.after) << '"' << c.text << "\" from " << c.before;
    EXPECT_TRUE(window.isEnabled("mnuSetUpdate_Datum")) << c.text;
  }
}

TEST_F(Language, AboutBoxInBothLanguages) {
  const std::string nl = "\r\n";
  const std::string first = "Orvanta V 1.1.1 " + kNotice + "  ";
  const std::string german =
      first + nl + "für die WSJT-Programme von Q9ZZ.    " + nl + nl + "User-Datenbank (CALL3.txt): " + nl +
      "Es können mehrere Datenbanken ausgewählt, angezeigt und gemeinsam zusammengefasst / aktualisiert" +
      nl +
      "werden. Anschliessend sind alle ausgewählten Datenbanken aktuell. Selbst übernommene Daten (Add - "
      "Button)" +
      nl + "können zum Monatsende mit einem Update-Datum versehen werden." + nl + nl +
      "Log-Datei (wsjt.log): " + nl +
      "Hiermit kann z.B. über die Suchfunktion überprüft werden ob die Station schon gearbeitet wurde auch "
      "wenn " +
      nl + "diese Station nicht CQ ruft. " + nl + nl +
      "Zu Beginn einmal die Suchfunktion benutzen. Es kann nach dem Rufzeichen, Locator, Frequenz-Band o.ä. "
      "gesucht werden. ";
  const std::string english =
      first + nl + "for WSJT-Programs by Q9ZZ.   " + nl + nl + "User-Database (CALL3.txt): " + nl +
      "Multiple databases can select, view, and share combined / are updated. Afterwards, all selected "
      "Databases " +
      nl +
      "are current. Even data acquired (Add - Button) can be provided to the end of the month with an update "
      "date. " +
      nl + nl + "Log-File (wsjt.log): " + nl +
      "This can be used, for example, to check via the search function whether the station has already been "
      "worked " +
      nl + "even if this station does not call CQ." + nl + nl +
      "At the beginning even use the search function. It can be looked for the Call, Locator, Frequency-band "
      "or the "
      "like.                 ";

  form.NewLine = nl;
  for (const std::string language : {"de", "en", "fr", ""}) {
    window.setFocus("Combo1");
    form.Language = language;
    form.onWindowEvent("mnuInfo", WindowEvent::Click, 0);
    ASSERT_FALSE(messages.calls.empty());
    const auto& box = messages.calls.back();
    EXPECT_EQ(box.text, language == "de" ? german : english) << language;
    EXPECT_EQ(box.title, " Info");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(window.focus, "Text10");
  }
  EXPECT_EQ(messages.calls.size(), 4U);
  // German has thirteen lines, English twelve.
  auto lines = [&](const std::string& text) {
    std::size_t n = 1;
    for (std::size_t at = text.find(nl); at != std::string::npos; at = text.find(nl, at + 2)) ++n;
    return n;
  };
  EXPECT_EQ(lines(german), 13U);
  EXPECT_EQ(lines(english), 12U);
}

// The description holds together: names unique, the tab order complete, and
// every control the caption tables write exists.
TEST(WindowDescription, IsConsistent) {
  std::map<std::string, bool> names;
  for (const auto& state : initialControlStates()) {
    EXPECT_TRUE(names.emplace(state.name, state.enabled).second) << "twice: " << state.name;
  }
  EXPECT_FALSE(names.at("Command2"));
  EXPECT_FALSE(names.at("Command3"));
  for (const auto& m : menuTree()) EXPECT_TRUE(names.at(std::string(m.name))) << m.name;
  for (const char* name :
       {"Combo1", "Text10", "Text2", "Text9", "Label1", "Command1", "Command4", "Line1", "Line2"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }

  std::vector<int> tabs;
  for (const auto& c : windowControls()) {
    if (c.tabIndex >= 0) tabs.push_back(c.tabIndex);
  }
  std::sort(tabs.begin(), tabs.end());
  for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(tabs[i], static_cast<int>(i));
  EXPECT_EQ(tabs.size(), 24U);

  for (const auto& table : {commonTexts(), userDatabaseTexts(), logDatabaseTexts()}) {
    for (const auto& entry : table) EXPECT_TRUE(names.count(std::string(entry.control))) << entry.control;
  }
  EXPECT_EQ(commonTexts().size(), 23U);  // with the worked-before, take-over, following and colour items

  EXPECT_EQ(labelBuddy("Label1"), "Combo1");
  EXPECT_EQ(labelBuddy("Label10"), "Text10");
  EXPECT_EQ(labelBuddy("Label9"), "Text9");
  EXPECT_EQ(labelBuddy("Text9"), "");

  for (const auto& m : menuTree()) {
    if (m.parent.empty()) continue;
    const auto parent = std::find_if(menuTree().begin(), menuTree().end(),
                                     [&](const MenuDescription& p) { return p.name == m.parent; });
    ASSERT_NE(parent, menuTree().end()) << m.name;
    EXPECT_TRUE(parent->hasItems) << m.name;
    EXPECT_LT(parent - menuTree().begin(), &m - menuTree().data()) << m.name;
  }
  EXPECT_EQ(versionNumber(), "1.1.1");
}

}  // namespace
}  // namespace orvanta
