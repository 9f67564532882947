#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/TempDir.h"
#include "search/WorkedBefore.h"

namespace orvanta {
namespace {

struct FrequencyCase {
  const char* name;
  double mhz;
  const char* band;  // empty: none
};

class BandEdges : public ::testing::TestWithParam<FrequencyCase> {};

TEST_P(BandEdges, FrequencyGivesItsBandEdgesIncluded) {
  const auto band = bandOfFrequency(GetParam().mhz);
  EXPECT_EQ(band ? std::string(adifBands()[*band].name) : std::string(), GetParam().band);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BandEdges,
    ::testing::Values(FrequencyCase{"LowestEdge", 0.1357, "2190m"},
                      FrequencyCase{"BelowTheTable", 0.1356, ""},
                      FrequencyCase{"TopOf2190m", 0.1378, "2190m"}, FrequencyCase{"Start160m", 1.8, "160m"},
                      FrequencyCase{"Top160m", 2.0, "160m"}, FrequencyCase{"Above160m", 2.0001, ""},
                      FrequencyCase{"Top6m", 54.0, "6m"}, FrequencyCase{"Between6mAnd5m", 54.0000005, ""},
                      FrequencyCase{"Start5m", 54.000001, "5m"}, FrequencyCase{"Start2m", 144.0, "2m"},
                      FrequencyCase{"Top2m", 148.0, "2m"}, FrequencyCase{"Qo100Downlink", 10489.55, "3cm"},
                      FrequencyCase{"Top1mm", 250000.0, "1mm"}, FrequencyCase{"AboveTheTable", 300000.0, ""},
                      FrequencyCase{"Zero", 0.0, ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BandNames, AnyLetterCaseShownAsTheTableWritesIt) {
  EXPECT_EQ(adifBands()[*bandNamed("2M")].name, "2m");
  EXPECT_EQ(adifBands()[*bandNamed("70CM")].name, "70cm");
  EXPECT_EQ(adifBands()[*bandNamed("1.25Cm")].name, "1.25cm");
  EXPECT_FALSE(bandNamed("submm"));
  EXPECT_FALSE(bandNamed("2"));
  EXPECT_FALSE(bandNamed(""));
  // Longest wavelength first.
  EXPECT_EQ(adifBands().front().name, "2190m");
  EXPECT_EQ(adifBands().back().name, "1mm");
}

struct CallCase {
  const char* call;
  const char* base;
};

class BaseCalls : public ::testing::TestWithParam<CallCase> {};

TEST_P(BaseCalls, LongestPartFirstOfEqualLength) { EXPECT_EQ(baseCall(GetParam().call), GetParam().base); }

INSTANTIATE_TEST_SUITE_P(Reduction, BaseCalls,
                         ::testing::Values(CallCase{"Q1ABC/P", "Q1ABC"}, CallCase{"Q1ABC/M", "Q1ABC"},
                                           CallCase{"DL/Q1ABC", "Q1ABC"}, CallCase{"Q1ABC/QRP", "Q1ABC"},
                                           CallCase{"QD/Q1AB/P", "Q1AB"}, CallCase{"QA/QB", "QA"},
                                           CallCase{"Q1ABC", "Q1ABC"}, CallCase{"/", ""}, CallCase{"", ""}));

TEST(ContactOfLogLine, FieldsByLayout) {
  const auto shortLine = contactOfLogLine("2015-06-01,12:34:56,Q1ABC,JO62,144.174,JT65,,,Hans,tnx");
  ASSERT_TRUE(shortLine);
  EXPECT_EQ(shortLine->call, "Q1ABC");
  EXPECT_EQ(shortLine->grid, "JO62");
  EXPECT_EQ(adifBands()[*shortLine->band].name, "2m");
  EXPECT_EQ(shortLine->mode, "JT65");
  EXPECT_EQ(shortLine->date, "2015-06-01");

  const auto longLine =
      contactOfLogLine("2020-01-01,12:50:13,2020-01-01,12:51:13, Q1ABC ,jo62qm,432.065,q65,-18,-04,,,");
  ASSERT_TRUE(longLine);
  EXPECT_EQ(longLine->call, "Q1ABC");
  EXPECT_EQ(longLine->grid, "JO62QM");
  EXPECT_EQ(adifBands()[*longLine->band].name, "70cm");
  EXPECT_EQ(longLine->mode, "Q65");

  // The record's own band goes first; one outside the table does not count.
  EXPECT_EQ(adifBands()[*contactOfLogLine("d,t,d,t,Q1ABC,,432.065,FT8,,,,,", "2M")->band].name, "2m");
  EXPECT_EQ(adifBands()[*contactOfLogLine("d,t,d,t,Q1ABC,,432.065,FT8,,,,,", "9x")->band].name, "70cm");
  EXPECT_FALSE(contactOfLogLine("d,t,d,t,Q1ABC,,,FT8,,,,,")->band);
  EXPECT_FALSE(contactOfLogLine("d,t"));
}

class WorkedBeforeLogs : public ::testing::Test {
 protected:
  testing::TempDir dir;
  StdFileSystem files;

  WorkedSummary count(const std::string& call, bool base, const std::vector<std::string>& logs) {
    WorkedBeforeCount counter(call, base);
    for (const auto& log : logs) counter.addLog(files, log);
    return counter.summary();
  }
};

TEST_F(WorkedBeforeLogs, AContactInWsjtxLogAndAdifCountsOnce) {
  const std::string log =
      dir.write("wsjtx.log",
                "2020-01-01,12:50:13,2020-01-01,12:51:13,Q1ABC,JO62,144.174000,FT8,-18,-04,,,\r\n"
                "2020-01-02,08:00:00,2020-01-02,08:01:00,Q1ABC,JO62,144.174000,FT8,-18,-04,,,\r\n"
                "2020-01-02,08:00:30,2020-01-02,08:01:00,Q1ABC,JO62,144.174000,FT8,-18,-04,,,\r\n");
  const std::string adif = dir.write("wsjtx_log.adi",
                                     "WSJT-X ADIF Export<eoh>\n"
                                     "<call:5>Q1ABC <gridsquare:6>JO62QM <mode:3>FT8 <qso_date:8>20200101 "
                                     "<time_on:6>125059 <band:2>2m <freq:10>144.175972 <eor>\n"
                                     "<call:5>Q1ABC <mode:4>MFSK <submode:3>FT4 <qso_date:8>20200103 "
                                     "<time_on:4>0700 <band:3>40M <eor>\n");
  const WorkedSummary summary = count("q1abc ", false, {log, adif, log});
  EXPECT_EQ(summary.call, "Q1ABC");
  EXPECT_EQ(summary.total, 3U) << "one minute, one band: one contact, in any log and any number of times";
  EXPECT_EQ(workedBeforeText(summary),
            "40m FT4 1 2020-01-03 2020-01-03\n"
            "2m FT8 2 2020-01-01 2020-01-02\n"
            "total 3\n");
  ASSERT_EQ(summary.rows.size(), 2U);
  EXPECT_EQ(summary.rows[1].grids, std::set<std::string>{"JO62"})
      << "a contact counted once adds its grid once";
  EXPECT_EQ(summary.modes, (std::vector<std::string>{"FT4", "FT8"}));
}

TEST_F(WorkedBeforeLogs, RowsInBandOrderUnknownLastModesInByteOrder) {
  const std::string log = dir.write("a.log",
                                    "2021-05-01,10:00:00,2021-05-01,10:01:00,Q2XY,,432.1,q65,,,,,\n"
                                    "2021-05-02,10:00:00,2021-05-02,10:01:00,Q2XY,,,FT8,,,,,\n"
                                    "2021-05-03,10:00:00,2021-05-03,10:01:00,Q2XY,,1.84,MSK144,,,,,\n"
                                    "2021-04-03,10:00:00,2021-04-03,10:01:00,Q2XY,,1.84,FT4,,,,,\n"
                                    "2021-05-04,10:00:00,2021-05-04,10:01:00,Q2XYZ,,1.84,FT4,,,,,\n");
  EXPECT_EQ(workedBeforeText(count("Q2XY", false, {log})),
            "160m FT4 1 2021-04-03 2021-04-03\n"
            "160m MSK144 1 2021-05-03 2021-05-03\n"
            "70cm Q65 1 2021-05-01 2021-05-01\n"
            "? FT8 1 2021-05-02 2021-05-02\n"
            "total 4\n");
}

TEST_F(WorkedBeforeLogs, BaseCallsMatchPortableAndPrefixedCalls) {
  const std::string log = dir.write("b.log",
                                    "2022-01-01,10:00:00,2022-01-01,10:01:00,Q1ABC/P,,7.074,FT8,,,,,\n"
                                    "2022-01-01,11:00:00,2022-01-01,11:01:00,QD/Q1ABC,,7.074,FT8,,,,,\n"
                                    "2022-01-01,12:00:00,2022-01-01,12:01:00,Q1ABC,,7.074,FT8,,,,,\n"
                                    "2022-01-01,13:00:00,2022-01-01,13:01:00,Q1ABCD,,7.074,FT8,,,,,\n");
  EXPECT_EQ(count("Q1ABC", false, {log}).total, 1U);
  EXPECT_EQ(count("Q1ABC", true, {log}).total, 3U);
  EXPECT_EQ(count("Q1ABC/M", true, {log}).total, 3U);
  EXPECT_EQ(count("Q1ABC/P", false, {log}).total, 1U);
}

TEST_F(WorkedBeforeLogs, AnUnreadableLogIsNamedAndTheOthersStillCount) {
  const std::string log =
      dir.write("c.log", "2022-01-01,10:00:00,2022-01-01,10:01:00,Q1ABC,,7.074,FT8,,,,,\n");
  const std::string missing = dir.path() + "/gone.adi";
  const WorkedSummary summary = count("Q1ABC", false, {missing, log});
  EXPECT_EQ(summary.total, 1U);
  ASSERT_EQ(summary.unreadable.size(), 1U);
  EXPECT_EQ(summary.unreadable[0].first, missing);
  EXPECT_FALSE(summary.unreadable[0].second.empty());
}

TEST_F(WorkedBeforeLogs, NoContactGivesAnEmptyTable) {
  const std::string log =
      dir.write("d.log", "2022-01-01,10:00:00,2022-01-01,10:01:00,Q1ABC,,7.074,FT8,,,,,\n");
  const WorkedSummary summary = count("Q9NONE", false, {log});
  EXPECT_EQ(summary.total, 0U);
  EXPECT_TRUE(summary.rows.empty());
  EXPECT_EQ(workedBeforeText(summary), "total 0\n");
}

}  // namespace
}  // namespace orvanta
