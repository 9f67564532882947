// The Open button, "reopen" and the dialog wrapper, with a scripted dialog.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FormFixture.h"
#include "ui/OpenDialog.h"

namespace orvanta {
namespace {

using testing::FakeFileDialog;

OpenFileResult failed(std::string description) {
  return OpenFileResult{OpenFileResult::Outcome::Failed, {}, std::move(description)};
}

class OpenDialog : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.NewLine = "\r\n";
    form.Language = "de";
    form.DbKind = "user";
    form.DbFileName = "before.txt";
    form.DbPath = "/old/CALL3.txt";
    window.addListItem("Combo1", "/old/CALL3.txt");
    window.setText("Combo1", "/old/CALL3.txt");
  }
  std::vector<std::string> list() const { return window.listItems("Combo1"); }
};

TEST_F(OpenDialog, RequestInBothLanguages) {
  struct Case {
    std::string language;
    std::string title;
    std::vector<FileFilter> filters;
  };
  const auto cases = std::to_array<Case>({
      {"de",
       "Öffnen",
       {{"User-Datenbank (*.txt)", "*.txt"},
        {"Log-Datei (*.log)", "*.log"},
        {"ADIF-Log (*.adi *.adif)", "*.adi *.adif"},
        {"Alle Dateien (*.*)", "*.*"}}},
      {"en",
       "opens",
       {{"User-Database (*.txt)", "*.txt"},
        {"Log-File (*.log)", "*.log"},
        {"ADIF log (*.adi *.adif)", "*.adi *.adif"},
        {"All files (*.*)", "*.*"}}},
      {"fr",
       "opens",
       {{"User-Database (*.txt)", "*.txt"},
        {"Log-File (*.log)", "*.log"},
        {"ADIF log (*.adi *.adif)", "*.adi *.adif"},
        {"All files (*.*)", "*.*"}}},
  });
  for (const auto& c : cases) {
    dialog.requests.clear();
    form.Language = c.language;
    form.Command4_Click();
    ASSERT_EQ(dialog.requests.size(), 1U) << c.language;
    const OpenFileRequest& r = dialog.requests[0];
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.initialFolder, files.currentDirectory());
    EXPECT_EQ(r.fileName, "CALL3.txt");
    EXPECT_EQ(r.filterIndex, 1);
    ASSERT_EQ(r.filters.size(), 4U) << c.language;
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(r.filters[i].description, c.filters[i].description);
      EXPECT_EQ(r.filters[i].pattern, c.filters[i].pattern);
    }
  }
  EXPECT_EQ(events.yields, 3) << "the wrapper yields once after each dialog";
}

TEST_F(OpenDialog, ProposesTheSpellingTheFolderHolds) {
  const auto cases = std::to_array<std::pair<std::vector<const char*>, const char*>>(
      {{{"CALL3.TXT"}, "CALL3.TXT"},
       {{"CALL3.TXT", "CALL3.txt"}, "CALL3.txt"},
       {{"CALL3.TXT.bak"}, "CALL3.txt"}});
  for (const auto& [names, proposed] : cases) {
    const testing::TempDir folder;
    for (const char* name : names) folder.write(name, "//\r\n");
    window.setText("Combo1", folder.file("db.txt"));
    form.Command4_Click();
    EXPECT_EQ(dialog.requests.back().fileName, proposed) << names.front();
  }
}

TEST_F(OpenDialog, ChoosingFilesAddsThemAndSetsTheKind) {
  struct Case {
    std::string name;
    std::string kind;
    std::string label3;  // the label beside Text3 follows the kind at once
  };
  const auto cases = std::to_array<Case>({
      {"wsjtx.log", "log", "Start"},
      {"MY.TXT", "user", "Locator"},
      {"x.txt.log", "log", "Start"},
      {"notes.dat", "log", "Start"},  // neither: the kind stays
      {"MY.TXT", "user", "Locator"},  // the same file again: listed twice
      {"wsjtx_log.adi", "log", "Start"},
      {"MY.TXT", "user", "Locator"},
      {"Contest.ADIF", "log", "Start"},
      {"x.adi.txt", "user", "Locator"},
      {"y.adix", "user", "Locator"},  // not an ADIF ending: the kind stays
  });
  std::vector<std::string> expected = list();
  for (const auto& c : cases) {
    const std::string path = dir.write(c.name, "//h\r\n");
    dialog.results.push_back(FakeFileDialog::chosen(path));
    window.setText("Text2", "shown");
    window.focus.clear();
    form.Command4_Click();
    expected.push_back(path);
    EXPECT_EQ(list(), expected) << c.name;
    EXPECT_EQ(window.text("Combo1"), path);
    EXPECT_EQ(form.DbPath, path);
    EXPECT_EQ(form.DbFileName, c.name);
    EXPECT_EQ(form.DbKind, c.kind) << c.name;
    EXPECT_EQ(window.caption("Label3"), c.label3) << c.name;
    EXPECT_EQ(window.focus, "Text10");
    EXPECT_EQ(window.text("Text2"), "shown") << "no record is read";
  }
  EXPECT_TRUE(messages.calls.empty());
}

TEST_F(OpenDialog, CancelChangesNothingButDbPath) {
  form.Command4_Click();  // the script is empty: cancelled
  EXPECT_EQ(list(), std::vector<std::string>{"/old/CALL3.txt"});
  EXPECT_EQ(window.text("Combo1"), "/old/CALL3.txt");
  EXPECT_EQ(form.DbKind, "user");
  EXPECT_EQ(form.DbFileName, "before.txt");
  EXPECT_EQ(form.DbPath, "");
  EXPECT_TRUE(messages.calls.empty());
}

TEST_F(OpenDialog, ReopenEmptiesTheListFirst) {
  window.focus.clear();
  form.mnuOpen_Click();  // cancelled
  EXPECT_TRUE(list().empty());
  EXPECT_EQ(window.text("Combo1"), "");
  EXPECT_EQ(window.focus, "Combo1");

  const std::string path = dir.write("wsjtx.log", "x\r\n");
  dialog.results.push_back(FakeFileDialog::chosen(path));
  form.mnuOpen_Click();
  EXPECT_EQ(list(), std::vector<std::string>{path});
  EXPECT_EQ(window.text("Combo1"), path);
  EXPECT_EQ(form.DbKind, "log");
  EXPECT_EQ(window.focus, "Combo1");
}

TEST_F(OpenDialog, DialogErrorIsReportedAndAddsNothing) {
  for (const std::string language : {"de", "en"}) {
    messages.calls.clear();
    form.Language = language;
    dialog.results.push_back(failed("The file dialog could not be shown"));
    form.Command4_Click();
    EXPECT_EQ(list(), std::vector<std::string>{"/old/CALL3.txt"});
    EXPECT_EQ(form.DbPath, "");
    EXPECT_EQ(form.DbFileName, "before.txt");
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, "Fehler: \r\nThe file dialog could not be shown");
    EXPECT_EQ(messages.calls[0].title, language == "de" ? "Öffnen" : "opens");
    EXPECT_EQ(messages.calls[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.calls[0].buttons, MessageButtons::Ok);
  }
}

TEST_F(OpenDialog, NothingWhileMaintenanceRuns) {
  form.MaintenanceRunning = true;
  dialog.results.push_back(FakeFileDialog::chosen(dir.write("other.txt", "x")));
  form.Command4_Click();
  form.mnuOpen_Click();
  EXPECT_TRUE(dialog.requests.empty());
  EXPECT_EQ(list(), std::vector<std::string>{"/old/CALL3.txt"});
  EXPECT_EQ(window.text("Combo1"), "/old/CALL3.txt");
  EXPECT_EQ(form.DbPath, "/old/CALL3.txt");
}

TEST(ShowOpenDialog, ArgumentsAndResults) {
  FakeFileDialog dialog;
  testing::FakeEventLoop events;
  testing::FakeMessageBox messages;
  const OpenDialogServices services{dialog, events, messages, "\r\n"};

  std::string name = "CALL3.txt";
  EXPECT_EQ(ShowOpenDialog(services, "", "", name, "A (*.a)|*.a", 0), "");
  ASSERT_EQ(dialog.requests.size(), 1U);
  EXPECT_EQ(dialog.requests[0].filterIndex, 1) << "0 means 1";
  EXPECT_EQ(dialog.requests[0].title, "");
  EXPECT_EQ(name, "CALL3.txt") << "unchanged after a cancel";

  dialog.results.push_back(FakeFileDialog::chosen("/home/q1abc/wsjt/wsjtx.log"));
  EXPECT_EQ(ShowOpenDialog(services, "opens", "/home", name, "A (*.a)|*.a", 2), "/home/q1abc/wsjt/wsjtx.log");
  EXPECT_EQ(name, "wsjtx.log");
  EXPECT_EQ(dialog.requests[1].filterIndex, 2);
  EXPECT_EQ(events.yields, 2);
}

TEST(ShowOpenDialog, FilterList) {
  struct Case {
    std::string list;
    std::vector<std::pair<std::string, std::string>> filters;
  };
  const auto cases = std::to_array<Case>({
      {"", {}},
      {"A (*.a)|*.a", {{"A (*.a)", "*.a"}}},
      {"A|*.a|B|*.b|C|*.*", {{"A", "*.a"}, {"B", "*.b"}, {"C", "*.*"}}},
      {"A|*.a|dangling", {{"A", "*.a"}}},
  });
  for (const auto& c : cases) {
    const auto filters = parseFilterList(c.list);
    ASSERT_EQ(filters.size(), c.filters.size()) << c.list;
    for (std::size_t i = 0; i < filters.size(); ++i) {
      EXPECT_EQ(filters[i].description, c.filters[i].first);
      EXPECT_EQ(filters[i].pattern, c.filters[i].second);
    }
  }
}

}  // namespace
}  // namespace orvanta
