// What the operator's surroundings put in the way of the merge and the
// month-end update: links, hard links, WSJT-X's spelling of the name, FIFOs
// and devices listed by mistake, names taken by folders, links planted at
// the names the program writes, file-size and memory limits, and files that
// mix encodings.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "fakes/TempDir.h"
#include "maintenance/MaintenanceRig.h"
#include "maintenance/SafeFiles.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
using testing::Rig;

const std::string kOldA = "//CALL3.txt format\r\nQ1AB,JO01AA,,,,,,01/19\r\n";
const std::string kOldB = "//CALL3.txt format\r\nQ1CD,JO01AA,,,,,,01/19\r\n";
const std::string kMergedRecords = "Q1AB,JO01AA,,,,,,01/19\r\nQ1CD,JO01AA,,,,,,01/19\r\n";

enum class Command { MonthEnd, Merge };

void runOn(Rig& rig, const std::vector<std::string>& listed, Command command) {
  for (const auto& path : listed) rig.window.addListItem("Combo1", path);
  rig.window.setText("Combo1", listed.front());
  // Through the window's dispatch, which tells whatever a command lets escape.
  rig.form.onWindowEvent(command == Command::MonthEnd ? "mnuSetUpdate_Datum" : "mnuAktualiesieren",
                         WindowEvent::Click, 0);
}

std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

bool holdsMerged(const std::string& path) {
  const std::string text = testing::readFile(path);
  return text.starts_with("//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n" + kMergedRecords);
}

TEST(LinkedDatabases, ALinkStaysALinkAndCall3TxtKeepsItsSpelling) {
  // Two WSJT-X instances share one CALL3.TXT: the second folder holds a link.
  testing::TempDir dir;
  const std::string shared = dir.write("wsjt1/CALL3.TXT", kOldA);
  fs::create_directories(dir.file("wsjt2"));
  fs::create_symlink("../wsjt1/CALL3.TXT", dir.file("wsjt2/CALL3.TXT"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  runOn(rig, {shared, dir.file("wsjt2/CALL3.TXT"), b}, Command::Merge);
  ASSERT_EQ(rig.messages.calls.size(), 1U);
  EXPECT_EQ(rig.messages.calls[0].text, "Alle CALL3.txt komplett");

  EXPECT_TRUE(fs::is_symlink(dir.file("wsjt2/CALL3.TXT")));
  EXPECT_EQ(fs::read_symlink(dir.file("wsjt2/CALL3.TXT")), "../wsjt1/CALL3.TXT");
  EXPECT_TRUE(holdsMerged(shared));
  EXPECT_TRUE(holdsMerged(b));
  for (const auto* folder : {"wsjt1", "wsjt2"}) {
    EXPECT_EQ(namesIn(dir.file(folder)), (std::set<std::string>{"CALL3.TXT", "CALL3_Old.txt"})) << folder;
    EXPECT_EQ(dir.read(std::string(folder) + "/CALL3_Old.txt"), kOldA) << folder;
  }
}

TEST(LinkedDatabases, ALinkToAFolderNotListedReplacesItsTargetOnly) {
  testing::TempDir dir;
  const std::string target = dir.write("elsewhere/CALL3.txt", kOldA);
  fs::create_directories(dir.file("a"));
  fs::create_symlink(target, dir.file("a/CALL3.txt"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  runOn(rig, {dir.file("a/CALL3.txt"), b}, Command::Merge);
  EXPECT_TRUE(fs::is_symlink(dir.file("a/CALL3.txt")));
  EXPECT_TRUE(holdsMerged(target));
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), kOldA);
  EXPECT_EQ(namesIn(dir.file("elsewhere")), std::set<std::string>{"CALL3.txt"});
}

TEST(LinkedDatabases, ALinkToAnotherFileSystemGetsItsBackupAsACopy) {
  // No second name can be made across file systems; the backup is copied.
  const std::string shm = "/dev/shm/orvanta-test-" + std::to_string(::getpid());
  if (!fs::is_directory("/dev/shm") || fs::status("/dev/shm").type() != fs::file_type::directory) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  fs::create_directories(shm);
  testing::writeFile(shm + "/CALL3.txt", kOldA);
  testing::TempDir dir;
  fs::create_directories(dir.file("a"));
  fs::create_symlink(shm + "/CALL3.txt", dir.file("a/CALL3.txt"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  runOn(rig, {dir.file("a/CALL3.txt"), b}, Command::Merge);
  EXPECT_TRUE(holdsMerged(shm + "/CALL3.txt"));
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), kOldA);
  EXPECT_EQ(namesIn(dir.file("a")), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"}));
  EXPECT_EQ(namesIn(shm), std::set<std::string>{"CALL3.txt"});
  fs::remove_all(shm);
}

TEST(LinkedDatabases, EachHardLinkedNameGetsTheMergedDatabase) {
  testing::TempDir dir;
  const std::string a = dir.write("a/CALL3.txt", kOldA);
  fs::create_directories(dir.file("c"));
  fs::create_hard_link(a, dir.file("c/CALL3.txt"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  runOn(rig, {a, dir.file("c/CALL3.txt"), b}, Command::Merge);
  for (const auto* folder : {"a", "b", "c"}) {
    EXPECT_TRUE(holdsMerged(dir.file(std::string(folder) + "/CALL3.txt"))) << folder;
    EXPECT_EQ(namesIn(dir.file(folder)), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"})) << folder;
  }
  EXPECT_EQ(dir.read("c/CALL3_Old.txt"), kOldA);
}

TEST(LinkedDatabases, ALinkToTheBackupIsRefusedAsTheBackup) {
  testing::TempDir dir;
  dir.write("a/CALL3_Old.txt", kOldA);
  fs::create_symlink("CALL3_Old.txt", dir.file("a/mine.txt"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  rig.form.Language = "en";
  runOn(rig, {dir.file("a/mine.txt"), b}, Command::Merge);
  ASSERT_EQ(rig.messages.calls.size(), 1U);
  EXPECT_TRUE(rig.messages.calls[0].text.starts_with("The database " + dir.file("a/mine.txt") +
                                                     " is the backup of its folder."))
      << rig.messages.calls[0].text;
  EXPECT_EQ(namesIn(dir.file("a")), (std::set<std::string>{"CALL3_Old.txt", "mine.txt"}));
  EXPECT_EQ(namesIn(dir.file("b")), std::set<std::string>{"CALL3.txt"});
}

TEST(LinkedDatabases, ADatabaseThatIsItsOwnBackupMergesAsUsual) {
  // So a run killed between the two steps of its backup leaves a folder.
  testing::TempDir dir;
  const std::string a = dir.write("a/CALL3.txt", kOldA);
  fs::create_hard_link(a, dir.file("a/CALL3_Old.txt"));
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  Rig rig(nullptr);
  runOn(rig, {a, b}, Command::Merge);
  EXPECT_TRUE(holdsMerged(a));
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), kOldA);
  EXPECT_EQ(namesIn(dir.file("a")), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"}));
}

TEST(LinkedDatabases, MonthEndOnALinkRewritesItsTarget) {
  testing::TempDir dir;
  const std::string target = dir.write("elsewhere/CALL3.txt", "Q1AB,JO01AA,x\r\n");
  fs::create_directories(dir.file("a"));
  fs::create_symlink(target, dir.file("a/CALL3.txt"));
  Rig rig(nullptr);
  runOn(rig, {dir.file("a/CALL3.txt")}, Command::MonthEnd);
  EXPECT_TRUE(rig.messages.calls.empty());
  EXPECT_TRUE(fs::is_symlink(dir.file("a/CALL3.txt")));
  EXPECT_EQ(testing::readFile(target), "Q1AB,JO01AA,x,,,,,05/19\r\n\r\n");
}

// ---- What is no regular file ----

struct Special {
  const char* name;
  std::string (*make)(const testing::TempDir& dir);  // returns the path to list
};

std::string makeFifo(const testing::TempDir& dir) {
  std::string path = dir.file("fifo/CALL3.txt");
  fs::create_directories(dir.file("fifo"));
  ::mkfifo(path.c_str(), 0644);
  return path;
}
std::string linkToDevZero(const testing::TempDir& dir) {
  fs::create_directories(dir.file("zero"));
  fs::create_symlink("/dev/zero", dir.file("zero/CALL3.txt"));
  return dir.file("zero/CALL3.txt");
}
std::string devNull(const testing::TempDir& /*dir*/) { return "/dev/null"; }

class ListedSpecial : public ::testing::TestWithParam<Special> {};

TEST_P(ListedSpecial, TheMergeAnswersAtOnceAndRenamesNothing) {
  testing::TempDir dir;
  const std::string a = dir.write("a/CALL3.txt", kOldA);
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  const std::string special = GetParam().make(dir);
  const auto before = fs::symlink_status(special).type();
  const auto started = std::chrono::steady_clock::now();
  const pid_t child = testing::spawn([&] {
    Rig rig(nullptr);
    runOn(rig, {a, special, b}, Command::Merge);
    const bool told =
        rig.messages.calls.size() == 1 &&
        rig.messages.calls[0].text.starts_with("Die Datenbank kann nicht gelesen werden:\r\n" + special);
    return told ? 0 : 1;
  });
  EXPECT_EQ(testing::finishWithin(child, 5000), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  EXPECT_EQ(fs::symlink_status(special).type(), before);
  EXPECT_EQ(dir.read("a/CALL3.txt"), kOldA);
  EXPECT_EQ(dir.read("b/CALL3.txt"), kOldB);
  EXPECT_FALSE(fs::exists(dir.file("a/CALL3_Old.txt")));
  EXPECT_FALSE(fs::exists(dir.file("b/CALL3_Old.txt")));
}

TEST_P(ListedSpecial, TheMonthEndUpdateFindsNoDatabase) {
  testing::TempDir dir;
  const std::string special = GetParam().make(dir);
  const pid_t child = testing::spawn([&] {
    Rig rig(nullptr);
    runOn(rig, {special}, Command::MonthEnd);
    return rig.messages.calls.size() == 1 &&
                   rig.messages.calls[0].text == "Die Datenbank wurde nicht gefunden:\r\n" + special
               ? 0
               : 1;
  });
  EXPECT_EQ(testing::finishWithin(child, 1000), 0);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, ListedSpecial,
                         ::testing::Values(Special{"Fifo", makeFifo},
                                           Special{"DevZeroThroughALink", linkToDevZero},
                                           Special{"CharacterDevice", devNull}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct Taken {
  const char* name;
  const char* entry;  // the name taken inside folder a
  bool folder;        // a folder there, else a FIFO
};

class NameTaken : public ::testing::TestWithParam<Taken> {};

TEST_P(NameTaken, TheMergeStopsBeforeAnythingChanges) {
  testing::TempDir dir;
  const std::string mine = dir.write("a/mine.txt", kOldA);
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  const std::string taken = dir.file(std::string("a/") + GetParam().entry);
  if (GetParam().folder) {
    fs::create_directories(taken);
  } else {
    ::mkfifo(taken.c_str(), 0644);
  }
  Rig rig(nullptr);
  rig.form.Language = "en";
  runOn(rig, {mine, b}, Command::Merge);
  ASSERT_EQ(rig.messages.calls.size(), 1U);
  EXPECT_EQ(rig.messages.calls[0].text,
            "This name belongs to no file; the merged database cannot be put there:\r\n" + taken +
                "\r\n\r\nNo database has been changed.");
  EXPECT_EQ(rig.messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(namesIn(dir.file("a")), (std::set<std::string>{"mine.txt", GetParam().entry}));
  EXPECT_EQ(namesIn(dir.file("b")), std::set<std::string>{"CALL3.txt"});
  EXPECT_EQ(dir.read("a/mine.txt"), kOldA);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, NameTaken,
                         ::testing::Values(Taken{"FolderAtTheTarget", "CALL3.txt", true},
                                           Taken{"FolderAtTheBackup", "CALL3_Old.txt", true},
                                           Taken{"FifoAtTheTarget", "CALL3.txt", false},
                                           Taken{"FifoAtTheBackup", "CALL3_Old.txt", false}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// ---- Links planted where the program writes ----

struct Planted {
  const char* name;
  Command command;
  bool atBackup;   // a link at CALL3_Old.txt
  bool atScratch;  // a link planted at each scratch name just before it is made
};

class PlantedLinks : public ::testing::TestWithParam<Planted> {};

TEST_P(PlantedLinks, NothingOutsideTheFolderChanges) {
  const Planted& p = GetParam();
  testing::TempDir dir;
  const std::string victim = dir.write("outside/wsjtx.log", "2019-05-01,10:00:00,Q1LOG\n");
  const std::string a = dir.write("a/CALL3.txt", "//h\r\nQ1AB,JO01AA,x\r\n");
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  fs::create_symlink(victim, dir.file("a/.CALL3.txt.orvanta-new"));
  if (p.atBackup) fs::create_symlink(victim, dir.file("a/CALL3_Old.txt"));
  // The first name of each kind is taken just before it is used, as by
  // someone who guessed it.
  std::set<std::string> plantedKinds;
  int planted = 0;
  Rig rig([&](std::string_view op, const std::string& path) {
    if (!p.atScratch || (op != "create" && op != "link") || !plantedKinds.insert(std::string(op)).second)
      return;
    fs::create_symlink(victim, path);
    ++planted;
  });
  runOn(rig, {a, b}, p.command);
  EXPECT_EQ(testing::readFile(victim), "2019-05-01,10:00:00,Q1LOG\n");
  EXPECT_TRUE(fs::is_symlink(dir.file("a/.CALL3.txt.orvanta-new")));
  if (p.atScratch) {
    EXPECT_GT(planted, 0);
  }
  if (p.command == Command::MonthEnd) {
    EXPECT_TRUE(rig.messages.calls.empty());
    EXPECT_EQ(dir.read("a/CALL3.txt"), "//h\r\nQ1AB,JO01AA,x,,,,,05/19\r\n\r\n");
  } else {
    ASSERT_EQ(rig.messages.calls.size(), 1U);
    EXPECT_EQ(rig.messages.calls[0].icon, MessageIcon::Information) << rig.messages.calls[0].text;
    EXPECT_FALSE(fs::is_symlink(dir.file("a/CALL3_Old.txt")));
    EXPECT_EQ(dir.read("a/CALL3_Old.txt"), "//h\r\nQ1AB,JO01AA,x\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Maintenance, PlantedLinks,
                         ::testing::Values(Planted{"MergeBackupName", Command::Merge, true, false},
                                           Planted{"MergeScratchNames", Command::Merge, true, true},
                                           Planted{"MonthEndScratchNames", Command::MonthEnd, false, true}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// ---- Limits of the process ----

struct Limit {
  const char* name;
  Command command;
  int resource;  // RLIMIT_FSIZE or RLIMIT_AS
};

// The address space in use now, in bytes.
rlim_t addressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  unsigned long pages = 0;
  statm >> pages;
  return static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

bool hasHiddenFile(const std::string& folder) {
  return std::ranges::any_of(fs::recursive_directory_iterator(folder), [](const auto& entry) {
    return entry.path().filename().string().starts_with(".");
  });
}

class Limited : public ::testing::TestWithParam<Limit> {};

TEST_P(Limited, AMessageAndNothingChanged) {
  const Limit& limit = GetParam();
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  if (limit.resource == RLIMIT_AS) GTEST_SKIP() << "the sanitizer reserves the address space itself";
#endif
  testing::TempDir dir;
  std::string big = "//h\r\n";
  if (limit.resource == RLIMIT_AS) {
    // One record of 48 MiB: more than the limit leaves room for.
    big += "Q1AB,JO01AA," + std::string(std::size_t{48} << 20, 'x') + "\r\n";
  } else {
    for (int i = 0; i < 2000; ++i) big += "Q1A" + std::to_string(i) + ",JO01AA,x\r\n";
  }
  const std::string a = dir.write("a/CALL3.txt", big);
  const std::string b = dir.write("b/CALL3.txt", kOldB);
  const pid_t child = testing::spawn([&] {
    std::signal(SIGXFSZ, SIG_IGN);  // as the program's entry point does
    const rlim_t bytes = limit.resource == RLIMIT_AS ? addressSpaceInUse() + (rlim_t{16} << 20) : 4096;
    const rlimit value{bytes, bytes};
    if (::setrlimit(limit.resource, &value) != 0) return 2;
    Rig rig(nullptr);
    runOn(rig, {a, b}, limit.command);
    return rig.messages.calls.size() == 1 && rig.messages.calls[0].icon != MessageIcon::Information ? 0 : 1;
  });
  EXPECT_EQ(testing::finish(child), 0);
  EXPECT_EQ(dir.read("a/CALL3.txt"), big);
  EXPECT_EQ(dir.read("b/CALL3.txt"), kOldB);
  EXPECT_FALSE(fs::exists(dir.file("a/CALL3_Old.txt")));
  EXPECT_FALSE(hasHiddenFile(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(Maintenance, Limited,
                         ::testing::Values(Limit{"MergeFileSize", Command::Merge, RLIMIT_FSIZE},
                                           Limit{"MonthEndFileSize", Command::MonthEnd, RLIMIT_FSIZE},
                                           Limit{"MergeMemory", Command::Merge, RLIMIT_AS},
                                           Limit{"MonthEndMemory", Command::MonthEnd, RLIMIT_AS}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// ---- Encodings line by line ----

TEST(MixedEncodings, EachLineOfAUtf8MergeDecidesForItself) {
  testing::TempDir dir;
  // UTF-8, with one line in Windows-1252 written by another program.
  const std::string a = dir.write(
      "a/CALL3.txt", "//h\r\nQ1AB,JO01AA,M\xC3\xBCller,,,,,01/19\r\nQ1CD,JO01AA,M\xFCller,,,,,01/19\r\n");
  const std::string b = dir.write("b/CALL3.txt", "//h\r\nQ1EF,JO01AA,\xC3\xA9t\xC3\xA9,,,,,01/19\r\n");
  Rig rig(nullptr);
  runOn(rig, {a, b}, Command::Merge);
  const std::string merged = dir.read("a/CALL3.txt");
  EXPECT_NE(merged.find("Q1AB,JO01AA,M\xC3\xBCller,,,,,01/19\r\n"), std::string::npos) << merged;
  EXPECT_NE(merged.find("Q1CD,JO01AA,M\xC3\xBCller,,,,,01/19\r\n"), std::string::npos) << merged;
  EXPECT_NE(merged.find("Q1EF,JO01AA,\xC3\xA9t\xC3\xA9,,,,,01/19\r\n"), std::string::npos) << merged;
  EXPECT_EQ(merged.find("\xC3\x83"), std::string::npos) << "encoded twice: " << merged;
}

// ---- The pieces every writer shares ----

TEST(ScratchNames, StayWithinAFileNameAndApart) {
  const std::string longA(250, 'a');
  std::string longB = longA;
  longB.back() = 'b';
  EXPECT_LE(scratchPrefix(longA).size() + 6, 255U);
  EXPECT_NE(scratchPrefix(longA), scratchPrefix(longB));
  EXPECT_EQ(scratchPrefix("CALL3.txt"), ".CALL3.txt.orvanta-");
}

TEST(LockedDatabaseTest, RemovesOnlyTheScratchFilesOfItsOwnName) {
  testing::TempDir dir;
  const std::string path = dir.write("CALL3.txt", kOldA);
  dir.write(".CALL3.txt.orvanta-Ab3dE9", "left by a killed run");
  dir.write(".CALL3.txt.orvanta-keep", "not a scratch name");
  dir.write(".other.txt.orvanta-Ab3dE9", "another database's");
  StdFileSystem files;
  LockedDatabase database(files, path);
  EXPECT_EQ(namesIn(dir.path()),
            (std::set<std::string>{"CALL3.txt", ".CALL3.txt.orvanta-keep", ".other.txt.orvanta-Ab3dE9"}));
  EXPECT_THROW(LockedDatabase(files, path), FileLocked);
}

TEST(LockedDatabaseTest, ReplacesKeepingTheBackupUnlessChangedMeanwhile) {
  testing::TempDir dir;
  const std::string path = dir.write("CALL3.txt", kOldA);
  dir.write("CALL3_Old.txt", "older");
  StdFileSystem files;
  {
    LockedDatabase database(files, path);
    testing::writeFile(path, kOldA + "Q7NEW,JO01AA,,,,,,05/19\r\n");  // WSJT-X adds a station
    EXPECT_THROW(replaceKeepingBackup(files, database, "new"), FileChanged);
  }
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"}));
  EXPECT_EQ(dir.read("CALL3_Old.txt"), "older");
  const std::string current = dir.read("CALL3.txt");
  {
    LockedDatabase database(files, path);
    replaceKeepingBackup(files, database, "new");
  }
  EXPECT_EQ(dir.read("CALL3.txt"), "new");
  EXPECT_EQ(dir.read("CALL3_Old.txt"), current);
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"CALL3.txt", "CALL3_Old.txt"}));
}

}  // namespace
}  // namespace orvanta
