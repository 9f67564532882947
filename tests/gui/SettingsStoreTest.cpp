// The settings store on the real QSettings, in a configuration folder of its
// own, and the program remembering its databases, language and position from
// one start to the next through it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "gui/QtDesktop.h"
#include "gui/QtSettingsStore.h"
#include "platform/FileSystem.h"

namespace orvanta {
namespace {

// QSettings takes the folder from XDG_CONFIG_HOME when it is first used, so it
// is set before main makes the application: nothing here touches the
// settings of whoever runs the tests.
struct ConfigHome {
  testing::TempDir dir;
  ConfigHome() { setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
};
const ConfigHome configHome;

std::string configFile(const std::string& application) {
  return configHome.dir.path() + "/" + application + "/" + application + ".conf";
}

TEST(QtSettingsStore, TextsComeBackAsTheyWereWritten) {
  const std::string app = "Orvanta-Texts";
  QtSettingsStore store;
  EXPECT_EQ(store.read(app, "Settings", "Top", "1"), "1");  // absent: the default
  const std::vector<std::string> texts = {
      "",
      "1500",
      "-300",
      "de",
      "/home/q1abc/WSJT data/CALL3.txt",
      "C:\\WSJT\\CALL3.TXT",
      "a, b,c",
      "  blanks at both ends  ",
      "\"quoted\" 'single' ; # = [x] @Variant(0)",
      "Müller Öffnen",
  };
  for (const auto& text : texts) {
    store.write(app, "Settings", "Database", text);
    // A fresh store reads what the first one left on the disk.
    QtSettingsStore other;
    EXPECT_EQ(other.read(app, "Settings", "Database", "absent"), text);
  }
  // Keys and sections are kept apart.
  store.write(app, "Settings", "Database2", "second");
  store.write(app, "Other", "Database2", "elsewhere");
  EXPECT_EQ(store.read(app, "Settings", "Database2", ""), "second");
  EXPECT_EQ(store.read(app, "Other", "Database2", ""), "elsewhere");
  EXPECT_EQ(store.read(app, "Settings", "database2", "case counts"), "case counts");
  EXPECT_TRUE(std::filesystem::is_regular_file(configFile(app))) << configFile(app);
}

TEST(QtSettingsStore, AWriteThatCannotBeStoredFails) {
  const std::string app = "Orvanta-Blocked";
  // A folder where the file would go: nothing can be written there.
  std::filesystem::create_directories(configFile(app));
  QtSettingsStore store;
  EXPECT_THROW(store.write(app, "Settings", "Top", "1"), std::exception);
  EXPECT_EQ(store.read(app, "Settings", "Top", "1"), "1");
}

// A FIFO (it would hang the start) or a huge file gives the defaults and is left as it is.
TEST(QtSettingsStore, AFifoOrAHugeFileIsNeitherReadNorOverwritten) {
  std::filesystem::create_directories(configHome.dir.file("Fifo"));
  ASSERT_EQ(::mkfifo(configFile("Fifo").c_str(), 0600), 0);
  configHome.dir.write("Huge/Huge.conf", "[Settings]\nTop=5\n" + std::string(1 << 20, '#'));
  for (const std::string app : {"Fifo", "Huge"}) {
    QtSettingsStore store;
    EXPECT_EQ(store.read(app, "Settings", "Top", "1"), "1") << app;
    EXPECT_THROW(store.write(app, "Settings", "Top", "7"), std::exception) << app;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(configFile("Fifo")));
  EXPECT_EQ(std::filesystem::file_size(configFile("Huge")), 17U + (1 << 20));
}

// Starts the real window with the real settings store on the databases of the
// current folder, the way the program does.
class ProgramRun {
 public:
  ProgramRun() {
    desktop.useMessageBox(messages);
    desktop.useFileDialog(dialog);
    const DesktopServices s = desktop.services();
    form = std::make_unique<frmVHF>(
        FormServices{s.window, s.messages, s.fileDialog, s.settings, files, clock, s.events});
    desktop.attach(*form);
    desktop.start();
  }
  template <class T>
  T* find(const char* name) {
    return desktop.mainWindow().findChild<T*>(name);
  }
  std::vector<std::string> listed() {
    std::vector<std::string> items;
    auto* combo = find<QComboBox>("Combo1");
    items.reserve(static_cast<std::size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i) items.push_back(combo->itemText(i).toStdString());
    return items;
  }

  testing::FakeMessageBox messages;
  testing::FakeFileDialog dialog;
  StdFileSystem files;
  testing::FakeClock clock;
  QtDesktop desktop;
  std::unique_ptr<frmVHF> form;
};

TEST(RememberedBetweenRuns, DatabasesLanguageAndPositionComeBack) {
  std::filesystem::remove(configFile("VHF-Orvanta"));
  testing::TempDir work;
  testing::CurrentDirectory cwd(work.path());
  const std::string call = work.write("CALL3.txt", "Q1ABC,JO31,first,,,,,03/21\r\nQ2XYZ,JN58\r\n");
  const std::string log = work.write(
      "wsjtx.log", "2019-05-07,18:00:00,2019-05-07,18:01:00,Q3LOG,JO40,144.174,FT8,-10,-12,50W,tnx,Joe\n");

  int top = 0;
  int left = 0;
  {
    ProgramRun first;
    ASSERT_NE(first.find<QComboBox>("Combo1"), nullptr);
    EXPECT_EQ(first.listed(), (std::vector<std::string>{call, log}));
    EXPECT_EQ(first.form->Language, "de");
    EXPECT_EQ(first.find<QLineEdit>("Text2")->text().toStdString(), "Q1ABC");
    EXPECT_TRUE(first.messages.calls.empty());

    // The operator picks the log from the list, switches to English and
    // moves the window.
    auto* combo = first.find<QComboBox>("Combo1");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(first.form->DbKind, "log");
    first.find<QAction>("mnuEnglisch")->trigger();
    first.desktop.mainWindow().move(160, 120);
    QCoreApplication::processEvents();
    top = first.desktop.window().top();
    left = first.desktop.window().left();
    EXPECT_NE(top, 1);
    EXPECT_NE(left, 1);
    first.desktop.mainWindow().close();  // the window's own close, as with its close button
  }

  const std::string file = configFile("VHF-Orvanta");
  ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
  const std::string stored = testing::readFile(file);
  EXPECT_NE(stored.find("[Settings]"), std::string::npos) << stored;

  // Started from another folder: everything comes from the store.
  testing::TempDir elsewhere;
  testing::CurrentDirectory away(elsewhere.path());
  ProgramRun second;
  EXPECT_EQ(second.listed(), (std::vector<std::string>{log, call}));
  EXPECT_EQ(second.find<QComboBox>("Combo1")->currentText().toStdString(), log);
  EXPECT_EQ(second.form->Language, "en");
  EXPECT_EQ(second.form->DbKind, "log");
  EXPECT_EQ(second.find<QLabel>("Label1")->text().toStdString(), "&Databases :");
  EXPECT_EQ(second.find<QLabel>("Label9")->text().toStdString(), "Comment");
  EXPECT_EQ(second.find<QLineEdit>("Text2")->text().toStdString(), "Q3LOG");
  EXPECT_EQ(second.desktop.window().top(), top);
  EXPECT_EQ(second.desktop.window().left(), left);
  EXPECT_TRUE(second.messages.calls.empty());
}

}  // namespace
}  // namespace orvanta
