#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "records/NormalizeRecord.h"

namespace orvanta {
namespace {

using Fields = std::vector<std::string>;

struct RuleCase {
  const char* name;
  friend void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }
  const char* kind;
  std::string before;
  std::string date;
  std::string after;
  Fields fields;
};

class NormalizeRule : public ::testing::TestWithParam<RuleCase> {};

// Every rule of the record normalization, for both kinds of database.
TEST_P(NormalizeRule, RewritesTheLineAndGivesItsFields) {
  const RuleCase& c = GetParam();
  std::string line = c.before;
  std::string separator = ",";
  const auto fields = NormalizeRecord(line, c.date, c.kind, separator);
  EXPECT_EQ(line, c.after);
  EXPECT_EQ(fields, c.fields);
  EXPECT_EQ(separator, ",");
  // The list is always the line split again: callers may use either.
  if (std::string(c.kind) == "user") {
    EXPECT_EQ(splitFields(line, ","), fields);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeRule,
    ::testing::Values(
        // Short user records: the date goes to field 7.
        RuleCase{"ThreeFieldsGetTheDefaultDate", "user", "Q1XYZ,JO62QM,EME", "", "Q1XYZ,JO62QM,EME,,,,,01/00",
                 Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
        RuleCase{"ALastFieldWithASlashMovesToField7", "user", "Q1XYZ,JO62QM,03/21", "",
                 "Q1XYZ,JO62QM,,,,,,03/21", Fields{"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"}},
        RuleCase{"SevenFieldsEndingInADate", "user", "Q1XYZ,JO62QM,EME,A,R,X,03/21", "",
                 "Q1XYZ,JO62QM,EME,A,R,X,,03/21",
                 Fields{"Q1XYZ", "JO62QM", "EME", "A", "R", "X", "", "03/21"}},
        RuleCase{"SevenFieldsWithoutADate", "user", "Q1XYZ,JO62QM,EME,A,R,X,Y", "",
                 "Q1XYZ,JO62QM,EME,A,R,X,Y,01/00",
                 Fields{"Q1XYZ", "JO62QM", "EME", "A", "R", "X", "Y", "01/00"}},
        RuleCase{"TheCallersDateForARecordWithout", "user", "Q1XYZ,JO62QM,EME", "12/26",
                 "Q1XYZ,JO62QM,EME,,,,,12/26", Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "12/26"}},
        RuleCase{"TheRecordsOwnDateBeatsTheCallers", "user", "Q1XYZ,JO62QM,03/21", "12/26",
                 "Q1XYZ,JO62QM,,,,,,03/21", Fields{"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"}},
        RuleCase{"EmptyFieldsCount", "user", ",a,", "", ",a,,,,,,01/00",
                 Fields{"", "a", "", "", "", "", "", "01/00"}},
        // Eight fields: a date stays, any other text in field 7 is replaced.
        RuleCase{"EightFieldsWithADateStay", "user", "Q1XYZ,JO62QM,EME,,,,,03/21", "",
                 "Q1XYZ,JO62QM,EME,,,,,03/21", Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "03/21"}},
        RuleCase{"EightFieldsWithAnEmptyField7", "user", "Q1XYZ,JO62QM,EME,,,,,", "",
                 "Q1XYZ,JO62QM,EME,,,,,01/00", Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
        RuleCase{"EightFieldsWithTextInField7", "user", "Q1XYZ,JO62QM,EME,,,,,T7", "05/19",
                 "Q1XYZ,JO62QM,EME,,,,,05/19", Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "05/19"}},
        // Nine or more: the surplus folds into fields 6 and 7, the last field first.
        RuleCase{"SurplusTextFoldsLastFirst", "user", "Q1XYZ,JO62QM,EME,,,,R1,03/21,X,Y", "",
                 "Q1XYZ,JO62QM,EME,,,,R1 Y X,03/21",
                 Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "R1 Y X", "03/21"}},
        RuleCase{"ALaterDateReplacesField7", "user", "Q1XYZ,JO62QM,,,,,R1,T7,03/21", "",
                 "Q1XYZ,JO62QM,,,,,R1,03/21", Fields{"Q1XYZ", "JO62QM", "", "", "", "", "R1", "03/21"}},
        RuleCase{"NoDateAnywhere", "user", "Q1XYZ,JO62QM,,,,,R1,T7,X", "", "Q1XYZ,JO62QM,,,,,R1 X T7,T7",
                 Fields{"Q1XYZ", "JO62QM", "", "", "", "", "R1 X T7", "T7"}},
        RuleCase{"SurplusIsTrimmed", "user", "Q1XYZ,L,,,,,, T7 ,  X  ,", "", "Q1XYZ,L,,,,,X T7, T7 ",
                 Fields{"Q1XYZ", "L", "", "", "", "", "X T7", " T7 "}},
        RuleCase{"TheFirstOfTwoSurplusDatesWins", "user", "Q1XYZ,L,,,,,,,01/20,02/21", "",
                 "Q1XYZ,L,,,,,,01/20", Fields{"Q1XYZ", "L", "", "", "", "", "", "01/20"}},
        RuleCase{"BlankSurplusIsDropped", "user", "Q1XYZ,L,,,,,,,   ,", "04/22", "Q1XYZ,L,,,,,,",
                 Fields{"Q1XYZ", "L", "", "", "", "", "", ""}},
        // One or two fields, and the empty line, stay as they are.
        RuleCase{"EmptyLine", "user", "", "", "", Fields{}},
        RuleCase{"OneField", "user", "Q1XYZ", "", "Q1XYZ", Fields{"Q1XYZ"}},
        RuleCase{"TwoFields", "user", "Q1XYZ,JO62QM", "", "Q1XYZ,JO62QM", Fields{"Q1XYZ", "JO62QM"}},
        RuleCase{"TwoFieldsEndingInADate", "user", "Q1XYZ,03/21", "", "Q1XYZ,03/21",
                 Fields{"Q1XYZ", "03/21"}},
        RuleCase{"HeaderComment", "user", "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", "",
                 "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ",
                 Fields{"//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ"}},
        // A line end handed in with the line is not kept in the record.
        RuleCase{"ALineEndHandedIn", "user", "Q1XYZ,JO62QM,EME\r\n", "", "Q1XYZ,JO62QM,EME,,,,,01/00",
                 Fields{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
        // Raw bytes of either encoding pass through untouched.
        RuleCase{"RawBytesOfBothEncodings", "user", "Q1\xC4X,JO62,M\xC3\xBCnchen", "",
                 "Q1\xC4X,JO62,M\xC3\xBCnchen,,,,,01/00",
                 Fields{"Q1\xC4X", "JO62", "M\xC3\xBCnchen", "", "", "", "", "01/00"}},
        // A log line is only split; other kinds likewise.
        RuleCase{"LogLineIsOnlySplit", "log", "2019-05-07,10:00:00,Q1ABC,JO62,03/21", "",
                 "2019-05-07,10:00:00,Q1ABC,JO62,03/21",
                 Fields{"2019-05-07", "10:00:00", "Q1ABC", "JO62", "03/21"}},
        RuleCase{"EmptyLogLine", "log", "", "", "", Fields{}},
        RuleCase{"NoKind", "", "a,b,c", "", "a,b,c", Fields{"a", "b", "c"}},
        RuleCase{"OtherKind", "other", "a,,b,", "", "a,,b,", Fields{"a", "", "b", ""}}),
    testing::CaseName());

TEST(NormalizeRecord, LogSetsTheSeparatorOtherKindsUseIt) {
  std::string line = "a;b,c";
  std::string separator = ";";
  EXPECT_EQ(NormalizeRecord(line, "", "", separator), (std::vector<std::string>{"a", "b,c"}));
  EXPECT_EQ(separator, ";");
  EXPECT_EQ(NormalizeRecord(line, "", "log", separator), (std::vector<std::string>{"a;b", "c"}));
  EXPECT_EQ(separator, ",");
  EXPECT_EQ(line, "a;b,c");
  // Before the first activation the separator is still empty: the line is one field.
  std::string empty;
  line = "Q1XYZ,JO62QM,EME";
  EXPECT_EQ(NormalizeRecord(line, "", "user", empty), (std::vector<std::string>{"Q1XYZ,JO62QM,EME"}));
  EXPECT_EQ(line, "Q1XYZ,JO62QM,EME");
}

// A record's own date holds for that record only; the caller's date is kept
// for the next one, as the month-end update relies on.
TEST(NormalizeRecord, OwnDateDoesNotLeakIntoTheNextRecord) {
  const std::string month = "12/26";
  std::string separator = ",";
  std::string first = "Q1AAA,JO01,03/21";
  std::string second = "Q1BBB,JO02,EME";
  NormalizeRecord(first, month, "user", separator);
  NormalizeRecord(second, month, "user", separator);
  EXPECT_EQ(first, "Q1AAA,JO01,,,,,,03/21");
  EXPECT_EQ(second, "Q1BBB,JO02,EME,,,,,12/26");
}

struct SeparatorCase {
  const char* name;
  friend void PrintTo(const SeparatorCase& c, std::ostream* os) { *os << c.name; }
  std::string separator;
  std::string before;
  std::string date;
};

class NormalizeSeparator : public ::testing::TestWithParam<SeparatorCase> {};

// Separators other than one comma still give the list of the rewritten line.
TEST_P(NormalizeSeparator, ListIsTheRewrittenLine) {
  const SeparatorCase& c = GetParam();
  std::string line = c.before;
  std::string separator = c.separator;
  const auto fields = NormalizeRecord(line, c.date, "user", separator);
  EXPECT_EQ(fields, splitFields(line, separator));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeSeparator,
    ::testing::Values(SeparatorCase{"TwoBytesShort", ";;", "a;;b;;c", ""},
                      SeparatorCase{"TwoBytesWithADate", ";;", "a;;b;;03/21", ""},
                      SeparatorCase{"TwoBytesFolded", ";;", "a;;b;;c;;d;;e;;f;;g;;h;;i", ""},
                      SeparatorCase{"BlankFolded", " ", "a b c d e f g h i j", ""},
                      SeparatorCase{"ADateHoldingTheSeparator", ",", "a,b,c", "1,2"},
                      SeparatorCase{"EightFieldsAndSuchADate", ",", "a,b,c,d,e,f,g,h", "1,2"}),
    testing::CaseName());

struct LineClassCase {
  const char* name;
  friend void PrintTo(const LineClassCase& c, std::ostream* os) { *os << c.name; }
  std::string line;
  bool comment, search, merge, monthEnd;
};

class LineClasses : public ::testing::TestWithParam<LineClassCase> {};

TEST_P(LineClasses, EachReaderTellsItsOwn) {
  const LineClassCase& c = GetParam();
  EXPECT_EQ(isCommentLine(c.line), c.comment);
  EXPECT_EQ(isSearchTerminator(c.line), c.search);
  EXPECT_EQ(isMergeTerminator(c.line), c.merge);
  EXPECT_EQ(isMonthEndTerminator(c.line), c.monthEnd);
  EXPECT_EQ(isEmptyLine(c.line), c.line.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineClasses,
    ::testing::Values(LineClassCase{"HeaderComment", "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", true,
                                    false, false, false},
                      LineClassCase{"SlashesInARemark", "Q1XYZ,JO62QM,see http://example.org,,,,,03/21", true,
                                    false, false, false},
                      LineClassCase{"Terminator", "ZZZZZZ,End-Of-Call3-Database 2026.12.07 Orvanta x", false,
                                    true, true, true},
                      LineClassCase{"BareTerminator", "ZZZZZZ", false, true, true, true},
                      LineClassCase{"SevenZs", "ZZZZZZZ,x", false, true, false, true},
                      LineClassCase{"SixZsInACall", "Q1ZZZZZZ,JO62", false, true, false, true},
                      LineClassCase{"ThreeZsInACall", "Q1ZZZ,JO62", false, false, false, true},
                      LineClassCase{"LowerCaseZs", "zzzzzz,x", false, false, false, false},
                      LineClassCase{"Record", "Q1XYZ,JO62QM", false, false, false, false},
                      LineClassCase{"Empty", "", false, false, false, false},
                      LineClassCase{"Blank", " ", false, false, false, false}),
    testing::CaseName());

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// A line of megabytes and a million fields is folded in one pass.
TEST(NormalizeRecord, HugeLines) {
  std::string huge = "Q1XYZ,JO62QM";
  for (int i = 0; i < 1000000; ++i) huge += ",x";
  huge += ",03/21";
  std::string separator = ",";
  std::string log = huge;
  EXPECT_EQ(NormalizeRecord(log, "", "log", separator).size(), 1000003U);
  EXPECT_EQ(log, huge);
  std::string user = huge;
  const auto fields = NormalizeRecord(user, "", "user", separator);
  ASSERT_EQ(fields.size(), 8U);
  EXPECT_EQ(fields[6].size(), 2U * 999995 - 1);  // field 6 and fields 8 to 1000001, joined by blanks
  EXPECT_EQ(fields[7], "03/21");

  std::string binary(3U << 20, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7919 % 251);
  std::string copy = binary;
  const auto binaryFields = NormalizeRecord(copy, "", "user", separator);
  EXPECT_LE(binaryFields.size(), 8U);
}

}  // namespace
}  // namespace orvanta
