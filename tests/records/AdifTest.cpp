#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fakes/PieceInput.h"
#include "records/Adif.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

using testing::PieceInput;

std::vector<std::string> logLines(const std::string& adif, std::size_t piece = 1 << 20,
                                  std::size_t bufferSize = 1 << 16) {
  PieceInput input(adif, piece);
  AdifReader reader(input, bufferSize);
  AdifRecord record;
  std::vector<std::string> lines;
  while (reader.next(record)) {
    lines.emplace_back();
    appendLogLine(record, lines.back());
  }
  return lines;
}

// Made by the generator as WSJT-X writes its ADIF log.
const std::string kWsjtxStyle =
    "ADIF Export\n<adif_ver:5>3.1.1\n<created_timestamp:15>20260131 120000\n<programid:6>WSJT-X\n"
    "<programversion:5>2.7.0\n<eoh>\n"
    "<call:9>QD/Q37DSD <gridsquare:4>AO43 <mode:3>FT8 <rst_sent:3>-18 <rst_rcvd:3>-04 <qso_date:8>20200101 "
    "<time_on:6>125013 <qso_date_off:8>20200101 <time_off:6>125113 <band:2>2m <freq:10>144.175972 "
    "<station_callsign:4>Q9ZZ <my_gridsquare:6>EC41PO <prop_mode:2>MS <eor>\n"
    "<call:6>QQ4VZF <gridsquare:0> <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-02 <qso_date:8>20200101 "
    "<time_on:6>124313 <qso_date_off:8>20200101 <time_off:6>124413 <band:3>40m <freq:8>7.075993 "
    "<station_callsign:4>Q9ZZ <my_gridsquare:6>EC41PO <comment:7>tnx QSO <name:9>Françoise <prop_mode:3>EME "
    "<eor>\n"
    "<call:6>Q37DSD <gridsquare:4>LC78 <mode:4>MFSK <submode:3>FT4 <rst_sent:3>-18 <rst_rcvd:3>-14 "
    "<qso_date:8>20200101 <time_on:6>013015 <qso_date_off:8>20200101 <time_off:6>013115 <band:3>20m "
    "<freq:9>14.081703 <station_callsign:4>Q9ZZ <my_gridsquare:6>EC41PO <tx_pwr:2>50 <comment:6>73, gl "
    "<name:3>Zoë <prop_mode:3>EME <eor>\n";

const std::vector<std::string> kWsjtxStyleLines = {
    "2020-01-01,12:50:13,2020-01-01,12:51:13,QD/Q37DSD,AO43,144.175972,FT8,-18,-04,,,,MS,,,",
    "2020-01-01,12:43:13,2020-01-01,12:44:13,QQ4VZF,,7.075993,FT8,-10,-02,,tnx QSO,Françoise,EME,,,",
    "2020-01-01,01:30:15,2020-01-01,01:31:15,Q37DSD,LC78,14.081703,FT4,-18,-14,50,73  gl,Zoë,EME,,,",
};

// Made by the generator as other loggers write: no header, upper-case tags,
// one field a line, data-type indicators, four-digit times.
const std::string kMultilineStyle =
    "<QSO_DATE:8:D>20200101\r\n<TIME_ON:4>1250\r\n<QSO_DATE_OFF:8:D>20200102\r\n<TIME_OFF:6>125113\r\n"
    "<CALL:8>QD/QO0IS\r\n<BAND:2>2M\r\n<MODE:3>FT8\r\n<RST_SENT:3>-18\r\n<RST_RCVD:3>-04\r\n"
    "<GRIDSQUARE:6>AO43Nx\r\n<PROP_MODE:2>MS\r\n<EOR>\r\n\r\n"
    "<QSO_DATE:8>20200101\r\n<TIME_ON:6>133253\r\n<CALL:5>QO0IS\r\n<BAND:2>2M\r\n<FREQ:10>144.122245\r\n"
    "<MODE:4>JT65\r\n<SUBMODE:5>JT65C\r\n<RST_SENT:3>+06\r\n<RST_RCVD:3>-09\r\n<GRIDSQUARE:6>QM90Ov\r\n"
    "<NAME:6>Gérard\r\n<COMMENT:6>73, gl\r\n<TX_PWR:4>1000\r\n<SAT_NAME:6>QO-100\r\n<SAT_MODE:2>SX\r\n"
    "<FREQ_RX:10>144.124245\r\n<EOR>\r\n\r\n";

const std::vector<std::string> kMultilineStyleLines = {
    "2020-01-01,12:50:00,2020-01-02,12:51:13,QD/QO0IS,AO43Nx,,FT8,-18,-04,,,,MS,,,",
    "2020-01-01,13:32:53,2020-01-01,13:32:53,QO0IS,QM90Ov,144.122245,JT65,+06,-09,1000,73  "
    "gl,Gérard,,QO-100,SX,"
    "144.124245",
};

TEST(AdifReading, BothStylesGiveTheWsjtxLogLines) {
  EXPECT_EQ(logLines(kWsjtxStyle), kWsjtxStyleLines);
  EXPECT_EQ(logLines(kMultilineStyle), kMultilineStyleLines);
}

// Every read boundary, and the smallest buffer: the same lines.
class AdifPieces : public ::testing::TestWithParam<std::size_t> {};

TEST_P(AdifPieces, ReadBoundariesChangeNothing) {
  EXPECT_EQ(logLines(kWsjtxStyle, GetParam(), 1), kWsjtxStyleLines);
  EXPECT_EQ(logLines(kMultilineStyle, GetParam(), 1), kMultilineStyleLines);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AdifPieces, ::testing::Values(1, 2, 3, 5, 7, 13, 64, 97, 4096));

struct RecordCase {
  const char* name;
  std::string adif;
  std::vector<std::string> lines;
};

std::ostream& operator<<(std::ostream& out, const RecordCase& c) { return out << c.name; }

class AdifRecords : public ::testing::TestWithParam<RecordCase> {};

TEST_P(AdifRecords, GiveTheirLines) {
  EXPECT_EQ(logLines(GetParam().adif), GetParam().lines);
  // One byte at a time through the smallest buffer: the same.
  EXPECT_EQ(logLines(GetParam().adif, 1, 1), GetParam().lines);
}

const std::string kCall = "<CALL:5>Q1ABC";
std::string line(const std::string& call, const std::string& name = "", const std::string& comment = "") {
  return ",,,," + call + ",,,,,,," + comment + "," + name + ",,,,";
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, AdifRecords,
    ::testing::Values(
        RecordCase{
            "SubmodeOfMfsk", "<CALL:5>Q1ABC<MODE:4>mfsk<SUBMODE:3>FT4<EOR>", {",,,,Q1ABC,,,FT4,,,,,,,,,"}},
        RecordCase{"SubmodeWithoutMode", "<CALL:5>Q1ABC<SUBMODE:3>Q65<EOR>", {",,,,Q1ABC,,,Q65,,,,,,,,,"}},
        RecordCase{"ModeBeforeSubmode",
                   "<CALL:5>Q1ABC<MODE:4>JT65<SUBMODE:5>JT65B<EOR>",
                   {",,,,Q1ABC,,,JT65,,,,,,,,,"}},
        RecordCase{"MfskWithoutSubmode", "<CALL:5>Q1ABC<MODE:4>MFSK<EOR>", {",,,,Q1ABC,,,MFSK,,,,,,,,,"}},
        RecordCase{"EndFromStart",
                   "<CALL:5>Q1ABC<QSO_DATE:8>20240229<TIME_ON:4>0915<TIME_OFF:0><EOR>",
                   {"2024-02-29,09:15:00,2024-02-29,09:15:00,Q1ABC,,,,,,,,,,,,"}},
        RecordCase{"OddDateAndTimeAsWritten",
                   "<CALL:5>Q1ABC<QSO_DATE:6>240229<TIME_ON:5>9:15h<EOR>",
                   {"240229,9:15h,240229,9:15h,Q1ABC,,,,,,,,,,,,"}},
        RecordCase{"CommaAndLineEndsBecomeBlanks",
                   "<CALL:5>Q1ABC<COMMENT:11>a,b\r\nc\nd\re,<EOR>",
                   {line("Q1ABC", "", "a b c d e ")}},
        RecordCase{"TagNamesInAnyCase",
                   "<cAlL:5>Q1ABC<Name:3>Ann<eOr><CALL:5>Q2ABC<eor>",
                   {line("Q1ABC", "Ann"), line("Q2ABC")}},
        RecordCase{"TextBetweenFieldsIgnored",
                   "x <CALL:5>Q1ABC junk, here\n<NAME:3>Ann trailing <EOR> tail",
                   {line("Q1ABC", "Ann")}},
        RecordCase{"RecordWithoutCallSkipped",
                   "<NAME:3>Ann<EOR><CALL:0><EOR><CALL:2>  <EOR><CALL:5>Q1ABC<EOR>",
                   {line("Q1ABC")}},
        RecordCase{"UnknownFieldValueSkippedByLength",
                   "<APP_X_NOTE:11><EOR><CALL:>" + kCall + "<EOR>",
                   {line("Q1ABC")}},
        RecordCase{"HeaderNotARecord",
                   "Log of Q9ZZ <CALL:5>Q9HDR\n<adif_ver:5>3.1.6 <EOH>\n" + kCall + "<EOR>",
                   {line("Q1ABC")}},
        RecordCase{"RecordBeforeEohMeansNoHeader",
                   "Log\n<CALL:5>Q9ABC<EOR>\n<EOH>" + kCall + "<EOR>",
                   {line("Q9ABC"), line("Q1ABC")}},
        RecordCase{"HeaderWithoutEohIsNone", "Exported\n" + kCall + "<EOR>", {line("Q1ABC")}},
        RecordCase{
            "NoHeaderWhenTheFileStartsWithATag", kCall + "<EOH><NAME:3>Ann<EOR>", {line("Q1ABC", "Ann")}},
        RecordCase{
            "ByteOrderMarkBeforeTheFirstTag", "\xEF\xBB\xBF" + kCall + "<EOH><EOR>", {line("Q1ABC")}}));

// Lengths count characters; some programs count bytes. The count that ends
// right before the next tag wins, characters first.
INSTANTIATE_TEST_SUITE_P(
    Counts, AdifRecords,
    ::testing::Values(
        RecordCase{
            "CharactersInUtf8", kCall + "<NAME:3>Zoë <COMMENT:2>ok<EOR>", {line("Q1ABC", "Zoë", "ok")}},
        RecordCase{"BytesInUtf8", kCall + "<NAME:4>Zoë<COMMENT:2>ok<EOR>", {line("Q1ABC", "Zoë", "ok")}},
        RecordCase{"BytesAcrossALineEnd",
                   kCall + "\r\n<NAME:7>Gérard\r\n<COMMENT:2>ok\r\n<EOR>",
                   {line("Q1ABC", "Gérard ", "ok")}},
        RecordCase{
            "SingleByteFile", kCall + "<NAME:4>J\xF6rg<COMMENT:2>ok<EOR>", {line("Q1ABC", "J\xF6rg", "ok")}},
        RecordCase{"SingleByteLooksLikeUtf8",
                   kCall + "<NAME:2>\xC3\xA9<COMMENT:2>ok<EOR>",
                   {line("Q1ABC", "\xC3\xA9", "ok")}},
        RecordCase{"NeitherEndsBeforeATag", kCall + "<NAME:3>Zoëxy<EOR>", {line("Q1ABC", "Zoë")}},
        RecordCase{"CharactersUpToTheEndOfTheFile", kCall + "<NAME:3>Zoë", {line("Q1ABC", "Zoë")}}));

// Broken files still give an answer.
INSTANTIATE_TEST_SUITE_P(
    Broken, AdifRecords,
    ::testing::Values(
        RecordCase{"LengthBeyondTheEnd",
                   kCall + "<COMMENT:500>short, to the end\n",
                   {line("Q1ABC", "", "short  to the end ")}},
        RecordCase{"LastRecordWithoutEor",
                   kCall + "<EOR>\n<CALL:5>Q2ABC <NAME:3>Ann\n",
                   {line("Q1ABC"), line("Q2ABC", "Ann")}},
        RecordCase{
            "TagWithoutLength", "<CALL>Q9XYZ <NAME>Ann " + kCall + "<EOR><CALL>Q9XYZ<EOR>", {line("Q1ABC")}},
        RecordCase{"LessThanInsideValues",
                   kCall + "<COMMENT:14><EOR> <b>x</b><NAME:3><a><EOR>",
                   {line("Q1ABC", "<a>", "<EOR> <b>x</b>")}},
        RecordCase{"LessThanBetweenFields", "1 < 2 <3 <CALL:5>Q1ABC <:3>abc <EOR", {line("Q1ABC")}},
        RecordCase{"InvalidUtf8", kCall + "<NAME:4>\xFF\xFE\xC3\x28<EOR>", {line("Q1ABC", "\xFF\xFE\xC3(")}},
        RecordCase{"LengthOfTooManyDigits", kCall + "<NAME:1234567890123456789>x<EOR>", {line("Q1ABC")}},
        RecordCase{"NoTagAtAll", "just some text, no tags\n\n", {}}, RecordCase{"EmptyFile", "", {}}));

// Produces a long run of one byte after a prefix, without holding it.
class LongInput final : public IInputFile {
 public:
  LongInput(std::string prefix, char fill, std::size_t total)
      : prefix_(std::move(prefix)), fill_(fill), total_(total) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, total_ - pos_);
    for (std::size_t i = 0; i < n; ++i) {
      buffer[i] = pos_ + i < prefix_.size() ? prefix_[pos_ + i] : fill_;
    }
    pos_ += n;
    return n;
  }

 private:
  std::string prefix_;
  char fill_;
  std::size_t total_;
  std::size_t pos_ = 0;
};

constexpr std::size_t k100MB = std::size_t{100} * 1000 * 1000;

TEST(AdifBounds, HundredMegabytesWithoutATagGiveNothingAndNoGrowth) {
  LongInput input("", 'x', k100MB);
  AdifReader reader(input);
  const std::size_t before = reader.bufferCapacity();
  AdifRecord record;
  EXPECT_FALSE(reader.next(record));
  EXPECT_EQ(reader.bufferCapacity(), before);
}

TEST(AdifBounds, AHugeLengthKeepsTheReaderBounded) {
  for (const char fill : {'a', '<', '\xC3'}) {
    LongInput input(kCall + "<COMMENT:99999999999>", fill, k100MB);
    AdifReader reader(input);
    AdifRecord record;
    ASSERT_TRUE(reader.next(record)) << fill;
    EXPECT_EQ(record[AdifField::Call], "Q1ABC");
    EXPECT_EQ(record[AdifField::Comment].size(), AdifReader::kMaxValue);
    EXPECT_LE(reader.bufferCapacity(), 5 * AdifReader::kMaxValue);
    EXPECT_FALSE(reader.next(record));
  }
}

// Walking over records keeps the record in the buffer until the caller
// decides; a record that does not end must not make it hold the file.
struct EndlessRecordCase {
  const char* name;
  char fill;
};

class AdifWalkBounds : public ::testing::TestWithParam<EndlessRecordCase> {};

TEST_P(AdifWalkBounds, ARecordWithoutEndIsHandedBackAndReadBounded) {
  LongInput input(kCall + "<EOR>\n" + kCall + "<COMMENT:3>abc ", GetParam().fill, k100MB);
  AdifReader reader(input);
  AdifRecord record;
  ASSERT_TRUE(reader.next(record));
  const RawTextFilter nothing{[](const char*, const char* end) { return end; }, 6};
  WalkedRecord walked;
  ASSERT_TRUE(reader.walk(nothing, walked));
  EXPECT_TRUE(walked.holdsText) << "too long to judge, so read";
  EXPECT_LE(reader.bufferCapacity(), 2 * AdifReader::kMaxWalk);
  ASSERT_TRUE(reader.readWalked(record));
  EXPECT_EQ(record[AdifField::Comment], "abc");
  EXPECT_LE(reader.bufferCapacity(), 2 * AdifReader::kMaxWalk);
}

INSTANTIATE_TEST_SUITE_P(Fills, AdifWalkBounds,
                         ::testing::Values(EndlessRecordCase{"Text", 'x'}, EndlessRecordCase{"LessThan", '<'},
                                           EndlessRecordCase{"NonAscii", '\xC3'}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(AdifBounds, ALongFieldOfLessThanSignsIsReadInSteps) {
  // A value just under the limit whose bytes all look like tag starts.
  const std::string value(AdifReader::kMaxValue, '<');
  const std::string adif = kCall + "<COMMENT:" + std::to_string(value.size()) + ">" + value + "<EOR>";
  const auto lines = logLines(adif, 4096, 1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], line("Q1ABC", "", value));
}

TEST(AdifLogInput, StreamsTheLinesEachEndedByLineFeed) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{5}, std::size_t{1} << 16}) {
    AdifLogInput input(std::make_unique<PieceInput>(kWsjtxStyle, 3));
    LineReader reader(input, size);
    std::vector<std::string> lines;
    std::string l;
    while (reader.next(l)) lines.push_back(l);
    EXPECT_EQ(lines, kWsjtxStyleLines) << size;
    EXPECT_TRUE(reader.sawLoneLf());
    EXPECT_FALSE(reader.sawCrLf());
  }
}

TEST(AdifPath, EndingsInAnyCase) {
  for (const char* path : {"wsjtx_log.adi", "/a/B.ADI", "x.AdIf", ".adi"})
    EXPECT_TRUE(isAdifPath(path)) << path;
  for (const char* path : {"wsjtx.log", "x.adi.txt", "x.adif~", "adi", "x.adix", ""}) {
    EXPECT_FALSE(isAdifPath(path)) << path;
  }
}

}  // namespace
}  // namespace orvanta
