#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "fakes/CaseName.h"
#include "fakes/TempDir.h"
#include "link/CallIndex.h"

namespace orvanta {
namespace {

using std::chrono::seconds;

std::string logLine(const std::string& call, const char* mhz, const char* mode, int minute = 0) {
  const std::string time = "12:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + ":00";
  return "2024-01-01," + time + ",2024-01-01," + time + "," + call + ",JO62," + mhz + "," + mode +
         ",-10,-12,100,,\r\n";
}

std::string adifRecord(const std::string& call, const char* band, const char* mode, const char* submode) {
  return "<call:" + std::to_string(call.size()) + ">" + call +
         " <qso_date:8>20240102 <time_on:6>120000 <band:" + std::to_string(std::string(band).size()) + ">" +
         band + " <mode:" + std::to_string(std::string(mode).size()) + ">" + mode + " <submode:3>" + submode +
         " <eor>\n";
}

struct Rig {
  testing::TempDir dir;
  StdFileSystem files;
  std::string database =
      dir.write("CALL3.txt",
                "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n"
                "Q1NEW,JO62,EME,,,,,03/21\r\nQ1BAND,JO62\r\nQ1MODE,JO62\r\n q1here ,JO62\r\n"
                "Q1LOG,JO62\r\nQ1COMMENT,JO62,see http://x\r\nZZZZZZ,End-Of-Call3-Database\r\n"
                "Q1AFTER,JO62\r\n");
  std::string log =
      dir.write("wsjtx.log", logLine("Q1BAND", "50.313", "FT8") + logLine("Q1MODE", "144.120", "JT65") +
                                 logLine("Q1HERE", "144.174", "FT8") + logLine("Q2OUT", "50.313", "FT8") +
                                 logLine("Q2DONE", "144.174", "FT8") + logLine("Q3BASE/P", "144.174", "FT8"));
  std::string adif =
      dir.write("wsjtx_log.adi", "ADIF Export<eoh>\n" + adifRecord("Q1LOG", "2m", "MFSK", "FT4") +
                                     adifRecord("Q2DONE", "2m", "FT8", "   "));
  CallIndex index{files, std::chrono::hours(1)};

  Rig() {
    index.start({database}, {log, adif});
    EXPECT_TRUE(index.settle(seconds(10)));
  }
  std::optional<CallState> at2m(const std::string& call, const char* mode = "FT8",
                                bool baseCalls = false) const {
    return index.state(call, *bandNamed("2m"), mode, baseCalls);
  }
};

struct StateCase {
  std::string name;
  std::string call;
  std::string mode;
  bool baseCalls;
  CallState state;
};

class StateTable : public ::testing::TestWithParam<StateCase> {};

TEST_P(StateTable, OnTwoMetresAgainstTheDatabaseAndBothLogs) {
  const Rig rig;
  EXPECT_EQ(rig.at2m(GetParam().call, GetParam().mode.c_str(), GetParam().baseCalls), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateTable,
    ::testing::Values(StateCase{"InDatabaseNeverWorked", "Q1NEW", "FT8", false, CallState::Needed},
                      StateCase{"InDatabaseOtherBand", "Q1BAND", "FT8", false, CallState::Needed},
                      StateCase{"InDatabaseOtherMode", "Q1MODE", "FT8", false, CallState::Needed},
                      StateCase{"InDatabaseWorkedHere", "Q1HERE", "FT8", false, CallState::Worked},
                      StateCase{"InDatabaseOtherModeWorkedHere", "Q1MODE", "JT65", false, CallState::Worked},
                      StateCase{"AdifSubmodeIsTheMode", "Q1LOG", "FT4", false, CallState::Worked},
                      StateCase{"NotInDatabaseOtherBand", "Q2OUT", "FT8", false, CallState::NewSlot},
                      StateCase{"NotInDatabaseWorkedHere", "Q2DONE", "FT8", false, CallState::Worked},
                      StateCase{"NotInDatabaseOtherModeOfTwoLogs", "Q2DONE", "Q65", false,
                                CallState::NewSlot},
                      StateCase{"Unknown", "Q9ZZ", "FT8", false, CallState::None},
                      StateCase{"CommentLine", "Q1COMMENT", "FT8", false, CallState::None},
                      StateCase{"AfterTerminator", "Q1AFTER", "FT8", false, CallState::None},
                      StateCase{"PortableWithoutBaseCalls", "Q3BASE", "FT8", false, CallState::None},
                      StateCase{"PortableByBaseCall", "Q3BASE", "FT8", true, CallState::Worked},
                      StateCase{"OtherSuffixByBaseCall", "Q3BASE/M", "FT8", true, CallState::Worked},
                      StateCase{"NewCallByBaseCall", "Q1HERE/P", "FT8", true, CallState::Worked},
                      StateCase{"NewCallExact", "Q1HERE/P", "FT8", false, CallState::None}),
    testing::CaseName{});

TEST(CallIndex, LogsGrowingAndReplacedWhileIndexed) {
  Rig rig;
  EXPECT_EQ(rig.index.figures().calls, 5U);
  EXPECT_EQ(rig.index.figures().contacts, 8U);
  // A line written in two goes is read once it is whole, and counted once.
  std::string line = logLine("Q1NEW", "144.174", "FT8", 5);
  rig.files.append(rig.log, line.substr(0, 30));
  ASSERT_TRUE(rig.index.settle(seconds(10)));
  rig.files.append(rig.log, line.substr(30));
  rig.files.append(rig.adif, adifRecord("Q1BAND", "2m", "FT8", "   "));
  ASSERT_TRUE(rig.index.settle(seconds(10)));
  EXPECT_EQ(rig.at2m("Q1NEW"), CallState::Worked);
  EXPECT_EQ(rig.at2m("Q1BAND"), CallState::Worked);
  EXPECT_EQ(rig.index.figures().contacts, 10U);
  // The same contact logged through the link and found in the log: once.
  rig.index.addContact(*contactOfLogLine(line));
  EXPECT_EQ(rig.index.figures().contacts, 10U);
  rig.index.addContact(*contactOfLogLine(logLine("Q1NEW", "50.313", "FT8", 7)));
  // A log replaced by a shorter one is read again; the linked contact stays.
  rig.files.rename(rig.dir.write("new.log", logLine("Q2OUT", "50.313", "FT8")), rig.log);
  rig.files.rename(rig.dir.write("new.txt", "Q1LATE,JO62\r\n"), rig.database);
  ASSERT_TRUE(rig.index.settle(seconds(10)));
  EXPECT_EQ(rig.at2m("Q1NEW"), CallState::Worked);
  EXPECT_EQ(rig.at2m("Q1LATE"), CallState::Needed);
  EXPECT_EQ(rig.at2m("Q1HERE"), CallState::None);
  EXPECT_EQ(rig.at2m("Q2OUT"), CallState::NewSlot);
  EXPECT_EQ(rig.index.figures().contacts, 6U);
}

TEST(CallIndex, LastLineWithoutLineEndCountsOnceTheFileHasSettled) {
  testing::TempDir dir;
  StdFileSystem files;
  std::string line = logLine("Q1ABC", "144.174", "FT8");
  const std::string log = dir.write("old.log", line.substr(0, line.size() - 2));
  std::filesystem::last_write_time(log,
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  CallIndex index(files, std::chrono::hours(1));
  index.start({}, {log});
  ASSERT_TRUE(index.settle(seconds(10)));
  EXPECT_EQ(index.state("Q1ABC", *bandNamed("2m"), "FT8", false), CallState::Worked);
  files.append(log, "\r\n" + logLine("Q2ABC", "144.174", "FT8"));
  ASSERT_TRUE(index.settle(seconds(10)));
  EXPECT_EQ(index.figures().contacts, 2U);
}

// What the worked-before count tells of its call on a band in a mode.
CallState countedState(const WorkedSummary& summary, const char* band, const char* mode) {
  const auto row = std::find_if(summary.rows.begin(), summary.rows.end(),
                                [&](const WorkedRow& r) { return r.band == band; });
  if (row != summary.rows.end() && row->modes.contains(mode)) return CallState::Worked;
  return summary.total > 0 ? CallState::NewSlot : CallState::None;
}

// The index against the worked-before count over a random log held twice, as
// wsjtx.log and as ADIF, with contacts repeated under another mode.
TEST(CallIndex, AgreesWithTheWorkedBeforeCount) {
  const std::vector<std::string> calls{"Q1AB", "Q1AB/P", "QD/Q1AB", "q2cd", "Q3EF/M", "Q3EF"};
  const std::vector<const char*> mhz{"144.174", "50.313", "432.065", "7.074"};
  const std::vector<const char*> bands{"2m", "6m", "70cm", "40m"};
  const std::vector<const char*> modes{"FT8", "Q65", "JT65"};
  unsigned seed = 7;
  const auto next = [&](std::size_t n) { return (seed = seed * 1103515245 + 12345) / 65536 % n; };
  std::string text;
  std::string adif;
  for (int i = 0; i < 300; ++i) {
    const std::string& call = calls[next(calls.size())];
    const std::size_t band = next(mhz.size());
    const char* mode = modes[next(modes.size())];
    if (next(2) == 0) {
      text += logLine(call, mhz[band], mode, static_cast<int>(next(60)));
    } else {  // every ADIF contact at one time: the first of a call on a band counts
      adif += adifRecord(call, bands[band], mode, "   ");
    }
  }
  testing::TempDir dir;
  StdFileSystem files;
  const std::vector<std::string> logs{dir.write("a.log", text), dir.write("b.adi", adif),
                                      dir.write("c.log", text)};
  CallIndex index(files, std::chrono::hours(1));
  index.start({}, logs);
  ASSERT_TRUE(index.settle(seconds(10)));
  for (const bool base : {false, true}) {
    for (const auto& call : {"Q1AB", "Q1AB/P", "Q2CD", "Q3EF", "Q3EF/M", "Q4GH"}) {
      WorkedBeforeCount count(call, base);
      for (const auto& log : logs) count.addLog(files, log);
      const WorkedSummary summary = count.summary();
      for (const char* band : bands) {
        for (const char* mode : modes) {
          EXPECT_EQ(index.state(call, *bandNamed(band), mode, base), countedState(summary, band, mode))
              << call << ' ' << band << ' ' << mode;
        }
      }
    }
  }
}

TEST(CallIndex, AnswersWhileBuildingAndTakesContactsMeanwhile) {
  testing::TempDir dir;
  StdFileSystem files;
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += logLine("Q" + std::to_string(i) + "AB", "144.174", "FT8", i % 60);
  const std::string log = dir.write("big.log", lines);
  CallIndex index(files, std::chrono::milliseconds(1));
  index.start({}, {log});
  WorkedContact contact{"Q1XY", "2024-02-02", "10:00", bandNamed("2m"), "FT8", ""};
  index.addContact(contact);
  while (!index.state("Q1XY", *bandNamed("2m"), "FT8", false)) {
  }
  EXPECT_EQ(index.state("Q1XY", *bandNamed("2m"), "FT8", false), CallState::Worked);
  EXPECT_EQ(index.state("Q19999AB", *bandNamed("2m"), "FT8", false), CallState::Worked);
  EXPECT_TRUE(index.unreadable().empty());
}

}  // namespace
}  // namespace orvanta
