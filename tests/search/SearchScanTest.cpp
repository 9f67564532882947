// The scan on its own: the fast search through the buffer must give exactly
// what a plain line-by-line reading gives, whatever the buffer size, line
// ends, encodings and line lengths.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "fakes/PieceInput.h"
#include "records/TextFile.h"
#include "search/SearchScan.h"

namespace orvanta {
namespace {

using MemoryFile = testing::PieceInput;

class FailingFile final : public IInputFile {
 public:
  std::size_t read(char* /*buffer*/, std::size_t /*size*/) override { throw FileError("Input/output error"); }
};

struct Shown {
  std::string line;
  Encoding encoding;
};

class Recorder final : public ScanListener {
 public:
  explicit Recorder(std::vector<bool> answers = {}, std::string bytes = {})
      : answers_(std::move(answers)), bytes_(std::move(bytes)) {}
  std::unique_ptr<IInputFile> reopen() override { return std::make_unique<MemoryFile>(bytes_, 5); }
  void show(std::string& line, Encoding encoding) override {
    shown.push_back({line, encoding});
    line = "changed by the view";  // the scan must not depend on the line afterwards
  }
  bool searchFurther() override {
    ++prompts;
    if (next_ < answers_.size()) return answers_[next_++];
    return true;
  }
  std::vector<Shown> shown;
  int prompts = 0;

 private:
  std::vector<bool> answers_;
  std::string bytes_;
  std::size_t next_ = 0;
};

struct Result {
  std::vector<Shown> shown;
  ScanOutcome outcome;
  std::string lastStepLine;
  int prompts = 0;
};

Result scan(const std::string& bytes, const ScanRequest& request, std::string lastStepLine = {},
            std::size_t bufferSize = 1 << 17, std::size_t piece = 1 << 20, std::vector<bool> answers = {}) {
  MemoryFile file(bytes, piece);
  Recorder recorder(std::move(answers));
  Result r;
  r.outcome = runScan(file, request, lastStepLine, recorder, bufferSize);
  r.shown = recorder.shown;
  r.lastStepLine = lastStepLine;
  r.prompts = recorder.prompts;
  return r;
}

// The line shown for a hit on line i (upper: its upper case) in a direction.
Shown shownFor(const std::vector<std::string>& lines, const std::vector<Encoding>& encodings, std::size_t i,
               const std::string& upper, int direction, std::string& lastStepLine) {
  if (direction > 0) {
    std::string current = upper;
    std::size_t k = i;
    if (k + 1 < lines.size()) current = lines[++k];
    if (current == lastStepLine && k + 1 < lines.size()) current = lines[++k];
    lastStepLine = current;
    return {current, encodings[k]};
  }
  if (direction == 0) return {upper, encodings[i]};
  const std::string current =
      i == 0 || lines[i - 1].find("//") != std::string::npos ? "" : upperCase(lines[i - 1], encodings[i - 1]);
  return {current, current.empty() ? Encoding::Utf8 : encodings[i - 1]};
}

// The scan read the plain way: every line through the line reader, each in
// its own encoding.
Result reference(const std::string& bytes, const ScanRequest& request, std::string lastStepLine,
                 std::vector<bool> answers = {}) {
  std::vector<std::string> lines;
  std::vector<Encoding> encodings;
  {
    MemoryFile file(bytes, 7);
    LineReader reader(file);
    std::string line;
    while (reader.next(line)) {
      lines.push_back(line);
      encodings.push_back(lineEncoding(line));
    }
  }
  Result r;
  std::size_t nextAnswer = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Encoding enc = encodings[i];
    const std::string a = fromUtf8(request.primary, enc);
    const std::string b = fromUtf8(request.secondary, enc);
    const bool representable =
        enc == Encoding::Utf8 || (toUtf8(a, enc) == request.primary && toUtf8(b, enc) == request.secondary);
    const std::string upper = lines[i].find("//") != std::string::npos ? "" : upperCase(lines[i], enc);
    if (!representable || upper.find(a) == std::string::npos || upper.find(b) == std::string::npos) continue;
    r.outcome.found = true;
    const Shown shown = shownFor(lines, encodings, i, upper, request.direction, lastStepLine);
    if (shown.line.find("ZZZZZZ") != std::string::npos) {
      r.outcome.found = false;
    } else {
      r.shown.push_back(shown);
    }
    if (request.direction != 0 || !r.outcome.found) break;
    ++r.prompts;
    const bool further = nextAnswer < answers.size() ? answers[nextAnswer++] : true;
    if (!further) break;
    r.outcome.found = false;
    r.outcome.continued = true;
  }
  r.lastStepLine = lastStepLine;
  return r;
}

void expectSame(const Result& got, const Result& want, const std::string& context) {
  ASSERT_EQ(got.shown.size(), want.shown.size()) << context;
  for (std::size_t i = 0; i < got.shown.size(); ++i) {
    EXPECT_EQ(got.shown[i].line, want.shown[i].line) << context << " hit " << i;
    EXPECT_EQ(got.shown[i].encoding, want.shown[i].encoding) << context << " hit " << i;
  }
  EXPECT_EQ(got.outcome.found, want.outcome.found) << context;
  EXPECT_EQ(got.outcome.continued, want.outcome.continued) << context;
  EXPECT_EQ(got.lastStepLine, want.lastStepLine) << context;
  EXPECT_EQ(got.prompts, want.prompts) << context;
}

// Up to 13 random lines of the words, each ended by one of the ends (the
// last one maybe not).
std::string randomLines(std::mt19937& rng, const std::vector<std::string>& words,
                        const std::vector<std::string>& ends) {
  std::string bytes;
  const int lineCount = static_cast<int>(rng() % 14);
  for (int l = 0; l < lineCount; ++l) {
    const int wordCount = static_cast<int>(rng() % 6);
    for (int w = 0; w < wordCount; ++w) bytes += words[rng() % words.size()];
    if (l + 1 < lineCount || rng() % 2 == 0) bytes += ends[rng() % ends.size()];
  }
  return bytes;
}

TEST(SearchScan, AgreesWithLineByLineReadingOnRandomFiles) {
  std::mt19937 rng(20260);
  const std::vector<std::string> words = {"Q1ABC",
                                          "q1abc",
                                          "Q1AB",
                                          "JO62QM",
                                          "EME",
                                          "eme",
                                          "//",
                                          "ZZZZZZ",
                                          "zzzzzz",
                                          "Feld3",
                                          ",",
                                          ",,",
                                          "2024-05-01",
                                          "12:00:00",
                                          " ",
                                          "\xE4",
                                          "\xC4",
                                          "\xFF",
                                          "\xC3\xA4",
                                          "\xC3\x84",
                                          "\xC3\xBF",
                                          "\xC5\xB8",
                                          "\x9A",
                                          "\x8A",
                                          "x",
                                          "Stra\xDF\x65",
                                          "longlonglonglonglonglonglonglonglonglonglong"};
  const std::vector<std::string> ends = {"\r\n", "\n", "\r\n", "\r"};
  const std::vector<std::string> texts = {"Q1ABC",    "Q1AB", "EME",   "\xC3\x84", "STRA\xC3\x9F\x45",
                                          "\xC5\xB8", "ZZZ",  "12:00", "X",        "\xC5\x81",
                                          "Q"};
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    if (round % 9 == 0) bytes += kUtf8Bom;
    bytes += randomLines(rng, words, ends);
    ScanRequest request;
    request.primary = texts[rng() % texts.size()];
    request.secondary =
        rng() % 3 == 0 ? texts[rng() % texts.size()] : ((rng() % 2) != 0U ? request.primary : "");
    request.direction = static_cast<int>(rng() % 3) - 1;
    const std::string lastStepLine = rng() % 3 == 0 ? "Q1ABC,JO62QM" : "";
    std::vector<bool> answers;
    answers.reserve(4);
    for (int k = 0; k < 4; ++k) answers.push_back(rng() % 3 != 0);

    const Result want = reference(bytes, request, lastStepLine, answers);
    for (const std::size_t bufferSize : {std::size_t{1}, std::size_t{64}, std::size_t{1} << 17}) {
      for (const std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{1000}}) {
        const std::string context = "round " + std::to_string(round) + " buffer " +
                                    std::to_string(bufferSize) + " piece " + std::to_string(piece);
        expectSame(scan(bytes, request, lastStepLine, bufferSize, piece, answers), want, context);
      }
    }
  }
}

TEST(SearchScan, LinesLongerThanTheBufferAndHitsAcrossReads) {
  const std::string longRemark(5000, 'x');
  std::string bytes = "//header\r\n";
  for (int i = 0; i < 200; ++i) bytes += "Q" + std::to_string(i) + "AA,JO00," + longRemark + "\r\n";
  bytes += "Q7XYZ,JN58,found at the end\r\nZZZZZZ,End\r\n";
  const ScanRequest request{"Q7XYZ", "Q7XYZ", 0};
  const Result r = scan(bytes, request, {}, 64, 333);
  ASSERT_EQ(r.shown.size(), 1U);
  EXPECT_EQ(r.shown[0].line, "Q7XYZ,JN58,FOUND AT THE END");
  // Backward: the line before, 5000 bytes long, across several reads.
  const Result back = scan(bytes, ScanRequest{"Q7XYZ", "Q7XYZ", -1}, {}, 64, 333);
  ASSERT_EQ(back.shown.size(), 1U);
  EXPECT_EQ(back.shown[0].line, "Q199AA,JO00," + std::string(5000, 'X'));
}

struct EncodingCase {
  std::string name;
  friend void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }
  std::string bytes;
  std::string text;
  std::vector<Shown> shown;
};

class ScanEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ScanEncoding, EachLineIsMatchedAndShownInItsOwnEncoding) {
  const EncodingCase& c = GetParam();
  const Result r = scan(c.bytes, ScanRequest{c.text, c.text, 0});
  ASSERT_EQ(r.shown.size(), c.shown.size());
  for (std::size_t i = 0; i < r.shown.size(); ++i) {
    EXPECT_EQ(r.shown[i].line, c.shown[i].line);
    EXPECT_EQ(r.shown[i].encoding, c.shown[i].encoding);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanEncoding,
    ::testing::Values(
        // "ä" (E4) is no UTF-8, so the line is Windows-1252; its upper case is C4.
        EncodingCase{"Windows1252",
                     "//h\r\nQ1A,M\xFCller\r\nQ2B,J\xE4ger\r\n",
                     "J\xC3\x84GER",
                     {{"Q2B,J\xC4GER", Encoding::Windows1252}}},
        // "ä" as C3 A4 becomes C3 84.
        EncodingCase{"Utf8",
                     "//h\nQ1A,M\xC3\xBCller\nQ2B,J\xC3\xA4ger\n",
                     "J\xC3\x84GER",
                     {{"Q2B,J\xC3\x84GER", Encoding::Utf8}}},
        // A UTF-8 file with one stray Windows-1252 line: the lines after it
        // stay UTF-8, and the stray line itself is found in its own encoding.
        EncodingCase{"Utf8AfterAStrayWindows1252Line",
                     "Q1A,M\xC3\xBCller\nQ2B,stray \xE4\nQ3C,J\xC3\xA4ger\n",
                     "J\xC3\x84GER",
                     {{"Q3C,J\xC3\x84GER", Encoding::Utf8}}},
        EncodingCase{"TheStrayLineItself",
                     "Q1A,M\xC3\xBCller\nQ2B,stray \xE4\nQ3C,J\xC3\xA4ger\n",
                     "STRAY \xC3\x84",
                     {{"Q2B,STRAY \xC4", Encoding::Windows1252}}},
        // Letters that are valid UTF-8 in a Windows-1252 file read as UTF-8.
        EncodingCase{"Utf8LineInAWindows1252File",
                     "Q1A,J\xE4ger\r\nQ2B,J\xC3\xA4ger\r\n",
                     "J\xC3\x84GER",
                     {{"Q1A,J\xC4GER", Encoding::Windows1252}, {"Q2B,J\xC3\x84GER", Encoding::Utf8}}},
        EncodingCase{"ByteOrderMarkIsNoPartOfLine1",
                     "\xEF\xBB\xBFplain,Q1A\nQ1A,plain\n",
                     "PLAIN",
                     {{"PLAIN,Q1A", Encoding::Utf8}, {"Q1A,PLAIN", Encoding::Utf8}}},
        EncodingCase{
            "AsciiReadsTheSameEitherWay", "//h\r\nQ1A,plain\r\n", "PLAIN", {{"Q1A,PLAIN", Encoding::Utf8}}},
        // A text with a letter Windows-1252 has no room for never matches
        // there, even though "?" stands in the line.
        EncodingCase{"UnrepresentableText", "//h\r\nQ1A,\xE4?\r\n", "\xC3\xA4\xC5\x81", {}},
        // ÿ upper-cases to Ÿ in both encodings.
        EncodingCase{"YDiaeresisWindows1252",
                     "//h\r\nQ1A,\xE4\xFF\r\n",
                     "\xC3\x84\xC5\xB8",
                     {{"Q1A,\xC4\x9F", Encoding::Windows1252}}},
        EncodingCase{"YDiaeresisUtf8",
                     "//h\nQ1A,\xC3\xA4\xC3\xBF\n",
                     "\xC3\x84\xC5\xB8",
                     {{"Q1A,\xC3\x84\xC5\xB8", Encoding::Utf8}}}),
    testing::CaseName());

// Lines longer than the scan may hold, with a limit of 100 bytes and a
// buffer of 64: a line that cannot hold the text is read through; one that
// would have to be compared or shown is refused with its number.
struct LongLineCase {
  std::string name;
  friend void PrintTo(const LongLineCase& c, std::ostream* os) { *os << c.name; }
  std::string bytes;
  std::string text;
  int direction;
  std::uint64_t refusedLine;       // 0: nothing refused
  std::vector<std::string> shown;  // when nothing is refused
};

class ScanLongLines : public ::testing::TestWithParam<LongLineCase> {};

TEST_P(ScanLongLines, AreReadThroughOrRefusedByNumber) {
  const LongLineCase& c = GetParam();
  for (const std::size_t piece : {std::size_t{1}, std::size_t{13}, std::size_t{1} << 20}) {
    MemoryFile file(c.bytes, piece);
    Recorder recorder(std::vector<bool>(8, true), c.bytes);
    std::string last;
    try {
      runScan(file, ScanRequest{c.text, c.text, c.direction}, last, recorder, 64, 100);
      EXPECT_EQ(c.refusedLine, 0U) << "piece " << piece << ": nothing was refused";
      std::vector<std::string> shown;
      for (const auto& s : recorder.shown) shown.push_back(s.line);
      EXPECT_EQ(shown, c.shown) << "piece " << piece;
    } catch (const LineTooLongError& e) {
      EXPECT_EQ(e.line(), c.refusedLine) << "piece " << piece;
      EXPECT_EQ(std::string(e.what()), "line " + std::to_string(c.refusedLine) + " is longer than 16 MiB");
    }
  }
}

const std::string kLong(1000, 'x');
const std::string kLongWithText = std::string(500, 'x') + "q5hit" + std::string(500, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanLongLines,
    ::testing::Values(
        LongLineCase{"SkippedWhenItCannotHoldTheText",
                     "Q1A\r\n" + kLong + "\r\nQ5HIT,JO01\r\n",
                     "Q5HIT",
                     0,
                     0,
                     {"Q5HIT,JO01"}},
        LongLineCase{"RefusedWhenItMayHoldTheText",
                     "Q1A\n" + kLong + "\n" + kLongWithText + "\nQ5HIT\n",
                     "Q5HIT",
                     0,
                     3,
                     {}},
        LongLineCase{"TextCutByEveryReadSize", kLong + "Q5HIT" + kLong + "\n", "Q5HIT", 0, 1, {}},
        LongLineCase{"LastLineWithoutLineEnd", "Q1A\r\nQ2B\r\n" + kLongWithText, "Q5HIT", 0, 3, {}},
        LongLineCase{
            "CommentLineWithTheTextIsSkipped", kLongWithText + "//\nQ5HIT,A\n", "Q5HIT", 0, 0, {"Q5HIT,A"}},
        LongLineCase{"AtTheLimitIsHeld",
                     "Q1A\n" + std::string(95, 'x') + "q5hit\n",
                     "Q5HIT",
                     0,
                     0,
                     {std::string(95, 'X') + "Q5HIT"}},
        LongLineCase{"StepBackOntoItIsRefused", "Q1A\n" + kLong + "\r\nQ5HIT,A\n", "Q5HIT", -1, 2, {}},
        LongLineCase{"StepBackOntoALongCommentShowsTheEmptyLine",
                     "Q1A\n//" + kLong + "\nQ5HIT,A\n",
                     "Q5HIT",
                     -1,
                     0,
                     {""}},
        LongLineCase{"StepForwardOntoItIsRefused", "Q1A\nQ5HIT,A\r\n" + kLong + "\nQ2B\n", "Q5HIT", 1, 3, {}},
        LongLineCase{"SearchGoesOnPastIt",
                     "Q5HIT,A\n" + kLong + "\nQ5HIT,B\n",
                     "Q5HIT",
                     0,
                     0,
                     {"Q5HIT,A", "Q5HIT,B"}}),
    testing::CaseName());

TEST(SearchScan, ReadFailureReachesTheCaller) {
  FailingFile file;
  Recorder recorder;
  std::string last;
  EXPECT_THROW(runScan(file, ScanRequest{"Q1", "Q1", 0}, last, recorder), FileError);
}

TEST(EncodingDetector, LinesFedOneByOneAgreeWithTheWholeBytes) {
  std::mt19937 rng(1252);
  const std::vector<std::string> pieces = {"a",
                                           "Q1ABC,JO62",
                                           "\n",
                                           "\r\n",
                                           "\xC3\xA4",
                                           "\xC3\x9F",
                                           "\xC5\xB8",
                                           "\xE2\x82\xAC",
                                           "\xF0\x9F\x93\xBB",
                                           "\xE4",
                                           "\xC3",
                                           "\x80",
                                           "\xC0\x80",
                                           "\xED\xA0\x80",
                                           "\xE0\x80\x80",
                                           "\xF4\x90\x80\x80",
                                           "\xFF",
                                           "0123456789abcdef"};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const int count = static_cast<int>(rng() % 40);
    // Mostly valid text, sometimes one odd piece somewhere.
    const bool valid = rng() % 3 != 0;
    for (int k = 0; k < count; ++k) {
      std::size_t pick = rng() % pieces.size();
      if (valid && pick >= 9 && pick <= 15) pick = 4;
      bytes += pieces[pick];
    }
    EncodingDetector detector;
    detector.feed(bytes);
    // Readers feed whole lines: cut only after line feeds.
    EncodingDetector tracker;
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t stop = bytes.find('\n', start);
      stop = stop == std::string::npos ? bytes.size() : stop + 1;
      if (rng() % 2 == 0) {
        const std::size_t more = bytes.find('\n', stop);
        if (more != std::string::npos) stop = more + 1;
      }
      tracker.feed(std::string_view(bytes).substr(start, stop - start));
      start = stop;
    }
    EXPECT_EQ(tracker.result(), detector.result()) << ::testing::PrintToString(bytes);
  }
}

TEST(LetterFinder, RawFormsOfALetterInBothEncodings) {
  struct Case {
    std::string letter;
    std::vector<std::string> forms;
  };
  const auto cases = std::to_array<Case>({
      {"\xC3\x84", {"\xC3\x84", "\xC4", "\xE4", "\xC3\xA4"}},  // Ä ä
      {"\xC5\xB8", {"\xC5\xB8", "\x9F", "\xFF", "\xC3\xBF"}},  // Ÿ ÿ
      {"\xC5\xA0", {"\xC5\xA0", "\x8A", "\x9A", "\xC5\xA1"}},  // Š š
      {"\xC3\x9F", {"\xC3\x9F", "\xDF"}},                      // ß has no upper case
      {"\xC5\x81", {"\xC5\x81", "\xC5\x82"}},                  // Ł ł: not in Windows-1252
      {"\xE2\x82\xAC", {"\xE2\x82\xAC", "\x80"}},              // €
  });
  for (const auto& c : cases) {
    const LetterFinder finder(c.letter);
    auto forms = finder.forms();
    auto expected = c.forms;
    std::sort(forms.begin(), forms.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(forms, expected) << ::testing::PrintToString(c.letter);
  }
  const LetterFinder finder("\xC3\x84");
  const std::string bytes = "Q1A,x\xC3,\xE4y";
  EXPECT_EQ(finder.find(bytes.data(), bytes.data() + bytes.size()) - bytes.data(), 7);
  EXPECT_EQ(finder.find(bytes.data(), bytes.data() + 7), bytes.data() + 7);
}

TEST(AnchorFinder, FindsEveryCaseVariantAndNothingElse) {
  std::mt19937 rng(7);
  const std::string alphabet = "aAbBqQzZ09,@`[{/ \x80\xC3";
  for (int round = 0; round < 300; ++round) {
    std::string hay;
    const int n = static_cast<int>(rng() % 80);
    for (int i = 0; i < n; ++i) hay += alphabet[rng() % alphabet.size()];
    std::string anchor;
    const int m = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < m; ++i) {
      const char c = alphabet[rng() % 12];  // ASCII part only
      anchor += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
    }
    std::size_t expected = hay.size();
    for (std::size_t i = 0; i + anchor.size() <= hay.size() && expected == hay.size(); ++i) {
      bool ok = true;
      for (std::size_t k = 0; k < anchor.size() && ok; ++k) {
        char h = hay[i + k];
        if (h >= 'a' && h <= 'z') h = static_cast<char>(h - 0x20);
        ok = h == anchor[k];
      }
      if (ok) expected = i;
    }
    const AnchorFinder finder(anchor);
    const char* found = finder.find(hay.data(), hay.data() + hay.size());
    EXPECT_EQ(static_cast<std::size_t>(found - hay.data()), expected) << hay << " / " << anchor;
  }
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// The dotless "ı" (C4 B1) upper-cases to the ASCII "I": a line holding it
// matches a search text with "I" although no ASCII anchor stands in it.
TEST(SearchScan, DotlessIUpperCasesToAsciiI) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    std::vector<std::string> shown;
  };
  const auto cases = std::to_array<Case>({
      {"the dotless i inside the anchor",
       "//h\nQ1AB,x\nQ1I\xC4\xB1"
       "AB,JO01,x\n",
       "Q1IIAB",
       {"Q1IIAB,JO01,X"}},
      {"both i of the anchor dotless, the line after an ASCII hit elsewhere",
       "//h\nQ2AB,\xC3\xA4\nQ1\xC4\xB1\xC4\xB1"
       "AB,JO01\nQ1IIAB,JO02\n",
       "Q1IIAB",
       {"Q1IIAB,JO01", "Q1IIAB,JO02"}},
      {"a dotless i that does not complete the text is no hit",
       "//h\nQ1\xC4\xB1XAB,JO01\nQ1IIAB,JO02\n",
       "Q1IIAB",
       {"Q1IIAB,JO02"}},
      {"a text of nothing but I",
       "//h\nQ1AB,\xC4\xB1\xC4\xB1\nQ2AB,IX\nQ3AB,I\xC4\xB1\n",
       "II",
       {"Q1AB,II", "Q3AB,II"}},
      {"an anchor without I is not affected",
       "//h\nQ1\xC4\xB1"
       "AB,JO01\nQ2AB,JO02\n",
       "Q2AB",
       {"Q2AB,JO02"}},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::size_t piece : {std::size_t{3}, std::size_t{1} << 20}) {
      const ScanRequest request{c.text, c.text, 0};
      const Result got = scan(c.bytes, request, {}, 16, piece);
      std::vector<std::string> lines;
      for (const auto& shown : got.shown) lines.push_back(shown.line);
      EXPECT_EQ(lines, c.shown) << "piece " << piece;
      expectSame(got, reference(c.bytes, request, {}), c.name);
    }
  }
}

TEST(DotlessIFinder, FindsTheAnchorOrAnEarlierDotlessI) {
  const AnchorFinder anchor("Q1II");
  const DotlessIFinder finder(anchor);
  struct Case {
    std::string bytes;
    std::size_t at;  // expected position, or the size for none
  };
  const auto cases = std::to_array<Case>({
      {"xx q1ii yy", 3},
      {"x \xC4\xB1 q1ii", 2},
      {"q1ii \xC4\xB1", 0},
      {"nothing here", 12},
      {"\xC4 \xB1", 3},
      {"ab\xC4\xB1", 2},
  });
  for (const auto& c : cases) {
    const char* begin = c.bytes.data();
    EXPECT_EQ(static_cast<std::size_t>(finder.find(begin, begin + c.bytes.size()) - begin), c.at) << c.bytes;
  }
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// Line numbers rest on counting line feeds many bytes at a time; every
// length around the block sizes and past the counters' limit of 255 rounds.
TEST(CountLineFeeds, AgreesWithCountingByteByByte) {
  std::mt19937 rng(10);
  std::string bytes(64 * 255 * 2 + 200, 'x');
  for (char& c : bytes) c = rng() % 5 == 0 ? '\n' : static_cast<char>(rng());
  for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{15}}) {
    for (std::size_t length = 0; length + start <= bytes.size(); length += length < 300 ? 1 : 997) {
      const char* begin = bytes.data() + start;
      EXPECT_EQ(countLineFeeds(begin, begin + length),
                static_cast<std::size_t>(std::count(begin, begin + length, '\n')))
          << "start " << start << " length " << length;
    }
  }
  const std::string allFeeds(std::size_t{64} * 300, '\n');  // every counter byte reaches its limit
  EXPECT_EQ(countLineFeeds(allFeeds.data(), allFeeds.data() + allFeeds.size()), allFeeds.size());
}

}  // namespace
}  // namespace orvanta
