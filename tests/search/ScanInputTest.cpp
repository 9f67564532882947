// A plain search and the worked-before count leave out ADIF records whose
// values cannot hold the text; they must give exactly what converting every
// record gives, on ADIF files of every shape.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "fakes/PieceInput.h"
#include "fakes/TempDir.h"
#include "platform/FileSystem.h"
#include "records/Adif.h"
#include "records/TextFile.h"
#include "search/ScanInput.h"
#include "search/SearchScan.h"
#include "search/WorkedBefore.h"

namespace orvanta {
namespace {

enum class Shape { Wsjtx, Multiline, Windows1252, BrokenUtf8 };

struct Field {
  std::string name;
  std::string value;  // UTF-8
};

std::size_t characters(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

// Synthetic ADIF in the shapes loggers write, with the awkward values real
// files hold: commas, line ends, "<eor>" and tags inside values, accented
// and dotless letters, byte counts instead of character counts, odd dates.
class AdifMaker {
 public:
  AdifMaker(Shape shape, unsigned seed) : shape_(shape), random_(seed) {}

  std::string file(int records) {
    std::string out = shape_ == Shape::Multiline ? "" : "Export of Q9ZZ\n<adif_ver:5>3.1.1\n<eoh>\n";
    for (int i = 0; i < records; ++i) out += record(i);
    return out;
  }

 private:
  const std::string& pick(const std::vector<std::string>& from) { return from[random_() % from.size()]; }
  bool chance(unsigned percent) { return random_() % 100 < percent; }

  std::vector<Field> fields(int index) {
    static const std::vector<std::string> calls{"Q1ABC",  "Q1ABC/P", "DL/Q1ABC", "q1abc",  "QI9KAT",
                                                "Q73G/M", "QD2CSK",  "Q1ABD",    " Q1ABC "};
    static const std::vector<std::string> names{"Françoise",     "Jürgen",  "Zoë",  "Işık", "O'Neil, Jr.",
                                                "Line\r\nBreak", "a<eor>b", "Ab<c", ""};
    static const std::vector<std::string> comments{
        "tnx QSO", "73, gl", "<", "q1abc worked", "QSO 2020-01-01", "12:30", "x <call:5>Q1ABC <eor>", ""};
    static const std::vector<std::string> dates{"20200101", "20211231", "2020-1-1", "20200102"};
    static const std::vector<std::string> times{"123000", "1230", "0000", "235959", "12:3"};
    std::vector<Field> f;
    if (!chance(5)) f.push_back({"call", pick(calls)});
    f.push_back({"qso_date", pick(dates)});
    f.push_back({"time_on", pick(times)});
    if (chance(60)) f.push_back({"qso_date_off", pick(dates)});
    if (chance(60)) f.push_back({"time_off", pick(times)});
    const int mode = static_cast<int>(random_() % 4);
    f.push_back({"mode", mode == 0 ? "FT8" : mode == 1 ? "MFSK" : mode == 2 ? "" : "mfsk"});
    if (mode != 3) f.push_back({"submode", chance(50) ? "FT4" : "Q65"});
    f.push_back({"freq", chance(50) ? "144.175972" : "7.075993"});
    if (chance(50)) f.push_back({"band", chance(50) ? "2m" : "40M"});
    f.push_back({"station_callsign", "Q9ZZ"});
    if (chance(50)) f.push_back({"name", pick(names)});
    if (chance(50)) f.push_back({"comment", pick(comments)});
    if (chance(20)) f.push_back({"gridsquare", "JO62"});
    if (shape_ == Shape::BrokenUtf8 && index % 7 == 3) f.push_back({"comment", "caf\xE9 \xFF"});
    std::shuffle(f.begin(), f.end(), random_);
    return f;
  }

  std::string tag(const std::string& name, std::size_t length) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string& shown = shape_ == Shape::Multiline ? upper : chance(10) ? upper : name;
    return "<" + shown + ":" + std::to_string(length) + ">";
  }

  std::string record(int index) {
    std::string out;
    for (const Field& field : fields(index)) {
      std::string value = field.value;
      if (shape_ == Shape::Windows1252) value = fromUtf8(value, Encoding::Windows1252);
      const bool utf8 = shape_ != Shape::Windows1252;
      // Some programs count bytes where others count characters.
      const std::size_t length = utf8 && chance(70) && isValidUtf8(value) ? characters(value) : value.size();
      out += tag(field.name, length) + value + (shape_ == Shape::Multiline ? "\n" : " ");
    }
    if (chance(3)) out += "text between fields < ";
    return out + (shape_ == Shape::Multiline ? "<EOR>\n\n" : "<eor>\n");
  }

  Shape shape_;
  std::mt19937 random_;
};

using LinesOpener = std::function<std::unique_ptr<IInputFile>()>;

// Every hit of a plain search, the operator always searching further: each
// line shown with its encoding, one a line.
struct AllHits final : ScanListener {
  explicit AllHits(LinesOpener opener) : open(std::move(opener)) {}
  LinesOpener open;
  std::string shown;
  void show(std::string& line, Encoding encoding) override {
    shown += (encoding == Encoding::Utf8 ? "utf-8 " : "cp1252 ") + line + '\n';
  }
  bool searchFurther() override { return true; }
  std::unique_ptr<IInputFile> reopen() override { return open(); }
};

std::string hits(const LinesOpener& open, const std::string& text) {
  AllHits listener(open);
  std::string lastStep;
  const auto lines = open();
  runScan(*lines, ScanRequest{text, text, 0}, lastStep, listener);
  return listener.shown;
}

std::size_t lineCount(IInputFile& lines) {
  std::size_t count = 0;
  std::array<char, 4096> buffer{};
  while (const std::size_t n = lines.read(buffer.data(), buffer.size()))
    count += std::count(buffer.data(), buffer.data() + n, '\n');
  return count;
}

struct ShapeCase {
  const char* name;
  Shape shape;
  std::size_t piece;  // bytes a read hands out
};

const auto kShapes = std::to_array<ShapeCase>({{"Wsjtx", Shape::Wsjtx, 1 << 16},
                                               {"WsjtxInSmallPieces", Shape::Wsjtx, 7},
                                               {"Multiline", Shape::Multiline, 1 << 16},
                                               {"Windows1252", Shape::Windows1252, 4093},
                                               {"BrokenUtf8", Shape::BrokenUtf8, 1 << 16}});

const auto kTexts =
    std::to_array<const char*>({"Q1ABC",      "q1abc",    "Q1ABC/P",  "/P",      "FT4",   "MFSK",   "Q65",
                                "2020-01-01", "20200101", "12:30:00", "00",      "12:30", "73, GL", "TNX QSO",
                                "Françoise",  "jürgen",   "Işık",     "I",       "KAT",   "QI9",    "EOR",
                                "CALL",       "Q9ZZ",     "<",        "B BREAK", "AB<C",  "O'NEIL", "é"});

class FilteredSearch : public ::testing::TestWithParam<std::tuple<ShapeCase, const char*>> {};

TEST_P(FilteredSearch, GivesTheHitsOfConvertingEveryRecord) {
  const auto& [shape, rawText] = GetParam();
  const std::string adif = AdifMaker(shape.shape, 12345).file(400);
  const std::string text = upperCaseUtf8(rawText);
  const ScanRequest request{text, text, 0};
  const std::string anchor = adifValueAnchor(request);

  const std::size_t piece = shape.piece;
  const auto lines = [&](const RawTextFilter& filter) {
    return [&adif, piece, filter]() -> std::unique_ptr<IInputFile> {
      return std::make_unique<AdifLogInput>(std::make_unique<testing::PieceInput>(adif, piece), filter);
    };
  };
  const auto expected = hits(lines(RawTextFilter{}), text);
  EXPECT_EQ(hits(lines(anchor.empty() ? RawTextFilter{} : anchorFilter(anchor)), text), expected);
}

INSTANTIATE_TEST_SUITE_P(ShapesAndTexts, FilteredSearch,
                         ::testing::Combine(::testing::ValuesIn(kShapes), ::testing::ValuesIn(kTexts)),
                         [](const auto& param) {
                           std::string name =
                               std::string(std::get<0>(param.param).name) + "_" + std::to_string(param.index);
                           return name;
                         });

// The point of the filter: a call in few records leaves most of them out.
class FilterLeavesOut : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(FilterLeavesOut, RecordsWithoutTheText) {
  const ShapeCase& shape = GetParam();
  const std::string adif = AdifMaker(shape.shape, 12345).file(400);
  AdifLogInput allLines(std::make_unique<testing::PieceInput>(adif, shape.piece));
  AdifLogInput someLines(std::make_unique<testing::PieceInput>(adif, shape.piece), anchorFilter("QD2CSK"));
  const std::size_t all = lineCount(allLines);
  const std::size_t some = lineCount(someLines);
  EXPECT_LT(some, all / 2);
  EXPECT_GT(some, 0U);
}

INSTANTIATE_TEST_SUITE_P(Shapes, FilterLeavesOut, ::testing::ValuesIn(kShapes),
                         [](const auto& param) { return std::string(param.param.name); });

// Steps and texts that converting may create outside any value keep the
// full conversion.
struct AnchorCase {
  const char* name;
  const char* text;
  int direction;
  const char* anchor;
};

class ValueAnchor : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(ValueAnchor, OnlyWhereExact) {
  const std::string text = upperCaseUtf8(GetParam().text);
  EXPECT_EQ(adifValueAnchor(ScanRequest{text, text, GetParam().direction}), GetParam().anchor);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueAnchor,
    ::testing::Values(AnchorCase{"Call", "q1abc", 0, "Q1ABC"}, AnchorCase{"StepForward", "Q1ABC", 1, ""},
                      AnchorCase{"StepBack", "Q1ABC", -1, ""}, AnchorCase{"Date", "2020-01-01", 0, ""},
                      AnchorCase{"Seconds", "00", 0, ""}, AnchorCase{"Time", "12:30", 0, ""},
                      AnchorCase{"Blank", "TNX QSO", 0, ""}, AnchorCase{"Comma", "73,", 0, ""},
                      AnchorCase{"OnlyI", "II", 0, ""}, AnchorCase{"PieceWithoutI", "QI9KAT", 0, "9KAT"},
                      AnchorCase{"AccentedAroundAscii", "çoise", 0, "SE"}, AnchorCase{"NoAscii", "é", 0, ""},
                      AnchorCase{"Slash", "/P", 0, "/P"}),
    [](const auto& param) { return std::string(param.param.name); });

// A large file is walked in parts side by side. Whatever the guessed starts
// of the parts (some right after an "<eor>" inside a value), the hits are
// those of walking the file in one go.
struct SplitCase {
  const char* name;
  std::size_t parts;
};

const auto kSplits =
    std::to_array<SplitCase>({{"TwoParts", 2}, {"ThreeParts", 3}, {"EightParts", 8}, {"ManyParts", 64}});

LinesOpener adifLines(const std::string& adif, std::size_t piece, const std::string& anchor,
                      AdifSplit split) {
  return [&adif, piece, anchor, split]() -> std::unique_ptr<IInputFile> {
    return std::make_unique<AdifLogInput>(std::make_unique<testing::PieceInput>(adif, piece),
                                          anchor.empty() ? RawTextFilter{} : anchorFilter(anchor), split);
  };
}

std::string allBytes(IInputFile& input) {
  std::string bytes;
  std::array<char, 4096> buffer{};
  while (const std::size_t n = input.read(buffer.data(), buffer.size())) bytes.append(buffer.data(), n);
  return bytes;
}

class SplitSearch : public ::testing::TestWithParam<std::tuple<ShapeCase, SplitCase>> {};

TEST_P(SplitSearch, GivesTheHitsOfOneWalk) {
  const auto& [shape, split] = GetParam();
  const std::string adif = AdifMaker(shape.shape, 4242).file(300);
  const AdifSplit parts{split.parts, 1};
  EXPECT_GT(
      AdifLogInput(std::make_unique<testing::PieceInput>(adif, shape.piece), anchorFilter("Q1ABC"), parts)
          .parts(),
      1U);
  for (const char* rawText : {"Q1ABC", "FT4", "Françoise", "Q9ZZ", "<", "EOR", "jürgen", "KAT", "TNX QSO"}) {
    const std::string text = upperCaseUtf8(rawText);
    const std::string anchor = adifValueAnchor(ScanRequest{text, text, 0});
    EXPECT_EQ(allBytes(*adifLines(adif, shape.piece, anchor, parts)()),
              allBytes(*adifLines(adif, shape.piece, anchor, AdifSplit{})()))
        << rawText;
    EXPECT_EQ(hits(adifLines(adif, shape.piece, anchor, parts), text),
              hits(adifLines(adif, shape.piece, "", AdifSplit{}), text))
        << rawText;
  }
}

INSTANTIATE_TEST_SUITE_P(ShapesAndParts, SplitSearch,
                         ::testing::Combine(::testing::ValuesIn(kShapes), ::testing::ValuesIn(kSplits)),
                         [](const auto& param) {
                           return std::string(std::get<0>(param.param).name) + "_" +
                                  std::get<1>(param.param).name;
                         });

// Records that each begin with a value full of "<eor>": nearly every part's
// guessed start is wrong, and the walk before it must go on through it.
TEST(SplitSearch, WrongStartsAreWalkedOver) {
  std::string adif;
  for (int i = 0; i < 400; ++i) {
    const std::string call = "Q" + std::to_string(i % 7) + "ABC";
    adif += "<comment:40><eor><EOR><eor><eor><eor><eor><eor><eor> <call:" + std::to_string(call.size()) +
            ">" + call + (i % 5 == 0 ? " <name:6>Jürgen" : "") + " <qso_date:8>20200101 <eor>\n";
  }
  for (const std::size_t parts : {2U, 5U, 16U}) {
    AdifLogInput input(std::make_unique<testing::PieceInput>(adif, 1 << 16), anchorFilter("Q3ABC"),
                       AdifSplit{parts, 1});
    EXPECT_GT(input.parts(), 1U);
    for (const char* text : {"Q3ABC", "EOR"}) {
      const std::string anchor = adifValueAnchor(ScanRequest{text, text, 0});
      EXPECT_EQ(hits(adifLines(adif, 1 << 16, anchor, AdifSplit{parts, 1}), text),
                hits(adifLines(adif, 1 << 16, "", AdifSplit{}), text))
          << parts << " parts, " << text;
    }
  }
}

// A file that fails to read in a later part: the failure reaches the reader
// of the lines, as it does when the file is read in one go.
class FailingInput final : public IInputFile {
 public:
  FailingInput(std::shared_ptr<const std::string> bytes, std::size_t failAt, std::size_t pos = 0)
      : bytes_(std::move(bytes)), failAt_(failAt), pos_(pos) {}
  std::size_t read(char* buffer, std::size_t size) override {
    if (pos_ >= failAt_) throw FileError("wsjtx_log.adi: Input/output error");
    const std::size_t n = std::min({size, failAt_ - pos_, bytes_->size() - pos_});
    std::copy_n(bytes_->data() + pos_, n, buffer);
    pos_ += n;
    return n;
  }
  [[nodiscard]] std::optional<std::uint64_t> size() const override { return bytes_->size(); }
  [[nodiscard]] std::unique_ptr<IInputFile> readerAt(std::uint64_t offset) const override {
    return std::make_unique<FailingInput>(bytes_, failAt_, static_cast<std::size_t>(offset));
  }

 private:
  std::shared_ptr<const std::string> bytes_;
  std::size_t failAt_;
  std::size_t pos_;
};

TEST(SplitSearch, AFailureInAPartReachesTheReader) {
  const auto adif = std::make_shared<const std::string>(AdifMaker(Shape::Wsjtx, 99).file(2000));
  AdifLogInput input(std::make_unique<FailingInput>(adif, adif->size() * 3 / 4), anchorFilter("Q1ABC"),
                     AdifSplit{2, 1});
  ASSERT_EQ(input.parts(), 2U);
  EXPECT_THROW(lineCount(input), FileError);
}

// Dropped while every part waits for its lines to be taken: no hang.
TEST(SplitSearch, StopsWhenDroppedEarly) {
  const std::string adif = AdifMaker(Shape::Wsjtx, 5).file(20000);
  for (const std::size_t taken : {0U, 1U, 100000U}) {
    AdifLogInput input(std::make_unique<testing::PieceInput>(adif, 1 << 16), anchorFilter("Q9ZZ"),
                       AdifSplit{4, 1});
    ASSERT_EQ(input.parts(), 4U);
    std::string buffer(taken, '\0');
    EXPECT_EQ(input.read(buffer.data(), buffer.size()), taken);
  }
}

struct WorkedCase {
  const char* name;
  Shape shape;
  const char* call;
  bool base;
};

class FilteredWorkedBefore : public ::testing::TestWithParam<WorkedCase> {};

// The count as it was before records were walked over: every record
// converted and counted by its line.
std::string countingEveryRecord(const std::string& adif, const WorkedCase& c) {
  WorkedBeforeCount count(c.call, c.base);
  testing::PieceInput input(adif, 1 << 16);
  AdifReader reader(input);
  AdifRecord record;
  while (reader.next(record)) {
    std::string line;
    appendLogLine(record, line);
    count.addLine(line, record[AdifField::Band]);
  }
  return workedBeforeText(count.summary());
}

TEST_P(FilteredWorkedBefore, CountsAsConvertingEveryRecord) {
  const WorkedCase& c = GetParam();
  const std::string adif = AdifMaker(c.shape, 777).file(600);
  testing::TempDir dir;
  const std::string path = dir.write("wsjtx_log.adi", adif);
  StdFileSystem files;
  WorkedBeforeCount count(c.call, c.base);
  count.addLog(files, path);
  const std::string expected = countingEveryRecord(adif, c);
  EXPECT_EQ(workedBeforeText(count.summary()), expected);
  EXPECT_NE(expected, "total 0\n") << "the case must count something";
}

INSTANTIATE_TEST_SUITE_P(Calls, FilteredWorkedBefore,
                         ::testing::Values(WorkedCase{"Call", Shape::Wsjtx, "Q1ABC", false},
                                           WorkedCase{"BaseCall", Shape::Wsjtx, "Q1ABC", true},
                                           WorkedCase{"PortableCall", Shape::Multiline, "q1abc/p", false},
                                           WorkedCase{"PortableToBase", Shape::Multiline, "Q1ABC/P", true},
                                           WorkedCase{"CallWithI", Shape::Windows1252, "QI9KAT", false},
                                           WorkedCase{"BrokenUtf8Base", Shape::BrokenUtf8, "DL/Q1ABC", true}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orvanta
