// Start-up and the open dialog when the program is started from a desktop
// menu: the current folder is the home folder, and the databases live in
// WSJT-X's (or JTDX's) folders under the user's data folder.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/FormFixture.h"

namespace orvanta {
namespace {

constexpr const char* kCall = "Q1ABC,JO31,Alpha,,,,,03/21\r\n";
constexpr const char* kLog = "2019-05-07,18:00:00,2019-05-07,18:01:00,Q3LOG,JO40\n";

// Paths are relative to one temporary root: "start" is the current folder,
// "data" the value of XDG_DATA_HOME, "home" the value of HOME.
struct FolderCase {
  std::string name;
  std::vector<std::string> files;
  std::map<std::string, std::string> variables;  // values relative to the root
  std::vector<std::string> listed;               // relative to the root
  std::string current;                           // relative to the root; a bare name stays bare
};

void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }

class DesktopForm : public ::testing::Test {
 protected:
  testing::TempDir root;
  std::string start = root.write("start/.keep", "");
  testing::CurrentDirectory cwd{root.file("start")};
  testing::FakeWindow window;
  testing::FakeMessageBox messages;
  testing::FakeFileDialog dialog;
  testing::FakeSettingsStore settings;
  StdFileSystem files;
  testing::FakeClock clock;
  testing::FakeEventLoop events;
  testing::FakeEnvironment environment;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events, nullptr, &environment}};
};

class StartFromDesktop : public DesktopForm, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(StartFromDesktop, ListsTheFirstFolderWithACall3Database) {
  const FolderCase& c = GetParam();
  for (const std::string& f : c.files) root.write(f, f.ends_with(".log") ? kLog : kCall);
  for (const auto& [name, value] : c.variables) environment.variables[name] = root.file(value);

  form.Form_Load();
  form.Form_Activate();

  std::vector<std::string> expected;
  for (const std::string& f : c.listed) expected.push_back(root.file(f));
  EXPECT_EQ(window.listItems("Combo1"), expected);
  const std::string current = c.current.find('/') == std::string::npos ? c.current : root.file(c.current);
  EXPECT_EQ(window.text("Combo1"), current);
  if (c.current.empty()) {
    ASSERT_EQ(messages.calls.size(), 1U);
    return;
  }
  // Taken exactly like a database of the current folder: shown at once.
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(form.DbPath, current);
  EXPECT_EQ(form.DbKind, "user");
  EXPECT_EQ(window.text("Text2"), "Q1ABC");
}

const std::map<std::string, std::string> kXdg{{"XDG_DATA_HOME", "data"}, {"HOME", "home"}};

INSTANTIATE_TEST_SUITE_P(
    Folders, StartFromDesktop,
    ::testing::Values(
        FolderCase{"CurrentFolderComesFirst",
                   {"start/CALL3.TXT", "data/WSJT-X/call3.txt", "data/WSJT-X - rig2/call3.txt"},
                   kXdg,
                   {"start/CALL3.TXT"},
                   "CALL3.TXT"},
        FolderCase{"LogAloneInCurrentFolderStillSearchesOn",
                   {"start/wsjtx.log", "data/WSJT-X/CALL3.txt", "data/WSJT-X/wsjtx.log",
                    "data/WSJT-X - rig2/call3.txt"},
                   kXdg,
                   {"data/WSJT-X/CALL3.txt", "data/WSJT-X/wsjtx.log"},
                   "data/WSJT-X/CALL3.txt"},
        FolderCase{"RigFolderWhenTheMainOneHasNoDatabase",
                   {"data/WSJT-X/wsjtx.log", "data/WSJT-X - rig2/call3.TXT", "data/WSJT-X - rig2/other.log"},
                   kXdg,
                   {"data/WSJT-X - rig2/call3.TXT", "data/WSJT-X - rig2/other.log"},
                   "data/WSJT-X - rig2/call3.TXT"},
        FolderCase{"RigFoldersInByteOrder",
                   {"data/WSJT-X - b/call3.txt", "data/WSJT-X - B/call3.txt", "data/WSJT-X - a/call3.txt"},
                   kXdg,
                   {"data/WSJT-X - B/call3.txt"},
                   "data/WSJT-X - B/call3.txt"},
        FolderCase{"JtdxAfterEveryWsjtxFolder",
                   {"data/JTDX/call3.txt", "data/WSJT-X - zz/call3.txt"},
                   kXdg,
                   {"data/WSJT-X - zz/call3.txt"},
                   "data/WSJT-X - zz/call3.txt"},
        FolderCase{"JtdxAlone",
                   {"data/JTDX - x/call3.txt"},
                   kXdg,
                   {"data/JTDX - x/call3.txt"},
                   "data/JTDX - x/call3.txt"},
        FolderCase{"HomeWhenXdgIsUnset",
                   {"home/.local/share/WSJT-X/call3.txt", "data/WSJT-X/call3.txt"},
                   {{"HOME", "home"}},
                   {"home/.local/share/WSJT-X/call3.txt"},
                   "home/.local/share/WSJT-X/call3.txt"},
        FolderCase{"NoDatabaseAnywhere",
                   {"data/WSJT-X/wsjtx.log", "data/WSJT-X - rig2/wsjtx.log", "data/WSJT-X.txt"},
                   kXdg,
                   {},
                   ""},
        FolderCase{"NoHomeAndNoXdg", {"data/WSJT-X/call3.txt"}, {}, {}, ""}),
    [](const auto& p) { return p.param.name; });

TEST_F(DesktopForm, RelativeXdgDataHomeIsIgnored) {
  root.write("start/share/WSJT-X/call3.txt", kCall);
  root.write("home/.local/share/WSJT-X - rig2/call3.txt", kCall);
  environment.variables["XDG_DATA_HOME"] = "share";
  environment.variables["HOME"] = root.file("home");
  form.Form_Load();
  EXPECT_EQ(window.text("Combo1"), root.file("home/.local/share/WSJT-X - rig2/call3.txt"));
}

TEST_F(DesktopForm, StoredDatabaseIsNotReplacedByAWsjtxFolder) {
  const std::string stored = root.write("elsewhere/CALL3.txt", kCall);
  root.write("data/WSJT-X/call3.txt", kCall);
  environment.variables["XDG_DATA_HOME"] = root.file("data");
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] = stored;
  form.Form_Load();
  EXPECT_EQ(window.listItems("Combo1"), std::vector<std::string>{stored});
}

struct DialogCase {
  std::string name;
  std::vector<std::string> files;
  std::string combo;  // text of Combo1, relative to the root unless bare
  std::string folder;
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class OpenDialogStart : public DesktopForm, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(OpenDialogStart, StartsInTheFolderOfTheCurrentDatabase) {
  const DialogCase& c = GetParam();
  for (const std::string& f : c.files) root.write(f, kCall);
  environment.variables["XDG_DATA_HOME"] = root.file("data");
  const bool bare = c.combo.find('/') == std::string::npos;
  window.setText("Combo1", bare ? c.combo : root.file(c.combo));
  form.Command4_Click();
  ASSERT_EQ(dialog.requests.size(), 1U);
  EXPECT_EQ(dialog.requests[0].initialFolder, root.file(c.folder));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, OpenDialogStart,
    ::testing::Values(
        DialogCase{"CurrentDatabaseFolder", {"db/CALL3.txt", "data/WSJT-X/call3.txt"}, "db/CALL3.txt", "db"},
        DialogCase{"BareNameIsInTheCurrentFolder", {"data/WSJT-X/call3.txt"}, "call3.txt", "start"},
        DialogCase{"FolderGoneGivesFirstWsjtxFolder",
                   {"data/WSJT-X - rig2/x.log", "data/JTDX/x.log"},
                   "gone/CALL3.txt",
                   "data/WSJT-X - rig2"},
        DialogCase{"NothingCurrentGivesFirstWsjtxFolder", {"data/JTDX/x.log"}, "", "data/JTDX"},
        DialogCase{"NoWsjtxFolderGivesCurrentFolder", {}, "", "start"}),
    [](const auto& p) { return p.param.name; });

TEST_F(DesktopForm, OpenDialogOffersTheWsjtxFoldersThatExist) {
  root.write("data/WSJT-X/wsjtx.log", kLog);
  root.write("data/JTDX - r1/x.txt", kCall);
  root.write("data/WSJT-X - r2/.keep", "");
  root.write("data/Other/x.txt", kCall);
  environment.variables["XDG_DATA_HOME"] = root.file("data");
  form.Command4_Click();
  ASSERT_EQ(dialog.requests.size(), 1U);
  EXPECT_EQ(dialog.requests[0].places,
            (std::vector<std::string>{root.file("data/WSJT-X"), root.file("data/WSJT-X - r2"),
                                      root.file("data/JTDX - r1")}));
}

}  // namespace
}  // namespace orvanta
