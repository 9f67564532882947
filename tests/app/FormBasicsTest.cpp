#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>

#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"
#include "fakes/ForwardingFileSystem.h"
#include "maintenance/Merge.h"

namespace orvanta {
namespace {

using FormBasics = testing::FormFixture;

TEST_F(FormBasics, KindRule) {
  struct Case {
    std::string before;
    std::string path;
    std::string after;
    bool txt;
  };
  const auto cases = std::to_array<Case>({
      {"", "/data/CALL3.txt", "user", true},
      {"", "/data/CALL3.TXT", "user", true},
      {"user", "/data/wsjtx.log", "log", false},
      {"user", "/data/x.TXT.log", "log", true},
      {"log", "/data/notes.dat", "log", false},
      {"user", "/data/notes", "user", false},
      {"", "", "", false},
      {"", "/data/a.Log", "log", false},
      {"user", "/data/wsjtx_log.adi", "log", false},
      {"user", "/data/Contest.ADIF", "log", false},
      {"", "/data.txt/log.adi", "log", true},
      {"log", "/data/x.adi.txt", "user", true},
      {"user", "/data/x.adif.bak", "user", false},
      {"user", "/data/x.adix", "user", false},
  });
  for (const auto& c : cases) {
    form.DbKind = c.before;
    EXPECT_EQ(form.applyKindRule(c.path), c.txt) << c.path;
    EXPECT_EQ(form.DbKind, c.after) << c.path;
  }
}

// The merge and the month-end update keep their hands off every log by their
// own test of the path; it must call a log exactly what the kind rule does.
class LogPathAgreement : public testing::FormFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(LogPathAgreement, MaintenanceCallsALogWhatTheKindRuleDoes) {
  form.DbKind = "user";
  form.applyKindRule(GetParam());
  EXPECT_EQ(isLogDatabasePath(GetParam()), form.DbKind == "log");
}

INSTANTIATE_TEST_SUITE_P(Paths, LogPathAgreement,
                         ::testing::Values("/d/wsjtx.log", "/d/W.LOG", "/d/x.log.txt", "/d/wsjtx_log.adi",
                                           "/d/L.ADI", "/d/l.Adif", "/d/l.adi.txt", "/d/CALL3.txt",
                                           "/d/x.adif~", "/d/.adi", "/d/adi"));

TEST_F(FormBasics, FileExists) {
  dir.write("Call3.txt", "x");
  dir.write(".call3.txt", "x");
  dir.write("sub/wsjtx.log", "x");
  struct Case {
    std::string path;
    bool exists;
  };
  const auto cases = std::to_array<Case>({
      {"", false},
      {"Call3.txt", true},   // relative to the current directory
      {"call3.txt", false},  // a name without wildcards must exist as written
      {"CALL*.TXT", true},   // wildcards match without regard to letter case
      {dir.file("call?.txt"), true},
      {"sub", false},  // a folder
      {"sub/*.log", true},
      {"sub/*.txt", false},
      {".call3.txt", false},  // dot-files are hidden
  });
  for (const auto& c : cases) EXPECT_EQ(form.FileExists(c.path), c.exists) << c.path;

  // With both spellings in one folder each finds itself.
  dir.write("call3.txt", "y");
  EXPECT_TRUE(form.FileExists("call3.txt"));
  EXPECT_TRUE(form.FileExists("Call3.txt"));
  EXPECT_FALSE(form.FileExists("CALL3.TXT"));
}

// Every call fails: proves which paths are decided without the disk, and that
// a path that cannot be examined reaches the caller as an error.
class UnreachableFileSystem final : public IFileSystem {
 public:
  [[nodiscard]] std::string currentDirectory() const override { return "/"; }
  [[nodiscard]] std::optional<std::string> findFirst(const std::string& /*pattern*/) const override {
    throw FileError("not ready");
  }
  [[nodiscard]] std::vector<std::string> folderNames(const std::string& /*folder*/) const override {
    throw FileError("not ready");
  }
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& /*path*/) const override {
    throw FileError("not ready");
  }
  std::unique_ptr<IOutputFile> create(const std::string& /*path*/) override { throw FileError("not ready"); }
  void rename(const std::string& /*from*/, const std::string& /*to*/) override {
    throw FileError("not ready");
  }
  void remove(const std::string& /*path*/) override { throw FileError("not ready"); }
  [[nodiscard]] bool exists(const std::string& /*path*/) const override { throw FileError("not ready"); }
  [[nodiscard]] std::optional<FileIdentity> identity(const std::string& /*path*/) const override {
    throw FileError("not ready");
  }
  void copyPermissions(const std::string& /*from*/, const std::string& /*to*/) override {
    throw FileError("not ready");
  }
  void syncFolder(const std::string& /*folder*/) override { throw FileError("not ready"); }
  [[nodiscard]] std::optional<FileStatus> status(const std::string& /*path*/,
                                                 bool /*followLinks*/) const override {
    throw FileError("not ready");
  }
};

// A form on a disk that cannot be reached.
class FileExistsWithoutDisk : public ::testing::Test {
 protected:
  testing::FakeWindow window;
  testing::FakeMessageBox messages;
  testing::FakeFileDialog dialog;
  testing::FakeSettingsStore settings;
  UnreachableFileSystem files;
  testing::FakeClock clock;
  testing::FakeEventLoop events;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events}};
};

TEST_F(FileExistsWithoutDisk, EmptyPathIsFalseAndOthersReportTheError) {
  EXPECT_FALSE(form.FileExists(""));
  EXPECT_THROW((void)form.FileExists("call3.txt"), FileError);
}

// Whichever command meets a database that cannot be examined tells it the same way.
TEST_F(FileExistsWithoutDisk, EveryCommandTellsTheSameFailureAlike) {
  form.Language = "en";
  const std::string database = "/q/CALL3.txt";
  for (const char* item : {"/q/CALL3.txt", "/r/CALL3.txt", "/q/wsjtx.log"})
    window.addListItem("Combo1", item);
  window.setText("Combo1", database);
  window.setText("Text10", "Q1ABC");
  const auto commands = std::to_array<std::pair<const char*, void (frmVHF::*)()>>({
      {"search", &frmVHF::Command1_Click},
      {"month-end update", &frmVHF::mnuSetUpdate_Datum_Click},
      {"merge", &frmVHF::mnuAktualiesieren_Click},
      {"take-over", &frmVHF::mnuAddLog_Click},
  });
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name);
    messages.calls.clear();
    (form.*command)();
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_TRUE(
        messages.calls[0].text.starts_with("The database cannot be read:\r\n" + database + "\r\nnot ready"))
        << messages.calls[0].text;
  }
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// Opening a database throws what the case says: memory running out, a
// logic error of some library, or something that is no exception class.
class ThrowingFiles final : public testing::ForwardingFileSystem {
 public:
  ThrowingFiles(IFileSystem& real, void (*raise)()) : ForwardingFileSystem(real), raise_(raise) {}
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& path) const override {
    if (raise_ != nullptr) raise_();
    return ForwardingFileSystem::openRead(path);
  }
  void (*raise_)();
};

struct EscapeCase {
  std::string name;
  friend void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }
  void (*raise)();
  std::string language;
  std::string text;  // the message shown
};

class LastResort : public testing::FormFixture, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(LastResort, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn) {
  const EscapeCase& c = GetParam();
  const std::string path = dir.write("CALL3.txt", "Q1ABC,JO62QM,,,,,,03/21\r\n");
  ThrowingFiles throwing(files, c.raise);
  frmVHF f{FormServices{window, messages, dialog, settings, throwing, clock, events}};
  f.NewLine = "\r\n";
  f.Language = c.language;
  f.DbKind = "user";
  f.FieldSeparator = ",";
  f.LastFieldIndex = 7;
  window.setText("Combo1", path);
  window.setText("Text10", "Q1ABC");
  EXPECT_NO_THROW(f.onWindowEvent("Command1", WindowEvent::Click, 0));
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, c.text);
  EXPECT_EQ(messages.calls[0].title, "Orvanta");
  EXPECT_EQ(messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(messages.calls[0].buttons, MessageButtons::Ok);

  // The form still answers: the same search, now with a file that opens.
  throwing.raise_ = nullptr;
  messages.answers.push_back(MessageAnswer::No);
  f.onWindowEvent("Command1", WindowEvent::Click, 0);
  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_EQ(window.text("Text2"), "Q1ABC");
}

INSTANTIATE_TEST_SUITE_P(Cases, LastResort,
                         ::testing::Values(EscapeCase{"OutOfMemoryGerman", [] { throw std::bad_alloc(); },
                                                      "de", "Unerwarteter Fehler:\r\nstd::bad_alloc"},
                                           EscapeCase{"OutOfMemoryEnglish", [] { throw std::bad_alloc(); },
                                                      "en", "Unexpected error:\r\nstd::bad_alloc"},
                                           EscapeCase{"LogicError",
                                                      [] { throw std::out_of_range("index 9 of 8"); }, "en",
                                                      "Unexpected error:\r\nindex 9 of 8"},
                                           EscapeCase{"NoExceptionClassGerman", [] { throw 42; }, "de",
                                                      "Unerwarteter Fehler:\r\nunbekannte Ursache"},
                                           EscapeCase{"NoExceptionClassEnglish", [] { throw 42; }, "en",
                                                      "Unexpected error:\r\nunknown cause"}),
                         testing::CaseName());

// The merge names its own unexpected failure, stops, and leaves the databases.
TEST_F(FormBasics, AnUnexpectedFailureStopsTheMergeWithItsOwnMessage) {
  const std::string first = dir.write("CALL3.txt", "Q1ABC,JO62QM,,,,,,03/21\r\n");
  const std::string second = dir.write("b/CALL3.txt", "Q1DEF,JO62QM,,,,,,03/21\r\n");
  // Memory runs out while the records are collected.
  events.onYield = [this] {
    if (events.yields > 1) throw std::bad_alloc();
  };
  frmVHF f{FormServices{window, messages, dialog, settings, files, clock, events}};
  f.NewLine = "\r\n";
  window.addListItem("Combo1", first);
  window.addListItem("Combo1", second);
  f.onWindowEvent("mnuAktualiesieren", WindowEvent::Click, 0);
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, "Database-Error:\r\nstd::bad_alloc");
  EXPECT_EQ(messages.calls[0].title, "Unexpected Error");
  EXPECT_EQ(messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(dir.read("CALL3.txt"), "Q1ABC,JO62QM,,,,,,03/21\r\n");
  EXPECT_EQ(dir.read("b/CALL3.txt"), "Q1DEF,JO62QM,,,,,,03/21\r\n");
  EXPECT_FALSE(f.MaintenanceRunning);
}

// Not even the message can be shown: nothing leaves the dispatch either.
TEST_F(FormBasics, AFailingLastResortMessageStillLeavesNothingEscape) {
  const std::string path = dir.write("CALL3.txt", "Q1ABC\r\n");
  ThrowingFiles throwing(files, [] { throw std::bad_alloc(); });
  frmVHF f{FormServices{window, messages, dialog, settings, throwing, clock, events}};
  messages.onShow = [](const testing::FakeMessageBox::Call&) { throw std::bad_alloc(); };
  window.setText("Combo1", path);
  window.setText("Text10", "Q1ABC");
  EXPECT_NO_THROW(f.onWindowEvent("Command1", WindowEvent::Click, 0));
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// A database path that names no regular file (a FIFO without a writer, a
// device that never ends) is treated as missing by every command, at once:
// nothing blocks, nothing is read, nothing is written.
struct NotRegularCase {
  std::string name;
  friend void PrintTo(const NotRegularCase& c, std::ostream* os) { *os << c.name; }
  void (*make)(const std::string& path);
};

class NotRegularDatabase : public testing::FormFixture,
                           public ::testing::WithParamInterface<NotRegularCase> {};

TEST_P(NotRegularDatabase, IsNotFoundByStartUpSearchAndMonthEnd) {
  const std::string path = dir.file("CALL3.txt");
  GetParam().make(path);
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] = path;
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Sprache")] = "en";
  form.Form_Load();
  form.Form_Activate();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_TRUE(messages.calls[0].text.starts_with("Database not found!")) << messages.calls[0].text;

  window.setText("Text10", "Q1ABC");
  form.Command1_Click();
  EXPECT_EQ(messages.calls.size(), 1U) << "a missing database ends the search silently";

  form.mnuSetUpdate_Datum_Click();
  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_EQ(messages.calls[1].text, "The database was not found:\r\n" + path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotRegularDatabase,
    ::testing::Values(
        NotRegularCase{"Fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        NotRegularCase{"LinkToDevZero",
                       [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }},
        NotRegularCase{"Folder", [](const std::string& p) { std::filesystem::create_directory(p); }}),
    testing::CaseName());

}  // namespace
}  // namespace orvanta
