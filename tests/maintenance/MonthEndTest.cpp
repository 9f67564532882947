#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/FormFixture.h"
#include "maintenance/MonthEnd.h"

namespace orvanta {
namespace {

std::string joined(const std::vector<std::string>& lines, const std::string& eol) {
  std::string text;
  for (const auto& line : lines) text += line + eol;
  return text;
}

class MonthEnd : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.Language = "de";
    form.NewLine = "\r\n";
    clock.date = CivilDate{2019, 5, 31};
  }
  std::string current(const std::string& name, const std::string& bytes) {
    std::string path = dir.write(name, bytes);
    window.addListItem("Combo1", path);
    window.setText("Combo1", path);
    return path;
  }
};

TEST_F(MonthEnd, RecordsWithoutDateGetTheMonth) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const auto cases = std::to_array<Case>({
      {"eight fields, field 7 empty", "Q1AB,JO01AA,,,,,,", "Q1AB,JO01AA,,,,,,05/19"},
      {"eight fields with a date: kept", "Q1AB,JO01AA,,,,,,03/19", "Q1AB,JO01AA,,,,,,03/19"},
      {"eight fields, text in field 7 replaced", "Q1AB,JO01AA,,,,,,later", "Q1AB,JO01AA,,,,,,05/19"},
      {"three fields", "Q1AB,JO01AA,EME", "Q1AB,JO01AA,EME,,,,,05/19"},
      {"four fields ending in a date", "Q1AB,JO01AA,EME,03/21", "Q1AB,JO01AA,EME,,,,,03/21"},
      {"nine fields folded, no month used", "Q1AB,JO62QM,,,,,R1,T7,03/21", "Q1AB,JO62QM,,,,,R1,03/21"},
      {"nine fields without a date get none", "Q1AB,JO62QM,,,,,R1,T7,T8", "Q1AB,JO62QM,,,,,R1 T8 T7,T7"},
      {"two fields stay", "Q1AB,JO01AA", "Q1AB,JO01AA"},
      {"one field with a slash stays", "Q1AB/P", "Q1AB/P"},
      {"ZZZ anywhere stays", "Q1ZZZ,JO01AA", "Q1ZZZ,JO01AA"},
      {"the terminator stays", "ZZZZZZ,End-Of-Call3-Database 2019.04.30",
       "ZZZZZZ,End-Of-Call3-Database 2019.04.30"},
      {"a comment stays", "Q1AB,JO01AA,http://q1ab.example", "Q1AB,JO01AA,http://q1ab.example"},
      {"blanks are kept", " Q1AB , JO01AA ,x", " Q1AB , JO01AA ,x,,,,,05/19"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = current("CALL3.txt", joined({"//CALL3.txt header", c.before, ""}, "\r\n"));
    form.mnuSetUpdate_Datum_Click();
    EXPECT_EQ(testing::readFile(path), joined({"//CALL3.txt header", c.after, ""}, "\r\n"));
    EXPECT_TRUE(messages.calls.empty());
  }
}

TEST_F(MonthEnd, TheRewrittenDatabaseKeepsItsPermissions) {
  const std::string path =
      current("CALL3.txt", joined({"//CALL3.txt header", "Q1AB,JO01AA,EME", ""}, "\r\n"));
  std::filesystem::permissions(path,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  form.mnuSetUpdate_Datum_Click();
  EXPECT_EQ(testing::readFile(path), joined({"//CALL3.txt header", "Q1AB,JO01AA,EME,,,,,05/19", ""}, "\r\n"));
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(MonthEnd, AnOwnDateNeverReachesTheNextRecord) {
  const std::string path =
      current("CALL3.txt", joined({"Q1AB,JO01AA,EME,03/21", "Q1CD,JO01AA,EME", "Q1EF,JO01AA,,,,,,"}, "\r\n"));
  form.mnuSetUpdate_Datum_Click();
  EXPECT_EQ(testing::readFile(path),
            joined({"Q1AB,JO01AA,EME,,,,,03/21", "Q1CD,JO01AA,EME,,,,,05/19", "Q1EF,JO01AA,,,,,,05/19", ""},
                   "\r\n"));
  EXPECT_EQ(form.FieldSeparator, ",");
}

TEST_F(MonthEnd, KeepsEncodingByteOrderMarkAndLineEnds) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const auto cases = std::to_array<Case>({
      {"Windows-1252 with CR LF", "//h\r\nQ1AB,JO01AA,G\xE9rard\r\nQ1CD,\xC4\xD6,,,,,,01/18\r\n",
       "//h\r\nQ1AB,JO01AA,G\xE9rard,,,,,05/19\r\nQ1CD,\xC4\xD6,,,,,,01/18\r\n\r\n"},
      {"UTF-8 with LF", "//h\nQ1AB,JO01AA,G\xC3\xA9rard\n\n", "//h\nQ1AB,JO01AA,G\xC3\xA9rard,,,,,05/19\n\n"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF//h\nQ1AB,JO01AA,x\n",
       "\xEF\xBB\xBF//h\nQ1AB,JO01AA,x,,,,,05/19\n\n"},
      {"last line without a line end", "//h\r\nQ1AB,JO01AA,x", "//h\r\nQ1AB,JO01AA,x,,,,,05/19\r\n\r\n"},
      {"mixed line ends become CR LF", "//h\nQ1AB,JO01AA,,,,,,01/18\r\n\r\n",
       "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\n\r\n"},
      {"a lone CR stays part of its line", "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\r\n\r\n",
       "//h\r\nQ1AB,JO01AA,,,,,,01/18\r\r\n\r\n"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = current("CALL3.txt", c.before);
    form.mnuSetUpdate_Datum_Click();
    EXPECT_EQ(testing::readFile(path), c.after);
  }
}

TEST_F(MonthEnd, ASecondRunInTheSameMonthChangesNothing) {
  const std::string path =
      current("CALL3.txt", joined({"//CALL3.txt header", "Q1AB,JO01AA,EME", "Q1CD,JO01AA,,,,,,01/18",
                                   "ZZZZZZ,End-Of-Call3-Database 2019.04.30"},
                                  "\r\n"));
  form.mnuSetUpdate_Datum_Click();
  const std::string first = testing::readFile(path);
  EXPECT_EQ(first, joined({"//CALL3.txt header", "Q1AB,JO01AA,EME,,,,,05/19", "Q1CD,JO01AA,,,,,,01/18",
                           "ZZZZZZ,End-Of-Call3-Database 2019.04.30", ""},
                          "\r\n"));
  const auto before = files.identity(path);
  form.mnuSetUpdate_Datum_Click();
  EXPECT_EQ(testing::readFile(path), first);
  // Not even rewritten: the very same file is still there.
  EXPECT_EQ(files.identity(path), before);
}

TEST_F(MonthEnd, BusyPointerAndYields) {
  current("CALL3.txt", "Q1AB,JO01AA,x\r\n");
  bool busyWhileYielding = true;
  events.onYield = [&] {
    if (events.yields == 1)
      busyWhileYielding = window.pointer() == MousePointer::Busy && form.MaintenanceRunning;
    // Clicks on either maintenance item meanwhile are refused with a beep.
    form.mnuSetUpdate_Datum_Click();
    form.mnuAktualiesieren_Click();
  };
  form.mnuSetUpdate_Datum_Click();
  EXPECT_EQ(window.beeps, 2 * events.yields);
  EXPECT_EQ(dir.read("CALL3.txt"), "Q1AB,JO01AA,x,,,,,05/19\r\n\r\n");
  EXPECT_TRUE(busyWhileYielding);
  EXPECT_GE(events.yields, 3);
  EXPECT_EQ(window.pointer(), MousePointer::Normal);
  EXPECT_FALSE(form.MaintenanceRunning);
  EXPECT_TRUE(messages.calls.empty());
}

TEST_F(MonthEnd, RefusesWhatIsNoUserDatabase) {
  struct Case {
    const char* name;
    std::string language;
    std::string combo;  // "" for none; "@" prefix: file made under that name
    std::string text;
  };
  const std::string log = dir.write("wsjtx.log", "2019-05-01,10:00:00,Q1AB,JO01,7.074,FT8\n");
  const std::string gone = dir.file("gone/CALL3.txt");
  const std::string folder = dir.file("afolder.txt");
  std::filesystem::create_directories(folder);
  dir.write("CALL3.txt", "Q1AB,JO01AA,x\r\n");
  const std::string pattern = dir.file("CALL?.txt");  // names a file, but is none
  const auto cases = std::to_array<Case>({
      {"no database", "de", "", "Es ist keine Datenbank ausgewählt."},
      {"unreadable", "de", pattern,
       "Die Datenbank kann nicht gelesen werden:\r\n" + pattern + "\r\nNo such file or directory"},
      {"unreadable", "en", pattern,
       "The database cannot be read:\r\n" + pattern + "\r\nNo such file or directory"},
      {"no database", "en", "", "No database is selected."},
      {"a log", "de", log,
       "Das Update-Datum wird nur in einer Datenbank wie CALL3.txt gesetzt, nicht im Log:\r\n" + log},
      {"a log", "en", log,
       "The update date is set only in a database such as CALL3.txt, not in a log:\r\n" + log},
      {"missing", "de", gone, "Die Datenbank wurde nicht gefunden:\r\n" + gone},
      {"missing", "en", gone, "The database was not found:\r\n" + gone},
      {"a folder", "en", folder, "The database was not found:\r\n" + folder},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.language);
    messages.calls.clear();
    form.Language = c.language;
    window.setText("Combo1", c.combo);
    form.mnuSetUpdate_Datum_Click();
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, c.text);
    EXPECT_EQ(messages.calls[0].title, c.language == "de" ? "Update-Datum setzen" : "Update Set date");
    EXPECT_EQ(messages.calls[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(window.pointer(), MousePointer::Normal);
    EXPECT_FALSE(form.MaintenanceRunning);
  }
  EXPECT_EQ(dir.read("wsjtx.log"), "2019-05-01,10:00:00,Q1AB,JO01,7.074,FT8\n");
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_EQ(dir.read("CALL3.txt"), "Q1AB,JO01AA,x\r\n");
}

TEST(MonthText, TwoDigitMonthSlashTwoDigitYear) {
  EXPECT_EQ(monthText(CivilDate{2019, 5, 7}), "05/19");
  EXPECT_EQ(monthText(CivilDate{2019, 5, 7}, '.'), "05/19");
  EXPECT_EQ(monthText(CivilDate{2000, 12, 31}, '-'), "12-00");
  EXPECT_EQ(monthText(CivilDate{2105, 1, 1}), "01/05");
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// A CR that ends the file is a line end cut short, not part of the last
// record: without it the date is seen and nothing lands mid-file.
TEST_F(MonthEnd, ACarriageReturnEndingTheFileIsNoPartOfTheLastRecord) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const auto cases = std::to_array<Case>({
      {"CR LF file, dated last record", "//h\r\nQ1AB,JO01AA,x\r\nQ1ZZ,JO01AA,,,,,,05/21\r",
       "//h\r\nQ1AB,JO01AA,x,,,,,05/19\r\nQ1ZZ,JO01AA,,,,,,05/21\r\n\r\n"},
      {"LF file, undated last record", "//h\nQ1AB,JO01AA,,,,,,01/18\nQ1ZZ,JO01AA,x\r",
       "//h\nQ1AB,JO01AA,,,,,,01/18\nQ1ZZ,JO01AA,x,,,,,05/19\n\n"},
      {"a CR inside the file stays where it is", "Q1AB,JO01AA,x\r\r\nQ1ZZ,JO01AA,,,,,,05/21\r",
       "Q1AB,JO01AA,x\r,,,,,05/19\r\nQ1ZZ,JO01AA,,,,,,05/21\r\n\r\n"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = current("CALL3.txt", c.before);
    form.mnuSetUpdate_Datum_Click();
    EXPECT_EQ(testing::readFile(path), c.after);
    EXPECT_TRUE(messages.calls.empty());
  }
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// Every line is rewritten, so a line too long to hold ends the update before
// anything is replaced, and the message names the line.
TEST_F(MonthEnd, ALineLongerThan16MiBIsRefusedAndNothingChanges) {
  const std::string before =
      "//CALL3.txt header\r\nQ1AB,JO01AA,EME\r\n" + std::string((16U << 20) + 1, 'x') + "\r\nQ2CD,JO02BB\r\n";
  for (const bool german : {true, false}) {
    messages.calls.clear();
    form.Language = german ? "de" : "en";
    const std::string path = current("CALL3.txt", before);
    form.mnuSetUpdate_Datum_Click();
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(
        messages.calls[0].text,
        german ? "Die Datenbank kann nicht gelesen werden:\r\n" + path + "\r\nZeile 3 ist länger als 16 MiB"
               : "The database cannot be read:\r\n" + path + "\r\nline 3 is longer than 16 MiB");
    EXPECT_EQ(messages.calls[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(testing::readFile(path) == before) << "the database is unchanged";
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1U) << "no scratch file is left";
    EXPECT_FALSE(form.MaintenanceRunning);
  }
}

}  // namespace
}  // namespace orvanta
