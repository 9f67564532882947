// Other writers in the last instant, a run killed in the backup step, two databases in
// one folder, a shared group, a write-protected database, a line too long to hold.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <csignal>
#include <filesystem>
#include <functional>

#include "fakes/TempDir.h"
#include "maintenance/MaintenanceRig.h"
#include "maintenance/MonthEnd.h"
#include "maintenance/TakeOver.h"

namespace orvanta {
namespace {

using testing::TempDir;
const std::string kOld = "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\n";
const std::string kTheirs = kOld + "Q7NEW,JO07AA,,,,,,05/19\r\n";

std::size_t entries(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Another program's write between the last check and the exchange: a file
// renamed over the name, or (as WSJT-X adds a station) the same file
// truncated and written anew.
TEST(LastInstant, AWriterIsNeverOverwritten) {
  const std::array<std::function<void(const std::string&)>, 2> writers = {
      [](const std::string& path) {
        testing::writeFile(path + "~", kTheirs);
        std::filesystem::rename(path + "~", path);
      },
      [](const std::string& path) { testing::writeFile(path, kTheirs); }};
  for (const auto& writer : writers) {
    TempDir dir;
    const std::string path = dir.write("CALL3.txt", kOld);
    dir.write("CALL3_Old.txt", "older");
    StdFileSystem files([&, done = false](std::string_view operation, const std::string&) mutable {
      if (operation == "exchange" && !std::exchange(done, true)) writer(path);
    });
    LockedDatabase database(files, path);
    EXPECT_THROW(replaceKeepingBackup(files, database, "new"), FileChanged);
    EXPECT_EQ(dir.read("CALL3.txt") + dir.read("CALL3_Old.txt"), kTheirs + "older");
    EXPECT_EQ(entries(dir.path()), 2U);
  }
}

TEST(TwoDatabasesInOneFolder, EachKeepsItsOwnPreviousVersion) {
  TempDir dir;
  const std::string call3 = dir.write("call3.TXT", "call3 v1");
  const std::string mine = dir.write("a.b.txt", "mine v1");
  StdFileSystem files;
  for (const auto* version : {" v2", " v3"}) {
    for (const auto& path : {call3, mine}) {
      LockedDatabase database(files, path);
      replaceKeepingBackup(files, database, fileNameOf(path) + version);
    }
  }
  EXPECT_EQ(dir.read("CALL3_Old.txt"), "call3.TXT v2");
  EXPECT_EQ(dir.read("a.b_Old.txt"), "a.b.txt v2");
  EXPECT_TRUE(isBackupOfAnother(files, dir.file("a.b_Old.txt")));
  testing::writeFile(mine, "Q1AB,JO01,x\r\n");
  EXPECT_TRUE(updateMonthEnd(files, mine, "05/19").updated);
  EXPECT_EQ(dir.read("a.b_Old.txt"), "Q1AB,JO01,x\r\n");
  EXPECT_EQ(backupNameFor("calls"), "calls_Old");
}

TEST(KilledInTheBackupStep, TheNextRunPutsThePreviousBackupBack) {
  TempDir dir;
  const std::string path = dir.write("mydb.txt", kOld);
  dir.write("mydb_Old.txt", "older");
  ASSERT_EQ(testing::finish(testing::spawn([&] {
              StdFileSystem files([](std::string_view operation, const std::string&) {
                if (operation == "exchange") std::raise(SIGKILL);
              });
              LockedDatabase database(files, path);
              replaceKeepingBackup(files, database, "new");
              return 0;
            })),
            -SIGKILL);
  StdFileSystem files;
  ASSERT_EQ(files.identity(dir.file("mydb_Old.txt")), files.identity(path));
  LockedDatabase database(files, path);
  EXPECT_EQ(dir.read("mydb_Old.txt"), "older");
  replaceKeepingBackup(files, database, "new");
  EXPECT_EQ(dir.read("mydb_Old.txt"), kOld);
  EXPECT_EQ(entries(dir.path()), 2U);
}

// Root may write anything; a database without a write bit is refused all the same.
TEST(WriteProtected, MonthEndAndMergeRefuseBeforeAnythingChanges) {
  TempDir dir;
  const std::string a = dir.write("a/CALL3.txt", "Q1AB,JO01,x\r\n");
  ::chmod(a.c_str(), 0444);
  testing::Rig rig(nullptr);
  rig.window.addListItem("Combo1", a);
  rig.window.addListItem("Combo1", dir.write("b/CALL3.txt", "Q1CD,JO01,y\r\n"));
  rig.window.setText("Combo1", a);
  rig.form.mnuSetUpdate_Datum_Click();
  rig.form.mnuAktualiesieren_Click();
  ASSERT_EQ(rig.messages.calls.size(), 2U);
  for (const auto& shown : rig.messages.calls)
    EXPECT_TRUE(shown.text.starts_with("Die Datenbank ist schreibgeschützt:\r\n" + a)) << shown.text;
  EXPECT_EQ(entries(dir.file("a")) + entries(dir.file("b")), 2U);
  EXPECT_EQ(dir.read("a/CALL3.txt"), "Q1AB,JO01,x\r\n");
}

// Alice (1201) owns the database, group hams (1301) may write it, bob (1202) changes it.
TEST(SharedGroup, TheGroupStaysOrNothingChanges) {
  if (::geteuid() != 0) GTEST_SKIP() << "cannot change user";
  for (const bool member : {true, false}) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const std::string path = dir.write("CALL3.txt", kOld);
    ASSERT_EQ(::chown(path.c_str(), 1201, 1301) + ::chmod(path.c_str(), 0664), 0);
    if (::setxattr(path.c_str(), "user.q", "Q1AB", 4, 0) != 0) GTEST_SKIP() << "no user attributes";
    const pid_t bob = testing::spawn([&] {
      const std::array<gid_t, 1> hams = {1301};
      if (::setgroups(member ? 1 : 0, hams.data()) != 0 || ::setgid(1202) != 0 || ::setuid(1202) != 0)
        return 9;
      StdFileSystem files;
      LockedDatabase database(files, path);
      try {
        replaceKeepingBackup(files, database, "new");
      } catch (const FileError&) {
        return 1;
      }
      return 0;
    });
    EXPECT_EQ(testing::finish(bob), member ? 0 : 1);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(std::make_pair(st.st_gid, st.st_mode & 07777), std::make_pair(1301U, 0664U));
    EXPECT_EQ(::getxattr(path.c_str(), "user.q", nullptr, 0), 4);
    EXPECT_EQ(dir.read("CALL3.txt"), member ? "new" : kOld);
  }
}

TEST(LongLines, ASparseGigabyteWithoutLineEndIsRefusedEarly) {
  TempDir dir;
  const std::string big = dir.write("big.txt", "");
  const std::string log = dir.write("wsjtx.log", "");
  for (const auto& path : {big, log}) std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
  StdFileSystem files;
  LockedDatabase database(files, big);
  EXPECT_THROW(readLockedDatabase(database), LineTooLongError);
  LockedDatabase target(files, dir.write("CALL3.txt", kOld));
  try {
    planTakeOverFromFiles(files, target, {}, {log});
    ADD_FAILURE() << "a log without line ends was taken whole";
  } catch (const LineTooLongError& e) {
    EXPECT_EQ(e.path(), log);
  }
}

TEST(ScratchNamesInMessages, NameTheFileTheyStandFor) {
  EXPECT_EQ(withoutScratchNames("./.CALL3.txt.orvanta-BT9nBX: x, /a b/.m_Old.txt.orvanta-prev-Ab3dE9: y"),
            "./CALL3.txt: x, /a b/m_Old.txt: y");
}

}  // namespace
}  // namespace orvanta
