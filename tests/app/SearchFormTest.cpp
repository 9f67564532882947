// Search and the "-"/"+" steps through the form, with scripted answers.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"
#include "fakes/ForwardingFileSystem.h"
#include "records/Encoding.h"
#include "records/Text.h"

namespace orvanta {
namespace {

using testing::FakeMessageBox;

struct Texts {
  std::string language;
  std::string promptText, promptTitle;
  std::string notFoundTitle;
  // The not-found message for search text a, with or without "further".
  [[nodiscard]] std::string notFound(const std::string& a, bool further) const {
    if (language == "de") {
      return std::string("Keine ") + (further ? "weiteren" : "") + " Daten zu      \r\n" + a +
             "\r\nvorhanden !";
    }
    return std::string(further ? "No further data on " : "No data about ") + "\r\n" + a +
           "\r\navailable.\r\n";
  }
};

const Texts kGerman{"de", "Weiter suchen ?", " Suche erfolgreich", " Suche erfolglos"};
const Texts kEnglish{"en", "Search further ?", " found", " not found"};

class Search : public testing::FormFixture {
 protected:
  // Makes the file the current database, as choosing it in the list does.
  std::string useDatabase(const std::string& name, const std::string& bytes, const Texts& texts = kEnglish) {
    std::string path = dir.write(name, bytes);
    form.NewLine = "\r\n";
    form.Language = texts.language;
    form.LastFieldIndex = 7;
    form.FieldSeparator = ",";
    window.addListItem("Combo1", path);
    window.setText("Combo1", path);
    form.Combo1_Click();
    window.setEnabled("Command2", false);
    window.setEnabled("Command3", false);
    window.focus.clear();
    return path;
  }

  void search(const std::string& text, std::vector<MessageAnswer> answers = {}) {
    window.setText("Text10", text);
    messages.answers.assign(answers.begin(), answers.end());
    form.Command1_Click();
  }

  std::string box(int n) const { return window.text("Text" + std::to_string(n)); }
  bool stepButtonsEnabled() const { return window.isEnabled("Command2") && window.isEnabled("Command3"); }

  static void expectPrompt(const FakeMessageBox::Call& call, const Texts& t) {
    EXPECT_EQ(call.text, t.promptText);
    EXPECT_EQ(call.title, t.promptTitle);
    EXPECT_EQ(call.icon, MessageIcon::Stop);
    EXPECT_EQ(call.buttons, MessageButtons::YesNo);
  }
  static void expectNotFound(const FakeMessageBox::Call& call, const Texts& t, const std::string& a,
                             bool further) {
    EXPECT_EQ(call.text, t.notFound(a, further));
    EXPECT_EQ(call.title, t.notFoundTitle);
    EXPECT_EQ(call.icon, MessageIcon::Information);
    EXPECT_EQ(call.buttons, MessageButtons::Ok);
  }
};

const char* const kUserDb =
    "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n"
    "Q1ABCD,JO62QM,eme only,,,,,03/21\r\n"
    "Q1ABC,JO62QN,tropo,JT65,,,,04/22\r\n"
    "//Q7SEEN only in a comment\r\n"
    "Q2XYZ,JN58,Sked Q1ABC,FT8\r\n"
    "ZZZZZZ,End-Of-Call3-Database Q8TERM\r\n";

TEST_F(Search, LowerCaseTextFindsTheRecordAndShowsItUpperCased) {
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    useDatabase("CALL3.txt", kUserDb, *t);
    search("  eme ONLY ", {MessageAnswer::No});
    EXPECT_EQ(box(2), "Q1ABCD");
    EXPECT_EQ(box(4), "EME ONLY");  // the line is shown as the scan upper-cased it
    EXPECT_EQ(box(9), "03/21");
    ASSERT_EQ(messages.calls.size(), 1U) << "No after a hit: no further message";
    expectPrompt(messages.calls[0], *t);
    EXPECT_TRUE(stepButtonsEnabled());
    EXPECT_EQ(window.focus, "Text10");
    EXPECT_EQ(form.SearchDirection, 0);
  }
}

struct NotFoundCase {
  const char* name;
  friend void PrintTo(const NotFoundCase& c, std::ostream* os) { *os << c.name; }
  const char* file;
  const char* text;
  const char* a;  // the text the message names
};

class SearchNotFound : public Search, public ::testing::WithParamInterface<NotFoundCase> {};

TEST_P(SearchNotFound, ShowsNothingAndSaysSo) {
  const NotFoundCase& c = GetParam();
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    useDatabase("db.txt", c.file, *t);
    window.setText("Text2", "before");
    search(c.text);
    EXPECT_EQ(box(2), "before") << "nothing is shown";
    ASSERT_EQ(messages.calls.size(), 1U);
    expectNotFound(messages.calls[0], *t, c.a, false);
    EXPECT_TRUE(stepButtonsEnabled());
    EXPECT_EQ(window.focus, "Text10");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchNotFound,
    ::testing::Values(NotFoundCase{"OnlyInTheHeaderComment", kUserDb, "wsjt-programs", "WSJT-PROGRAMS"},
                      NotFoundCase{"OnlyInACommentLine", kUserDb, "q7seen", "Q7SEEN"},
                      NotFoundCase{"OnlyInTheTerminator", kUserDb, "Q8TERM", "Q8TERM"},
                      NotFoundCase{"EmptyFile", "", "Q1ABC", "Q1ABC"},
                      NotFoundCase{"CommentAsTheOnlyLine", "//Q1ABC,JO62QM\r\n", "Q1ABC", "Q1ABC"},
                      NotFoundCase{"LowerCaseTerminatorEndsItToo", "//h\nzzzzzz,end q5low\nQ5LOW,JO01\n",
                                   "Q5LOW", "Q5LOW"}),
    testing::CaseName());

// The first line is tested like every other: a log has no header, and its
// first contact must be found.
struct FirstLineCase {
  const char* name;
  friend void PrintTo(const FirstLineCase& c, std::ostream* os) { *os << c.name; }
  const char* file;
  const char* text;
  const char* call;  // what Text2 shows after the search
};

class SearchFirstLine : public Search, public ::testing::WithParamInterface<FirstLineCase> {};

TEST_P(SearchFirstLine, IsFoundAndSteppedBackFromAsAfterAnEmptyLine) {
  const FirstLineCase& c = GetParam();
  useDatabase("db.txt", c.file);
  search(c.text, {MessageAnswer::No});
  EXPECT_EQ(box(2), c.call);
  ASSERT_EQ(messages.calls.size(), 1U) << "the prompt after the hit, no not-found message";
  expectPrompt(messages.calls[0], kEnglish);
  // The line before line 1 is the empty line: nothing new is shown, and no
  // message either.
  window.setText("Text10", c.call);
  form.Command2_Click();
  EXPECT_EQ(box(2), c.call);
  EXPECT_EQ(window.text("Text10"), c.call);
  EXPECT_EQ(messages.calls.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFirstLine,
    ::testing::Values(FirstLineCase{"OneLineFile", "Q1ABC,JO62QM,,,,,,03/21\r\n", "Q1ABC", "Q1ABC"},
                      FirstLineCase{"OneLineWithoutLineEnd", "Q1ABC,JO62QM", "q1abc", "Q1ABC"},
                      FirstLineCase{"AfterAByteOrderMark", "\xEF\xBB\xBFQ1ABC,JO62QM\nQ2XYZ,JN58\n", "jo62",
                                    "Q1ABC"}),
    testing::CaseName());

TEST_F(Search, EveryContactOfTheExampleLogIsFound) {
  const std::string path = std::string(ORVANTA_EXAMPLES_DIR) + "/wsjtx.log";
  form.NewLine = "\r\n";
  form.Language = "en";
  form.FieldSeparator = ",";
  form.LastFieldIndex = 7;
  window.setText("Combo1", path);
  form.DbKind = "log";
  search("Q1ABC", std::vector<MessageAnswer>(20, MessageAnswer::Yes));
  // One prompt for each of the ten contacts, then the further-data message.
  ASSERT_EQ(messages.calls.size(), 11U);
  for (std::size_t i = 0; i < 10; ++i) expectPrompt(messages.calls[i], kEnglish);
  expectNotFound(messages.calls[10], kEnglish, "Q1ABC", true);
}

// A line that may hold the text but is too long to hold is refused with its
// number; one that cannot hold it is passed over.
TEST_F(Search, ALineLongerThan16MiBIsRefusedOnlyWhenItMayHoldTheText) {
  const std::string longLine = std::string(8U << 20, 'x') + "Q5LONG" + std::string(8U << 20, 'x');
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    const std::string path =
        useDatabase("CALL3.txt", "Q1ABC,JO62QM\r\n" + longLine + "\r\nQ2XYZ,JN58\r\n", *t);
    search("q2xyz", {MessageAnswer::No});
    EXPECT_EQ(box(2), "Q2XYZ") << "passed over";
    search("q5long");
    ASSERT_EQ(messages.calls.size(), 2U);
    EXPECT_EQ(messages.calls[1].text, t->language == "de" ? "Die Datenbank kann nicht gelesen werden:\r\n" +
                                                                path + "\r\nZeile 2 ist länger als 16 MiB"
                                                          : "The database cannot be read:\r\n" + path +
                                                                "\r\nline 2 is longer than 16 MiB");
    EXPECT_EQ(messages.calls[1].icon, MessageIcon::Stop);
    EXPECT_EQ(box(2), "Q2XYZ") << "nothing else is shown";
  }
}

TEST_F(Search, TheFirstContactOfALogIsShownAndSteppedFrom) {
  useDatabase("wsjtx.log",
              "2019-05-07,18:02:15,2019-05-07,18:03:30,Q1ABC,JO62,144.174000,FT8\r\n"
              "2019-05-07,18:20:00,2019-05-07,18:21:45,Q2XYZ,IO91,144.174000,FT8\r\n");
  search("q1abc", {MessageAnswer::No});
  EXPECT_EQ(form.RecordKey, "2019-05-07,18:02:15");
  form.Command3_Click();
  EXPECT_EQ(form.RecordKey, "2019-05-07,18:20:00") << "the step starts from the first contact";
}

TEST_F(Search, TwoHitsAnsweredYesYesEndWithTheFurtherMessage) {
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    useDatabase("CALL3.txt", kUserDb, *t);
    search("jo62q", {MessageAnswer::Yes, MessageAnswer::Yes});
    ASSERT_EQ(messages.calls.size(), 3U);
    expectPrompt(messages.calls[0], *t);
    expectPrompt(messages.calls[1], *t);
    expectNotFound(messages.calls[2], *t, "JO62Q", true);
    EXPECT_EQ(box(2), "Q1ABC") << "the last hit stays on screen";
    EXPECT_EQ(box(3), "JO62QN");
    EXPECT_TRUE(stepButtonsEnabled());
  }
}

TEST_F(Search, TheTextIsFoundAnywhereInTheLine) {
  useDatabase("CALL3.txt", kUserDb);
  // A prefix is a substring: the longer call Q1ABCD comes first, and the
  // remark of Q2XYZ holds the text as well.
  search("Q1ABC", {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes});
  ASSERT_EQ(messages.calls.size(), 4U);
  EXPECT_EQ(box(2), "Q2XYZ");
  EXPECT_EQ(box(4), "SKED Q1ABC");
  EXPECT_EQ(box(9), "01/00");
  EXPECT_EQ(messages.calls[3].text, kEnglish.notFound("Q1ABC", true));
  messages.calls.clear();
  search("Q1ABC", {MessageAnswer::No});
  EXPECT_EQ(box(2), "Q1ABCD");
}

TEST_F(Search, SecondHitAnsweredNoStopsThere) {
  useDatabase("CALL3.txt", kUserDb);
  search("q1abc", {MessageAnswer::Yes, MessageAnswer::No});
  ASSERT_EQ(messages.calls.size(), 2U);
  EXPECT_EQ(box(2), "Q1ABC");
  EXPECT_EQ(box(3), "JO62QN");
}

TEST_F(Search, BlankSearchBoxReadsNothing) {
  useDatabase("CALL3.txt", kUserDb);
  form.StepKey = "2024-01-01,10:00:00";
  form.RecordKey = "2024-01-01,10:00:00";
  form.SearchDirection = 1;
  search("   ");
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(window.focus, "Text10");
  EXPECT_FALSE(window.isEnabled("Command2")) << "the step buttons stay as they were";
  EXPECT_EQ(form.SearchDirection, 0);
  EXPECT_EQ(form.StepKey, "");
  EXPECT_EQ(form.RecordKey, "");
}

TEST_F(Search, MissingDatabaseEndsSilently) {
  useDatabase("CALL3.txt", kUserDb);
  window.setText("Combo1", dir.file("gone.txt"));
  form.SearchDirection = -1;
  search("Q1ABC");
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(window.focus, "");
  EXPECT_FALSE(window.isEnabled("Command3"));
  EXPECT_EQ(form.SearchDirection, 0);
}

TEST_F(Search, EnterInTheSearchBoxSearchesOtherKeysDoNot) {
  useDatabase("CALL3.txt", kUserDb);
  window.setText("Text10", "q2xyz");
  int key = 'a';
  form.Text10_KeyPress(key);
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(key, 'a');
  key = 13;
  messages.answers = {MessageAnswer::No};
  form.onWindowEvent("Text10", WindowEvent::KeyPress, 13);
  EXPECT_EQ(box(2), "Q2XYZ");
  form.Text10_KeyPress(key);
  EXPECT_EQ(key, 13) << "the key is passed on unchanged";

  form.SearchDirection = 1;
  window.focus.clear();
  messages.answers = {MessageAnswer::No};
  form.mnuSuch_Click();
  EXPECT_EQ(form.SearchDirection, 0);
  EXPECT_EQ(window.focus, "Text10");
  EXPECT_EQ(box(2), "Q2XYZ");
}

// Stepping in a user database.
const char* const kSteps =
    "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n"
    "Q1AAA,JO01,first,,,,,01/20\r\n"
    "Q1BBB,JO02,Feld3,,,,,02/20\r\n"
    "\r\n"
    "Q1CCC,JO03,third,,,,,03/20\r\n"
    "//comment,between\r\n"
    "Q1DDD,JO04,last,,,,,04/20\r\n"
    "ZZZZZZ,End-Of-Call3-Database\r\n";

TEST_F(Search, ForwardStepPastAnEmptyLine) {
  useDatabase("CALL3.txt", kSteps);
  form.LastStepLine = "Q0OTHER,JO00";
  search("q1bbb", {MessageAnswer::No});
  EXPECT_EQ(box(4), "FELD3") << "the plain search upper-cases, so the placeholder shows";
  form.Command3_Click();
  // The empty line is shown: no box changes, and the search box gets the call on screen.
  EXPECT_EQ(box(2), "Q1BBB");
  EXPECT_EQ(window.text("Text10"), "Q1BBB");
  EXPECT_EQ(form.LastStepLine, "");
  EXPECT_TRUE(messages.calls.size() == 1U) << "a step asks nothing";
  form.Command3_Click();
  // The line after the hit equals the last step's line: the one after it is shown.
  EXPECT_EQ(box(2), "Q1CCC");
  EXPECT_EQ(box(4), "third") << "a forward step shows the line as stored";
  EXPECT_EQ(window.text("Text10"), "Q1CCC");
  EXPECT_EQ(form.LastStepLine, "Q1CCC,JO03,third,,,,,03/20");
  EXPECT_EQ(form.SearchDirection, 0);
}

TEST_F(Search, ForwardStepOntoACommentLine) {
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    useDatabase("CALL3.txt", kSteps, *t);
    form.LastStepLine.clear();
    search("Q1CCC", {MessageAnswer::No});
    form.Command3_Click();
    EXPECT_EQ(box(2), "//comment");
    EXPECT_EQ(window.text("Text10"), "//comment");
    // Comment lines never match, so the next step finds nothing.
    form.Command3_Click();
    ASSERT_EQ(messages.calls.size(), 2U);
    expectNotFound(messages.calls[1], *t, "//COMMENT", false);
    EXPECT_EQ(window.text("Text10"), "//comment");
    EXPECT_TRUE(stepButtonsEnabled());
  }
}

TEST_F(Search, BackwardSteps) {
  useDatabase("CALL3.txt", kSteps);
  // From the first record the previous line is the header comment, which the
  // scan holds as empty: an empty line is shown and the call stays.
  search("q1aaa", {MessageAnswer::No});
  form.Command2_Click();
  EXPECT_EQ(box(2), "Q1AAA");
  EXPECT_EQ(window.text("Text10"), "Q1AAA");
  EXPECT_EQ(messages.calls.size(), 1U);

  // From Q1BBB: the record before, upper-cased.
  window.setText("Text10", "Q1BBB");
  form.Command2_Click();
  EXPECT_EQ(box(2), "Q1AAA");
  EXPECT_EQ(box(4), "FIRST");
  EXPECT_EQ(window.text("Text10"), "Q1AAA");

  // From Q1DDD: the comment line before it is held as empty.
  window.setText("Text2", "Q1DDD");
  window.setText("Text10", "Q1DDD");
  form.Command2_Click();
  EXPECT_EQ(box(2), "Q1DDD");
  EXPECT_EQ(box(4), "FIRST");
  EXPECT_EQ(form.SearchDirection, 0);
}

TEST_F(Search, ForwardStepAtTheLastRecordMeetsTheTerminator) {
  for (const Texts* t : {&kGerman, &kEnglish}) {
    messages.calls.clear();
    useDatabase("CALL3.txt", kSteps, *t);
    search("q1ddd", {MessageAnswer::No});
    form.Command3_Click();
    EXPECT_EQ(box(2), "Q1DDD");
    EXPECT_EQ(box(4), "LAST");
    ASSERT_EQ(messages.calls.size(), 2U);
    expectNotFound(messages.calls[1], *t, "Q1DDD", false);
    EXPECT_EQ(window.text("Text10"), "Q1DDD");
  }
}

TEST_F(Search, ForwardStepOnTheFilesLastLineShowsTheHitItself) {
  useDatabase("CALL3.txt", "//h\r\nQ1AAA,JO01,one\r\nQ1ZZZ,JO02,two");
  form.LastStepLine.clear();
  search("Q1ZZZ", {MessageAnswer::No});
  window.setText("Text2", "elsewhere");
  window.setText("Text10", "Q1ZZZ");
  form.Command3_Click();
  EXPECT_EQ(box(2), "Q1ZZZ");
  EXPECT_EQ(box(4), "TWO");
  EXPECT_EQ(form.LastStepLine, "Q1ZZZ,JO02,TWO");
}

TEST_F(Search, EmptySearchBoxStepCopiesTheCallFirst) {
  useDatabase("CALL3.txt", kSteps);
  window.setText("Text2", "Q1BBB");
  window.setText("Text10", "");
  form.Command2_Click();
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(window.text("Text10"), "Q1BBB");
  form.Command2_Click();
  EXPECT_EQ(box(4), "FIRST");
}

// A log in the long layout: one call sign in many contacts.
const char* const kLog =
    "2024-01-01,09:00:00,2024-01-01,09:01:00,Q9ZZZ,JO00,144.174,FT8,-1,-2,,line one,Zed\r\n"
    "2024-01-02,10:00:00,2024-01-02,10:01:00,Q1ABC,JO01,144.174,FT8,-1,-2,,first,Anna\r\n"
    "2024-01-03,11:00:00,2024-01-03,11:01:00,Q2DEF,JO02,432.065,Q65,-1,-2,,between,Bert\r\n"
    "2024-01-04,12:00:00,2024-01-04,12:01:00,Q1ABC,JO01,144.174,FT8,-1,-2,,second,Anna\r\n"
    "2024-01-05,13:00:00,2024-01-05,13:01:00,Q1ABC,JO01,50.313,FT8,-1,-2,,third,Anna\r\n";

TEST_F(Search, SteppingThroughALogFollowsTheContacts) {
  useDatabase("wsjtx.log", kLog);
  ASSERT_EQ(form.DbKind, "log");
  search("q1abc", {MessageAnswer::No});
  EXPECT_EQ(box(3), "2024-01-02 10:00:00");
  EXPECT_EQ(form.RecordKey, "2024-01-02,10:00:00");

  form.Command3_Click();  // the next contact in file order, whatever its call
  EXPECT_EQ(box(2), "Q2DEF");
  EXPECT_EQ(box(9), "between");
  EXPECT_EQ(window.text("Text10"), "Q2DEF");
  form.Command3_Click();
  EXPECT_EQ(box(3), "2024-01-04 12:00:00");
  EXPECT_EQ(window.text("Text10"), "Q1ABC");
  form.Command3_Click();
  EXPECT_EQ(box(3), "2024-01-05 13:00:00");
  EXPECT_EQ(box(9), "third");

  form.Command2_Click();  // back: the contact before, upper-cased
  EXPECT_EQ(box(3), "2024-01-04 12:00:00");
  EXPECT_EQ(box(9), "SECOND");
  form.Command2_Click();
  EXPECT_EQ(box(2), "Q2DEF");
  EXPECT_EQ(box(9), "BETWEEN");
  EXPECT_EQ(messages.calls.size(), 1U);

  // The last contact: "+" finds nothing after it and names the date-and-time key.
  window.setText("Text10", "Q1ABC");
  form.StepKey.clear();
  form.RecordKey = "2024-01-05,13:00:00";
  form.Command3_Click();
  ASSERT_EQ(messages.calls.size(), 1U) << "the hit itself is shown at the end of the file";
  EXPECT_EQ(box(9), "THIRD");
  form.RecordKey = "2024-01-09,00:00:00";
  form.Command3_Click();
  ASSERT_EQ(messages.calls.size(), 2U);
  expectNotFound(messages.calls[1], kEnglish, "2024-01-09,00:00:00", false);
}

TEST_F(Search, LogStepWithAKeyOfAccentedLettersInBothEncodings) {
  // RecordKey keeps the log's own bytes; the step must find it again.
  struct Case {
    const char* name;
    std::string bytes;
  };
  const auto cases = std::to_array<Case>({
      {"windows-1252",
       "line one\r\nT\xE4g 1,10:00,Q1ABC,JO01,144.174,FT8,,,Anna,eins\r\n"
       "T\xE4g 2,11:00,Q2DEF,JO02,144.174,FT8,,,Bert,zwei\r\n"},
      {"utf-8",
       "line one\nT\xC3\xA4g 1,10:00,Q1ABC,JO01,144.174,FT8,,,Anna,eins\n"
       "T\xC3\xA4g 2,11:00,Q2DEF,JO02,144.174,FT8,,,Bert,zwei\n"},
  });
  for (const auto& c : cases) {
    useDatabase("wsjtx.log", c.bytes);
    form.LastStepLine.clear();
    search("q1abc", {MessageAnswer::No});
    EXPECT_EQ(box(3), "TÄG 1 10:00") << c.name;
    form.Command3_Click();
    EXPECT_EQ(box(2), "Q2DEF") << c.name;
    EXPECT_EQ(box(3), "Täg 2 11:00") << c.name;
    form.Command2_Click();
    EXPECT_EQ(box(2), "Q1ABC") << c.name;
    EXPECT_EQ(box(9), "EINS") << c.name;
    EXPECT_EQ(messages.calls.size(), 1U) << c.name;
    messages.calls.clear();
  }
}

TEST_F(Search, SameSearchInWindows1252AndUtf8Files) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const auto cases = std::to_array<Case>({
      {"windows-1252 CR LF",
       "//h\r\nQ1AAA,JO01,Stra\xDF"
       "e,,,,,01/20\r\nQ1MUE,JO02,M\xFCller \xE4rger,,,,,02/20\r\nQ1NXT,JO03,G\xE9rard\r\n"},
      {"utf-8 LF",
       "//h\nQ1AAA,JO01,Stra\xC3\x9F"
       "e,,,,,01/20\nQ1MUE,JO02,M\xC3\xBCller \xC3\xA4rger,,,,,02/20\nQ1NXT,JO03,"
       "G\xC3\xA9rard\n"},
  });
  for (const auto& c : cases) {
    useDatabase("CALL3.txt", c.bytes);
    messages.calls.clear();
    search("müller Ä", {MessageAnswer::No});
    EXPECT_EQ(box(2), "Q1MUE") << c.name;
    EXPECT_EQ(box(4), "MÜLLER ÄRGER") << c.name;
    form.Command3_Click();
    EXPECT_EQ(box(2), "Q1NXT") << c.name;
    EXPECT_EQ(box(4), "Gérard") << c.name;
    window.setText("Text10", "straße");
    messages.answers = {MessageAnswer::No};
    form.Command1_Click();
    EXPECT_EQ(box(4), "STRAßE") << c.name << ": ß has no upper case of its own";
    EXPECT_EQ(messages.calls.size(), 2U) << c.name;
  }
}

// A file system whose files can be found but not read.
class UnreadableFiles final : public testing::ForwardingFileSystem {
 public:
  explicit UnreadableFiles(IFileSystem& real, bool failListing)
      : ForwardingFileSystem(real), failListing_(failListing) {}
  [[nodiscard]] std::optional<std::string> findFirst(const std::string& pattern) const override {
    if (failListing_) throw FileError("Permission denied");
    return ForwardingFileSystem::findFirst(pattern);
  }
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& /*path*/) const override {
    throw FileError("Permission denied");
  }

 private:
  bool failListing_;
};

TEST_F(Search, UnreadableDatabaseIsReportedAndNothingElseChanges) {
  const std::string path = dir.write("CALL3.txt", kUserDb);
  for (const bool failListing : {false, true}) {
    for (const Texts* t : {&kGerman, &kEnglish}) {
      UnreadableFiles unreadable(files, failListing);
      testing::FakeWindow w;
      testing::FakeMessageBox m;
      frmVHF f{FormServices{w, m, dialog, settings, unreadable, clock, events}};
      f.NewLine = "\r\n";
      f.Language = t->language;
      f.DbKind = "user";
      f.StepKey = "2024-01-01,10:00:00";
      f.RecordKey = "2024-01-01,10:00:00";
      w.setText("Combo1", path);
      w.setText("Text10", "Q1ABC");
      w.setText("Text2", "before");
      w.setEnabled("Command2", false);
      f.SearchDirection = 1;
      f.Command1_Click();
      ASSERT_EQ(m.calls.size(), 1U);
      const std::string expected =
          t->language == "de"
              ? "Die Datenbank kann nicht gelesen werden:\r\n" + path + "\r\nPermission denied"
              : "The database cannot be read:\r\n" + path + "\r\nPermission denied";
      EXPECT_EQ(m.calls[0].text, expected);
      EXPECT_EQ(m.calls[0].title, t->language == "de" ? " Datenbankfehler " : " Database - ERROR ");
      EXPECT_EQ(m.calls[0].icon, MessageIcon::Stop);
      EXPECT_EQ(m.calls[0].buttons, MessageButtons::Ok);
      EXPECT_EQ(f.StepKey, "2024-01-01,10:00:00");
      EXPECT_EQ(f.RecordKey, "2024-01-01,10:00:00");
      EXPECT_EQ(w.text("Text2"), "before");
      EXPECT_FALSE(w.isEnabled("Command2"));
      EXPECT_EQ(w.focus, "");
      EXPECT_EQ(f.SearchDirection, 0);
    }
  }
}

// A Fox's log: contacts 1 to 4 share date and time (one call twice), and a
// comment holds "//". Step "+" to the last contact and "-" back to the first.
class FoxLogSteps : public Search, public ::testing::WithParamInterface<const char*> {};

TEST_P(FoxLogSteps, PlusReachesEveryContactToTheLastAndMinusBackToTheFirst) {
  const std::vector<std::string> calls = {"Q1AAA", "Q2BBB", "Q3CCC", "Q4DDD", "Q2BBB", "Q5EEE", "Q6FFF"};
  const std::vector<std::string> notes = {"cq", "a", "b", "c", "d", "see //x", "end"};
  const bool adif = contains(GetParam(), ".adi");
  std::string file = adif ? "<eoh>\n" : "";
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string t = i == 0 ? "074400" : i < 5 ? "074445" : "07450" + std::to_string(i);
    file += adif ? "<call:5>" + calls[i] + " <qso_date:8>20240301 <time_on:6>" + t +
                       " <comment:" + std::to_string(notes[i].size()) + ">" + notes[i] + " <eor>\n"
                 : "2024-03-01," + t + ",2024-03-01," + t + "," + calls[i] + ",JO01,50.3,FT8,-1,-2,," +
                       notes[i] + ",X\r\n";
  }
  const std::string path = dir.write(GetParam(), file);
  window.setText("Combo1", path);
  form.Form_Activate();
  // The log steps from the contact a search found, the ADIF log from the one the start showed.
  if (!adif) search("q1aaa", {MessageAnswer::No});
  for (std::size_t i = 1; i < calls.size(); ++i) {
    form.Command3_Click();
    EXPECT_EQ(box(2) + " " + box(9), calls[i] + " " + notes[i]) << "+ to contact " << i;
  }
  form.Command3_Click();
  EXPECT_EQ(box(2), "Q6FFF");
  for (std::size_t i = calls.size() - 1; i-- > 0;) {
    form.Command2_Click();
    EXPECT_EQ(box(2) + " " + box(9), calls[i] + " " + upperCaseUtf8(notes[i])) << "- to contact " << i;
  }
  form.Command2_Click();
  EXPECT_EQ(messages.calls.size(), adif ? 2U : 3U) << "nothing after the last and before the first";
  form.Command3_Click();
  window.setText("Text10", "Q4DDD");
  form.Command3_Click();
  EXPECT_EQ(box(2) + " " + box(9), "Q2BBB d") << "typed text: the step looks for the contact";
}

TEST_F(Search, LogStepsPassALineTooLongToHoldAndRefuseOnlyToShowIt) {
  const std::string c = "2024-01-01,09:00:01,2024-01-01,09:01:00,Q1AAA,JO01,144.1,FT8,,,,x,Y\n";
  std::string log = c + std::string(17U << 20, 'x') + "\n" + c + c + c;
  for (const char* call : {"Q5EEE", "Q4DDD", "Q3CCC"}) log.replace(log.rfind("Q1AAA"), 5, call);
  useDatabase("wsjtx.log", log);
  search("q3ccc", {MessageAnswer::No});
  for (const char* call : {"+Q4DDD", "+Q5EEE", "-Q4DDD", "-Q3CCC"}) {
    call[0] == '+' ? form.Command3_Click() : form.Command2_Click();
    EXPECT_EQ(box(2), call + 1);
  }
  form.Command2_Click();
  EXPECT_NE(messages.calls.back().text.find("line 2 is longer than 16 MiB"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Files, FoxLogSteps, ::testing::Values("wsjtx.log", "wsjtx_log.adi"));

}  // namespace
}  // namespace orvanta
