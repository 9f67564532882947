// Other programs writing a database in the last instant, runs killed while
// the database stands in its backup's place, databases sharing a folder or
// a group, write-protected databases and lines too long to hold.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "fakes/CaseName.h"
#include "fakes/TempDir.h"
#include "maintenance/MaintenanceRig.h"
#include "maintenance/MonthEnd.h"
#include "maintenance/SafeFiles.h"
#include "maintenance/TakeOver.h"

namespace orvanta {
namespace {

using testing::TempDir;

const std::string kOld = "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\n";
const std::string kTheirs = "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\nQ7NEW,JO07AA,,,,,,05/19\r\n";

std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Another program's write of the database, done in the instant between the
// last check and the exchange.
struct Writer {
  const char* name;
  std::function<void(const std::string& database)> write;
  bool changes;
};

class LastInstant : public ::testing::TestWithParam<Writer> {};

TEST_P(LastInstant, AWriterIsNeverOverwritten) {
  const Writer& writer = GetParam();
  TempDir dir;
  const std::string path = dir.write("CALL3.txt", kOld);
  dir.write("CALL3_Old.txt", "older");
  bool done = false;
  StdFileSystem files([&](std::string_view operation, const std::string&) {
    if (operation == "exchange" && !done) {
      done = true;
      writer.write(path);
    }
  });
  LockedDatabase database(files, path);
  if (writer.changes) {
    EXPECT_THROW(replaceKeepingBackup(files, database, "new"), DatabaseChanged);
    EXPECT_EQ(dir.read("CALL3.txt"), kTheirs);
    EXPECT_EQ(dir.read("CALL3_Old.txt"), "older");
  } else {
    replaceKeepingBackup(files, database, "new");
    EXPECT_EQ(dir.read("CALL3.txt"), "new");
    EXPECT_EQ(dir.read("CALL3_Old.txt"), kOld);
  }
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, LastInstant,
    ::testing::Values(Writer{"RenamesItsFileOverTheName",
                             [](const std::string& path) {
                               testing::writeFile(path + ".new", kTheirs);
                               std::filesystem::rename(path + ".new", path);
                             },
                             true},
                      // As WSJT-X adds a station: truncated and written anew, same file.
                      Writer{"TruncatesAndRewritesInPlace",
                             [](const std::string& path) { testing::writeFile(path, kTheirs); }, true},
                      Writer{"OnlyReads", [](const std::string& path) { testing::readFile(path); }, false}),
    testing::CaseName());

struct NameCase {
  const char* name;
  const char* database;
  const char* backup;
};

class BackupName : public ::testing::TestWithParam<NameCase> {};

TEST_P(BackupName, IsTheDatabasesOwn) {
  EXPECT_EQ(backupNameFor(GetParam().database), GetParam().backup);
  TempDir dir;
  dir.write(GetParam().database, "x");
  const std::string backup = dir.write(GetParam().backup, "y");
  EXPECT_TRUE(isBackupOfAnother(StdFileSystem(), backup));
  EXPECT_FALSE(isBackupOfAnother(StdFileSystem(), dir.file(GetParam().database)));
}

INSTANTIATE_TEST_SUITE_P(Names, BackupName,
                         ::testing::Values(NameCase{"Call3", "CALL3.txt", "CALL3_Old.txt"},
                                           NameCase{"Call3AnyCase", "call3.TXT", "CALL3_Old.txt"},
                                           NameCase{"Other", "mydb.txt", "mydb_Old.txt"},
                                           NameCase{"NoExtension", "calls", "calls_Old"},
                                           NameCase{"TwoDots", "a.b.txt", "a.b_Old.txt"}),
                         testing::CaseName());

TEST(TwoDatabasesInOneFolder, EachKeepsItsOwnPreviousVersion) {
  TempDir dir;
  const std::string call3 = dir.write("CALL3.txt", "call3 v1");
  const std::string mine = dir.write("mydb.txt", "mydb v1");
  StdFileSystem files;
  for (const auto* version : {"v2", "v3"}) {
    for (const auto& path : {call3, mine}) {
      LockedDatabase database(files, path);
      replaceKeepingBackup(files, database, fileNameOf(path) + " " + version);
    }
  }
  EXPECT_EQ(dir.read("CALL3_Old.txt"), "CALL3.txt v2");
  EXPECT_EQ(dir.read("mydb_Old.txt"), "mydb.txt v2");
  std::string separator;
  testing::writeFile(mine, "Q1AB,JO01,x\r\n");
  EXPECT_EQ(updateMonthEnd(files, mine, "05/19", separator).result, MonthEndResult::Updated);
  EXPECT_EQ(dir.read("mydb_Old.txt"), "Q1AB,JO01,x\r\n");
  EXPECT_EQ(dir.read("CALL3_Old.txt"), "CALL3.txt v2");
}

// Killed between putting the database in its backup's place and replacing
// it: the backup is a second name of the database, the previous backup is
// set aside under a hidden name.
TEST(KilledInTheBackupStep, TheNextRunPutsThePreviousBackupBack) {
  TempDir dir;
  const std::string path = dir.write("mydb.txt", kOld);
  dir.write("mydb_Old.txt", "older");
  const pid_t child = testing::spawn([&] {
    StdFileSystem files([](std::string_view operation, const std::string&) {
      if (operation == "exchange") ::raise(SIGKILL);
    });
    LockedDatabase database(files, path);
    replaceKeepingBackup(files, database, "new");
    return 0;
  });
  ASSERT_EQ(testing::finish(child), -SIGKILL);
  StdFileSystem files;
  ASSERT_EQ(files.identity(dir.file("mydb_Old.txt")), files.identity(path));
  EXPECT_EQ(namesIn(dir.path()).size(), 4u);
  EXPECT_FALSE(isBackupOfAnother(files, path));
  {
    LockedDatabase database(files, path);
    EXPECT_EQ(dir.read("mydb_Old.txt"), "older");
    replaceKeepingBackup(files, database, "new");
  }
  EXPECT_EQ(dir.read("mydb.txt"), "new");
  EXPECT_EQ(dir.read("mydb_Old.txt"), kOld);
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"mydb.txt", "mydb_Old.txt"}));
}

// Root may write anything; a database without any write bit is refused all
// the same, before anything changes.
TEST(WriteProtected, EveryWriterRefusesBeforeAnythingChanges) {
  TempDir dir;
  const std::string a = dir.write("a/CALL3.txt", "Q1AB,JO01,x\r\n");
  const std::string b = dir.write("b/CALL3.txt", "Q1CD,JO01,y\r\n");
  ::chmod(a.c_str(), 0444);
  testing::Rig rig(nullptr);
  rig.window.addListItem("Combo1", a);
  rig.window.addListItem("Combo1", b);
  rig.window.setText("Combo1", a);
  rig.form.mnuSetUpdate_Datum_Click();
  rig.form.mnuAktualiesieren_Click();
  ASSERT_EQ(rig.messages.calls.size(), 2u);
  EXPECT_EQ(rig.messages.calls[0].text, "Die Datenbank ist schreibgeschützt:\r\n" + a);
  EXPECT_TRUE(rig.messages.calls[1].text.starts_with("Die Datenbank ist schreibgeschützt:\r\n" + a));
  EXPECT_EQ(dir.read("a/CALL3.txt"), "Q1AB,JO01,x\r\n");
  EXPECT_EQ(namesIn(dir.file("a")), std::set<std::string>{"CALL3.txt"});
  EXPECT_EQ(namesIn(dir.file("b")), std::set<std::string>{"CALL3.txt"});
}

struct AccessCase {
  const char* name;
  bool memberOfTheGroup;  // the writer may give the new file the database's group
};

class SharedGroup : public ::testing::TestWithParam<AccessCase> {};

// Alice (1201) owns the database, group hams (1301) may write it; bob
// (1202) changes it.
TEST_P(SharedGroup, TheGroupStaysOrNothingChanges) {
  if (::geteuid() != 0) GTEST_SKIP() << "cannot change user";
  TempDir dir;
  ::chmod(dir.path().c_str(), 0777);
  const std::string path = dir.write("CALL3.txt", kOld);
  ASSERT_EQ(::chown(path.c_str(), 1201, 1301), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
  if (::setxattr(path.c_str(), "user.station", "Q1AB", 4, 0) != 0) GTEST_SKIP() << "no user attributes here";
  const bool member = GetParam().memberOfTheGroup;
  const pid_t child = testing::spawn([&] {
    const gid_t groups[] = {1301};
    if (::setgroups(member ? 1 : 0, groups) != 0 || ::setgid(1202) != 0 || ::setuid(1202) != 0) return 9;
    StdFileSystem files;
    LockedDatabase database(files, path);
    try {
      replaceKeepingBackup(files, database, "new");
    } catch (const FileError&) {
      return 1;
    }
    return 0;
  });
  EXPECT_EQ(testing::finish(child), member ? 0 : 1);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, 1301u);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
  char value[8] = {};
  EXPECT_EQ(::getxattr(path.c_str(), "user.station", value, sizeof value), 4);
  EXPECT_EQ(dir.read("CALL3.txt"), member ? "new" : kOld);
  if (!member) {
    EXPECT_EQ(st.st_uid, 1201u);
  }
}

INSTANTIATE_TEST_SUITE_P(Users, SharedGroup,
                         ::testing::Values(AccessCase{"MemberKeepsTheGroup", true},
                                           AccessCase{"StrangerIsRefused", false}),
                         testing::CaseName());

TEST(LongLines, ASparseGigabyteWithoutLineEndIsRefusedEarly) {
  TempDir dir;
  const std::string big = dir.write("big.txt", "");
  std::filesystem::resize_file(big, std::uintmax_t{1} << 30);
  const std::string log = dir.write("wsjtx.log", "");
  std::filesystem::resize_file(log, std::uintmax_t{1} << 30);
  StdFileSystem files;
  LockedDatabase database(files, big);
  EXPECT_THROW(readLockedDatabase(database), LineTooLongError);
  const std::string call3 = dir.write("CALL3.txt", kOld);
  LockedDatabase target(files, call3);
  std::string separator;
  try {
    planTakeOverFromFiles(files, target, {}, {log}, separator);
    ADD_FAILURE() << "read whole";
  } catch (const TakeOverReadError& e) {
    EXPECT_EQ(e.path, log);
    EXPECT_EQ(e.longLine, 1u);
  }
}

struct MessageCase {
  const char* name;
  const char* text;
  const char* shown;
};

class ScratchNamesInMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ScratchNamesInMessages, NameTheFileTheyStandFor) {
  EXPECT_EQ(withoutScratchNames(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScratchNamesInMessages,
    ::testing::Values(
        MessageCase{"Scratch", "./.CALL3.txt.orvanta-BT9nBX: File exists", "./CALL3.txt: File exists"},
        MessageCase{"Keeper", "/a b/.mydb_Old.txt.orvanta-prev-Ab3dE9: x", "/a b/mydb_Old.txt: x"},
        MessageCase{"Plain", "/a/CALL3.txt: No space left on device", "/a/CALL3.txt: No space left on device"},
        MessageCase{"Two", "/a/.x.orvanta-AAAAAA -> /b/.y.orvanta-BBBBBB", "/a/x -> /b/y"}),
    testing::CaseName());

}  // namespace
}  // namespace orvanta
