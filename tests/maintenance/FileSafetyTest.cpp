// The merge and the month-end update stopped at every file operation in turn,
// by a kill (a child process that ends at that step) or by a failing
// operation: no database is ever lost or damaged.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "maintenance/MaintenanceRig.h"

namespace orvanta {
namespace {

using testing::readFile;

using testing::Rig;

// Databases in four folders: three named CALL3.txt (one with an older
// backup beside it) and one of another name.
const std::map<std::string, std::string> kDatabases = {
    {"a/CALL3.txt", "//CALL3.txt format\r\nQ1AB,JO01AA,,,,,,01/18\r\nQ1CD,JO01AA,a,,,,,01/19\r\n"},
    {"a/CALL3_Old.txt", "an older backup\r\n"},
    {"b/CALL3.txt", "//CALL3.txt format\r\nQ1AB,JO02AA,,,,,,01/19\r\nQ1EF,JO01AA,EME\r\n"},
    {"c/CALL3.txt", "//x\nQ1GH,JO01AA,,,,,,05/17\nQ1CD,JO01AA,c,,,,,01/17\n"},
    {"d/mine.txt", "//x\r\nQ1IJ,JO01AA,,,,,,01/19\r\n"},
};
const std::vector<std::string> kListed = {"a/CALL3.txt", "b/CALL3.txt", "c/CALL3.txt", "d/mine.txt"};

void makeDatabases(const testing::TempDir& dir) {
  for (const auto& [name, bytes] : kDatabases) dir.write(name, bytes);
}

void listDatabases(Rig& rig, const testing::TempDir& dir) {
  for (const auto& name : kListed) rig.window.addListItem("Combo1", dir.file(name));
  rig.window.setText("Combo1", dir.file(kListed.front()));
}

std::string contentOr(const std::string& path, const std::string& missing) {
  return std::filesystem::exists(path) ? readFile(path) : missing;
}

bool hiddenFileHolding(const std::string& folder, const std::string& content) {
  return std::ranges::any_of(std::filesystem::directory_iterator(folder), [&](const auto& entry) {
    return entry.path().filename().string().starts_with(".") && readFile(entry.path().string()) == content;
  });
}

// Every folder holds its old database whole, at its own name or as the
// backup, and any merged file is complete.
void expectNothingLost(const testing::TempDir& dir, const std::string& merged, const std::string& when) {
  for (const auto& name : kListed) {
    const std::string& old = kDatabases.at(name);
    const std::string folder = std::filesystem::path(name).parent_path().string();
    const std::string own = contentOr(dir.file(name), "<missing>");
    const std::string backup = contentOr(dir.file(folder + "/CALL3_Old.txt"), "<missing>");
    EXPECT_TRUE(own == old || backup == old) << name << " " << when;
    const std::string target = contentOr(dir.file(folder + "/CALL3.txt"), "<missing>");
    if (target != "<missing>" && target != old) {
      EXPECT_EQ(target, merged) << name << " " << when;
    }
  }
  // A database's own name never goes missing and never holds a partial file.
  for (const auto* name : {"a/CALL3.txt", "b/CALL3.txt", "c/CALL3.txt"}) {
    const std::string now = contentOr(dir.file(name), "<missing>");
    EXPECT_TRUE(now == kDatabases.at(name) || now == merged) << name << " " << when << ": " << now;
  }
  // The backup that was there before waits under a hidden name while it is
  // replaced, and is gone only once its folder holds the merged file.
  const std::string previous = kDatabases.at("a/CALL3_Old.txt");
  const bool aDone = contentOr(dir.file("a/CALL3.txt"), "<missing>") == merged;
  if (!aDone) {
    EXPECT_TRUE(contentOr(dir.file("a/CALL3_Old.txt"), "<missing>") == previous ||
                hiddenFileHolding(dir.file("a"), previous))
        << "previous backup of a " << when;
  }
}

std::string mergedContent() {
  testing::TempDir dir;
  makeDatabases(dir);
  Rig rig(nullptr);
  listDatabases(rig, dir);
  rig.form.mnuAktualiesieren_Click();
  return readFile(dir.file("a/CALL3.txt"));
}

// Runs work in a child process whose file system ends the process just before
// its k-th disk change. Returns true when the work ran to its end.
template <typename Work>
bool runKilledAt(int k, Work work) {
  const pid_t child = ::fork();
  if (child == 0) {
    int count = 0;
    Rig rig([&](std::string_view, const std::string&) {
      if (++count == k) ::_exit(99);
    });
    work(rig);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_TRUE(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 99);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileSafety, MergeKilledAtEveryFileOperation) {
  const std::string merged = mergedContent();
  ASSERT_NE(merged.find("Q1IJ,JO01AA,,,,,,01/19"), std::string::npos);
  int kills = 0;
  for (int k = 1; k < 500; ++k) {
    testing::TempDir dir;
    makeDatabases(dir);
    const bool finished = runKilledAt(k, [&](Rig& rig) {
      listDatabases(rig, dir);
      rig.form.mnuAktualiesieren_Click();
    });
    expectNothingLost(dir, merged, "killed at step " + std::to_string(k));
    if (finished) {
      for (const auto* folder : {"a", "b", "c", "d"}) {
        EXPECT_EQ(dir.read(std::string(folder) + "/CALL3.txt"), merged) << folder;
      }
      EXPECT_FALSE(hiddenFileHolding(dir.file("a"), kDatabases.at("a/CALL3_Old.txt")));
      break;
    }
    ++kills;
  }
  // Four folders: at least a create, write, sync and close of each scratch
  // file and two renames per folder.
  EXPECT_GE(kills, 4 * 6);
}

TEST(FileSafety, MonthEndKilledAtEveryFileOperation) {
  const std::string old = "//h\r\nQ1AB,JO01AA,x\r\nQ1CD,JO01AA,,,,,,01/18\r\n";
  const std::string updated = "//h\r\nQ1AB,JO01AA,x,,,,,05/19\r\nQ1CD,JO01AA,,,,,,01/18\r\n\r\n";
  int kills = 0;
  for (int k = 1; k < 100; ++k) {
    testing::TempDir dir;
    const std::string path = dir.write("CALL3.txt", old);
    const bool finished = runKilledAt(k, [&](Rig& rig) {
      rig.window.setText("Combo1", path);
      rig.form.mnuSetUpdate_Datum_Click();
    });
    const std::string now = contentOr(path, "<missing>");
    EXPECT_TRUE(now == old || now == updated) << "killed at step " << k << ": " << now;
    if (finished) {
      EXPECT_EQ(now, updated);
      break;
    }
    ++kills;
  }
  EXPECT_GE(kills, 5);  // create, write, sync, close, rename
}

bool hasScratchFile(const testing::TempDir& dir) {
  return std::ranges::any_of(
      std::filesystem::recursive_directory_iterator(dir.path()),
      [](const auto& entry) { return entry.path().filename().string().starts_with("."); });
}

// Only making a finished rename durable, or removing the superseded previous
// backup, failed: every folder is done.
void expectEveryFolderDone(const testing::TempDir& dir, const std::string& merged) {
  for (const auto* folder : {"a", "b", "c", "d"}) {
    EXPECT_EQ(dir.read(std::string(folder) + "/CALL3.txt"), merged) << folder;
  }
  // Left: a's previous backup, or an old file under its scratch name (its folder's backup).
  if (!hasScratchFile(dir)) return;
  bool known = hiddenFileHolding(dir.file("a"), kDatabases.at("a/CALL3_Old.txt"));
  for (const std::string folder : {"a", "b", "c", "d"})
    known = known || hiddenFileHolding(dir.file(folder), dir.read(folder + "/CALL3_Old.txt"));
  EXPECT_TRUE(known);
}

TEST(FileSafety, MergeWriteFailureAtEveryStepIsReportedAndDamagesNothing) {
  const std::string merged = mergedContent();
  int failures = 0;
  for (int k = 1; k < 500; ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k));
    testing::TempDir dir;
    makeDatabases(dir);
    int count = 0;
    bool failed = false;
    Rig rig([&](std::string_view operation, const std::string& path) {
      if (++count == k) {
        failed = true;
        throw FileError(path + ": No space left on device (" + std::string(operation) + ")");
      }
    });
    listDatabases(rig, dir);
    rig.form.mnuAktualiesieren_Click();
    if (!failed) break;
    ++failures;

    expectNothingLost(dir, merged, "");
    EXPECT_EQ(rig.window.pointer(), MousePointer::Normal);
    EXPECT_FALSE(rig.form.MaintenanceRunning);
    ASSERT_EQ(rig.messages.calls.size(), 1U);
    const auto& shown = rig.messages.calls[0];
    if (shown.icon == MessageIcon::Information) {
      expectEveryFolderDone(dir, merged);
      continue;
    }
    EXPECT_FALSE(hasScratchFile(dir));
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_EQ(shown.title, "Datenbanken für WSJT ");
    EXPECT_TRUE(shown.text.starts_with("Die zusammengefasste Datenbank kann nicht geschrieben werden:\r\n"))
        << shown.text;
    EXPECT_NE(shown.text.find("No space left on device"), std::string::npos);
    EXPECT_EQ(rig.window.beeps, 0);
    // A folder named as done holds the merged file and its old database as
    // the backup; every other folder is exactly as it was.
    int doneFolders = 0;
    for (const auto& name : kListed) {
      const std::string folder = std::filesystem::path(name).parent_path().string();
      // The folders done are listed one a line, the last one followed by
      // the line about the others.
      const bool done = shown.text.find("\r\n" + dir.file(folder) + "\r\n") != std::string::npos;
      if (done) {
        ++doneFolders;
        EXPECT_EQ(dir.read(folder + "/CALL3.txt"), merged) << folder;
        EXPECT_EQ(dir.read(folder + "/CALL3_Old.txt"), kDatabases.at(name)) << folder;
      } else {
        EXPECT_EQ(dir.read(name), kDatabases.at(name)) << folder;
        // The earlier backup is put back as well, whichever step failed.
        if (folder == "a") {
          EXPECT_EQ(contentOr(dir.file("a/CALL3_Old.txt"), "<missing>"), kDatabases.at("a/CALL3_Old.txt"));
        }
      }
    }
    EXPECT_TRUE(shown.text.ends_with(doneFolders == 0 ? "Es wurde keine Datenbank verändert."
                                                      : "Alle anderen Datenbanken sind unverändert."))
        << shown.text;
  }
  EXPECT_GE(failures, 4 * 6);
}

TEST(FileSafety, MonthEndWriteFailureAtEveryStepLeavesTheDatabase) {
  const std::string old = "//h\r\nQ1AB,JO01AA,x\r\n";
  const std::string updated = "//h\r\nQ1AB,JO01AA,x,,,,,05/19\r\n\r\n";
  int failures = 0;
  for (int k = 1; k < 100; ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k));
    testing::TempDir dir;
    const std::string path = dir.write("CALL3.txt", old);
    int count = 0;
    bool failed = false;
    Rig rig([&](std::string_view, const std::string& p) {
      if (++count == k) {
        failed = true;
        throw FileError(p + ": Disk quota exceeded");
      }
    });
    rig.form.Language = "en";
    rig.window.setText("Combo1", path);
    rig.form.mnuSetUpdate_Datum_Click();
    if (!failed) break;
    ++failures;
    EXPECT_EQ(rig.window.pointer(), MousePointer::Normal);
    if (rig.messages.calls.empty()) {
      // Only making the finished exchange durable, or removing the old
      // file's scratch name (a second name of the backup), failed.
      EXPECT_EQ(readFile(path), updated);
      continue;
    }
    EXPECT_FALSE(hasScratchFile(dir));
    EXPECT_EQ(readFile(path), old);
    EXPECT_TRUE(
        rig.messages.calls[0].text.starts_with("The database cannot be written; it is unchanged:\r\n"));
    EXPECT_NE(rig.messages.calls[0].text.find("Disk quota exceeded"), std::string::npos);
    EXPECT_EQ(rig.messages.calls[0].icon, MessageIcon::Exclamation);
  }
  EXPECT_GE(failures, 5);
}

// When putting a folder back fails as well, the message must not call it
// unchanged: it names the folder and what became of its backup.
TEST(FileSafety, AFolderThatCannotBePutBackIsNamed) {
  testing::TempDir dir;
  const std::string oldA = kDatabases.at("a/CALL3.txt");
  const std::string oldB = kDatabases.at("b/CALL3.txt");
  const std::string a = dir.write("a/CALL3.txt", oldA);
  dir.write("a/CALL3_Old.txt", "an older backup\r\n");
  const std::string b = dir.write("b/CALL3.txt", oldB);
  // Renames: the backups of a and b, then the merged file of a (fails), then
  // the earlier backup of a back to its name (fails too).
  int renames = 0;
  Rig rig([&](std::string_view operation, const std::string& path) {
    if ((operation == "rename" || operation == "exchange") && ++renames >= 3)
      throw FileError(path + ": Input/output error");
  });
  rig.window.addListItem("Combo1", a);
  rig.window.addListItem("Combo1", b);
  rig.form.mnuAktualiesieren_Click();
  ASSERT_EQ(rig.messages.calls.size(), 1U);
  const std::string& text = rig.messages.calls[0].text;
  EXPECT_TRUE(text.starts_with("Die zusammengefasste Datenbank kann nicht geschrieben werden:\r\n")) << text;
  EXPECT_TRUE(
      text.ends_with("\r\n\r\nDatenbank unverändert, aber CALL3_Old.txt ist jetzt eine Kopie von ihr:\r\n" +
                     dir.file("a") + "\r\nAlle anderen Datenbanken sind unverändert."))
      << text;
  EXPECT_EQ(text.find("Es wurde keine Datenbank verändert."), std::string::npos);
  EXPECT_EQ(dir.read("a/CALL3.txt"), oldA);
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), oldA);
  EXPECT_EQ(dir.read("b/CALL3.txt"), oldB);
  EXPECT_FALSE(std::filesystem::exists(dir.file("b/CALL3_Old.txt")));
}

// Taking a log over: the database and the backup before it.
struct TakeOverFiles {
  static constexpr const char* kOld = "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\n";
  static constexpr const char* kOlder = "an older backup\r\n";
  static constexpr const char* kLog = "2019-05-07,12:00:00,Q1CD,JO02,144.174,FT8,-10,-12,,\n";
  static constexpr const char* kTaken = "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\nQ1CD,JO02,,,,,,05/19\r\n";

  explicit TakeOverFiles(const testing::TempDir& d) : dir(d) { dir.write("CALL3_Old.txt", kOlder); }
  void list(Rig& rig) const {
    rig.window.addListItem("Combo1", log);
    rig.window.addListItem("Combo1", database);
  }
  // The database holds its old or its new content in full; while it holds
  // the old one, the backup before it is at the backup name or waits under
  // a hidden name; the log is never touched.
  void expectNothingLost(const std::string& when) const {
    const std::string now = contentOr(database, "<missing>");
    EXPECT_TRUE(now == kOld || now == kTaken) << when << ": " << now;
    if (now == kOld) {
      EXPECT_TRUE(dir.read("CALL3_Old.txt") == kOlder || hiddenFileHolding(dir.path(), kOlder)) << when;
    } else {
      EXPECT_EQ(dir.read("CALL3_Old.txt"), kOld) << when;
    }
    EXPECT_EQ(readFile(log), kLog) << when;
  }

  const testing::TempDir& dir;
  std::string database = dir.write("CALL3.txt", kOld);
  std::string log = dir.write("wsjtx.log", kLog);
};

TEST(FileSafety, TakeOverKilledAtEveryFileOperation) {
  int kills = 0;
  for (int k = 1; k < 100; ++k) {
    testing::TempDir dir;
    const TakeOverFiles files(dir);
    const bool finished = runKilledAt(k, [&](Rig& rig) {
      files.list(rig);
      rig.form.mnuAddLog_Click();
    });
    files.expectNothingLost("killed at step " + std::to_string(k));
    if (finished) {
      EXPECT_EQ(readFile(files.database), TakeOverFiles::kTaken);
      EXPECT_FALSE(hasScratchFile(dir));
      break;
    }
    ++kills;
  }
  EXPECT_GE(kills, 6);  // create, write, sync, close, link and renames
}

TEST(FileSafety, TakeOverWriteFailureAtEveryStepIsReportedAndDamagesNothing) {
  int failures = 0;
  for (int k = 1; k < 100; ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k));
    testing::TempDir dir;
    const TakeOverFiles files(dir);
    int count = 0;
    bool failed = false;
    Rig rig([&](std::string_view, const std::string& p) {
      if (++count == k) {
        failed = true;
        throw FileError(p + ": No space left on device");
      }
    });
    files.list(rig);
    rig.form.mnuAddLog_Click();
    if (!failed) break;
    ++failures;
    files.expectNothingLost("");
    EXPECT_EQ(rig.window.pointer(), MousePointer::Normal);
    EXPECT_FALSE(rig.form.MaintenanceRunning);
    ASSERT_EQ(rig.messages.calls.size(), 2U);
    const auto& shown = rig.messages.calls[1];
    if (shown.icon == MessageIcon::Information) {
      // Only dropping the superseded backup failed; the next run removes it.
      EXPECT_EQ(readFile(files.database), TakeOverFiles::kTaken);
      continue;
    }
    EXPECT_EQ(readFile(files.database), TakeOverFiles::kOld);
    EXPECT_TRUE(
        shown.text.starts_with("Die Datenbank kann nicht geschrieben werden; sie ist unverändert:\r\n"))
        << shown.text;
    EXPECT_NE(shown.text.find("No space left on device"), std::string::npos);
  }
  EXPECT_GE(failures, 6);
}

}  // namespace
}  // namespace orvanta
