#include <gtest/gtest.h>

#include "fakes/FormFixture.h"
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
  const Case cases[] = {
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
  };
  for (const auto& c : cases) {
    form.DbKind = c.before;
    EXPECT_EQ(form.ApplyKindRule(c.path), c.txt) << c.path;
    EXPECT_EQ(form.DbKind, c.after) << c.path;
  }
}

// The merge and the month-end update keep their hands off every log by their
// own test of the path; it must call a log exactly what the kind rule does.
class LogPathAgreement : public testing::FormFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(LogPathAgreement, MaintenanceCallsALogWhatTheKindRuleDoes) {
  form.DbKind = "user";
  form.ApplyKindRule(GetParam());
  EXPECT_EQ(IsLogDatabasePath(GetParam()), form.DbKind == "log");
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
  const Case cases[] = {
      {"", false},
      {"Call3.txt", true},   // relative to the current directory
      {"call3.txt", false},  // a name without wildcards must exist as written
      {"CALL*.TXT", true},   // wildcards match without regard to letter case
      {dir.file("call?.txt"), true},
      {"sub", false},  // a folder
      {"sub/*.log", true},
      {"sub/*.txt", false},
      {".call3.txt", false},  // dot-files are hidden
  };
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
  std::string currentDirectory() const override { return "/"; }
  std::optional<std::string> findFirst(const std::string&) const override { throw FileError("not ready"); }
  std::vector<std::string> folderNames(const std::string&) const override { throw FileError("not ready"); }
  std::unique_ptr<IInputFile> openRead(const std::string&) const override { throw FileError("not ready"); }
  std::unique_ptr<IOutputFile> create(const std::string&) override { throw FileError("not ready"); }
  void rename(const std::string&, const std::string&) override { throw FileError("not ready"); }
  void remove(const std::string&) override { throw FileError("not ready"); }
  bool exists(const std::string&) const override { throw FileError("not ready"); }
  std::optional<FileIdentity> identity(const std::string&) const override { throw FileError("not ready"); }
  void copyPermissions(const std::string&, const std::string&) override { throw FileError("not ready"); }
  void syncFolder(const std::string&) override { throw FileError("not ready"); }
};

TEST(FileExistsWithoutDisk, EmptyPathIsFalseAndOthersReportTheError) {
  testing::FakeWindow window;
  testing::FakeMessageBox messages;
  testing::FakeFileDialog dialog;
  testing::FakeSettingsStore settings;
  UnreachableFileSystem files;
  testing::FakeClock clock;
  testing::FakeEventLoop events;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events}};
  EXPECT_FALSE(form.FileExists(""));
  EXPECT_THROW((void)form.FileExists("call3.txt"), FileError);
}

}  // namespace
}  // namespace orvanta
