#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/FormFixture.h"
#include "fakes/ForwardingFileSystem.h"

namespace orvanta {
namespace {

using testing::FakeSettingsStore;

std::string key(const std::string& name) { return FakeSettingsStore::path("VHF-Orvanta", "Settings", name); }

const std::string kGermanLine1 = "Datei nicht gefunden!                            ";
const std::string kGermanLine3 = "Die Datenbank-Datei bitte in 'Datenbanken:'      ";
const std::string kGermanLine4 = "oder über 'Öffnen' auswählen.  ";
const std::string kEnglishLine1 = "Database not found!                       ";
const std::string kEnglishLine3 = "Please the data base-file please in 'Databases:' ";
const std::string kEnglishLine4 = "or over 'Open' selects.  ";

std::string notFoundText(bool german, const std::string& shown) {
  const std::string nl = "\r\n";
  return (german ? kGermanLine1 : kEnglishLine1) + nl + shown + " (User-Version) " + nl +
         (german ? kGermanLine3 : kEnglishLine3) + nl + (german ? kGermanLine4 : kEnglishLine4);
}

class Startup : public testing::FormFixture {
 protected:
  void store(const std::string& name, const std::string& value) { settings.values[key(name)] = value; }
  void start() {
    form.Form_Load();
    form.Form_Resize();
    form.Form_Activate();
  }
  std::vector<std::string> list() const { return window.listItems("Combo1"); }
};

TEST_F(Startup, FirstRunLooksForCall3InTheStartFolder) {
  struct Case {
    std::string name;
    std::vector<std::string> files;
    std::vector<std::string> listed;  // names inside the start folder
    std::string current;
  };
  const auto cases = std::to_array<Case>({
      {"empty folder", {}, {}, ""},
      {"logs alone add nothing", {"wsjtx.log", "other.log"}, {}, ""},
      {"call3 alone", {"call3.txt"}, {"call3.txt"}, "call3.txt"},
      {"upper case kept as stored", {"CALL3.TXT", "wsjtx.log"}, {"CALL3.TXT", "wsjtx.log"}, "CALL3.TXT"},
      {"similar names are not call3", {"call33.txt", "mycall3.txt"}, {}, ""},
      {"wsjtx.log before other logs",
       {"call3.txt", "a.log", "wsjtx.log", "z.log"},
       {"call3.txt", "wsjtx.log"},
       "call3.txt"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir folder;
    testing::CurrentDirectory inFolder(folder.path());
    for (const auto& f : c.files) folder.write(f, "Q1ABC,JO31,Alpha,,,,,03/21\r\nQ2XYZ,JN58\r\n");
    testing::FakeWindow w;
    testing::FakeMessageBox m;
    FakeSettingsStore s;
    frmVHF f{FormServices{w, m, dialog, s, files, clock, events}};
    f.Form_Load();
    f.Form_Activate();

    std::vector<std::string> expected;
    for (const auto& n : c.listed) expected.push_back(folder.file(n));
    EXPECT_EQ(w.listItems("Combo1"), expected);
    EXPECT_EQ(w.text("Combo1"), c.current);
    EXPECT_EQ(w.top(), 1);
    EXPECT_EQ(w.left(), 1);
    EXPECT_EQ(f.Language, "de");
    EXPECT_EQ(f.LastFieldIndex, 7);
    EXPECT_EQ(f.FieldSeparator, ",");
    if (c.current.empty()) {
      ASSERT_EQ(m.calls.size(), 1U);
      EXPECT_EQ(m.calls[0].text, notFoundText(true, folder.path() + "/call*.txt"));
      EXPECT_EQ(m.calls[0].title, "Hinweis");
      EXPECT_EQ(m.calls[0].icon, MessageIcon::Information);
      EXPECT_EQ(m.calls[0].buttons, MessageButtons::Ok);
      EXPECT_EQ(w.focus, "Combo1");
      EXPECT_EQ(f.DbKind, "");
    } else {
      EXPECT_TRUE(m.calls.empty());
      EXPECT_EQ(f.DbKind, "user");
      EXPECT_EQ(f.DbPath, c.current);
      EXPECT_EQ(w.text("Text2"), "Q1ABC");
      EXPECT_EQ(w.text("Text3"), "JO31");
      EXPECT_EQ(w.text("Text9"), "03/21");
      EXPECT_EQ(w.caption("Label9"), "Stand :");  // user labels, set at activation
    }
    EXPECT_TRUE(s.writes.empty());  // start-up never writes the store
  }
}

TEST_F(Startup, StoredDatabases) {
  const std::string call = dir.write("data/CALL3.txt", "Q1ABC,JO31\r\n");
  const std::string log = dir.write("data/wsjtx.log", "2019-05-07,18:00:00,2019-05-07,18:01:00,Q3LOG,JO40\n");
  dir.write("call3.txt", "Q9LOCAL,JO00\r\n");  // must not be picked up while something is stored
  const std::string gone = dir.file("old/CALL3.txt");
  struct Case {
    std::string name;
    std::string database;
    std::string database2;
    std::vector<std::string> listed;
    std::string current;
    std::string kind;   // after activation
    std::string shown;  // path in the not-found message, empty when found
  };
  const auto cases = std::to_array<Case>({
      {"both", call, log, {call, log}, call, "user", ""},
      {"log current", log, call, {log, call}, log, "log", ""},
      {"equal paths listed twice", call, call, {call, call}, call, "user", ""},
      {"deleted database stays listed", gone, log, {gone, log}, gone, "user", gone},
      {"relative stored path",
       "old/call3.txt",
       "",
       {"old/call3.txt"},
       "old/call3.txt",
       "user",
       dir.path() + "/old/call3.txt"},
      {"second only: nothing current", "", log, {log}, "", "", dir.path() + "/call*.txt"},
      // On Linux another letter case is another file: it cannot be opened.
      {"stored in another letter case",
       dir.file("data/call3.TXT"),
       "",
       {dir.file("data/call3.TXT")},
       dir.file("data/call3.TXT"),
       "user",
       dir.file("data/call3.TXT")},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeWindow w;
    testing::FakeMessageBox m;
    FakeSettingsStore s;
    s.values[key("Database")] = c.database;
    s.values[key("Database2")] = c.database2;
    frmVHF f{FormServices{w, m, dialog, s, files, clock, events}};
    f.Form_Load();
    EXPECT_EQ(w.listItems("Combo1"), c.listed);
    EXPECT_EQ(w.text("Combo1"), c.current);
    EXPECT_EQ(f.DbPath, c.current);
    f.Form_Activate();
    EXPECT_EQ(f.DbKind, c.kind);
    if (c.shown.empty()) {
      EXPECT_TRUE(m.calls.empty());
      EXPECT_FALSE(w.text("Text2").empty());
    } else {
      ASSERT_EQ(m.calls.size(), 1U);
      EXPECT_EQ(m.calls[0].text, notFoundText(true, c.shown));
      EXPECT_EQ(w.text("Text2"), "");
      EXPECT_EQ(w.focus, "Combo1");
    }
  }
}

TEST_F(Startup, LoadDerivesTheKindOnlyFromTheFirstDatabase) {
  store("Database", "");
  store("Database2", "/nowhere/wsjtx.log");
  form.DbKind = "user";
  form.Form_Load();
  EXPECT_EQ(form.DbKind, "user");
  store("Database", "/nowhere/wsjtx.log");
  form.Form_Load();
  EXPECT_EQ(form.DbKind, "log");
  EXPECT_EQ(list(), (std::vector<std::string>{"/nowhere/wsjtx.log", "/nowhere/wsjtx.log"}));
}

TEST_F(Startup, LanguageOtherThanGermanGivesEnglishAndIsKept) {
  struct Case {
    std::string stored;
    bool german;
  };
  const auto cases =
      std::to_array<Case>({{"de", true}, {"en", false}, {"fr", false}, {"DE", false}, {"", false}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    testing::FakeWindow w;
    testing::FakeMessageBox m;
    FakeSettingsStore s;
    s.values[key("Sprache")] = c.stored;
    frmVHF f{FormServices{w, m, dialog, s, files, clock, events}};
    f.Form_Load();
    f.Form_Activate();
    EXPECT_EQ(f.Language, c.stored);
    EXPECT_EQ(w.caption("Label1"), c.german ? "&Datenbanken :" : "&Databases :");
    ASSERT_EQ(m.calls.size(), 1U);
    EXPECT_EQ(m.calls[0].text, notFoundText(c.german, dir.path() + "/call*.txt"));
    EXPECT_EQ(m.calls[0].title, c.german ? "Hinweis" : "Info");
    f.Form_Unload();
    EXPECT_EQ(s.values[key("Sprache")], c.stored);
  }
}

TEST_F(Startup, StoredPosition) {
  struct Case {
    std::string top;
    std::string left;
    int expectedTop;
    int expectedLeft;
  };
  // The window starts at top 600, left 900; an edge that is not a number stays.
  const auto cases = std::to_array<Case>({
      {"1500", "2250", 1500, 2250},
      {"abc", "2250", 600, 2250},
      {"1500", "", 1500, 900},
      {" 300 ", "12.6", 300, 13},
      {"1e3", "4x", 1000, 900},
      {"99999999999999", "nan", 600, 900},
      {"0", "0", 0, 0},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.top + " / " + c.left);
    window.setTop(600);
    window.setLeft(900);
    store("Top", c.top);
    store("Left", c.left);
    form.Form_Load();
    EXPECT_EQ(window.top(), c.expectedTop);
    EXPECT_EQ(window.left(), c.expectedLeft);
    EXPECT_EQ(form.Language, "de");  // the remaining settings are still read
    EXPECT_EQ(form.NewLine, "\r\n");
  }
}

TEST_F(Startup, PositionOffEveryScreenIsBroughtOntoThePrimary) {
  // Primary 1920 x 1080 pixels, a second screen of 1280 x 1024 to its right.
  window.setScreens({TwipRect{0, 0, 28800, 16200}, TwipRect{28800, 0, 19200, 15360}});
  struct Case {
    int top;
    int left;
    int expectedTop;
    int expectedLeft;
  };
  const auto cases = std::to_array<Case>({
      {1, 1, 1, 1},                // first run
      {3000, 30000, 3000, 30000},  // on the second screen: unchanged
      {15000, 47000, 15000, 47000},
      {3000, 60000, 3000, 28800 - 8352},           // right of both screens
      {-4000, 2000, 0, 2000},                      // above the screens
      {15000, 30000, 15000, 30000},                // low on the second screen
      {15500, 30000, 16200 - 5220, 28800 - 8352},  // under the shorter second screen
      {16000, 100, 16000, 100},                    // bottom strip of the primary
      {17000, 100, 16200 - 5220, 100},             // below the primary
      {-1, -1, 0, 0},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.top) + "," + std::to_string(c.left));
    store("Top", std::to_string(c.top));
    store("Left", std::to_string(c.left));
    form.Form_Load();
    EXPECT_EQ(window.top(), c.expectedTop);
    EXPECT_EQ(window.left(), c.expectedLeft);
  }
}

TEST_F(Startup, ResizeHoldsTheHeightOfANormalWindow) {
  struct Case {
    WindowState state;
    int height;
    int expected;
  };
  const auto cases = std::to_array<Case>({{WindowState::Normal, 6000, 5220},
                                          {WindowState::Normal, 300, 5220},
                                          {WindowState::Normal, 5220, 5220},
                                          {WindowState::Minimized, 300, 300},
                                          {WindowState::Maximized, 16000, 16000}});
  for (const auto& c : cases) {
    window.setState(c.state);
    window.setHeight(c.height);
    form.Form_Resize();
    EXPECT_EQ(window.height(), c.expected) << static_cast<int>(c.state) << " " << c.height;
  }
}

TEST_F(Startup, ActivationEmptiesTheSearchBoxAndShowsOnlyTheFirstLine) {
  dir.write("CALL3.txt", "Q1ABC,JO31,first,,,,,03/21\r\nQ2XYZ,JN58,second,,,,,04/21\r\n");
  window.setText("Text10", "Q2");
  start();
  EXPECT_EQ(window.text("Text10"), "");
  EXPECT_EQ(window.text("Text2"), "Q1ABC");
  EXPECT_EQ(window.text("Text4"), "first");
  EXPECT_EQ(window.height(), 5220);
}

TEST_F(Startup, FirstLineIsShownInTheFilesEncoding) {
  struct Case {
    std::string name;
    std::string bytes;
  };
  const std::string tail = "Q2XYZ,JN58\r\n";
  // A UTF-8 file whose first MiB ends inside a two-byte sequence: the cut
  // sequence must not make it look like Windows-1252.
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const std::string filler = "Q2XYZ,JN58,Jos\xC3\xA9,,,,,01/20\n";
  std::string big = "Q1ABC,JO31,M\xC3\xBCller,,,,,03/21\n";
  while (big.size() + filler.size() < kMiB) big += filler;
  big += std::string(kMiB - 1 - big.size(), 'x');
  big += "\xC3\xBC,rest\n";  // the MiB ends after the first byte of this letter
  const auto cases = std::to_array<Case>({
      {"windows-1252", "Q1ABC,JO31,M\xFCller,,,,,03/21\r\n" + tail},
      {"utf-8", "Q1ABC,JO31,M\xC3\xBCller,,,,,03/21\n" + tail},
      {"utf-8 with bom", "\xEF\xBB\xBFQ1ABC,JO31,M\xC3\xBCller,,,,,03/21\r\n" + tail},
      {"utf-8 cut at one MiB", big},
      {"no line end", "Q1ABC,JO31,M\xFCller,,,,,03/21"},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.write("call3.txt", c.bytes);
    window.setText("Text4", "");
    form.Form_Load();
    form.Form_Activate();
    EXPECT_TRUE(messages.calls.empty());
    EXPECT_EQ(window.text("Text2"), "Q1ABC");
    EXPECT_EQ(window.text("Text4"), "Müller");
  }
}

// The real file system, except that no file can be opened for reading.
class UnreadableFileSystem final : public testing::ForwardingFileSystem {
 public:
  UnreadableFileSystem() : ForwardingFileSystem(real) {}
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& path) const override {
    throw FileError(path + ": Permission denied");
  }
  StdFileSystem real;
};

TEST_F(Startup, ExistingDatabaseThatCannotBeReadShowsNothingAndSaysNothing) {
  dir.write("CALL3.TXT", "Q1ABC,JO31\r\n");
  dir.write("wsjtx.log", "x\n");
  UnreadableFileSystem unreadable;
  frmVHF f{FormServices{window, messages, dialog, settings, unreadable, clock, events}};
  f.Form_Load();
  f.Form_Activate();
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(f.DbKind, "user");
  EXPECT_EQ(window.text("Combo1"), "CALL3.TXT");
  for (const char* box : {"Text2", "Text3", "Text4", "Text9"}) EXPECT_EQ(window.text(box), "") << box;
}

// A file without line ends (a binary file chosen by mistake) is not read
// whole to show its first line: up to 16 MiB it is shown, beyond that the
// view stays empty, silently, as for a file that cannot be read.
TEST_F(Startup, FirstLineOfAFileWithoutLineEndsIsShownUpTo16MiB) {
  dir.write("call3.txt", std::string(std::size_t{9} << 20, 'Q'));
  start();
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(window.text("Text2").size(), 9U * 1024 * 1024);
}

TEST_F(Startup, FirstLineLongerThan16MiBShowsNothing) {
  dir.write("call3.txt", std::string((16U << 20) + 1, 'Q') + "\r\nQ1ABC\r\n");
  start();
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(window.text("Text2"), "");
}

TEST_F(Startup, EmptyDatabaseShowsNothingAndSaysNothing) {
  dir.write("call3.txt", "");
  start();
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(form.DbKind, "user");
  EXPECT_EQ(window.text("Text2"), "");
}

// A store that cannot be read at all: start-up still runs to its end.
class BrokenStore final : public ISettingsStore {
 public:
  std::string read(const std::string& /*application*/, const std::string& /*section*/,
                   const std::string& /*key*/, const std::string& /*defaultValue*/) override {
    throw std::runtime_error("store unavailable");
  }
  void write(const std::string& /*application*/, const std::string& /*section*/, const std::string& /*key*/,
             const std::string& /*value*/) override {
    throw std::runtime_error("store unavailable");
  }
};

TEST_F(Startup, UnusableSettingsStoreStillStartsAndCloses) {
  dir.write("call3.txt", "Q1ABC,JO31\r\n");
  BrokenStore broken;
  window.setTop(700);
  frmVHF f{FormServices{window, messages, dialog, broken, files, clock, events}};
  EXPECT_NO_THROW(f.Form_Load());
  EXPECT_NO_THROW(f.Form_Activate());
  EXPECT_EQ(window.top(), 700);
  EXPECT_EQ(f.NewLine, "\r\n");
  EXPECT_EQ(window.text("Combo1"), "call3.txt");
  EXPECT_EQ(window.text("Text2"), "Q1ABC");
  EXPECT_NO_THROW(f.Form_Unload());
}

}  // namespace
}  // namespace orvanta
