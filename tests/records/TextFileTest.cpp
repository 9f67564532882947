#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "fakes/PieceInput.h"
#include "fakes/TempDir.h"
#include "records/NormalizeRecord.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

using namespace std::string_literals;

using testing::PieceInput;

struct ReadResult {
  std::vector<std::string> lines;
  bool bom = false, crlf = false, lf = false;
  bool operator==(const ReadResult&) const = default;
};

ReadResult readAll(const std::string& bytes, std::size_t piece, std::size_t bufferSize) {
  PieceInput input(bytes, piece);
  LineReader reader(input, bufferSize);
  ReadResult r;
  std::string line;
  while (reader.next(line)) r.lines.push_back(line);
  EXPECT_FALSE(reader.next(line));  // stays at the end
  r.bom = reader.sawByteOrderMark();
  r.crlf = reader.sawCrLf();
  r.lf = reader.sawLoneLf();
  return r;
}

struct LineEndCase {
  const char* name;
  friend void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.name; }
  std::string bytes;
  ReadResult expected;
};

class LineReaderCases : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineReaderCases, LineEndsAndByteOrderMarkForEveryReadSize) {
  const LineEndCase& c = GetParam();
  for (const std::size_t piece : {1U, 2U, 3U, 7U, 4096U}) {
    for (const std::size_t buffer : {16U, 1U << 16}) {
      EXPECT_EQ(readAll(c.bytes, piece, buffer), c.expected) << "piece " << piece << " buffer " << buffer;
    }
  }
}

using L = std::vector<std::string>;
const std::string kLine100(100, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderCases,
    ::testing::Values(LineEndCase{"Empty", "", {L{}, false, false, false}},
                      LineEndCase{"NoLineEnd", "a", {L{"a"}, false, false, false}},
                      LineEndCase{"CrLf", "a\r\n", {L{"a"}, false, true, false}},
                      LineEndCase{"Lf", "a\n", {L{"a"}, false, false, true}},
                      LineEndCase{"Mixed", "a\r\nb\nc", {L{"a", "b", "c"}, false, true, true}},
                      LineEndCase{"TwoEmptyLines", "\r\n\r\n", {L{"", ""}, false, true, false}},
                      LineEndCase{"OneEmptyLine", "\n", {L{""}, false, false, true}},
                      LineEndCase{"LoneCrIsPartOfTheLine", "a\rb\r\n", {L{"a\rb"}, false, true, false}},
                      LineEndCase{"CrEndingTheFile", "a\r", {L{"a\r"}, false, false, false}},
                      LineEndCase{"OnlyACr", "\r", {L{"\r"}, false, false, false}},
                      LineEndCase{"ByteOrderMark",
                                  "\xEF\xBB\xBF"
                                  "a\r\n",
                                  {L{"a"}, true, true, false}},
                      LineEndCase{"OnlyAByteOrderMark", "\xEF\xBB\xBF", {L{}, true, false, false}},
                      LineEndCase{"HalfAByteOrderMark", "\xEF\xBB", {L{"\xEF\xBB"}, false, false, false}},
                      LineEndCase{"OnlyTheFirstMarkCounts",
                                  "\xEF\xBB\xBF\xEF\xBB\xBF"
                                  "a",
                                  {L{"\xEF\xBB\xBF"
                                     "a"},
                                   true, false, false}},
                      LineEndCase{
                          "AMarkLaterIsText", "x\xEF\xBB\xBF\n", {L{"x\xEF\xBB\xBF"}, false, false, true}},
                      LineEndCase{"NulBytes", "a\0b\r\n\0\n"s, {L{"a\0b"s, "\0"s}, false, true, true}},
                      LineEndCase{"LinesLongerThanTheBuffer",
                                  kLine100 + "\r\n" + kLine100 + kLine100 + "\n" + kLine100,
                                  {L{kLine100, kLine100 + kLine100, kLine100}, false, true, true}}),
    testing::CaseName());

// With a longest line of 10 bytes: a longer line is refused with its number,
// counted from 1, a CR LF not counting towards it, and nothing before it is
// lost.
struct LongestLineCase {
  const char* name;
  friend void PrintTo(const LongestLineCase& c, std::ostream* os) { *os << c.name; }
  std::string bytes;
  L lines;                    // read before the refusal, or all
  std::uint64_t refusedLine;  // 0: none
};

class LineReaderLongestLine : public ::testing::TestWithParam<LongestLineCase> {};

TEST_P(LineReaderLongestLine, RefusesALongerLineByNumber) {
  const LongestLineCase& c = GetParam();
  for (const std::size_t piece : {1U, 3U, 4096U}) {
    for (const std::size_t buffer : {16U, 1U << 16}) {
      PieceInput input(c.bytes, piece);
      LineReader reader(input, buffer, 10);
      L lines;
      std::string line;
      try {
        while (reader.next(line)) lines.push_back(line);
        EXPECT_EQ(c.refusedLine, 0U) << "piece " << piece << " buffer " << buffer;
      } catch (const LineTooLongError& e) {
        EXPECT_EQ(e.line(), c.refusedLine) << "piece " << piece << " buffer " << buffer;
      }
      EXPECT_EQ(lines, c.lines) << "piece " << piece << " buffer " << buffer;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderLongestLine,
    ::testing::Values(
        LongestLineCase{"AllShortEnough", "Q1ABC\r\n0123456789\r\n", L{"Q1ABC", "0123456789"}, 0},
        LongestLineCase{"CrLfDoesNotCount", "0123456789\r\n0123456789\n", L{"0123456789", "0123456789"}, 0},
        LongestLineCase{"OneByteTooMany", "Q1ABC\n0123456789a\nQ2XYZ\n", L{"Q1ABC"}, 2},
        LongestLineCase{"FarTooLong", "a\nb\n" + std::string(100000, 'x') + "\nc\n", L{"a", "b"}, 3},
        LongestLineCase{"LastLineWithoutLineEnd", "a\r\n" + std::string(11, 'x'), L{"a"}, 2},
        LongestLineCase{"AfterAByteOrderMark", "\xEF\xBB\xBF" + std::string(11, 'x'), L{}, 1}),
    testing::CaseName());

// Several megabytes without a line end, NUL bytes and all: read in one pass.
TEST(LineReader, HugeLinesAndBinaryData) {
  std::string binary;
  binary.reserve(6U << 20);
  unsigned state = 12345;
  for (std::size_t i = 0; i < (6U << 20); ++i) {
    state = state * 1103515245U + 12345U;
    char c = static_cast<char>(state >> 16);
    if (c == '\n') c = '\0';
    binary.push_back(c);
  }
  const ReadResult one = readAll(binary, 1U << 20, 1U << 16);
  ASSERT_EQ(one.lines.size(), 1U);
  EXPECT_EQ(one.lines[0], binary);

  // Many lines and one huge line in between.
  std::string mixed;
  for (int i = 0; i < 100000; ++i) mixed += "Q1AB" + std::to_string(i) + ",JO62\r\n";
  mixed += binary + "\r\nlast";
  const ReadResult many = readAll(mixed, 1U << 16, 1U << 16);
  ASSERT_EQ(many.lines.size(), 100002U);
  EXPECT_EQ(many.lines[100000], binary);
  EXPECT_EQ(many.lines[100001], "last");
}

class TextFiles : public ::testing::Test {
 protected:
  testing::TempDir dir;
  StdFileSystem files;
};

// The same database kept on Windows (Windows-1252, CR LF) and on Linux (UTF-8,
// LF) gives the same records.
TEST_F(TextFiles, BothEncodingsGiveTheSameRecords) {
  const std::vector<std::string> utf8Lines = {
      "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ",
      "Q1ÄBC,JO62QM,Grüße aus München,EME,IC-9700 €,,,03/21",
      "Q2ÉTÉ,IN88,Œuvre Šárka,MS",
      "Q3XYZ,JO31,straße ÿ,,,,,",
      "",
      "ZZZZZZ,End-Of-Call3-Database 2026.12.07 Orvanta x",
  };
  std::vector<std::string> legacy;
  legacy.reserve(utf8Lines.size());
  for (const auto& l : utf8Lines) legacy.push_back(fromUtf8(l, Encoding::Windows1252));
  const auto windowsPath =
      dir.write("win/CALL3.txt", joinLines(legacy, {Encoding::Windows1252, false, LineEnd::CrLf}));
  const auto linuxPath =
      dir.write("lin/CALL3.txt", joinLines(utf8Lines, {Encoding::Utf8, false, LineEnd::Lf}));

  const TextFileContent win = readTextFile(files, windowsPath);
  const TextFileContent lin = readTextFile(files, linuxPath);
  EXPECT_EQ(win.format, (TextFormat{Encoding::Windows1252, false, LineEnd::CrLf}));
  EXPECT_EQ(lin.format, (TextFormat{Encoding::Utf8, false, LineEnd::Lf}));
  ASSERT_EQ(win.lines.size(), utf8Lines.size());
  ASSERT_EQ(lin.lines.size(), utf8Lines.size());
  for (std::size_t i = 0; i < utf8Lines.size(); ++i) {
    std::string a = win.lines[i];
    std::string b = lin.lines[i];
    std::string separator = ",";
    const auto fa = NormalizeRecord(a, "", "user", separator);
    const auto fb = NormalizeRecord(b, "", "user", separator);
    ASSERT_EQ(fa.size(), fb.size()) << utf8Lines[i];
    for (std::size_t f = 0; f < fa.size(); ++f) {
      EXPECT_EQ(toUtf8(fa[f], Encoding::Windows1252), toUtf8(fb[f], Encoding::Utf8)) << utf8Lines[i];
    }
    EXPECT_EQ(toUtf8(a, Encoding::Windows1252), toUtf8(b, Encoding::Utf8));
    EXPECT_EQ(toUtf8(upperCase(win.lines[i], Encoding::Windows1252), Encoding::Windows1252),
              toUtf8(upperCase(lin.lines[i], Encoding::Utf8), Encoding::Utf8));
  }
}

// A rewrite keeps the format, and every line it does not change comes out byte
// for byte, bytes that are valid in neither encoding included.
TEST_F(TextFiles, UnchangedLinesRoundTripByteForByte) {
  struct Case {
    std::string name;
    std::string bytes;
    TextFormat format;
  };
  const auto cases = std::to_array<Case>({
      {"legacy.txt",
       "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\nQ1\xC4"
       "BC,JO62,M\xFCnchen \x80,,,,,03/21\r\n"
       "Q2\x81\x8D\x8F\x90\x9D,JO62,EME\r\n\r\nQ3A\0B,JO01,,,,,,05/20\r\nZZZZZZ,End\r\n\r\n"s,
       {Encoding::Windows1252, false, LineEnd::CrLf}},
      {"linux.txt",
       "Q1\xC3\x84"
       "BC,JO62,M\xC3\xBCnchen,,,,,03/21\nQ2ABC,JO62,EME\n\nQ4\xE2\x82\xAC,IO91,,,,,,01/26\n",
       {Encoding::Utf8, false, LineEnd::Lf}},
      {"bom.txt",
       "\xEF\xBB\xBF"
       "Q1ABC,JO62,\xFF\xFE bad,,,,,03/21\r\nQ2ABC,JO62,EME\r\n",
       {Encoding::Utf8, true, LineEnd::CrLf}},
      {"binary.txt",
       "\x01\x02\x7F\xFF\xFE\x00\r\n\x80\x81,\x82,\x83\r\n"s,
       {Encoding::Windows1252, false, LineEnd::CrLf}},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextFileContent content = readTextFile(files, dir.write(c.name, c.bytes));
    EXPECT_EQ(content.format, c.format);
    EXPECT_EQ(joinLines(content.lines, content.format), c.bytes);

    // Rewrite as the month-end update does: records get their date, the rest stays.
    std::vector<std::string> rewritten;
    std::string separator = ",";
    for (std::string line : content.lines) {
      if (!isCommentLine(line) && !isEmptyLine(line) && !isMonthEndTerminator(line)) {
        NormalizeRecord(line, "12/26", "user", separator);
      }
      rewritten.push_back(line);
    }
    const std::string out = joinLines(rewritten, content.format);
    const TextFileContent again = readTextFile(files, dir.write("again-" + c.name, out));
    EXPECT_EQ(again.format, c.format);
    ASSERT_EQ(again.lines.size(), content.lines.size());
    for (std::size_t i = 0; i < content.lines.size(); ++i) {
      if (rewritten[i] == content.lines[i]) {
        EXPECT_EQ(again.lines[i], content.lines[i]) << i;
      }
    }
    EXPECT_NE(rewritten, content.lines);  // each file has a record without a date
  }
}

TEST_F(TextFiles, EmptyAndOneLineFiles) {
  const TextFileContent none = readTextFile(files, dir.write("none.txt", ""));
  EXPECT_TRUE(none.lines.empty());
  EXPECT_EQ(none.format, TextFormat{});
  const TextFileContent one = readTextFile(files, dir.write("one.txt", "Q1ABC,JO62"));
  EXPECT_EQ(one.lines, std::vector<std::string>{"Q1ABC,JO62"});
  EXPECT_EQ(joinLines(one.lines, one.format), "Q1ABC,JO62\r\n");  // every written line ends
  const TextFileContent lf = readTextFile(files, dir.write("lf.txt", "a\nb"));
  EXPECT_EQ(joinLines(lf.lines, lf.format), "a\nb\n");
  // A file with both kinds of line end is written with CR LF.
  const TextFileContent mixed = readTextFile(files, dir.write("mixed.txt", "a\r\nb\n"));
  EXPECT_EQ(mixed.format.lineEnd, LineEnd::CrLf);
  EXPECT_THROW(readTextFile(files, dir.file("missing.txt")), FileError);
}

}  // namespace
}  // namespace orvanta
