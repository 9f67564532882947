// Two runs at once, a run killed while it holds its databases, and another
// program appending to a database while a run works: the database is always
// either the old file or a complete, correct new one, and no appended line
// is lost without the run saying so.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <array>
#include <csignal>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "fakes/TempDir.h"
#include "maintenance/MaintenanceRig.h"

namespace orvanta {
namespace {

using testing::Rig;
using testing::Signal;
using Snapshot = std::map<std::string, std::string>;

enum class Command { MonthEnd, Merge };

const std::string kOldA = "//CALL3.txt format\r\nQ1AB,JO01AA,x\r\nQ1CD,JO01AA,,,,,,01/18\r\n";
const std::string kOldB = "//CALL3.txt format\r\nQ1EF,JO02AA,,,,,,01/19\r\n";
const std::string kLocked = "Die Datenbank wird gerade von einem anderen Orvanta bearbeitet:\r\n";
const std::string kChanged =
    "Die Datenbank wurde während der Arbeit von einem anderen Programm geändert; es wurde nichts "
    "verändert:\r\n";

void makeDatabases(const testing::TempDir& dir, const std::string& a = kOldA) {
  dir.write("a/CALL3.txt", a);
  dir.write("b/CALL3.txt", kOldB);
}

// Every file under the folder, hidden ones included, by relative name.
Snapshot snapshot(const testing::TempDir& dir) {
  Snapshot files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    if (!entry.is_regular_file()) continue;
    files[std::filesystem::relative(entry.path(), dir.path()).string()] =
        testing::readFile(entry.path().string());
  }
  return files;
}

// The month-end update works on a/CALL3.txt, the merge on a and b.
void run(Rig& rig, const testing::TempDir& dir, Command command) {
  rig.window.addListItem("Combo1", dir.file("a/CALL3.txt"));
  rig.window.addListItem("Combo1", dir.file("b/CALL3.txt"));
  rig.window.setText("Combo1", dir.file("a/CALL3.txt"));
  if (command == Command::MonthEnd) {
    rig.form.mnuSetUpdate_Datum_Click();
  } else {
    rig.form.mnuAktualiesieren_Click();
  }
}

enum Verdict { kDone = 0, kLockedOut = 1, kRefusedChanged = 2, kOther = 3 };

int verdict(const Rig& rig) {
  if (rig.messages.calls.empty()) return kDone;
  const auto& shown = rig.messages.calls.back();
  if (shown.icon == MessageIcon::Information && shown.title == "Datenbanken für WSJT ") return kDone;
  if (shown.text.starts_with(kLocked)) return kLockedOut;
  if (shown.text.starts_with(kChanged)) return kRefusedChanged;
  return kOther;
}

// What the folder holds after the command ran alone.
Snapshot alone(Command command) {
  testing::TempDir dir;
  makeDatabases(dir);
  Rig rig(nullptr);
  run(rig, dir, command);
  EXPECT_EQ(verdict(rig), kDone);
  return snapshot(dir);
}

// A child that runs the command and stops at the n-th disk change of the
// kind given, until told to go on.
pid_t pausedRun(const testing::TempDir& dir, Command command, std::string_view operation, int nth,
                const Signal& paused, const Signal& go) {
  return testing::spawn([&] {
    int seen = 0;
    Rig rig([&](std::string_view op, const std::string&) {
      if (op == operation && ++seen == nth) {
        paused.post();
        static_cast<void>(go.wait(30000));  // the parent judges the run either way
      }
    });
    run(rig, dir, command);
    return verdict(rig);
  });
}

struct Pair {
  const char* name;
  Command first;   // holds its databases
  Command second;  // starts meanwhile
};

class TwoRuns : public ::testing::TestWithParam<Pair> {};

TEST_P(TwoRuns, TheSecondIsToldAndTouchesNothing) {
  const Pair& pair = GetParam();
  const Snapshot expected = alone(pair.first);
  testing::TempDir dir;
  makeDatabases(dir);
  const Snapshot before = snapshot(dir);
  Signal paused;
  Signal go;
  const pid_t child = pausedRun(dir, pair.first, "create", 1, paused, go);
  ASSERT_TRUE(paused.wait());

  Rig second(nullptr);
  second.form.Language = "en";
  run(second, dir, pair.second);
  ASSERT_EQ(second.messages.calls.size(), 1U);
  const auto& shown = second.messages.calls[0];
  EXPECT_EQ(shown.text, "The database is being changed by another Orvanta:\r\n" + dir.file("a/CALL3.txt"));
  EXPECT_EQ(shown.icon, MessageIcon::Stop);
  EXPECT_EQ(shown.title, pair.second == Command::Merge ? "Databases for WSJT " : "Update Set date");
  EXPECT_EQ(snapshot(dir), before);
  EXPECT_FALSE(second.form.MaintenanceRunning);

  go.post();
  EXPECT_EQ(testing::finish(child), kDone);
  EXPECT_EQ(snapshot(dir), expected);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, TwoRuns,
                         ::testing::Values(Pair{"TwoMonthEndUpdates", Command::MonthEnd, Command::MonthEnd},
                                           Pair{"MonthEndBesideAMerge", Command::Merge, Command::MonthEnd},
                                           Pair{"MergeBesideAMonthEnd", Command::MonthEnd, Command::Merge},
                                           Pair{"TwoMerges", Command::Merge, Command::Merge}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct Kill {
  const char* name;
  Command command;
  const char* operation;
  int nth;
};

class KilledRun : public ::testing::TestWithParam<Kill> {};

// A run killed while it works leaves the databases whole; the next run
// finds no lock held, does its work and removes what the killed run left.
TEST_P(KilledRun, TheNextRunCompletesAndCleansUp) {
  const Kill& kill = GetParam();
  const Snapshot expected = alone(kill.command);
  testing::TempDir dir;
  makeDatabases(dir);
  Signal paused;
  Signal go;
  const pid_t child = pausedRun(dir, kill.command, kill.operation, kill.nth, paused, go);
  ASSERT_TRUE(paused.wait());
  ::kill(child, SIGKILL);
  EXPECT_EQ(testing::finish(child), -SIGKILL);
  EXPECT_EQ(dir.read("a/CALL3.txt"), kOldA);
  EXPECT_EQ(dir.read("b/CALL3.txt"), kOldB);

  Rig next(nullptr);
  run(next, dir, kill.command);
  EXPECT_EQ(verdict(next), kDone);
  EXPECT_EQ(snapshot(dir), expected);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, KilledRun,
                         ::testing::Values(Kill{"MonthEndWhileWriting", Command::MonthEnd, "write", 1},
                                           Kill{"MonthEndBeforeItsRename", Command::MonthEnd, "rename", 1},
                                           Kill{"MergeWhileWriting", Command::Merge, "write", 2},
                                           Kill{"MergeAfterTheFirstBackupLink", Command::Merge, "link", 2},
                                           Kill{"MergeBetweenBackupAndDatabase", Command::Merge, "exchange",
                                                1}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct Append {
  const char* name;
  Command command;
  const char* operation;  // the disk change before which another program appends
};

class AppendedMeanwhile : public ::testing::TestWithParam<Append> {};

TEST_P(AppendedMeanwhile, NothingIsReplacedAndTheRunSaysSo) {
  const Append& append = GetParam();
  testing::TempDir dir;
  makeDatabases(dir);
  const std::string line = "Q7NEW,JO09AA,,,,,,05/19\r\n";
  bool appended = false;
  Rig rig([&](std::string_view op, const std::string&) {
    if (op != append.operation || appended) return;
    appended = true;
    testing::writeFile(dir.file("a/CALL3.txt"), kOldA + line);
  });
  Snapshot expected = snapshot(dir);
  expected["a/CALL3.txt"] = kOldA + line;
  run(rig, dir, append.command);
  ASSERT_TRUE(appended);
  ASSERT_EQ(rig.messages.calls.size(), 1U);
  EXPECT_EQ(rig.messages.calls[0].text, kChanged + dir.file("a/CALL3.txt"));
  EXPECT_EQ(rig.messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(snapshot(dir), expected);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, AppendedMeanwhile,
                         ::testing::Values(Append{"MonthEndWhileWriting", Command::MonthEnd, "close"},
                                           Append{"MergeWhileWriting", Command::Merge, "close"},
                                           Append{"MergeWhileMakingBackups", Command::Merge, "link"}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

std::string commandName(const ::testing::TestParamInfo<Command>& info) {
  return info.param == Command::MonthEnd ? "MonthEnd" : "Merge";
}

// The file read changes only once the new file is in place, and another
// program writes to the new file before the run has put the old one back:
// that line goes back with it.
class WrittenWhileInPlace : public ::testing::TestWithParam<Command> {};

TEST_P(WrittenWhileInPlace, TheLineGoesBackWithTheFileRead) {
  testing::TempDir dir;
  makeDatabases(dir);
  const std::array<std::string, 2> lines{"Q7OLD,JO09AA,,,,,,05/19\r\n", "Q7NEW,JO09AA,,,,,,05/19\r\n"};
  std::size_t exchanges = 0;
  Rig rig([&](std::string_view op, const std::string& path) {
    if (op != "exchange" || !path.starts_with(dir.file("a/")) || exchanges == lines.size()) return;
    std::ofstream(dir.file("a/CALL3.txt"), std::ios::binary | std::ios::app) << lines.at(exchanges++);
  });
  run(rig, dir, GetParam());
  EXPECT_EQ(verdict(rig), kRefusedChanged);
  EXPECT_EQ(dir.read("a/CALL3.txt"), kOldA + lines[0] + lines[1]);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, WrittenWhileInPlace,
                         ::testing::Values(Command::MonthEnd, Command::Merge), commandName);

// The call sign of the n-th line the appender adds.
std::string appendedCall(int n) {
  std::array<char, 16> call{};
  std::snprintf(call.data(), call.size(), "Q7A%05d", n);
  return call.data();
}

// Adds a line to a/CALL3.txt about every millisecond, opening the file for
// each line as WSJT-X does, until told to stop; the count goes to a file.
pid_t startAppender(const testing::TempDir& dir, const Signal& stop) {
  return testing::spawn([&] {
    int n = 0;
    while (!stop.posted()) {
      const std::string line = appendedCall(n) + ",JO01AA,,,,,,05/19\r\n";
      const int fd = ::open(dir.file("a/CALL3.txt").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd < 0 || ::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 1;
      ::close(fd);
      ++n;
      ::usleep(1000);
    }
    testing::writeFile(dir.file("count"), std::to_string(n));
    return 0;
  });
}

class Appender : public ::testing::TestWithParam<Command> {};

TEST_P(Appender, EveryLineSurvivesOrTheRunRefused) {
  std::string big = "//CALL3.txt format\r\n";
  for (int i = 0; i < 300; ++i) big += "Q2B" + std::to_string(i) + ",JO01AA,x\r\n";
  testing::TempDir dir;
  makeDatabases(dir, big);
  Signal stop;
  const pid_t appender = startAppender(dir, stop);
  int refused = 0;
  for (int round = 0; round < 30; ++round) {
    Rig rig(nullptr);
    run(rig, dir, GetParam());
    const int result = verdict(rig);
    EXPECT_TRUE(result == kDone || result == kRefusedChanged) << rig.messages.calls.back().text;
    refused += static_cast<int>(result == kRefusedChanged);
  }
  stop.post();
  ASSERT_EQ(testing::finish(appender), 0);
  const int count = std::stoi(dir.read("count"));
  const std::string now = dir.read("a/CALL3.txt");
  EXPECT_GT(count, 0);
  for (int n = 0; n < count; ++n) EXPECT_NE(now.find(appendedCall(n) + ","), std::string::npos) << n;
  RecordProperty("refused", refused);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, Appender, ::testing::Values(Command::MonthEnd, Command::Merge),
                         commandName);

}  // namespace
}  // namespace orvanta
