#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fakes/TempDir.h"
#include "records/NormalizeRecord.h"
#include "records/RecordView.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

const std::string kExamples = ORVANTA_EXAMPLES_DIR;

// The sample database shows every shape of record the program has to cope with.
TEST(Examples, Call3HasEveryShapeOfLine) {
  StdFileSystem files;
  const std::string path = kExamples + "/CALL3.txt";
  const TextFileContent content = readTextFile(files, path);
  EXPECT_EQ(content.format, (TextFormat{Encoding::Windows1252, false, LineEnd::CrLf}));
  EXPECT_EQ(joinLines(content.lines, content.format), testing::readFile(path));
  ASSERT_GE(content.lines.size(), 30U);
  EXPECT_EQ(content.lines.front(), "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ");
  EXPECT_EQ(content.lines.back(), "");
  EXPECT_TRUE(isMergeTerminator(content.lines[content.lines.size() - 2]));

  std::set<std::string> shapes;
  for (std::size_t i = 1; i + 2 < content.lines.size(); ++i) {
    std::string line = content.lines[i];
    if (isEmptyLine(line)) {
      shapes.insert("empty");
      continue;
    }
    if (isCommentLine(line)) {
      shapes.insert("remark with //");
      continue;
    }
    EXPECT_FALSE(isSearchTerminator(line)) << line;
    EXPECT_EQ(upperCaseWindows1252(line.substr(0, 1)), "Q") << "invented call signs only: " << line;
    const auto stored = splitFields(line, ",");
    const std::size_t n = stored.size();
    std::string separator = ",";
    const auto fields = NormalizeRecord(line, "", "user", separator);
    if (n == 2) shapes.insert("two fields");
    if (n >= 3 && n <= 7) {
      shapes.insert(stored.back().find('/') != std::string::npos ? "short with date" : "short without date");
    }
    if (n == 8) shapes.insert("regular");
    if (n > 8) shapes.insert("over-long");
    if (content.lines[i].find("Feld") != std::string::npos) shapes.insert("placeholder");
    if (toUtf8(content.lines[i], Encoding::Windows1252).size() != content.lines[i].size())
      shapes.insert("accents");
    if (n >= 3) {
      EXPECT_EQ(fields.size(), 8U) << content.lines[i];
    }
  }
  EXPECT_EQ(shapes,
            (std::set<std::string>{"empty", "remark with //", "two fields", "short with date",
                                   "short without date", "regular", "over-long", "placeholder", "accents"}));
}

TEST(Examples, LogHasTheLayoutsOfEveryWsjtxVersion) {
  StdFileSystem files;
  const TextFileContent content = readTextFile(files, kExamples + "/wsjtx.log");
  EXPECT_EQ(content.format, (TextFormat{Encoding::Utf8, false, LineEnd::Lf}));
  std::set<std::size_t> counts;
  std::multiset<std::string> calls;
  std::vector<std::string_view> fields;
  RecordBoxes boxes;
  for (std::string line : content.lines) {
    std::string separator = ",";
    normalizeRecordFields(line, "", "log", separator, fields);
    counts.insert(fields.size());
    calls.insert(std::string(fields.at(4)));
    fillRecordBoxes(fields, "log", boxes);
    EXPECT_EQ(boxes.surplusFields, 0U) << line;
    ASSERT_TRUE(boxes.hasRecordKey) << line;
    EXPECT_EQ(boxes.recordKey.size(), 19U) << line;  // yyyy-MM-dd,hh:mm:ss
  }
  EXPECT_EQ(counts, (std::set<std::size_t>{13, 14, 17}));
  EXPECT_GE(calls.count("Q1ABC"), 5U);  // one station worked many times, for the steps
}

}  // namespace
}  // namespace orvanta
