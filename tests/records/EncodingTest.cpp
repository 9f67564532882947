#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "records/Encoding.h"

namespace orvanta {
namespace {

using namespace std::string_literals;

struct DetectorCase {
  const char* name;
  friend void PrintTo(const DetectorCase& c, std::ostream* os) { *os << c.name; }
  std::vector<std::string> pieces;
  bool bom;
  Encoding expected;
};

class EncodingDetectorCases : public ::testing::TestWithParam<DetectorCase> {};

TEST_P(EncodingDetectorCases, DecidesTheFilesEncodingFromItsPieces) {
  const DetectorCase& c = GetParam();
  EncodingDetector detector;
  for (const auto& p : c.pieces) detector.feed(p);
  if (c.bom) detector.markByteOrderMark();
  EXPECT_EQ(detector.result(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodingDetectorCases,
    ::testing::Values(
        DetectorCase{"PlainAsciiReadsTheSameEitherWay", {"Q1ABC,JO62QM,EME"}, false, Encoding::Windows1252},
        DetectorCase{"Nothing", {""}, false, Encoding::Windows1252},
        DetectorCase{"Utf8Letter", {"M\xC3\xBCnchen"}, false, Encoding::Utf8},
        DetectorCase{"Windows1252Letter", {"M\xFCnchen"}, false, Encoding::Windows1252},
        DetectorCase{"SequenceSplitBetweenTwoReads", {"M\xC3", "\xBCnchen"}, false, Encoding::Utf8},
        DetectorCase{"ThreeByteSequenceSplit", {"\xE2\x82", "\xAC"}, false, Encoding::Utf8},
        DetectorCase{"FourByteSequence", {"\xF0\x9F\x93\xA1"}, false, Encoding::Utf8},
        DetectorCase{"OneBadByteDecides", {"M\xC3\xBCnchen \xFC"}, false, Encoding::Windows1252},
        DetectorCase{"CutShort", {"end \xC3"}, false, Encoding::Windows1252},
        DetectorCase{"Overlong", {"\xC0\xAF"}, false, Encoding::Windows1252},
        DetectorCase{"Surrogate", {"\xED\xA0\x80"}, false, Encoding::Windows1252},
        DetectorCase{"BeyondTheLastCodePoint", {"\xF4\x90\x80\x80"}, false, Encoding::Windows1252},
        DetectorCase{"LoneContinuations", {"\x80\x9C"}, false, Encoding::Windows1252},
        DetectorCase{"MarkWithAscii", {"ASCII"}, true, Encoding::Utf8},
        DetectorCase{"TheMarkDecidesEvenOverBadBytes", {"\xFF"}, true, Encoding::Utf8}),
    testing::CaseName());

TEST(EncodingDetector, ASequenceCannotSpanALineEnd) {
  EncodingDetector lines;
  lines.feedLine("M\xC3");
  lines.feedLine("\xBCnchen");
  EXPECT_EQ(lines.result(), Encoding::Windows1252);
}

struct LineEncodingCase {
  const char* name;
  friend void PrintTo(const LineEncodingCase& c, std::ostream* os) { *os << c.name; }
  std::string line;
  Encoding expected;
};

class LineEncoding : public ::testing::TestWithParam<LineEncodingCase> {};

TEST_P(LineEncoding, ValidUtf8IsUtf8AndEverythingElseWindows1252) {
  EXPECT_EQ(lineEncoding(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEncoding,
    ::testing::Values(
        LineEncodingCase{"Empty", "", Encoding::Utf8},
        LineEncodingCase{"Ascii", "Q1ABC,JO62QM,EME,,,,,03/21", Encoding::Utf8},
        LineEncodingCase{"Utf8Letters", "Q1ABC,JO62,M\xC3\xBCller \xE2\x82\xAC", Encoding::Utf8},
        LineEncodingCase{"Windows1252Letter", "Q1ABC,JO62,M\xFCller", Encoding::Windows1252},
        LineEncodingCase{"Utf8WithOneStrayByte", "Q1ABC,M\xC3\xBCller,J\xE4ger", Encoding::Windows1252},
        LineEncodingCase{"SequenceCutByTheLineEnd", "Q1ABC,\xC3", Encoding::Windows1252},
        LineEncodingCase{"LetterAfterEightAsciiBytes", "Q1ABCDEF\xE4", Encoding::Windows1252},
        LineEncodingCase{"NulBytes", "a\0b"s, Encoding::Utf8}),
    testing::CaseName());

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

struct CaseCase {
  const char* name;
  friend void PrintTo(const CaseCase& c, std::ostream* os) { *os << c.name; }
  std::string lower;  // UTF-8, every character one Windows-1252 holds
  std::string upper;
};

class UpperCasing : public ::testing::TestWithParam<CaseCase> {};

TEST_P(UpperCasing, BothEncodingsAgree) {
  const CaseCase& c = GetParam();
  EXPECT_EQ(upperCaseUtf8(c.lower), c.upper);
  EXPECT_EQ(upperCase(c.lower, Encoding::Utf8), c.upper);
  const std::string raw = fromUtf8(c.lower, Encoding::Windows1252);
  ASSERT_EQ(toUtf8(raw, Encoding::Windows1252), c.lower) << "every character fits Windows-1252";
  EXPECT_EQ(toUtf8(upperCase(raw, Encoding::Windows1252), Encoding::Windows1252), c.upper);
}

INSTANTIATE_TEST_SUITE_P(Cases, UpperCasing,
                         ::testing::Values(CaseCase{"Ascii", "q1abc jo62qm", "Q1ABC JO62QM"},
                                           CaseCase{"Umlauts", "äöü éèêàçñ", "ÄÖÜ ÉÈÊÀÇÑ"},
                                           CaseCase{"LettersAbove0x80", "œ š ž ÿ", "Œ Š Ž Ÿ"},
                                           CaseCase{"SharpSStays", "straße", "STRAßE"},
                                           CaseCase{"NoLetters", "€ µ ÷ ª º 1/2", "€ µ ÷ ª º 1/2"},
                                           CaseCase{"UpperCaseStays", "ÄÖÜ Œ Š", "ÄÖÜ Œ Š"},
                                           CaseCase{"ThornAndOSlash", "þø", "ÞØ"}),
                         testing::CaseName());

TEST(TextCase, Utf8OnlyLettersAndBytesThatAreNoUtf8) {
  EXPECT_EQ(upperCaseUtf8("ąčęłńőűžı"), "ĄČĘŁŃŐŰŽI");
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

}  // namespace
}  // namespace orvanta
