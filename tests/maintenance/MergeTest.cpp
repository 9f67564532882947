#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>

#include <string>
#include <vector>

#include "Version.h"
#include "fakes/FormFixture.h"
#include "maintenance/Merge.h"
#include "maintenance/MergePlacement.h"

namespace orvanta {
namespace {

using testing::readFile;

const std::string kHeader = "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ";
const std::string kEnd =
    std::string("ZZZZZZ,End-Of-Call3-Database 2019.05.07 Orvanta ") + version::kLegalNotice;

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// The merged file the form writes for these record lines (clock: 7 May 2019).
std::string mergedFile(const std::vector<std::string>& records, const std::string& header = kHeader) {
  return header + "\r\n" + crlf(records) + kEnd + "\r\n\r\n";
}

class Merge : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.Language = "de";
    form.NewLine = "\r\n";
  }
  // Lists the databases in Combo1, the first one current.
  void list(const std::vector<std::string>& paths) {
    for (const auto& path : paths) window.addListItem("Combo1", path);
    if (!paths.empty()) window.setText("Combo1", paths.front());
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir.file(name)); }
};

TEST_F(Merge, EdgeCasesOfTheRecords) {
  struct Case {
    const char* name;
    std::vector<std::string> a;  // lines of a/CALL3.txt
    std::vector<std::string> b;  // lines of b/CALL3.txt
    std::vector<std::string> merged;
  };
  const auto cases = std::to_array<Case>({
      {"later year wins with all its own fields",
       {kHeader, "Q1AB,JO01AA,OLD,JT65,,,,03/18", kEnd, ""},
       {kHeader, "Q1AB,JO99ZZ,NEW,FT8,IC-9700,x,y,11/19", kEnd, ""},
       {"Q1AB,JO99ZZ,NEW,FT8,IC-9700,x,y,11/19"}},
      {"same year: the line that sorts first wins, whatever the month",
       {kHeader, "Q1AB,JO02AA,,,,,,12/19"},
       {kHeader, "Q1AB,JO01AA,,,,,,01/19"},
       {"Q1AB,JO01AA,,,,,,01/19"}},
      {"three dates in sort order 2017, 2020, 2019",
       {kHeader, "Q1AB,AA00,,,,,,05/17", "Q1AB,CC00,,,,,,05/19"},
       {kHeader, "Q1AB,BB00,,,,,,05/20"},
       {"Q1AB,BB00,,,,,,05/20"}},
      {"no date: 01/00 and the year 2000, newer than 1999",
       {kHeader, "Q1AB,JO01AA,EME"},
       {kHeader, "Q1AB,JO02AA,,,,,,12/99"},
       {"Q1AB,JO01AA,EME,,,,,01/00"}},
      {"call signs that differ only in case are separate records; lower case after the terminator kept",
       {kHeader, "Q1AB,JO01AA,,,,,,01/19", "q1ab,JO02AA,,,,,,01/19"},
       {kHeader, "Q1aB,JO03AA,,,,,,01/19"},
       {"Q1AB,JO01AA,,,,,,01/19", "Q1aB,JO03AA,,,,,,01/19", "q1ab,JO02AA,,,,,,01/19"}},
      {"every comment line goes, also a record with // in a remark",
       {kHeader, "// a note", "Q1AB,JO01AA,http://q1ab.example,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"},
       {"//another header", "Q1EF,JO01AA,see //,,,,,01/19", "Q1GH,JO01AA,,,,,,01/19"},
       {"Q1CD,JO01AA,,,,,,01/19", "Q1GH,JO01AA,,,,,,01/19"}},
      {"input terminators are not copied, records after them are kept",
       {kHeader, "Q1AB,JO01AA,,,,,,01/19", "ZZZZZZ,End-Of-Call3-Database old", "Q1ZZ,JO01AA,,,,,,01/19", ""},
       {kHeader, "ZZZZZZ,End", "Q1CD,JO01AA,,,,,,01/19", "ZZZZZZ"},
       {"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19", "Q1ZZ,JO01AA,,,,,,01/19"}},
      {"a record as first line is sorted and de-duplicated like any other",
       {"Q1MM,JO01AA,,,,,,01/15", "Q1AB,JO01AA,,,,,,01/19"},
       {kHeader, "Q1MM,JO02AA,,,,,,01/18"},
       {"Q1AB,JO01AA,,,,,,01/19", "Q1MM,JO02AA,,,,,,01/18"}},
      {"empty lines and indented records",
       {kHeader, "", "   ", "  Q1AB,JO01AA,,,,,,01/17"},
       {kHeader, "Q1AB,JO02AA,,,,,,01/18", ""},
       {"Q1AB,JO02AA,,,,,,01/18"}},
      {"short and long records are normalized, one- and two-field lines kept",
       {kHeader, "Q1AB,JO01AA,03/21", "Q1CD,JO01AA,EME,,,,R1,03/21,X,Y"},
       {kHeader, "Q1EF,JO01AA", "Q1GH"},
       {"Q1AB,JO01AA,,,,,,03/21", "Q1CD,JO01AA,EME,,,,R1 Y X,03/21", "Q1EF,JO01AA", "Q1GH"}},
      {"a one-field line meets the records of its call sign",
       {kHeader, "Q1AB", "Q1ABCDEFGH", "Q1ABCDEFGHIJ,JO01AA,,,,,,01/17"},
       {kHeader, "Q1AB,JO01AA,,,,,,01/19", "Q1ABCDEFGHIJ,JO02AA,,,,,,01/18"},
       {"Q1AB,JO01AA,,,,,,01/19", "Q1ABCDEFGH", "Q1ABCDEFGHIJ,JO02AA,,,,,,01/18"}},
      {"identical records from both files written once",
       {kHeader, "Q1AB,JO01AA,,,,,,01/19"},
       {kHeader, "Q1AB,JO01AA,,,,,,01/19"},
       {"Q1AB,JO01AA,,,,,,01/19"}},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir folders;
    const std::string a = folders.write("a/CALL3.txt", crlf(c.a));
    const std::string b = folders.write("b/CALL3.txt", crlf(c.b));
    window.clearList("Combo1");
    messages.calls.clear();
    list({a, b});
    form.mnuAktualiesieren_Click();
    EXPECT_EQ(readFile(a), mergedFile(c.merged));
    EXPECT_EQ(readFile(b), mergedFile(c.merged));
    EXPECT_EQ(folders.read("a/CALL3_Old.txt"), crlf(c.a));
    EXPECT_EQ(folders.read("b/CALL3_Old.txt"), crlf(c.b));
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, "Alle CALL3.txt komplett");
  }
}

TEST_F(Merge, OneDatabaseOnlyInBothLanguages) {
  struct Case {
    std::string language;
    std::string text;
  };
  const auto cases = std::to_array<Case>({
      {"de",
       "Es müssen mehrere Datenbanken (z.B. CALL3.txt) ausgewählt werden.        \r\n"
       "Bitte mit dem Buton 'Öffnen' mindestens zwei Datenbanken auswählen.      \r\n\r\n"},
      {"en",
       "Several data bases (for example CALL3.txt) must be selected.             \r\n"
       "Select at least two databass with the Buton 'Open' please.               \r\n\r\n"},
  });
  const std::string a = dir.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA"}));
  list({a});
  for (const auto& c : cases) {
    messages.calls.clear();
    form.Language = c.language;
    form.mnuAktualiesieren_Click();
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, c.text);
    EXPECT_EQ(messages.calls[0].title, " Info");
    EXPECT_EQ(messages.calls[0].icon, MessageIcon::Information);
    EXPECT_EQ(readFile(a), crlf({kHeader, "Q1AB,JO01AA"}));
    EXPECT_FALSE(exists("a/CALL3_Old.txt"));
    EXPECT_TRUE(window.pointerHistory.empty());
    EXPECT_EQ(window.beeps, 0);
  }
}

TEST_F(Merge, TwoFoldersEachGetBackupAndMergedFile) {
  const std::string a = dir.write("one/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("two/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  dir.write("one/CALL3_Old.txt", "an older backup");
  list({a, b});
  form.mnuAktualiesieren_Click();
  const std::string merged = mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"});
  EXPECT_EQ(dir.read("one/CALL3.txt"), merged);
  EXPECT_EQ(dir.read("two/CALL3.txt"), merged);
  EXPECT_EQ(dir.read("one/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("two/CALL3_Old.txt"), crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  // Nothing else is left behind.
  for (const auto* folder : {"one", "two"}) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.file(folder))) ++count;
    EXPECT_EQ(count, 2U) << folder;
  }
  // Busy pointer while working, normal again before the beep and the message.
  ASSERT_FALSE(window.pointerHistory.empty());
  EXPECT_EQ(window.pointerHistory.front(), MousePointer::Busy);
  EXPECT_EQ(window.pointer(), MousePointer::Normal);
  EXPECT_EQ(window.beeps, 1);
  EXPECT_GE(events.yields, 6);
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].title, "Datenbanken für WSJT ");
  EXPECT_EQ(messages.calls[0].icon, MessageIcon::Information);
  EXPECT_FALSE(form.MaintenanceRunning);
  EXPECT_EQ(form.FieldSeparator, ",");
}

TEST_F(Merge, CompletionMessageByLanguageAndFileName) {
  struct Case {
    std::string language;
    std::string dbFileName;
    std::string written;  // file name in each folder and in the header
    std::string text;
    std::string title;
  };
  const auto cases = std::to_array<Case>({
      {"de", "CALL3.txt", "CALL3.txt", "Alle CALL3.txt komplett", "Datenbanken für WSJT "},
      {"en", "CALL3.txt", "CALL3.txt", "All CALL3.txt complete", "Databases for WSJT "},
      {"fr", "CALL3.txt", "CALL3.txt", "CALL3.txt ", ""},
      // Databases restored at start-up: no name chosen in this run.
      {"de", "", "CALL3.txt", "Alle CALL3.txt komplett", "Datenbanken für WSJT "},
      {"en", "calls.txt", "calls.txt", "All calls.txt complete", "Databases for WSJT "},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language + "/" + c.dbFileName);
    testing::TempDir folders;
    const std::string a = folders.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
    const std::string b = folders.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
    window.clearList("Combo1");
    messages.calls.clear();
    list({a, b});
    form.Language = c.language;
    form.DbFileName = c.dbFileName;
    form.mnuAktualiesieren_Click();
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, c.text);
    EXPECT_EQ(messages.calls[0].title, c.title);
    const std::string merged = mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"},
                                          "//" + c.written + " format for WSJT-PROGRAMs by Q9ZZ");
    EXPECT_EQ(folders.read("a/" + c.written), merged);
    EXPECT_EQ(folders.read("b/" + c.written), merged);
  }
}

TEST_F(Merge, ADatabaseOfAnotherNameIsKeptAsTheBackup) {
  const std::string a = dir.write("a/mine.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, b});
  form.mnuAktualiesieren_Click();
  EXPECT_FALSE(exists("a/mine.txt"));
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/CALL3.txt"), dir.read("b/CALL3.txt"));
}

TEST_F(Merge, AnUnlistedFileOfTheMergedNameBecomesTheBackup) {
  // The merged file must not overwrite a file nobody listed without keeping it.
  const std::string a = dir.write("a/mine.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  dir.write("a/CALL3.txt", crlf({kHeader, "Q1XY,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, b});
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1XY,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/mine.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/CALL3.txt"), mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"}));
}

TEST_F(Merge, LogDatabasesTakeNoPart) {
  const std::string log = dir.write("a/wsjtx.log", "2019-05-01,10:00:00,Q1LOG,JO01,7.074,FT8\n");
  const std::string a = dir.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));

  // One user database and a log: not enough to merge, nothing touched.
  list({log, a});
  form.mnuAktualiesieren_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].title, " Info");
  EXPECT_FALSE(exists("a/CALL3_Old.txt"));

  // Two user databases and a log: the log is neither read nor moved.
  messages.calls.clear();
  window.clearList("Combo1");
  list({log, a, b});
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(dir.read("a/wsjtx.log"), "2019-05-01,10:00:00,Q1LOG,JO01,7.074,FT8\n");
  EXPECT_EQ(dir.read("a/CALL3.txt"), mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
}

TEST_F(Merge, TheSameFileListedTwiceIsMergedAndReplacedOnce) {
  const std::string oldA = crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"});
  const std::string a = dir.write("a/CALL3.txt", oldA);
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, b, a, dir.file("a/../a/./CALL3.txt")});
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), oldA);
  EXPECT_EQ(dir.read("a/CALL3.txt"), mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"}));

  // Only one distinct file: as good as one database.
  messages.calls.clear();
  window.clearList("Combo1");
  list({b, dir.file("b/./CALL3.txt")});
  const std::string before = dir.read("b/CALL3.txt");
  form.mnuAktualiesieren_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].title, " Info");
  EXPECT_EQ(dir.read("b/CALL3.txt"), before);
}

TEST_F(Merge, TwoDatabasesInOneFolderKeepOneBackupAndLoseNothing) {
  const std::string a = dir.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string other = dir.write("a/other.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, other});
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/other.txt"), crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(dir.read("a/CALL3.txt"), mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"}));
}

TEST_F(Merge, ReplacedDatabasesKeepTheirPermissions) {
  const std::string a = dir.write("one/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("two/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  std::filesystem::permissions(a, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::permissions(b, std::filesystem::perms::owner_all | std::filesystem::perms::group_read);
  list({a, b});
  form.mnuAktualiesieren_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  ASSERT_EQ(messages.calls[0].icon, MessageIcon::Information) << messages.calls[0].text;
  EXPECT_EQ(std::filesystem::status(a).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::filesystem::status(b).permissions(),
            std::filesystem::perms::owner_all | std::filesystem::perms::group_read);
}

TEST_F(Merge, EncodingAndLineEndsOfTheMergedFile) {
  const std::string utf8Lf =
      "//x\nQ1AB,JO01AA,Stra\xC3\x9F"
      "e,,,,,01/19\n";
  const std::string cp1252Lf = "//x\nQ1CD,JO01AA,G\xE9rard,,,,,01/19\n";
  const std::string cp1252CrLf = "//x\r\nQ1CD,JO01AA,G\xE9rard,,,,,01/19\r\n";
  struct Case {
    const char* name;
    std::string a, b;
    std::string records;  // as written, line ends included
    std::string eol;
  };
  const auto cases = std::to_array<Case>({
      {"UTF-8 and Windows-1252, LF alone: UTF-8 with LF", utf8Lf, cp1252Lf,
       "Q1AB,JO01AA,Stra\xC3\x9F"
       "e,,,,,01/19\nQ1CD,JO01AA,G\xC3\xA9rard,,,,,01/19\n",
       "\n"},
      {"UTF-8 and Windows-1252 with CR LF: UTF-8 with CR LF", utf8Lf, cp1252CrLf,
       "Q1AB,JO01AA,Stra\xC3\x9F"
       "e,,,,,01/19\r\nQ1CD,JO01AA,G\xC3\xA9rard,,,,,01/19\r\n",
       "\r\n"},
      {"Windows-1252 only: stays Windows-1252", cp1252CrLf, "//y\r\nQ1AB,JO01AA,\xC4,,,,,01/19\r\n",
       "Q1AB,JO01AA,\xC4,,,,,01/19\r\nQ1CD,JO01AA,G\xE9rard,,,,,01/19\r\n", "\r\n"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir folders;
    const std::string a = folders.write("a/CALL3.txt", c.a);
    const std::string b = folders.write("b/CALL3.txt", c.b);
    window.clearList("Combo1");
    list({a, b});
    form.mnuAktualiesieren_Click();
    EXPECT_EQ(readFile(a), kHeader + c.eol + c.records + kEnd + c.eol + c.eol);
  }
}

TEST_F(Merge, AMissingDatabaseStopsBeforeAnythingIsTouched) {
  const std::string a = dir.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  list({a, dir.file("gone/CALL3.txt")});
  form.Language = "en";
  form.mnuAktualiesieren_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, "The database was not found:\r\n" + dir.file("gone/CALL3.txt") +
                                        "\r\n\r\nNo database has been changed.");
  EXPECT_EQ(messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(messages.calls[0].title, "Databases for WSJT ");
  EXPECT_EQ(dir.read("a/CALL3.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_FALSE(exists("a/CALL3_Old.txt"));
  EXPECT_EQ(window.pointer(), MousePointer::Normal);
  EXPECT_EQ(window.beeps, 0);
  EXPECT_FALSE(form.MaintenanceRunning);
}

TEST_F(Merge, NoSecondMaintenanceCommandWhileOneRuns) {
  const std::string a = dir.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, b});
  int yieldsWhileRunning = 0;
  events.onYield = [&] {
    if (form.MaintenanceRunning) ++yieldsWhileRunning;
    // The operator clicks both maintenance items while the window repaints.
    form.mnuAktualiesieren_Click();
    form.mnuSetUpdate_Datum_Click();
  };
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(yieldsWhileRunning, events.yields);
  EXPECT_GE(events.yields, 6);
  ASSERT_EQ(messages.calls.size(), 1U);  // only the completion message
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_EQ(window.beeps, 1 + 2 * events.yields);  // the completion beep, and one per refused click
  EXPECT_FALSE(form.MaintenanceRunning);
}

TEST_F(Merge, TheBackupNameIsNoNameForTheMergedFile) {
  const std::string a = dir.write("a/CALL3_Old.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
  list({a, b});
  form.DbFileName = "CALL3_Old.txt";
  form.mnuAktualiesieren_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].icon, MessageIcon::Stop);
  EXPECT_EQ(dir.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
  EXPECT_FALSE(exists("b/CALL3_Old.txt"));
}

TEST_F(Merge, ALogOpenedLastIsNeverReadRenamedOrReplaced) {
  // Opening a log sets DbFileName like any other file; the merge still
  // writes under the default name and leaves every log as it was.
  const std::string logText = "2019-05-01,10:00:00,Q1LOG,JO01,7.074,FT8\n";
  for (const std::string dbFileName : {"wsjtx.log", "WSJTX.LOG", "calls.log.txt"}) {
    SCOPED_TRACE(dbFileName);
    testing::TempDir folders;
    const std::string log = folders.write("a/" + dbFileName, logText);
    const std::string a = folders.write("a/CALL3.txt", crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
    const std::string b = folders.write("b/CALL3.txt", crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"}));
    window.clearList("Combo1");
    messages.calls.clear();
    list({a, b, log});
    form.DbFileName = dbFileName;
    form.mnuAktualiesieren_Click();
    EXPECT_EQ(folders.read("a/" + dbFileName), logText);
    EXPECT_FALSE(std::filesystem::exists(folders.file("b/" + dbFileName)));
    const std::string merged = mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1CD,JO01AA,,,,,,01/19"});
    EXPECT_EQ(folders.read("a/CALL3.txt"), merged);
    EXPECT_EQ(folders.read("b/CALL3.txt"), merged);
    EXPECT_EQ(folders.read("a/CALL3_Old.txt"), crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"}));
    ASSERT_EQ(messages.calls.size(), 1U);
    EXPECT_EQ(messages.calls[0].text, "Alle CALL3.txt komplett");
  }
}

TEST(MergePlacement, ALogIsNeverATargetNorKeptAsTheBackup) {
  testing::TempDir dir;
  StdFileSystem files;
  const std::string log = dir.write("a/wsjtx.log", "2019-05-01,10:00:00,Q1LOG\n");
  const std::string a = dir.write("a/CALL3.txt", "Q1AB\r\n");
  const std::string b = dir.write("b/calls.txt", "Q1CD\r\n");
  struct Case {
    const char* name;
    std::vector<std::string> databases;
    std::string fileName;
    std::string refused;
  };
  const auto cases = std::to_array<Case>({
      {"a log as the target", {a, b}, "wsjtx.log", log},
      {"a log as the file kept as the backup", {log, b}, "merged.txt", log},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PlacementPlan plan = planPlacement(files, c.databases, c.fileName);
    EXPECT_EQ(plan.refused, c.refused);
    EXPECT_TRUE(plan.folders.empty());
  }
  EXPECT_EQ(planPlacement(files, {a, b}, "CALL3.txt").folders.size(), 2U);
  EXPECT_EQ(planPlacement(files, {a, b}, "merged.txt").folders.size(), 2U);
}

TEST_F(Merge, ADatabaseThatIsItsFoldersBackupIsRefused) {
  const std::string backupText = crlf({kHeader, "Q1AB,JO01AA,,,,,,01/19"});
  const std::string unlistedText = crlf({kHeader, "Q1XY,JO01AA,,,,,,01/19"});
  const std::string otherText = crlf({kHeader, "Q1EF,JO01AA,,,,,,01/19"});
  const std::string bText = crlf({kHeader, "Q1CD,JO01AA,,,,,,01/19"});
  struct Case {
    const char* name;
    std::string language;
    std::vector<std::string> listed;  // names inside the folders
    std::string named;                // the listed name the message gives
    std::string text;                 // the message up to the path
  };
  const auto cases = std::to_array<Case>({
      {"the backup beside an unlisted database of the merged name",
       "de",
       {"a/CALL3_Old.txt", "b/CALL3.txt"},
       "a/CALL3_Old.txt",
       "Die Datenbank "},
      {"two databases of one folder, the backup second",
       "en",
       {"a/other.txt", "a/CALL3_Old.txt", "b/CALL3.txt"},
       "a/CALL3_Old.txt",
       "The database "},
      {"the backup under another spelling",
       "en",
       {"b/CALL3.txt", "a/./CALL3_Old.txt"},
       "a/./CALL3_Old.txt",
       "The database "},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir folders;
    folders.write("a/CALL3_Old.txt", backupText);
    folders.write("a/CALL3.txt", unlistedText);
    folders.write("a/other.txt", otherText);
    folders.write("b/CALL3.txt", bText);
    std::vector<std::string> paths;
    for (const auto& name : c.listed) paths.push_back(folders.file(name));
    window.clearList("Combo1");
    messages.calls.clear();
    list(paths);
    form.Language = c.language;
    form.mnuAktualiesieren_Click();
    ASSERT_EQ(messages.calls.size(), 1U);
    const auto& shown = messages.calls[0];
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_TRUE(shown.text.starts_with(c.text + folders.file(c.named) + " ")) << shown.text;
    EXPECT_TRUE(shown.text.ends_with(c.language == "de" ? "Es wurde keine Datenbank verändert."
                                                        : "No database has been changed."))
        << shown.text;
    EXPECT_EQ(folders.read("a/CALL3_Old.txt"), backupText);
    EXPECT_EQ(folders.read("a/CALL3.txt"), unlistedText);
    EXPECT_EQ(folders.read("a/other.txt"), otherText);
    EXPECT_EQ(folders.read("b/CALL3.txt"), bText);
    EXPECT_FALSE(std::filesystem::exists(folders.file("b/CALL3_Old.txt")));
    EXPECT_EQ(window.pointer(), MousePointer::Normal);
    EXPECT_EQ(window.beeps, 0);
  }
}

TEST_F(Merge, ACarriageReturnEndingAFileIsNoPartOfItsLastRecord) {
  // Left in, the CR would hide the year 2021 and the older record would win.
  const std::string a = dir.write("a/CALL3.txt", "//x\r\nQ1AB,JO01AA,,,,,,01/19\r\nQ1ZZ,JO01AA,,,,,,05/21\r");
  const std::string b = dir.write("b/CALL3.txt", crlf({kHeader, "Q1ZZ,JO02AA,,,,,,05/20"}));
  list({a, b});
  form.mnuAktualiesieren_Click();
  EXPECT_EQ(readFile(a), mergedFile({"Q1AB,JO01AA,,,,,,01/19", "Q1ZZ,JO01AA,,,,,,05/21"}));

  const std::string c = dir.write("c/CALL3.txt", "Q1AB,JO01AA\r\r\nQ1CD,JO01AA,,,,,,05/21\r");
  auto file = StdFileSystem().openRead(c);
  const MergeSource source = loadMergeSource(*file, c);
  EXPECT_EQ(source.bytes, "Q1AB,JO01AA\rQ1CD,JO01AA,,,,,,05/21");
  EXPECT_EQ(source.lengths, (std::vector<std::uint32_t>{12, 22}));
}

TEST_F(Merge, AFileWithoutALineEndHasNoSayInTheMergedLineEnds) {
  const std::string lf = "//x\nQ1AB,JO01AA,,,,,,01/19\n";
  const std::string crLf = "//x\r\nQ1AB,JO01AA,,,,,,01/19\r\n";
  struct Case {
    const char* name;
    std::string a, b;
    std::string eol;
  };
  const auto cases = std::to_array<Case>({
      {"an empty database beside an LF one", "", lf, "\n"},
      {"one line without an end beside an LF one", "Q1CD,JO01AA,,,,,,01/19", lf, "\n"},
      {"a stray CR at the end beside an LF one", "Q1CD,JO01AA,,,,,,01/19\r", lf, "\n"},
      {"an empty database beside a CR LF one", "", crLf, "\r\n"},
      {"no line end anywhere", "", "Q1CD,JO01AA,,,,,,01/19", "\r\n"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir folders;
    const std::string a = folders.write("a/CALL3.txt", c.a);
    const std::string b = folders.write("b/CALL3.txt", c.b);
    window.clearList("Combo1");
    list({a, b});
    form.mnuAktualiesieren_Click();
    const std::string merged = readFile(a);
    const std::size_t lineEnds = static_cast<std::size_t>(std::count(merged.begin(), merged.end(), '\n'));
    const std::string eolTwice = c.eol + c.eol;
    EXPECT_TRUE(merged.ends_with(eolTwice)) << merged;
    EXPECT_EQ(static_cast<std::size_t>(std::count(merged.begin(), merged.end(), '\r')),
              c.eol == "\n" ? 0U : lineEnds)
        << merged;
  }
}

TEST(UpdateYear, TwoDigitYears) {
  struct Case {
    std::string date;
    int year;
  };
  const auto cases = std::to_array<Case>({{"05/19", 2019},
                                          {"01/00", 2000},
                                          {"12/80", 2080},
                                          {"12/81", 1981},
                                          {"12/99", 1999},
                                          {"", 2000},
                                          {"7", 2007},
                                          {"03/2021", 2021},
                                          {"05/ 9", 2009},
                                          {"05/1 ", 2001},
                                          {"xx/ab", 2000},
                                          {"05/19\r\n", 2019},
                                          {"-5", 1995},
                                          {"1.", 2001},
                                          {"05/x9", 2000}});
  for (const auto& c : cases) EXPECT_EQ(UpdateYear(c.date), c.year) << c.date;
}

}  // namespace
}  // namespace orvanta
