#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

using Boxes = std::array<std::string, 8>;
constexpr auto kBoxNames =
    std::to_array<const char*>({"Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"});

// The form as it is after its first activation.
class RecordsForm : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.NewLine = "\r\n";
    form.FieldSeparator = ",";
    form.LastFieldIndex = 7;
    form.Language = "de";
  }
  Boxes boxes() const {
    Boxes b;
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = window.text(kBoxNames[i]);
    return b;
  }
  void fillBoxes(const std::string& text) {
    for (const char* name : kBoxNames) window.setText(name, text);
  }
  Boxes show(std::string line, Encoding encoding = Encoding::Utf8) {
    form.ShowRecord(line, encoding);
    return boxes();
  }
};

// "v0,v1,...": every field names its own index.
std::string numberedLine(int n) {
  std::string line;
  for (int i = 0; i < n; ++i) line += (i != 0 ? ",v" : "v") + std::to_string(i);
  return line;
}

struct LayoutCase {
  const char* name;
  friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
  std::string kind;
  std::string language;
  int n;
  Boxes expected;
  std::string message;  // empty: no message
};

class RecordLayouts : public RecordsForm, public ::testing::WithParamInterface<LayoutCase> {};

// The three layouts by field count; "old" marks a box whose field is missing
// and which therefore keeps the text of the record shown before.
TEST_P(RecordLayouts, ByKindAndFieldCount) {
  const LayoutCase& c = GetParam();
  form.DbKind = c.kind;
  form.Language = c.language;
  form.RecordKey = "before";
  fillBoxes("old");
  EXPECT_EQ(show(numberedLine(c.n)), c.expected);
  EXPECT_EQ(form.RecordKey, c.kind == "user" ? "before" : "v0,v1");
  if (c.message.empty()) {
    EXPECT_TRUE(messages.calls.empty());
  } else {
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, c.message);
    EXPECT_EQ(messages.calls[0].title, c.language == "de" ? " Datenbankfehler " : " Database - ERROR ");
    EXPECT_EQ(messages.calls[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.calls[0].buttons, MessageButtons::Ok);
  }
}

const Boxes kShortLog = {"v2", "v0 v1", "v4", "", "v8", "v3", "v5", "v9"};
const Boxes kLongLog = {"v4", "v0 v1", "v6", "v2 v3", "v12", "v5", "v7", "v11 / v10"};

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordLayouts,
    ::testing::Values(
        LayoutCase{"User9", "user", "de", 9, {"v0", "v1", "v2", "v3", "v4", "v5", "v6 v8 v7", "v7"}, ""},
        LayoutCase{"User12",
                   "user",
                   "de",
                   12,
                   {"v0", "v1", "v2", "v3", "v4", "v5", "v6 v11 v10 v9 v8 v7", "v7"},
                   ""},
        LayoutCase{"User13",
                   "user",
                   "de",
                   13,
                   {"v0", "v1", "v2", "v3", "v4", "v5", "v6 v12 v11 v10 v9 v8 v7", "v7"},
                   ""},
        LayoutCase{"User18",
                   "user",
                   "de",
                   18,
                   {"v0", "v1", "v2", "v3", "v4", "v5", "v6 v17 v16 v15 v14 v13 v12 v11 v10 v9 v8 v7", "v7"},
                   ""},
        LayoutCase{"Log9", "log", "de", 9, {"v2", "v0 v1", "v4", "", "v8", "v3", "v5", "old"}, ""},
        LayoutCase{"Log12", "log", "de", 12, kShortLog, ""},
        LayoutCase{"Log13", "log", "de", 13, kLongLog, ""},
        LayoutCase{"Log14", "log", "de", 14, kLongLog, ""},
        LayoutCase{"Log17", "log", "de", 17, kLongLog, ""},
        LayoutCase{"Log17English", "log", "en", 17, kLongLog, ""},
        LayoutCase{"Log18", "log", "de", 18, kLongLog, "bei Call: v4\r\n(1 Trennzeichen zu viel!)"},
        LayoutCase{"Log30", "log", "de", 30, kLongLog, "bei Call: v4\r\n(13 Trennzeichen zu viel!)"},
        LayoutCase{"Log18English", "log", "en", 18, kLongLog, "by Call: v4"},
        LayoutCase{"Log19OtherLanguage", "log", "fr", 19, kLongLog, "by Call: v4"},
        // Any kind but "user" uses the log layouts.
        LayoutCase{"NoKind13", "", "de", 13, kLongLog, ""}),
    testing::CaseName());

TEST_F(RecordsForm, MessageComesWithTheNormalPointerAndAfterTheBoxes) {
  form.DbKind = "log";
  window.setMousePointer(MousePointer::Busy);
  Boxes seen;
  MousePointer pointer = MousePointer::Busy;
  messages.onShow = [&](const testing::FakeMessageBox::Call&) {
    pointer = window.pointer();
    seen = boxes();
  };
  show(numberedLine(20));
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(pointer, MousePointer::Normal);
  EXPECT_EQ(seen[0], "v4");
  EXPECT_EQ(seen[7], "v11 / v10");
}

// Contacts as WSJT-X 2.2 (13 fields), 2.7 (14) and 3.0 (17) write them.
TEST_F(RecordsForm, WsjtxLinesOfEveryVersion) {
  struct Case {
    std::string line;
    Boxes expected;
  };
  const auto cases = std::to_array<Case>({
      {"2020-06-01,18:02:15,2020-06-01,18:03:30,Q1ABC,JO62,50.313000,FT8,-07,-12,100,tnx QSO,Hans",
       {"Q1ABC", "2020-06-01 18:02:15", "50.313000", "2020-06-01 18:03:30", "Hans", "JO62", "FT8",
        "tnx QSO / 100"}},
      {"2024-03-09,07:15:00,2024-03-09,07:16:45,Q2XY,IO91,144.174000,FT8,+03,-01,,,,TR",
       {"Q2XY", "2024-03-09 07:15:00", "144.174000", "2024-03-09 07:16:45", "", "IO91", "FT8", ""}},
      {"2026-11-30,23:59:00,2026-12-01,00:01:10,Q3DEF/"
       "P,KN05,432.065000,Q65,-18,-20,50,EME,Eva,SAT,QO-100,A,10489.540000",
       {"Q3DEF/P", "2026-11-30 23:59:00", "432.065000", "2026-12-01 00:01:10", "Eva", "KN05", "Q65",
        "EME / 50"}},
  });
  form.DbKind = "log";
  for (const auto& c : cases) {
    std::string line = c.line;
    form.ShowRecord(line, Encoding::Windows1252);
    EXPECT_EQ(boxes(), c.expected) << c.line;
    EXPECT_EQ(line, c.line);  // a log line is never rewritten
    EXPECT_EQ(form.RecordKey, c.line.substr(0, 19));
  }
  EXPECT_TRUE(messages.calls.empty());
}

struct UserRecordCase {
  const char* name;
  friend void PrintTo(const UserRecordCase& c, std::ostream* os) { *os << c.name; }
  std::string line;
  Boxes expected;
  std::string after;  // the caller's line afterwards
};

class UserRecords : public RecordsForm, public ::testing::WithParamInterface<UserRecordCase> {};

TEST_P(UserRecords, FillTheBoxesAndComeBackNormalized) {
  const UserRecordCase& c = GetParam();
  form.DbKind = "user";
  fillBoxes("old");
  std::string line = c.line;
  form.ShowRecord(line);
  EXPECT_EQ(boxes(), c.expected);
  EXPECT_EQ(line, c.after);
  EXPECT_TRUE(messages.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserRecords,
    ::testing::Values(UserRecordCase{"WithoutDate",
                                     "Q1XYZ,JO62QM,EME",
                                     {"Q1XYZ", "JO62QM", "EME", "", "", "", "", "01/00"},
                                     "Q1XYZ,JO62QM,EME,,,,,01/00"},
                      UserRecordCase{"ShortWithDate",
                                     "Q1XYZ,JO62QM,03/21",
                                     {"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"},
                                     "Q1XYZ,JO62QM,,,,,,03/21"},
                      // As stored (start-up, forward step) a placeholder is shown empty;
                      // upper-cased by a search it is shown.
                      UserRecordCase{"PlaceholdersAsStored",
                                     "Q1XYZ,JO62QM,Feld3,Feld4,Feld5,Felder,Feld7,03/21",
                                     {"Q1XYZ", "JO62QM", "", "", "", "", "", "03/21"},
                                     "Q1XYZ,JO62QM,Feld3,Feld4,Feld5,Felder,Feld7,03/21"},
                      UserRecordCase{"PlaceholdersUpperCased",
                                     "Q1XYZ,JO62QM,FELD3,feld4,Feld5,,,03/21",
                                     {"Q1XYZ", "JO62QM", "FELD3", "feld4", "", "", "", "03/21"},
                                     "Q1XYZ,JO62QM,FELD3,feld4,Feld5,,,03/21"},
                      // One or two fields: only their boxes are written.
                      UserRecordCase{"TwoFields",
                                     "Q1XYZ,JO62QM",
                                     {"Q1XYZ", "JO62QM", "old", "old", "old", "old", "old", "old"},
                                     "Q1XYZ,JO62QM"},
                      UserRecordCase{"HeaderComment",
                                     "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ",
                                     {"//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ", "old", "old", "old",
                                      "old", "old", "old", "old"},
                                     "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ"},
                      UserRecordCase{
                          "EmptyLine", "", {"old", "old", "old", "old", "old", "old", "old", "old"}, ""}),
    testing::CaseName());

TEST_F(RecordsForm, ShortLogLinesWriteOnlyWhatTheyHave) {
  form.DbKind = "log";
  form.RecordKey = "2019-01-01,00:00:00";
  fillBoxes("old");
  EXPECT_EQ(show(""), (Boxes{"old", "old", "old", "old", "old", "old", "old", "old"}));
  EXPECT_EQ(form.RecordKey, "2019-01-01,00:00:00");
  EXPECT_EQ(show("2020-01-02"), (Boxes{"old", "old", "old", "", "old", "old", "old", "old"}));
  EXPECT_EQ(form.RecordKey, "2019-01-01,00:00:00");
  EXPECT_EQ(show("2020-01-02,10:00,Q1ABC"),
            (Boxes{"Q1ABC", "2020-01-02 10:00", "old", "", "old", "old", "old", "old"}));
  EXPECT_EQ(form.RecordKey, "2020-01-02,10:00");
  EXPECT_EQ(form.FieldSeparator, ",");
}

// Boxes show UTF-8 decoded from the file's encoding; the record key keeps the
// file's bytes, as the steps compare it with the raw lines.
TEST_F(RecordsForm, DecodesBoxesAndKeepsTheKeyRaw) {
  form.DbKind = "user";
  EXPECT_EQ(show("Q1\xC4"
                 "B,JO62,M\xFCnchen \x80,\x9C\x9A\xFF,,,,03/21",
                 Encoding::Windows1252),
            (Boxes{"Q1Ä"
                   "B",
                   "JO62", "München €", "œšÿ", "", "", "", "03/21"}));
  EXPECT_EQ(show("Q1\xC3\x84"
                 "B,JO62,M\xC3\xBCnchen",
                 Encoding::Utf8),
            (Boxes{"Q1Ä"
                   "B",
                   "JO62", "München", "", "", "", "", "01/00"}));
  // Bytes that are not UTF-8 show as replacement characters and break nothing.
  EXPECT_EQ(show("Q1\xFF"
                 "B,\xC3,x",
                 Encoding::Utf8)[0],
            "Q1\xEF\xBF\xBD"
            "B");

  form.DbKind = "log";
  form.Language = "de";
  const std::string raw =
      "2020-01-02,M\xE4rz,x,x,Q1\xD6"
      "B,a,b,c,d,e,f,g,h,i,j,k,l,m";
  show(raw, Encoding::Windows1252);
  EXPECT_EQ(window.text("Text3"), "2020-01-02 März");
  EXPECT_EQ(form.RecordKey, "2020-01-02,M\xE4rz");
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, "bei Call: Q1ÖB\r\n(1 Trennzeichen zu viel!)");
}

TEST_F(RecordsForm, ClearFieldsEmptiesOnlyTheEightBoxes) {
  fillBoxes("old");
  window.setText("Text10", "Q1ABC");
  form.RecordKey = "k";
  form.ClearFields();
  EXPECT_EQ(boxes(), Boxes{});
  EXPECT_EQ(window.text("Text10"), "Q1ABC");
  EXPECT_EQ(form.RecordKey, "k");
}

TEST_F(RecordsForm, ChoosingADatabase) {
  struct Case {
    std::string path;
    std::string kindBefore;
    std::string kindAfter;
    bool keysKept;
  };
  const auto cases = std::to_array<Case>({
      {"/data/CALL3.txt", "log", "user", false},
      {"/data/Call3.TXT", "", "user", false},
      {"/data/wsjtx.log", "user", "log", true},
      {"/data/other/wsjtx.LOG", "log", "log", true},  // log after log: the keys stay for the next step
      {"/data/x.txt.log", "log", "log", false},
      {"/data/notes.dat", "user", "user", true},  // neither: the kind stays
      {"/data/notes.dat", "log", "log", true},
      {"", "log", "log", true},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " after " + c.kindBefore);
    form.DbKind = c.kindBefore;
    form.StepKey = "2020-01-02,10:00";
    form.RecordKey = "2020-01-02,10:00";
    window.setText("Combo1", c.path);
    window.focus = "Combo1";
    fillBoxes("old");
    form.onWindowEvent("Combo1", WindowEvent::Click, 0);
    EXPECT_EQ(form.DbPath, c.path);
    EXPECT_EQ(form.DbKind, c.kindAfter);
    EXPECT_EQ(form.StepKey, c.keysKept ? "2020-01-02,10:00" : "");
    EXPECT_EQ(form.RecordKey, c.keysKept ? "2020-01-02,10:00" : "");
    EXPECT_EQ(boxes(), Boxes{});
    EXPECT_EQ(window.focus, "Text10");
    EXPECT_EQ(window.text("Combo1"), c.path);
  }
}

TEST_F(RecordsForm, ChoosingADatabaseSetsTheLabelsOfItsKind) {
  form.Language = "en";
  window.setText("Combo1", "/data/wsjtx.log");
  form.Combo1_Click();
  EXPECT_EQ(window.caption("Label3"), "Start");
  EXPECT_EQ(window.caption("Label9"), "Comment");
  window.setText("Combo1", "/data/CALL3.txt");
  form.Combo1_Click();
  EXPECT_EQ(window.caption("Label3"), "Locator");
  EXPECT_EQ(window.caption("Label9"), "Last Updated:");
  // Neither kind: the labels of the previous database stay.
  form.Language = "de";
  window.setText("Combo1", "/data/notes.dat");
  form.Combo1_Click();
  EXPECT_EQ(window.caption("Label4"), "Bemerkung");
  EXPECT_EQ(window.caption("Label9"), "Stand :");
}

TEST_F(RecordsForm, ClickIntoAFieldBoxSendsTheCaretToTheSearchBox) {
  for (const char* name : kBoxNames) {
    window.focus = name;
    window.setText(name, "keep");
    form.onWindowEvent(name, WindowEvent::Click, 0);
    EXPECT_EQ(window.focus, "Text10") << name;
    EXPECT_EQ(window.text(name), "keep");
  }
  EXPECT_TRUE(messages.calls.empty());
}

}  // namespace
}  // namespace orvanta
