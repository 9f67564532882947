#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FormFixture.h"

namespace orvanta {
namespace {

using testing::FakeSettingsStore;
using Writes = std::vector<std::pair<std::string, std::string>>;

std::string key(const std::string& name) { return FakeSettingsStore::path("VHF-Orvanta", "Settings", name); }

Writes expectedWrites(int top, int left, const std::string& database, const std::string& database2,
                      const std::string& language) {
  return {{key("Top"), std::to_string(top)},
          {key("Left"), std::to_string(left)},
          {key("Database"), database},
          {key("Database2"), database2},
          {key("Sprache"), language}};
}

using Shutdown = testing::FormFixture;

TEST_F(Shutdown, WritesTheKeysInOrderByTheListAndTheCurrentDatabase) {
  struct Case {
    std::string name;
    std::vector<std::string> listed;
    std::string current;
    std::string database;
    std::string database2;
  };
  const auto cases = std::to_array<Case>({
      {"call3 current", {"/w/CALL3.TXT", "/w/wsjtx.log"}, "/w/CALL3.TXT", "/w/CALL3.TXT", "/w/wsjtx.log"},
      {"wsjtx.log current", {"/w/CALL3.TXT", "/w/wsjtx.log"}, "/w/wsjtx.log", "/w/wsjtx.log", "/w/CALL3.TXT"},
      {"call3 current, no log", {"/w/call3.txt"}, "/w/call3.txt", "/w/call3.txt", ""},
      {"other name", {"/w/CALL3.TXT", "/w/mydb.txt"}, "/w/mydb.txt", "", ""},
      {"first of two call3 entries", {"/a/call3.txt", "/b/Call3.txt"}, "/a/call3.txt", "", ""},
      {"last of two call3 entries", {"/a/call3.txt", "/b/Call3.txt"}, "/b/Call3.txt", "/b/Call3.txt", ""},
      {"last entry of each name",
       {"/a/call3.txt", "/a/wsjtx.log", "/c/CALL3.txt", "/d/WSJTX.LOG"},
       "/c/CALL3.txt",
       "/c/CALL3.txt",
       "/d/WSJTX.LOG"},
      {"bare name from the start folder", {"/s/CALL3.TXT", "/s/wsjtx.log"}, "CALL3.TXT", "", ""},
      {"letter case of the text counts", {"/w/CALL3.TXT"}, "/w/call3.txt", "", ""},
      {"empty text with a log entry", {"/w/wsjtx.log"}, "", "", "/w/wsjtx.log"},
      {"empty text with both", {"/w/call3.txt", "/w/wsjtx.log"}, "", "", ""},
      {"nothing at all", {}, "", "", ""},
      {"typed path not in the list", {"/w/call3.txt"}, "/x/call3.txt", "", ""},
      {"name only contains call3.txt",
       {"/w/old-call3.txt.bak"},
       "/w/old-call3.txt.bak",
       "/w/old-call3.txt.bak",
       ""},
      {"ADIF current", {"/w/CALL3.TXT", "/w/a.adi"}, "/w/a.adi", "/w/a.adi", "/w/CALL3.TXT"},
      {"ADIF current beside wsjtx.log", {"/w/wsjtx.log", "/w/x.ADIF"}, "/w/x.ADIF", "/w/x.ADIF", ""},
      {"ADIF listed", {"/w/call3.txt", "/a.adi"}, "/w/call3.txt", "/w/call3.txt", "/a.adi"},
      {"wsjtx.log current, ADIF listed", {"/w/wsjtx.log", "/a.adi"}, "/w/wsjtx.log", "/w/wsjtx.log", ""},
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeWindow w;
    FakeSettingsStore s;
    frmVHF f{FormServices{w, messages, dialog, s, files, clock, events}};
    for (const auto& entry : c.listed) w.addListItem("Combo1", entry);
    w.setText("Combo1", c.current);
    w.setTop(-300);
    w.setLeft(45000);
    f.Language = "en";
    f.Form_Unload();
    EXPECT_EQ(s.writes, expectedWrites(-300, 45000, c.database, c.database2, "en"));
  }
}

TEST_F(Shutdown, LanguageIsWrittenBackAsItIs) {
  for (const std::string language : {"de", "en", "fr", ""}) {
    FakeSettingsStore s;
    frmVHF f{FormServices{window, messages, dialog, s, files, clock, events}};
    f.Language = language;
    f.Form_Unload();
    EXPECT_EQ(s.values[key("Sprache")], language);
  }
}

// Fails the writes of the named keys and keeps the others.
class PartlyFailingStore final : public ISettingsStore {
 public:
  explicit PartlyFailingStore(std::vector<std::string> failing) : failing_(std::move(failing)) {}
  std::string read(const std::string& a, const std::string& s, const std::string& k,
                   const std::string& d) override {
    return inner.read(a, s, k, d);
  }
  void write(const std::string& a, const std::string& s, const std::string& k,
             const std::string& v) override {
    for (const auto& f : failing_) {
      if (f == k) throw std::runtime_error("cannot write " + k);
    }
    inner.write(a, s, k, v);
  }
  FakeSettingsStore inner;

 private:
  std::vector<std::string> failing_;
};

TEST_F(Shutdown, AFailedWriteSkipsOnlyThatKey) {
  window.addListItem("Combo1", "/w/call3.txt");
  window.setText("Combo1", "/w/call3.txt");
  window.setTop(100);
  window.setLeft(200);
  PartlyFailingStore store({"Top", "Database"});
  frmVHF f{FormServices{window, messages, dialog, store, files, clock, events}};
  f.Language = "de";
  EXPECT_NO_THROW(f.Form_Unload());
  EXPECT_EQ(store.inner.writes,
            (Writes{{key("Left"), "200"}, {key("Database2"), ""}, {key("Sprache"), "de"}}));
  EXPECT_TRUE(messages.calls.empty());
}

TEST_F(Shutdown, ExitMenuClosesTheWindowAndTheCloseWritesTheSettings) {
  form.Language = "en";
  form.mnuEnde_Click();
  EXPECT_EQ(window.closeRequests, 1);
  EXPECT_TRUE(settings.writes.empty());  // written once, when the window reports that it closes
  form.onWindowEvent("frmVHF", WindowEvent::Unload, 0);
  EXPECT_EQ(settings.writes, expectedWrites(0, 0, "", "", "en"));
}

// Two runs against one store: what the first leaves behind is what the
// second starts with.
TEST_F(Shutdown, NextStartBringsBackDatabasesLanguageAndPosition) {
  const std::string call = dir.write("CALL3.txt", "Q1ABC,JO31,first,,,,,03/21\r\n");
  const std::string log = dir.write("wsjtx.log", "2019-05-07,18:00:00,2019-05-07,18:01:00,Q3LOG,JO40\n");
  {
    testing::FakeWindow w;
    frmVHF f{FormServices{w, messages, dialog, settings, files, clock, events}};
    f.Form_Load();
    f.Form_Activate();
    ASSERT_EQ(w.listItems("Combo1"), (std::vector<std::string>{call, log}));
    // The bare name from the start folder would not be remembered; choosing
    // the entry of the list makes the full path current.
    w.setText("Combo1", call);
    f.Combo1_Click();
    f.mnuEnglisch_Click();
    w.setTop(2400);
    w.setLeft(3600);
    f.Form_Unload();
  }
  testing::FakeWindow w;
  testing::FakeMessageBox m;
  frmVHF f{FormServices{w, m, dialog, settings, files, clock, events}};
  f.Form_Load();
  f.Form_Activate();
  EXPECT_EQ(w.listItems("Combo1"), (std::vector<std::string>{call, log}));
  EXPECT_EQ(w.text("Combo1"), call);
  EXPECT_EQ(f.Language, "en");
  EXPECT_EQ(w.caption("Label1"), "&Databases :");
  EXPECT_EQ(w.top(), 2400);
  EXPECT_EQ(w.left(), 3600);
  EXPECT_EQ(w.text("Text2"), "Q1ABC");
  EXPECT_TRUE(m.calls.empty());
}

}  // namespace
}  // namespace orvanta
