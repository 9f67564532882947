#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FormFixture.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

const std::string kLog =
    "2020-01-01,12:50:13,2020-01-01,12:51:13,Q1ABC,JO62,144.174000,FT8,-18,-04,,,\r\n"
    "2020-02-01,07:00:00,2020-02-01,07:01:00,Q1ABC/P,JO62,7.074000,FT8,-18,-04,,,\r\n";
// The first contact again, as WSJT-X writes it into its ADIF log, and one more.
const std::string kAdif =
    "WSJT-X ADIF Export\n<eoh>\n"
    "<call:5>Q1ABC <gridsquare:4>JO62 <mode:3>FT8 <qso_date:8>20200101 <time_on:6>125013 <band:2>2m "
    "<freq:10>144.175972 <eor>\n"
    "<call:5>Q1ABC <mode:4>MFSK <submode:3>FT4 <qso_date:8>20200301 <time_on:6>090000 <band:3>20m "
    "<freq:9>14.081703 <eor>\n";

class WorkedBeforeForm : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.Language = "en";
    log = dir.write("wsjtx.log", kLog);
    adif = dir.write("wsjtx_log.adi", kAdif);
    user = dir.write("CALL3.txt", "//h\r\nQ1ABC,JO62,EME\r\n");
    for (const auto& path : {user, log, adif, log}) window.addListItem("Combo1", path);
    window.setText("Combo1", user);
  }
  const WorkedBeforeTable& shown() const { return workedView.tables.front(); }
  std::string log, adif, user;
};

TEST_F(WorkedBeforeForm, CountsEveryListedLogOnceAndEachContactOnce) {
  window.setText("Text10", "  q1abc ");
  form.onWindowEvent("mnuWorked", WindowEvent::Click, 0);
  ASSERT_EQ(workedView.shows, 1);
  EXPECT_EQ(shown().title, "Worked before?");
  EXPECT_EQ(shown().heading, "Q1ABC: 2 contacts");
  EXPECT_EQ(shown().columns, (std::vector<std::string>{"Band", "FT4", "FT8", "First", "Last", "Grids"}));
  EXPECT_EQ(shown().rows, (std::vector<std::vector<std::string>>{
                              {"20m", "1", "", "2020-03-01", "2020-03-01", ""},
                              {"2m", "", "1", "2020-01-01", "2020-01-01", "JO62"},
                          }));
  EXPECT_TRUE(shown().emptyText.empty());
  EXPECT_TRUE(shown().notes.empty());
  EXPECT_FALSE(shown().checked);
  EXPECT_EQ(shown().checkBoxText, "Match the base call (without /P, /M, prefix)");
  EXPECT_EQ(shown().closeText, "Close");
  EXPECT_EQ(window.focus, "Text10");
  EXPECT_EQ(window.pointerHistory, (std::vector<MousePointer>{MousePointer::Busy, MousePointer::Normal}));
}

TEST_F(WorkedBeforeForm, TheCheckBoxCountsBaseCallsAndIsRemembered) {
  window.setText("Text10", "Q1ABC");
  workedView.toggles = {true, false};
  form.mnuWorked_Click();
  ASSERT_EQ(workedView.tables.size(), 3U);
  EXPECT_EQ(workedView.tables[0].heading, "Q1ABC: 2 contacts");
  EXPECT_EQ(workedView.tables[1].heading, "Q1ABC: 3 contacts") << "Q1ABC/P counts with the base call";
  EXPECT_TRUE(workedView.tables[1].checked);
  EXPECT_EQ(workedView.tables[2].heading, "Q1ABC: 2 contacts");
  const auto key = testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "BaseCall");
  EXPECT_EQ(settings.writes, (std::vector<std::pair<std::string, std::string>>{{key, "1"}, {key, "0"}}));

  // The next opening starts as the box was left; "1" checks it.
  settings.values[key] = "1";
  workedView = {};
  form.mnuWorked_Click();
  ASSERT_EQ(workedView.tables.size(), 1U);
  EXPECT_TRUE(shown().checked);
  EXPECT_EQ(shown().heading, "Q1ABC: 3 contacts");
}

TEST_F(WorkedBeforeForm, WithoutSearchTextTheCallOnScreen) {
  window.setText("Text10", "   ");
  window.setText("Text2", "q1abc/p");
  form.mnuWorked_Click();
  ASSERT_EQ(workedView.shows, 1);
  EXPECT_EQ(shown().heading, "Q1ABC/P: 1 contact");

  workedView = {};
  window.setText("Text2", "");
  form.mnuWorked_Click();
  EXPECT_EQ(workedView.shows, 0) << "no call sign, nothing to count";
  EXPECT_EQ(window.focus, "Text10");
}

TEST_F(WorkedBeforeForm, NoContactAndAnUnreadableLogAreSaidInTheWindow) {
  form.Language = "de";
  const std::string gone = dir.path() + "/gone.log";
  window.addListItem("Combo1", gone);
  window.setText("Text10", "Q9NONE");
  form.mnuWorked_Click();
  ASSERT_EQ(workedView.shows, 1);
  EXPECT_EQ(shown().title, "Schon gearbeitet?");
  EXPECT_EQ(shown().heading, "Q9NONE: 0 Verbindungen");
  EXPECT_TRUE(shown().rows.empty());
  EXPECT_EQ(shown().emptyText, "Keine Verbindung mit diesem Rufzeichen.");
  ASSERT_EQ(shown().notes.size(), 1U);
  EXPECT_EQ(shown().notes[0].rfind("Nicht lesbar: " + gone + " (", 0), 0U) << shown().notes[0];
  EXPECT_EQ(shown().checkBoxText, "Grundrufzeichen vergleichen (ohne /P, /M, Präfix)");
  EXPECT_TRUE(messages.calls.empty()) << "the window says it, no message box";
}

TEST_F(WorkedBeforeForm, NoLogInTheList) {
  window.clearList("Combo1");
  window.addListItem("Combo1", user);
  window.setText("Text10", "Q1ABC");
  form.mnuWorked_Click();
  ASSERT_EQ(workedView.shows, 1);
  EXPECT_EQ(shown().notes, std::vector<std::string>{"No log in the list of databases."});
}

TEST(WorkedBeforeMenu, ExtrasItemWithF3InBothLanguages) {
  const auto menus = menuTree();
  const auto item =
      std::find_if(menus.begin(), menus.end(), [](const auto& m) { return m.name == "mnuWorked"; });
  ASSERT_NE(item, menus.end());
  EXPECT_EQ(item->parent, "mnuExtr");
  EXPECT_EQ(item->shortcut, "F3");
  const auto texts = commonTexts();
  const auto caption =
      std::find_if(texts.begin(), texts.end(), [](const auto& t) { return t.control == "mnuWorked"; });
  ASSERT_NE(caption, texts.end());
  EXPECT_EQ(caption->german, "Schon gearbeitet?");
  EXPECT_EQ(caption->english, "Worked before?");
}

}  // namespace
}  // namespace orvanta
