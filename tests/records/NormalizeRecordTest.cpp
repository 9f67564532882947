#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/NormalizeRecord.h"

namespace orvanta {
namespace {

struct Case {
  const char* kind;
  std::string before;
  std::string date;
  std::string after;
  std::vector<std::string> fields;
};

// Every rule of the record normalization, for both kinds of database.
TEST(NormalizeRecord, Table) {
  using V = std::vector<std::string>;
  const Case cases[] = {
      // Short user records: the date goes to field 7.
      {"user", "Q1XYZ,JO62QM,EME", "", "Q1XYZ,JO62QM,EME,,,,,01/00",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
      {"user", "Q1XYZ,JO62QM,03/21", "", "Q1XYZ,JO62QM,,,,,,03/21",
       V{"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"}},
      {"user", "Q1XYZ,JO62QM,EME,A,R,X,03/21", "", "Q1XYZ,JO62QM,EME,A,R,X,,03/21",
       V{"Q1XYZ", "JO62QM", "EME", "A", "R", "X", "", "03/21"}},
      {"user", "Q1XYZ,JO62QM,EME,A,R,X,Y", "", "Q1XYZ,JO62QM,EME,A,R,X,Y,01/00",
       V{"Q1XYZ", "JO62QM", "EME", "A", "R", "X", "Y", "01/00"}},
      {"user", "Q1XYZ,JO62QM,EME", "12/26", "Q1XYZ,JO62QM,EME,,,,,12/26",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "12/26"}},
      {"user", "Q1XYZ,JO62QM,03/21", "12/26", "Q1XYZ,JO62QM,,,,,,03/21",
       V{"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"}},
      {"user", ",a,", "", ",a,,,,,,01/00", V{"", "a", "", "", "", "", "", "01/00"}},
      // Eight fields: a date stays, any other text in field 7 is replaced.
      {"user", "Q1XYZ,JO62QM,EME,,,,,03/21", "", "Q1XYZ,JO62QM,EME,,,,,03/21",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "03/21"}},
      {"user", "Q1XYZ,JO62QM,EME,,,,,", "", "Q1XYZ,JO62QM,EME,,,,,01/00",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
      {"user", "Q1XYZ,JO62QM,EME,,,,,T7", "05/19", "Q1XYZ,JO62QM,EME,,,,,05/19",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "05/19"}},
      // Nine or more: the surplus folds into fields 6 and 7, the last field first.
      {"user", "Q1XYZ,JO62QM,EME,,,,R1,03/21,X,Y", "", "Q1XYZ,JO62QM,EME,,,,R1 Y X,03/21",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "R1 Y X", "03/21"}},
      {"user", "Q1XYZ,JO62QM,,,,,R1,T7,03/21", "", "Q1XYZ,JO62QM,,,,,R1,03/21",
       V{"Q1XYZ", "JO62QM", "", "", "", "", "R1", "03/21"}},
      {"user", "Q1XYZ,JO62QM,,,,,R1,T7,X", "", "Q1XYZ,JO62QM,,,,,R1 X T7,T7",
       V{"Q1XYZ", "JO62QM", "", "", "", "", "R1 X T7", "T7"}},
      {"user", "Q1XYZ,L,,,,,, T7 ,  X  ,", "", "Q1XYZ,L,,,,,X T7, T7 ",
       V{"Q1XYZ", "L", "", "", "", "", "X T7", " T7 "}},
      {"user", "Q1XYZ,L,,,,,,,01/20,02/21", "", "Q1XYZ,L,,,,,,01/20",
       V{"Q1XYZ", "L", "", "", "", "", "", "01/20"}},
      {"user", "Q1XYZ,L,,,,,,,   ,", "04/22", "Q1XYZ,L,,,,,,", V{"Q1XYZ", "L", "", "", "", "", "", ""}},
      // One or two fields, and the empty line, stay as they are.
      {"user", "", "", "", V{}},
      {"user", "Q1XYZ", "", "Q1XYZ", V{"Q1XYZ"}},
      {"user", "Q1XYZ,JO62QM", "", "Q1XYZ,JO62QM", V{"Q1XYZ", "JO62QM"}},
      {"user", "Q1XYZ,03/21", "", "Q1XYZ,03/21", V{"Q1XYZ", "03/21"}},
      {"user", "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", "",
       "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", V{"//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ"}},
      // A line end handed in with the line is not kept in the record.
      {"user", "Q1XYZ,JO62QM,EME\r\n", "", "Q1XYZ,JO62QM,EME,,,,,01/00",
       V{"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"}},
      // Raw bytes of either encoding pass through untouched.
      {"user", "Q1\xC4X,JO62,M\xC3\xBCnchen", "", "Q1\xC4X,JO62,M\xC3\xBCnchen,,,,,01/00",
       V{"Q1\xC4X", "JO62", "M\xC3\xBCnchen", "", "", "", "", "01/00"}},
      // A log line is only split; other kinds likewise.
      {"log", "2019-05-07,10:00:00,Q1ABC,JO62,03/21", "", "2019-05-07,10:00:00,Q1ABC,JO62,03/21",
       V{"2019-05-07", "10:00:00", "Q1ABC", "JO62", "03/21"}},
      {"log", "", "", "", V{}},
      {"", "a,b,c", "", "a,b,c", V{"a", "b", "c"}},
      {"other", "a,,b,", "", "a,,b,", V{"a", "", "b", ""}},
  };
  for (const auto& c : cases) {
    std::string line = c.before;
    std::string separator = ",";
    const auto fields = NormalizeRecord(line, c.date, c.kind, separator);
    EXPECT_EQ(line, c.after) << c.kind << " [" << c.before << "]";
    EXPECT_EQ(fields, c.fields) << c.kind << " [" << c.before << "]";
    EXPECT_EQ(separator, ",");
    // The list is always the line split again: callers may use either.
    if (std::string(c.kind) == "user") {
      EXPECT_EQ(SplitFields(line, ","), fields) << c.before;
    }
  }
}

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

// Separators other than one comma still give the list of the rewritten line.
TEST(NormalizeRecord, ListIsTheRewrittenLineForAnySeparator) {
  struct SepCase {
    std::string separator;
    std::string before;
    std::string date;
  };
  const SepCase cases[] = {
      {";;", "a;;b;;c", ""},
      {";;", "a;;b;;03/21", ""},
      {";;", "a;;b;;c;;d;;e;;f;;g;;h;;i", ""},
      {" ", "a b c d e f g h i j", ""},
      {",", "a,b,c", "1,2"},
      {",", "a,b,c,d,e,f,g,h", "1,2"},
  };
  for (const auto& c : cases) {
    std::string line = c.before;
    std::string separator = c.separator;
    const auto fields = NormalizeRecord(line, c.date, "user", separator);
    EXPECT_EQ(fields, SplitFields(line, separator)) << c.before;
  }
}

TEST(LineClasses, Table) {
  struct LineCase {
    std::string line;
    bool comment, search, merge, monthEnd;
  };
  const LineCase cases[] = {
      {"//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", true, false, false, false},
      {"Q1XYZ,JO62QM,see http://example.org,,,,,03/21", true, false, false, false},
      {"ZZZZZZ,End-Of-Call3-Database 2026.12.07 Orvanta x", false, true, true, true},
      {"ZZZZZZ", false, true, true, true},
      {"ZZZZZZZ,x", false, true, false, true},
      {"Q1ZZZZZZ,JO62", false, true, false, true},
      {"Q1ZZZ,JO62", false, false, false, true},
      {"zzzzzz,x", false, false, false, false},
      {"Q1XYZ,JO62QM", false, false, false, false},
      {"", false, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCommentLine(c.line), c.comment) << c.line;
    EXPECT_EQ(IsSearchTerminator(c.line), c.search) << c.line;
    EXPECT_EQ(IsMergeTerminator(c.line), c.merge) << c.line;
    EXPECT_EQ(IsMonthEndTerminator(c.line), c.monthEnd) << c.line;
  }
  EXPECT_TRUE(IsEmptyLine(""));
  EXPECT_FALSE(IsEmptyLine(" "));
}

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
  EXPECT_EQ(NormalizeRecord(log, "", "log", separator).size(), 1000003u);
  EXPECT_EQ(log, huge);
  std::string user = huge;
  const auto fields = NormalizeRecord(user, "", "user", separator);
  ASSERT_EQ(fields.size(), 8u);
  EXPECT_EQ(fields[6].size(), 2u * 999995 - 1);  // field 6 and fields 8 to 1000001, joined by blanks
  EXPECT_EQ(fields[7], "03/21");

  std::string binary(3u << 20, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7919 % 251);
  std::string copy = binary;
  const auto binaryFields = NormalizeRecord(copy, "", "user", separator);
  EXPECT_LE(binaryFields.size(), 8u);
}

}  // namespace
}  // namespace orvanta
