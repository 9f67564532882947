// "Station übernehmen" and "Log übernehmen" from the form: which database is
// written, the question before it, and what the operator is told.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"
#include "ui/MessageTexts.h"

namespace orvanta {
namespace {

using testing::readFile;

const std::string kDatabase =
    "//CALL3.txt format\r\nQ1ABC,JO01AA,,,,,,01/18\r\nQ4DEF,JO04AA,,,,,,01/19\r\nZZZZZZ\r\n";
// Q1ABC with a new grid, Q2BCD new, one contact without a valid call.
const std::string kLog =
    "2019-05-07,12:00:00,Q1ABC,JO09,144.174,FT8,-10,-12,,\n"
    "2019-05-07,12:05:00,Q2BCD,JO02,144.174,FT8,-10,-12,,\n"
    "2019-05-07,12:10:00,QQQ,JO02,144.174,FT8,-10,-12,,\n";
const std::string kTakenOver =
    "//CALL3.txt "
    "format\r\nQ1ABC,JO09,,,,,,05/19\r\nQ2BCD,JO02,,,,,,05/19\r\nQ4DEF,JO04AA,,,,,,01/19\r\nZZZZZZ\r\n";

class TakeOverForm : public testing::FormFixture {
 protected:
  void list(std::initializer_list<std::string> paths) {
    for (const auto& path : paths) window.addListItem("Combo1", path);
    window.setText("Combo1", *paths.begin());
  }
  std::string database = dir.write("CALL3.txt", kDatabase);
  std::string log = dir.write("wsjtx.log", kLog);
};

struct LanguageCase {
  const char* name;
  const char* language;
  const char* counts;
  const char* questionBefore;  // the path stands between these two
  const char* questionAfter;
  const char* title;
};

class TakeOverQuestion : public TakeOverForm, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(TakeOverQuestion, AsksWithTheCountsThenWritesAndTells) {
  const LanguageCase& c = GetParam();
  form.Language = c.language;
  form.NewLine = "\r\n";
  list({log, database});
  form.mnuAddLog_Click();

  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_EQ(messages.calls[0].text,
            std::string(c.counts) + "\r\n" + c.questionBefore + database + c.questionAfter);
  EXPECT_EQ(messages.calls[0].title, c.title);
  EXPECT_EQ(messages.calls[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(messages.calls[1].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages.calls[1].icon, MessageIcon::Information);
  EXPECT_NE(messages.calls[1].text.find(database), std::string::npos);
  EXPECT_EQ(readFile(database), kTakenOver);
  EXPECT_EQ(dir.read("CALL3_Old.txt"), kDatabase);
  EXPECT_EQ(readFile(log), kLog);
  EXPECT_EQ(window.pointer(), MousePointer::Normal);
  EXPECT_FALSE(form.MaintenanceRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, TakeOverQuestion,
    ::testing::Values(LanguageCase{"German", "de",
                                   "1 Station neu, 1 geändert, 0 unverändert, 1 Kontakt ohne gültiges "
                                   "Rufzeichen oder Locator übersprungen.",
                                   "In ", " übernehmen?", "Log übernehmen"},
                      LanguageCase{"English", "en",
                                   "1 station new, 1 changed, 0 unchanged, 1 contact skipped without a valid "
                                   "call or locator.",
                                   "Take over into ", "?", "Add log"}),
    testing::CaseName());

TEST_F(TakeOverForm, NoChangesNothing) {
  dir.write("CALL3_Old.txt", "previous backup\r\n");
  list({database, log});
  messages.answers.push_back(MessageAnswer::No);
  form.mnuAddLog_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(readFile(database), kDatabase);
  EXPECT_EQ(dir.read("CALL3_Old.txt"), "previous backup\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST_F(TakeOverForm, TheFirstUserDatabaseOfTheListIsTheTarget) {
  const std::string other = dir.write("other/mine.txt", kDatabase);
  const std::string second =
      dir.write("second.log", "2019-06-07,12:00:00,Q1ABC,JO11,144.174,FT8,-10,-12,,\n");
  list({log, other, database, second});
  form.mnuAddLog_Click();
  EXPECT_EQ(readFile(database), kDatabase);
  // The newer contact of the second log wins.
  EXPECT_EQ(readFile(other),
            "//CALL3.txt format\r\nQ1ABC,JO11,,,,,,06/19\r\nQ2BCD,JO02,,,,,,05/19\r\n"
            "Q4DEF,JO04AA,,,,,,01/19\r\nZZZZZZ\r\n");
  EXPECT_EQ(dir.read("other/mine_Old.txt"), kDatabase);
}

TEST_F(TakeOverForm, AdifLogsAreTakenOverLikeWsjtxLogs) {
  // One record as WSJT-X exports it, one as other loggers write it (upper
  // case, time as HHMM); the newer one wins.
  const std::string adif = dir.write(
      "log.adi",
      "ADIF Export<eoh>\n<call:5>Q1ABC <gridsquare:4>JO11 <qso_date:8>20190601 <time_on:6>120000 <eor>\n"
      "<CALL:5>Q7XYZ\n<GRIDSQUARE:6>JO77AB\n<QSO_DATE:8>20190602\n<TIME_ON:4>0800\n<EOR>\n");
  list({database, adif});
  form.mnuAddLog_Click();
  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_EQ(readFile(database),
            "//CALL3.txt format\r\nQ1ABC,JO11,,,,,,06/19\r\nQ4DEF,JO04AA,,,,,,01/19\r\n"
            "Q7XYZ,JO77AB,,,,,,06/19\r\nZZZZZZ\r\n");
  EXPECT_EQ(readFile(adif).substr(0, 11), "ADIF Export");
}

TEST_F(TakeOverForm, ADatabaseLockedByAnotherRunIsLeftAlone) {
  form.Language = "en";
  list({log, database});
  const auto held = files.openLocked(database);
  form.mnuAddLog_Click();
  window.setText("Combo1", database);
  stationDialog.entries.push_back({"Q2BCD", "JO02", ""});
  form.mnuAddStation_Click();
  ASSERT_EQ(messages.calls.size(), 2U);
  for (const auto& call : messages.calls) {
    EXPECT_TRUE(call.text.starts_with("The database is being changed by another Orvanta:")) << call.text;
  }
  EXPECT_EQ(readFile(database), kDatabase);
  EXPECT_FALSE(std::filesystem::exists(dir.file("CALL3_Old.txt")));
}

TEST_F(TakeOverForm, NothingNewIsToldWithoutQuestionAndNothingIsWritten) {
  list({database, dir.write("old.log", "2017-05-07,12:00:00,Q1ABC,JO09,144.174,FT8,-10,-12,,\n")});
  form.mnuAddLog_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].buttons, MessageButtons::Ok);
  EXPECT_NE(messages.calls[0].text.find("0 stations new, 0 changed, 1 unchanged"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("CALL3_Old.txt")));
}

struct RefusalCase {
  const char* name;
  bool listDatabase;
  bool listLog;
  const char* databaseName;  // the user database's file name
  const char* told;          // part of the English message
};

class TakeOverRefused : public TakeOverForm, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(TakeOverRefused, TellsAndTouchesNothing) {
  const RefusalCase& c = GetParam();
  form.Language = "en";
  std::filesystem::rename(database, dir.file(c.databaseName));
  if (c.listLog) window.addListItem("Combo1", log);
  if (c.listDatabase) window.addListItem("Combo1", dir.file(c.databaseName));
  form.mnuAddLog_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_NE(messages.calls[0].text.find(c.told), std::string::npos) << messages.calls[0].text;
  EXPECT_EQ(readFile(dir.file(c.databaseName)), kDatabase);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, TakeOverRefused,
                         ::testing::Values(RefusalCase{"NoUserDatabase", false, true, "CALL3.txt",
                                                       "holds no user database"},
                                           RefusalCase{"NoLog", true, false, "CALL3.txt", "holds no log"},
                                           RefusalCase{"TargetIsTheBackup", true, true, "CALL3_Old.txt",
                                                       "is the backup of its folder"}),
                         testing::CaseName());

TEST_F(TakeOverForm, AUserDatabaseThatIsAListedLogIsNeverWritten) {
  form.Language = "en";
  const std::string link = dir.file("link.txt");
  std::filesystem::create_symlink(log, link);
  list({log, link});
  form.mnuAddLog_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_NE(messages.calls[0].text.find("a log is never written"), std::string::npos)
      << messages.calls[0].text;
  EXPECT_EQ(readFile(log), kLog);
  EXPECT_FALSE(std::filesystem::exists(dir.file("CALL3_Old.txt")));
}

TEST_F(TakeOverForm, TheContactOnScreenIsTakenOver) {
  form.Language = "en";
  list({log, database});
  form.DbKind = "log";
  form.mnuAddStation_Click();
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, "No contact is shown. Please search the log first.");
  std::string line = "2019-05-07,12:05:00,Q2BCD,JO02,144.174,FT8,-10,-12,,";
  form.ShowRecord(line);
  messages.calls.clear();
  form.mnuAddStation_Click();
  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_TRUE(messages.calls[0].text.starts_with("1 station new, 0 changed, 0 unchanged, 0 contacts skipped"))
      << messages.calls[0].text;
  EXPECT_EQ(messages.calls[0].title, "Add station");
  EXPECT_EQ(
      readFile(database),
      "//CALL3.txt format\r\nQ1ABC,JO01AA,,,,,,01/18\r\nQ2BCD,JO02,,,,,,05/19\r\nQ4DEF,JO04AA,,,,,,01/19\r\n"
      "ZZZZZZ\r\n");
  EXPECT_TRUE(stationDialog.requests.empty());
}

struct ByHandCase {
  const char* name;
  const char* typedCall;
  const char* expectedFile;
  const char* told;
};

class StationByHand : public TakeOverForm, public ::testing::WithParamInterface<ByHandCase> {};

TEST_P(StationByHand, IsWrittenWithoutFurtherQuestion) {
  const ByHandCase& c = GetParam();
  form.Language = "en";
  list({database, log});
  window.setText("Text10", c.typedCall);
  // The first entry is refused in the dialog; the operator then corrects the locator.
  stationDialog.entries.push_back({c.typedCall, "RR73", "EME"});
  stationDialog.entries.push_back({c.typedCall, "jo62qm", "EME"});
  form.mnuAddStation_Click();

  ASSERT_EQ(stationDialog.requests.size(), 1U);
  EXPECT_EQ(stationDialog.requests[0].initial.call, c.typedCall);
  EXPECT_EQ(stationDialog.requests[0].title, "Add station");
  ASSERT_EQ(stationDialog.shownProblems.size(), 1U);
  EXPECT_NE(stationDialog.shownProblems[0].find("locator is not valid"), std::string::npos);
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, std::string(c.told) + database + ".\r\n" +
                                        fillIn(texts::kStationUndatedHint.in(false), {}, "\r\n"));
  EXPECT_EQ(readFile(database), c.expectedFile);
  EXPECT_EQ(dir.read("CALL3_Old.txt"), kDatabase);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationByHand,
    ::testing::Values(
        ByHandCase{"New", "q2bcd",
                   "//CALL3.txt format\r\nQ1ABC,JO01AA,,,,,,01/18\r\nQ2BCD,JO62QM,EME,,,,,\r\n"
                   "Q4DEF,JO04AA,,,,,,01/19\r\nZZZZZZ\r\n",
                   "The station Q2BCD has been added to "},
        ByHandCase{"Existing", " Q1ABC",
                   "//CALL3.txt format\r\nQ1ABC,JO62QM,EME,,,,,\r\nQ4DEF,JO04AA,,,,,,01/19\r\nZZZZZZ\r\n",
                   "The station Q1ABC has been updated in "}),
    testing::CaseName());

TEST_F(TakeOverForm, AMissingDatabaseIsToldBeforeAnythingIsAsked) {
  form.Language = "en";
  list({dir.file("gone.txt")});
  form.mnuAddStation_Click();
  EXPECT_TRUE(stationDialog.requests.empty());
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_TRUE(messages.calls[0].text.starts_with("The database was not found:")) << messages.calls[0].text;
}

TEST_F(TakeOverForm, AWriteProtectedDatabaseIsToldBeforeAnythingIsAsked) {
  form.Language = "en";
  std::filesystem::permissions(database, std::filesystem::perms::owner_read);
  list({database, log});
  form.mnuAddStation_Click();
  form.mnuAddLog_Click();
  EXPECT_TRUE(stationDialog.requests.empty());
  ASSERT_EQ(messages.calls.size(), 2U);
  for (const auto& shown : messages.calls)
    EXPECT_EQ(shown.text, "The database is write-protected:\r\n" + database);
}

TEST_F(TakeOverForm, CancelledDialogChangesNothing) {
  list({database});
  form.mnuAddStation_Click();
  EXPECT_EQ(stationDialog.requests.size(), 1U);
  EXPECT_NE(stationDialog.requests[0].check({"Q1ABC", "JO01", "\xE6\x97\xA5"}), "");  // not Windows-1252
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(readFile(database), kDatabase);
  EXPECT_FALSE(std::filesystem::exists(dir.file("CALL3_Old.txt")));
}

}  // namespace
}  // namespace orvanta
