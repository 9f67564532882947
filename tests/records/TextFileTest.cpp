#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

TEST(LineReader, LineEndsAndByteOrderMark) {
  using L = std::vector<std::string>;
  const std::string longLine(100, 'x');
  struct Case {
    std::string bytes;
    ReadResult expected;
  };
  const Case cases[] = {
      {"", {L{}, false, false, false}},
      {"a", {L{"a"}, false, false, false}},
      {"a\r\n", {L{"a"}, false, true, false}},
      {"a\n", {L{"a"}, false, false, true}},
      {"a\r\nb\nc", {L{"a", "b", "c"}, false, true, true}},
      {"\r\n\r\n", {L{"", ""}, false, true, false}},
      {"\n", {L{""}, false, false, true}},
      {"a\rb\r\n", {L{"a\rb"}, false, true, false}},  // a lone CR is part of the line
      {"a\r", {L{"a\r"}, false, false, false}},
      {"\r", {L{"\r"}, false, false, false}},
      {"\xEF\xBB\xBF"
       "a\r\n",
       {L{"a"}, true, true, false}},
      {"\xEF\xBB\xBF", {L{}, true, false, false}},
      {"\xEF\xBB", {L{"\xEF\xBB"}, false, false, false}},
      {"\xEF\xBB\xBF\xEF\xBB\xBF"
       "a",
       {L{"\xEF\xBB\xBF"
          "a"},
        true, false, false}},  // only the first is the mark
      {"x\xEF\xBB\xBF\n", {L{"x\xEF\xBB\xBF"}, false, false, true}},
      {"a\0b\r\n\0\n"s, {L{"a\0b"s, "\0"s}, false, true, true}},
      {longLine + "\r\n" + longLine + longLine + "\n" + longLine,
       {L{longLine, longLine + longLine, longLine}, false, true, true}},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece : {1u, 2u, 3u, 7u, 4096u}) {
      for (const std::size_t buffer : {16u, 1u << 16}) {
        EXPECT_EQ(readAll(c.bytes, piece, buffer), c.expected) << "[" << c.bytes << "] piece " << piece;
      }
    }
  }
}

// Several megabytes without a line end, NUL bytes and all: read in one pass.
TEST(LineReader, HugeLinesAndBinaryData) {
  std::string binary;
  binary.reserve(6u << 20);
  unsigned state = 12345;
  for (std::size_t i = 0; i < (6u << 20); ++i) {
    state = state * 1103515245u + 12345u;
    char c = static_cast<char>(state >> 16);
    if (c == '\n') c = '\0';
    binary.push_back(c);
  }
  const ReadResult one = readAll(binary, 1u << 20, 1u << 16);
  ASSERT_EQ(one.lines.size(), 1u);
  EXPECT_EQ(one.lines[0], binary);

  // Many lines and one huge line in between.
  std::string mixed;
  for (int i = 0; i < 100000; ++i) mixed += "Q1AB" + std::to_string(i) + ",JO62\r\n";
  mixed += binary + "\r\nlast";
  const ReadResult many = readAll(mixed, 1u << 16, 1u << 16);
  ASSERT_EQ(many.lines.size(), 100002u);
  EXPECT_EQ(many.lines[100000], binary);
  EXPECT_EQ(many.lines[100001], "last");
}

TEST(EncodingDetector, Table) {
  struct Case {
    std::vector<std::string> pieces;
    bool bom;
    Encoding expected;
  };
  const Case cases[] = {
      {{"Q1ABC,JO62QM,EME"}, false, Encoding::Windows1252},  // plain ASCII: either reads the same
      {{""}, false, Encoding::Windows1252},
      {{"M\xC3\xBCnchen"}, false, Encoding::Utf8},
      {{"M\xFCnchen"}, false, Encoding::Windows1252},
      {{"M\xC3", "\xBCnchen"}, false, Encoding::Utf8},  // a sequence split between two reads
      {{"\xE2\x82", "\xAC"}, false, Encoding::Utf8},
      {{"\xF0\x9F\x93\xA1"}, false, Encoding::Utf8},
      {{"M\xC3\xBCnchen \xFC"}, false, Encoding::Windows1252},  // one bad byte decides
      {{"end \xC3"}, false, Encoding::Windows1252},             // cut short
      {{"\xC0\xAF"}, false, Encoding::Windows1252},             // overlong
      {{"\xED\xA0\x80"}, false, Encoding::Windows1252},         // surrogate
      {{"\xF4\x90\x80\x80"}, false, Encoding::Windows1252},     // beyond U+10FFFF
      {{"\x80\x9C"}, false, Encoding::Windows1252},
      {{"ASCII"}, true, Encoding::Utf8},
      {{"\xFF"}, true, Encoding::Utf8},  // the mark decides even over bad bytes
  };
  for (const auto& c : cases) {
    EncodingDetector detector;
    for (const auto& p : c.pieces) detector.feed(p);
    if (c.bom) detector.markByteOrderMark();
    EXPECT_EQ(detector.result(), c.expected) << c.pieces[0];
  }
  // Lines are fed without their ends: a sequence cannot span a line end.
  EncodingDetector lines;
  lines.feedLine("M\xC3");
  lines.feedLine("\xBCnchen");
  EXPECT_EQ(lines.result(), Encoding::Windows1252);
}

TEST(TextCase, AsciiTestLooksAtEveryByte) {
  // The high byte is placed at each position of an 8-byte word and in the tail.
  const std::string base(19, 'a');
  EXPECT_TRUE(isAscii(base));
  EXPECT_TRUE(isAscii(""));
  for (std::size_t i = 0; i < base.size(); ++i) {
    std::string text = base;
    text[i] = '\xE4';
    EXPECT_FALSE(isAscii(text)) << "position " << i;
  }
}

TEST(TextCase, UpperCasingOfBothEncodings) {
  struct Case {
    std::string lower;  // UTF-8
    std::string upper;
  };
  const Case cases[] = {
      {"q1abc jo62qm", "Q1ABC JO62QM"},
      {"äöü éèêàçñ", "ÄÖÜ ÉÈÊÀÇÑ"},
      {"œ š ž ÿ", "Œ Š Ž Ÿ"},
      {"straße", "STRAßE"},  // ß stays
      {"€ µ ÷ ª º 1/2", "€ µ ÷ ª º 1/2"},
      {"ÄÖÜ Œ Š", "ÄÖÜ Œ Š"},
      {"þø", "ÞØ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(upperCaseUtf8(c.lower), c.upper) << c.lower;
    EXPECT_EQ(upperCase(c.lower, Encoding::Utf8), c.upper) << c.lower;
    const std::string raw = fromUtf8(c.lower, Encoding::Windows1252);
    ASSERT_EQ(toUtf8(raw, Encoding::Windows1252), c.lower) << "every character fits Windows-1252";
    EXPECT_EQ(toUtf8(upperCase(raw, Encoding::Windows1252), Encoding::Windows1252), c.upper) << c.lower;
  }
  // Letters only UTF-8 can hold.
  EXPECT_EQ(upperCaseUtf8("ąčęłńőűžı"), "ĄČĘŁŃŐŰŽI");
  // Bytes that are not UTF-8 pass through as they are.
  EXPECT_EQ(upperCaseUtf8("\xFF"
                          "ab\xC3"),
            "\xFF"
            "AB\xC3");
  EXPECT_EQ(upperCaseUtf8("a\0b"s), "A\0B"s);
}

TEST(TextCase, Windows1252DecodesEveryByteAndBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = toUtf8(all, Encoding::Windows1252);
  EXPECT_TRUE(isValidUtf8(utf8));
  EXPECT_EQ(fromUtf8(utf8, Encoding::Windows1252), all);
  EXPECT_EQ(toUtf8("\x80\x8A\x9F", Encoding::Windows1252), "€ŠŸ");
  // Text the code page cannot hold becomes "?"; UTF-8 stays as it is.
  EXPECT_EQ(fromUtf8("Q1ABC ą 📡", Encoding::Windows1252), "Q1ABC ? ?");
  EXPECT_EQ(fromUtf8("Q1ABC ą", Encoding::Utf8), "Q1ABC ą");
  EXPECT_EQ(toUtf8("a\xC3(\xFF", Encoding::Utf8), "a\xEF\xBF\xBD(\xEF\xBF\xBD");
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
  const Case cases[] = {
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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextFileContent content = readTextFile(files, dir.write(c.name, c.bytes));
    EXPECT_EQ(content.format, c.format);
    EXPECT_EQ(joinLines(content.lines, content.format), c.bytes);

    // Rewrite as the month-end update does: records get their date, the rest stays.
    std::vector<std::string> rewritten;
    std::string separator = ",";
    for (std::string line : content.lines) {
      if (!IsCommentLine(line) && !IsEmptyLine(line) && !IsMonthEndTerminator(line)) {
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
