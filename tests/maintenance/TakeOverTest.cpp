// Contacts of logs and stations typed in by hand, taken over into a user
// database: the new file, byte for byte, and the counts.

#include "maintenance/TakeOver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/CaseName.h"

namespace orvanta {
namespace {

// A contact in the short log layout (ten fields: call 2, grid 3).
std::string shortContact(const std::string& date, const std::string& time, const std::string& call,
                         const std::string& grid) {
  return date + "," + time + "," + call + "," + grid + ",144.174,FT8,-10,-12,,\n";
}

// A contact in the long layout WSJT-X writes (13 fields: call 4, grid 5).
std::string longContact(const std::string& date, const std::string& time, const std::string& call,
                        const std::string& grid) {
  return date + "," + time + "," + date + "," + time + "," + call + "," + grid +
         ",144.174,FT8,-10,-12,100,tnx,Hans\n";
}

void feed(ContactCollector& contacts, const std::string& log) {
  std::size_t pos = 0;
  while (pos < log.size()) {
    std::size_t end = log.find('\n', pos);
    if (end == std::string::npos) end = log.size();
    std::string_view line(log.data() + pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    contacts.addLine(line);
    pos = end + 1;
  }
}

struct TableCase {
  const char* name;
  std::string database;
  std::vector<std::string> logs;
  std::string expected;  // empty: nothing to write
  TakeOverCounts counts;
};

class TakeOverTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(TakeOverTable, WritesExactlyTheExpectedFile) {
  const TableCase& c = GetParam();
  ContactCollector contacts;
  for (const auto& log : c.logs) feed(contacts, log);
  std::string separator = ";";
  const TakeOverPlan plan = planTakeOver(c.database, contacts, separator);
  EXPECT_EQ(plan.text, c.expected);
  EXPECT_EQ(plan.counts.added, c.counts.added);
  EXPECT_EQ(plan.counts.changed, c.counts.changed);
  EXPECT_EQ(plan.counts.unchanged, c.counts.unchanged);
  EXPECT_EQ(plan.counts.skipped, c.counts.skipped);
  EXPECT_EQ(separator, ",");
}

const std::string kHead = "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n";
const std::string kEnd = "ZZZZZZ,End-Of-Call3-Database 2019.01.01 Orvanta\r\n\r\n";
const std::string kQ2 = "Q2BCD,JO02AA,,,,,,01/19\r\n";
const std::string kQ4 = "Q4DEF,JO04AA,,,,,,01/19\r\n";

INSTANTIATE_TEST_SUITE_P(
    Contacts, TakeOverTable,
    ::testing::Values(
        TableCase{"AWebAddressInALogCommentIsNoCommentMark",
                  kHead + kQ2 + kEnd,
                  {"2019-05-07,12:00:00,2019-05-07,12:01:00,Q3ABC,JO03,144.174,FT8,-10,-12,100,"
                   "see https://q3abc.example,Hans\n"},
                  kHead + kQ2 + "Q3ABC,JO03,,,,,,05/19\r\n" + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"NewStationFirst",
                  kHead + kQ2 + kQ4 + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "jo01ab")},
                  kHead + "Q1ABC,JO01AB,,,,,,05/19\r\n" + kQ2 + kQ4 + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"NewStationBetweenTwo",
                  kHead + kQ2 + kQ4 + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q3ABC", "JO03")},
                  kHead + kQ2 + "Q3ABC,JO03,,,,,,05/19\r\n" + kQ4 + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"NewStationLastGoesBeforeTheTerminator",
                  kHead + kQ2 + kQ4 + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q5ABC", "JO05")},
                  kHead + kQ2 + kQ4 + "Q5ABC,JO05,,,,,,05/19\r\n" + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"WithoutTerminatorAtTheEndAfterALineEndIsAdded",
                  kHead + "Q2BCD,JO02AA,,,,,,01/19",
                  {shortContact("2019-05-07", "12:00:00", "Q5ABC", "JO05"),
                   shortContact("2019-06-07", "12:00:00", "Q3ABC", "JO03")},
                  kHead + "Q2BCD,JO02AA,,,,,,01/19\r\nQ3ABC,JO03,,,,,,06/19\r\nQ5ABC,JO05,,,,,,05/19\r\n",
                  {2, 0, 0, 0}},
        TableCase{"ALineEndCutShortIsCompletedBeforeNewLines",
                  "Q2BCD,JO02AA,,,,,,01/19\r",
                  {shortContact("2019-05-07", "12:00:00", "Q5ABC", "JO05")},
                  "Q2BCD,JO02AA,,,,,,01/19\r\nQ5ABC,JO05,,,,,,05/19\r\n",
                  {1, 0, 0, 0}},
        TableCase{"EmptyDatabase",
                  "",
                  {shortContact("2019-05-07", "12:00:00", "Q5ABC", "JO05")},
                  "Q5ABC,JO05,,,,,,05/19\r\n",
                  {1, 0, 0, 0}},
        TableCase{"RecordDatedLaterStays",
                  kHead + "Q1ABC,JO01AA,EME,,,,,06/19\r\n" + kEnd,
                  {shortContact("2019-05-31", "23:59:59", "Q1ABC", "JO09")},
                  "",
                  {0, 0, 1, 0}},
        TableCase{"RecordOfTheSameMonthStays",
                  kHead + "Q1ABC,JO01AA,EME,,,,,05/19\r\n" + kEnd,
                  {shortContact("2019-05-31", "23:59:59", "Q1ABC", "JO09")},
                  "",
                  {0, 0, 1, 0}},
        TableCase{"UndatedRecordChanges",
                  kHead + "Q1ABC,JO01AA,EME,,,,,\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09XX")},
                  kHead + "Q1ABC,JO09XX,EME,,,,,05/19\r\n" + kEnd,
                  {0, 1, 0, 0}},
        TableCase{"RecordOfTheLastCenturyIsOlder",
                  kHead + "Q1ABC,JO01AA,EME,,,,,12/95\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09")},
                  kHead + "Q1ABC,JO09,EME,,,,,05/19\r\n" + kEnd,
                  {0, 1, 0, 0}},
        TableCase{"SameSquareAsFourCharactersStays",
                  kHead + "Q1ABC,jo01ab,EME,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO01")},
                  "",
                  {0, 0, 1, 0}},
        TableCase{"SameLocatorInAnotherCaseStays",
                  kHead + "Q1ABC, jo01ab ,EME,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO01AB")},
                  "",
                  {0, 0, 1, 0}},
        TableCase{"SixCharactersRefineAFourCharacterLocator",
                  kHead + "Q1ABC,JO01,EME,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO01AB")},
                  kHead + "Q1ABC,JO01AB,EME,,,,,05/19\r\n" + kEnd,
                  {0, 1, 0, 0}},
        TableCase{"InvalidGridsAndCallsAreSkipped",
                  kHead + kQ2 + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "RR73") +
                   shortContact("2019-05-07", "12:01:00", "Q1ABC", "-12") +
                   shortContact("2019-05-07", "12:02:00", "QABC", "JO01") +
                   shortContact("2019-05-07", "12:03:00", "Q1", "JO01") +
                   shortContact("2019-13-07", "12:03:00", "Q1ABC", "JO01") +
                   shortContact("2019-05-07", "25:00:00", "Q1ABC", "JO01") +
                   shortContact("2019-05-07", "12:04:00", "Q1ABC", "")},
                  "",
                  {0, 0, 0, 7}},
        TableCase{"ASkippedContactDoesNotHideAnOlderValidOne",
                  kHead + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO01") +
                   shortContact("2019-06-07", "12:00:00", "Q1ABC", "RR73")},
                  kHead + "Q1ABC,JO01,,,,,,05/19\r\n" + kEnd,
                  {1, 0, 0, 1}},
        TableCase{"NoContactLinesAreNotCounted",
                  kHead + kEnd,
                  {"\n// comment,a,b,c,d,e,f\n2019-05-07,12:00:00,Q1ABC,JO01,144\n"},
                  "",
                  {0, 0, 0, 0}},
        TableCase{"SameCallInTwoLogsNewestWins",
                  kHead + "Q1ABC,JO01AA,,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-07-01", "08:00:00", "Q1ABC", "JO07") +
                       shortContact("2019-03-01", "08:00:00", "Q1ABC", "JO03"),
                   longContact("2019-06-30", "23:59:59", "Q1ABC", "JO06")},
                  kHead + "Q1ABC,JO07,,,,,,07/19\r\n" + kEnd,
                  {0, 1, 0, 0}},
        TableCase{"EqualTimesTheLaterLineWins",
                  kHead + kEnd,
                  {shortContact("2019-07-01", "08:00:00", "Q1ABC", "JO07"),
                   shortContact("2019-07-01", "08:00:00", "Q1ABC", "JO08")},
                  kHead + "Q1ABC,JO08,,,,,,07/19\r\n" + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"EarlyWsjtxDatesWithMonthNames",
                  kHead + kEnd,
                  {shortContact("2018-Dec-24", "1800", "q1abc", "JO01"),
                   longContact("2018-NOV-24", "18:00", "Q1ABC", "JO02")},
                  kHead + "Q1ABC,JO01,,,,,,12/18\r\n" + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"CrLfAndWindows1252Kept",
                  "//h\r\nQ1ABC,JO01AA,M\xFC"
                  "ller,,,,,\r\nQ4DEF,JO04AA,\xE4,,,,,01/19",
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09") +
                   shortContact("2019-05-07", "12:00:00", "Q2ABC", "JO02")},
                  "//h\r\nQ1ABC,JO09,M\xFC"
                  "ller,,,,,05/19\r\nQ2ABC,JO02,,,,,,05/19\r\nQ4DEF,JO04AA,\xE4,,,,,01/19",
                  {1, 1, 0, 0}},
        TableCase{
            "LfAndByteOrderMarkKept",
            "\xEF\xBB\xBFQ4DEF,JO04AA,,,,,,01/19\nZZZZZZ\n",
            {shortContact("2019-05-07", "12:00:00", "Q2ABC", "JO02") +
             shortContact("2019-05-07", "12:00:00", "Q5ABC", "JO05")},
            "\xEF\xBB\xBFQ2ABC,JO02,,,,,,05/19\nQ4DEF,JO04AA,,,,,,01/19\nQ5ABC,JO05,,,,,,05/19\nZZZZZZ\n",
            {2, 0, 0, 0}},
        TableCase{"PortableCallsAreStationsOfTheirOwn",
                  kHead + "Q1ABC,JO01AA,,,,,,01/19\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC/P", "JO09"),
                   shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO01")},
                  kHead + "Q1ABC,JO01AA,,,,,,01/19\r\nQ1ABC/P,JO09,,,,,,05/19\r\n" + kEnd,
                  {1, 0, 1, 0}},
        TableCase{"OnlyTheFirstRecordOfACallCounts",
                  kHead + "Q1ABC,JO01AA,,,,,,01/18\r\n q1abc ,JO01AA,,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09")},
                  kHead + "Q1ABC,JO09,,,,,,05/19\r\n q1abc ,JO01AA,,,,,,01/18\r\n" + kEnd,
                  {0, 1, 0, 0}},
        TableCase{"CommentsAreNoRecords",
                  kHead + "Q1ABC,JO01AA,see http://q1abc,,,,,01/18\r\n" + kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09")},
                  kHead + "Q1ABC,JO01AA,see http://q1abc,,,,,01/18\r\nQ1ABC,JO09,,,,,,05/19\r\n" + kEnd,
                  {1, 0, 0, 0}},
        TableCase{"ShortRecordsAreBroughtToEightFields",
                  kHead +
                      "Q1ABC\r\nQ2ABC,JO01AA\r\nQ3ABC,JO01AA,EME,01/18\r\nQ4ABC,JO01AA,EME,,,,R1,X,Y\r\n" +
                      kEnd,
                  {shortContact("2019-05-07", "12:00:00", "Q1ABC", "JO09") +
                   shortContact("2019-05-07", "12:00:00", "Q2ABC", "JO09") +
                   shortContact("2019-05-07", "12:00:00", "Q3ABC", "JO09") +
                   shortContact("2019-05-07", "12:00:00", "Q4ABC", "JO09")},
                  kHead + "Q1ABC,JO09,,,,,,05/19\r\nQ2ABC,JO09,,,,,,05/19\r\nQ3ABC,JO09,EME,,,,,05/19\r\n" +
                      "Q4ABC,JO09,EME,,,,R1 Y X,05/19\r\n" + kEnd,
                  {0, 4, 0, 0}},
        TableCase{"RecordAfterTheTerminatorStillOrdersNewCalls",
                  "Q2ABC,JO02,,,,,,01/19\nZZZZZZ\nQ8ABC\n",
                  {shortContact("2019-05-07", "12:00:00", "Q3ABC", "JO03") +
                   shortContact("2019-05-07", "12:00:00", "Q9ABC", "JO09")},
                  "Q2ABC,JO02,,,,,,01/19\nQ9ABC,JO09,,,,,,05/19\nZZZZZZ\nQ3ABC,JO03,,,,,,05/19\nQ8ABC\n",
                  {2, 0, 0, 0}}),
    testing::CaseName());

TEST(RemarkCharacters, NamesWhatTheEncodingCannotHold) {
  const std::string remark = "\xE2\x82\xAC \xC3\xBC \xE6\x97\xA5 \xC5\x81\xE6\x97\xA5?";  // € ü 日 Ł日?
  EXPECT_EQ(charactersNotHeld(remark, Encoding::Windows1252), "\xE6\x97\xA5 \xC5\x81");
  EXPECT_EQ(charactersNotHeld(remark, Encoding::Utf8), "");
}

struct CheckCase {
  const char* name;
  const char* call;
  const char* locator;
  const char* remark;
  StationProblem expected;
};

class StationCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(StationCheck, TellsWhatIsWrong) {
  const CheckCase& c = GetParam();
  EXPECT_EQ(checkStation(c.call, c.locator, c.remark), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, StationCheck,
    ::testing::Values(
        CheckCase{"Valid", " q1abc ", " jo62qm ", "EME 2m", StationProblem::None},
        CheckCase{"PortableAndEightCharacters", "Q1ABC/P", "JO62QM12", "", StationProblem::None},
        CheckCase{"CallWithoutDigit", "QABC", "JO62", "", StationProblem::Call},
        CheckCase{"CallWithoutLetter", "123", "JO62", "", StationProblem::Call},
        CheckCase{"CallTooLong", "Q1ABCDEFGHIJKL", "JO62", "", StationProblem::Call},
        CheckCase{"CallWithComma", "Q1A,BC", "JO62", "", StationProblem::Call},
        CheckCase{"CallWithTerminator", "Q1ZZZ", "JO62", "", StationProblem::CallTerminator},
        CheckCase{"LocatorRR73", "Q1ABC", "RR73", "", StationProblem::Locator},
        CheckCase{"LocatorOutOfRange", "Q1ABC", "SA12", "", StationProblem::Locator},
        CheckCase{"LocatorSubsquareOutOfRange", "Q1ABC", "JO62YA", "", StationProblem::Locator},
        CheckCase{"LocatorOfFiveCharacters", "Q1ABC", "JO62Q", "", StationProblem::Locator},
        CheckCase{"LocatorEmpty", "Q1ABC", "", "", StationProblem::Locator},
        CheckCase{"RemarkWithComma", "Q1ABC", "JO62", "a,b", StationProblem::Remark},
        CheckCase{"RemarkWithComment", "Q1ABC", "JO62", "http://x", StationProblem::Remark},
        CheckCase{"RemarkWithTerminator", "Q1ABC", "JO62", "ZZZ", StationProblem::Remark},
        CheckCase{"RemarkWithLineEnd", "Q1ABC", "JO62", "EME\r\nQ9XYZ", StationProblem::RemarkControl},
        CheckCase{"CallWithDoubleSlash", "A//1B", "JO01", "", StationProblem::Call},
        CheckCase{"CallStartingWithSlash", "/Q1ABC", "JO01", "", StationProblem::Call},
        CheckCase{"CallEndingWithSlash", "Q1ABC/", "JO01", "", StationProblem::Call},
        CheckCase{"RemarkWithTab", "Q1ABC", "JO62", "a\tb", StationProblem::RemarkControl},
        CheckCase{"RemarkWithC1Control", "Q1ABC", "JO62", "a\xC2\x85", StationProblem::RemarkControl},
        CheckCase{"RemarkWithLineSeparator", "Q1ABC", "JO62", "a\xE2\x80\xA8",
                  StationProblem::RemarkControl}),
    testing::CaseName());

struct AddCase {
  const char* name;
  std::string database;
  std::string remark;  // UTF-8, as typed
  std::string expected;
  bool existed;
};

class AddStationByHand : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddStationByHand, WritesTheStation) {
  const AddCase& c = GetParam();
  std::string separator;
  const AddStationPlan plan = planAddStation(c.database, " q1abc ", "jo62qm", c.remark, separator);
  EXPECT_EQ(plan.text, c.expected);
  EXPECT_EQ(plan.existed, c.existed);
  EXPECT_EQ(plan.call, "Q1ABC");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddStationByHand,
    ::testing::Values(
        AddCase{"NewInCallOrderWithoutDate", kHead + "Q0ABC,JO01,,,,,,01/19\r\n" + kQ2 + kEnd, "EME",
                kHead + "Q0ABC,JO01,,,,,,01/19\r\nQ1ABC,JO62QM,EME,,,,,\r\n" + kQ2 + kEnd, false},
        AddCase{"ExistingGetsLocatorRemarkAndNoDate", kHead + "Q1ABC,JO01,old,act,rig,x,y,01/19\r\n" + kEnd,
                "new", kHead + "Q1ABC,JO62QM,new,act,rig,x,y,\r\n" + kEnd, true},
        AddCase{"ExistingShortRecordIsPadded", "Q1ABC,JO01\n", "", "Q1ABC,JO62QM,,,,,,\n", true},
        AddCase{"RemarkInTheDatabasesEncoding", "Q0ABC,JO01,\xE4,,,,,\r\n", "M\xC3\xBCller",
                "Q0ABC,JO01,\xE4,,,,,\r\nQ1ABC,JO62QM,M\xFCller,,,,,\r\n", false},
        AddCase{"RemarkInUtf8Database", "Q0ABC,JO01,\xC3\xA4,,,,,\n", "M\xC3\xBCller",
                "Q0ABC,JO01,\xC3\xA4,,,,,\nQ1ABC,JO62QM,M\xC3\xBCller,,,,,\n", false},
        AddCase{"RemarkAnAsciiDatabaseCannotHold", "Q0ABC,JO01,,,,,,\r\n", "\xE6\x97\xA5\xE2\x82\xAC", "",
                false}),
    testing::CaseName());

}  // namespace
}  // namespace orvanta
