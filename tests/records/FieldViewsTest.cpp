// The lean paths a search takes for every hit: fields as views, boxes as
// views, upper-casing a word at a time. Each must give what the plain
// byte-by-byte reading gives.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "records/NormalizeRecord.h"
#include "records/RecordView.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

// Splitting as a reader would do it by hand, one byte at a time.
std::vector<std::string> splitByHand(std::string_view line, std::string_view separator) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  if (separator.empty()) return {std::string(line)};
  std::string field;
  for (std::size_t i = 0; i < line.size();) {
    if (line.substr(i, separator.size()) == separator) {
      fields.push_back(field);
      field.clear();
      i += separator.size();
    } else {
      field += line[i++];
    }
  }
  fields.push_back(field);
  return fields;
}

// Separators at every position of the eight-byte words and beyond, next to
// bytes that differ from the separator only in the high bit or by one.
TEST(FieldViews, SplitLikeByHand) {
  std::vector<std::string> lines = {"",
                                    ",",
                                    ",,",
                                    "a",
                                    "Q1ABC,JO62QM,EME,,,,,01/00",
                                    "\xAC,\x2D\x2B,\xAC\xAC,,\x2C\x2C\x2C\x2C\x2C\x2C\x2C\x2C,x"};
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string line(length, 'x');
      line[at] = ',';
      lines.push_back(line);
      line[(at * 5 + 3) % length] = ',';
      line[(at + 1) % length] = '\xAC';  // ',' with the high bit
      lines.push_back(line);
    }
  }
  for (const std::string_view separator :
       {std::string_view(","), std::string_view(";;"), std::string_view("")}) {
    std::vector<std::string_view> views = {"stale"};
    for (const auto& line : lines) {
      const std::vector<std::string> expected = splitByHand(line, separator);
      splitFieldViews(line, separator, views);
      EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), expected) << line;
      EXPECT_EQ(splitFields(line, separator), expected) << line;
      for (const auto view : views) {
        EXPECT_TRUE(view.data() >= line.data() && view.data() + view.size() <= line.data() + line.size());
      }
    }
  }
}

// The views name the line as normalized, whichever rule rewrote it.
TEST(FieldViews, NormalizedFieldsAreViewsOfTheRewrittenLine) {
  const auto lines =
      std::to_array<std::string>({"Q1XYZ,JO62QM,EME", "Q1XYZ,JO62QM,EME,A,R,X,03/21\r\n", "a,b,c,d,e,f,g,h",
                                  "a,b,c,d,e,f, x ,03/21,y,02/20", "Q1XYZ,JO62QM,Feld,", "only,two"});
  for (const std::string_view kind :
       {std::string_view("user"), std::string_view("log"), std::string_view("")}) {
    for (const auto& before : lines) {
      std::string copied = before;
      std::string separator = ",";
      const std::vector<std::string> fields = NormalizeRecord(copied, "04/26", kind, separator);
      std::string line = before;
      std::vector<std::string_view> views;
      normalizeRecordFields(line, "04/26", kind, separator, views);
      EXPECT_EQ(line, copied) << before;
      EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), fields) << before;
      for (const auto view : views) {
        EXPECT_TRUE(view.data() >= line.data() && view.data() + view.size() <= line.data() + line.size());
      }
    }
  }
}

// A RecordBoxes used for one record after another keeps nothing of the
// previous one: no stale record key, message or box.
TEST(FieldViews, BoxesReusedForTheNextRecordStartAfresh) {
  const std::vector<std::string_view> logLine = {
      "2026-04-01", "12:00:00", "50.313", "FT8", "Q1ABC", "JO62", "-10", "-12", "Feld", "",
      "remark",     "comment",  "Q9ZZ",   "",    "",      "",     "",    "",    "x"};
  const std::vector<std::string_view> shortLog = {"2026-04-02", "13:00:00", "Q1DEF"};
  const std::vector<std::string_view> userLine = {"Q1XYZ", "JO62QM"};
  RecordBoxes boxes;
  fillRecordBoxes(logLine, "log", boxes);
  EXPECT_EQ(boxes.surplusFields, 2U);
  EXPECT_EQ(boxes.surplusCall, "Q1ABC");
  EXPECT_EQ(boxes.recordKey, "2026-04-01,12:00:00");
  EXPECT_EQ(boxes.box(7), "comment / remark");

  fillRecordBoxes(shortLog, "log", boxes);
  EXPECT_EQ(boxes.surplusFields, 0U);
  EXPECT_EQ(boxes.recordKey, "2026-04-02,13:00:00");
  EXPECT_EQ(boxes.box(1), "2026-04-02 13:00:00");
  EXPECT_EQ(boxes.box(0), "Q1DEF");
  EXPECT_FALSE(boxes.written[2]) << "field 4 is missing";
  EXPECT_TRUE(boxes.written[3]);
  EXPECT_EQ(boxes.box(3), "");

  fillRecordBoxes(userLine, "user", boxes);
  EXPECT_FALSE(boxes.hasRecordKey);
  EXPECT_EQ(boxes.recordKey, "");
  const std::array<bool, kRecordBoxes> written = {true, true, false, false, false, false, false, false};
  EXPECT_EQ(boxes.written, written);
  EXPECT_EQ(boxes.box(0), "Q1XYZ");
  EXPECT_EQ(boxes.box(1), "JO62QM");
}

// Every byte at every place of a line of two words and a tail upper-cases
// as it does on its own.
TEST(FieldViews, UpperCasingWordsLikeSingleBytes) {
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const std::string alone = upperCase(std::string(1, byte), Encoding::Windows1252);
    if (b < 0x80) {
      const char ascii = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 0x20) : byte;
      ASSERT_EQ(alone, std::string(1, ascii)) << b;
    }
    for (std::size_t at = 0; at < 19; ++at) {
      std::string line = "q1abc,jo62`{@z[aZ~x";
      std::string expected = "Q1ABC,JO62`{@Z[AZ~X";
      line[at] = byte;
      expected[at] = alone[0];
      EXPECT_EQ(upperCase(line, Encoding::Windows1252), expected) << b << " at " << at;
      if (b < 0x80) {
        EXPECT_EQ(upperCase(line, Encoding::Utf8), expected) << b << " at " << at;
      }
    }
  }
  // UTF-8: ASCII words first, then a letter of two bytes across a word end.
  EXPECT_EQ(upperCase("abcdefgäbcdefgh ö", Encoding::Utf8), "ABCDEFGÄBCDEFGH Ö");
  EXPECT_EQ(upperCase("abcdefghijklmnopé", Encoding::Utf8), "ABCDEFGHIJKLMNOPÉ");
}

}  // namespace
}  // namespace orvanta
