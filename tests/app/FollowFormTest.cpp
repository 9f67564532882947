#include <gtest/gtest.h>

#include <array>

#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"
#include "link/Protocol.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

class FakeStationView final : public IStationView {
 public:
  void show(const StationPanel& p) override { panel = p, open = true; }
  void update(const StationPanel& p) override { panel = p; }
  [[nodiscard]] bool isOpen() const override { return open; }
  void setHandlers(std::function<void(bool)> /*baseCall*/, std::function<void(bool)> /*autoAdd*/) override {}
  StationPanel panel;
  bool open = false;
};

Datagram status(const std::string& id, const std::string& call, const std::string& dxGrid = "") {
  link::Status s;
  s.id = id;
  s.dxCall = call;
  s.dxGrid = dxGrid;
  s.deGrid = "JO31";
  s.dialFrequency = 144'174'000;
  s.mode = "FT8";
  return {link::encodeStatus(s).bytes(), "127.0.0.1", 1};
}

Datagram logged(const std::string& call, const std::string& grid, std::uint32_t minute) {
  link::QsoLogged q;
  q.id = "WSJT-X";
  q.dxCall = call;
  q.dxGrid = grid;
  q.txFrequency = 144'174'000;
  q.mode = "FT8";
  q.timeOn = {2'461'384, minute * 60'000, 1, 0, {}};
  q.timeOff = q.timeOn;
  return {link::encodeQsoLogged(q).bytes(), "127.0.0.1", 1};
}

Datagram loggedAdif(const std::string& adif) {
  return {link::encodeLoggedAdif({"WSJT-X", adif}).bytes(), "127.0.0.1", 1};
}

class FollowForm : public testing::FormFixture {
 protected:
  void SetUp() override {
    following.Language = "en";
    user = dir.write("CALL3.txt", "//h\r\nQ1ABC,JO62,EME\r\nQ1AB,JO22,MS\r\nQ2X,JO31,,,,,,,,too,many\r\n");
    log = dir.write("wsjtx.log",
                    "2026-12-09,03:00:10,2026-12-09,03:01:00,Q1ABC,JO62,144.174,FT8,,,,,\r\n"
                    "2026-12-09,04:00:00,2026-12-09,04:01:00,Q1ABC,JO62,50.313,FT8,,,,,\r\n"
                    "2026-12-09,05:00:00,2026-12-09,05:01:00,Q1ABCD,JO62,50.313,FT8,,,,,\r\n");
    for (const auto& path : {user, log}) window.addListItem("Combo1", path);
    window.setText("Combo1", user);
    following.FieldSeparator = ",";
    following.applyKindRule(user);
  }
  FakeStationView station;
  frmVHF following{FormServices{window, messages, dialog, settings, files, clock, events, nullptr, nullptr,
                                nullptr, &station}};
  std::string user, log;
};

struct Step {
  std::string id;
  std::string call;
  bool shown;
  std::string text2;  // after the step
  std::string notice;
};

// Each instance keeps its own DX call; the same call again reads nothing; a
// call is matched whole, never as part of another.
TEST_F(FollowForm, DxCallsOfTwoInstances) {
  const auto steps = std::to_array<Step>({{"WSJT-X", "Q1AB", true, "Q1AB", ""},
                                          {"WSJT-X - rig2", " <q1abc> ", true, "Q1ABC", ""},
                                          {"WSJT-X", "Q1AB", false, "Q1ABC", ""},
                                          {"WSJT-X - rig2", "Q1ABC", false, "Q1ABC", ""},
                                          {"WSJT-X", "", false, "Q1ABC", ""},
                                          {"WSJT-X", "Q2X", true, "Q2X", ""},
                                          {"WSJT-X", "Q1A", true, "", "Q1A is not in CALL3.txt"}});
  for (const auto& step : steps) {
    const FollowReport report = following.followDatagram(status(step.id, step.call));
    EXPECT_EQ(report.lookedUp, step.shown) << step.id << step.call;
    EXPECT_EQ(window.text("Text2"), step.text2) << step.call;
    EXPECT_EQ(window.text("Text10"), step.shown ? link::cleanCall(step.call) : window.text("Text10"));
  }
  EXPECT_EQ(messages.calls.size(), 0U);  // Q2X has fields too many: no box while following
  following.mnuWorked_Click();
  EXPECT_EQ(station.panel.notice, "Q1A is not in CALL3.txt");
}

TEST_F(FollowForm, LogShowsTheLastContactAndTheWayThere) {
  window.setText("Combo1", log);
  const FollowReport report = following.followDatagram(status("JTDX", "Q1ABC", "JO62"));
  ASSERT_TRUE(report.found);
  EXPECT_EQ(report.boxes[2], "50.313");  // QRG of the later contact, not Q1ABCD's
  EXPECT_EQ(report.worked, 2U);
  EXPECT_EQ(report.path.km, 425);
  EXPECT_EQ(report.path.degrees, 73);
}

// While a box waits for the operator, calls wait; only the newest is shown.
// The operator's own search stands over a call that came meanwhile.
TEST_F(FollowForm, CallsWaitBehindAModalBox) {
  messages.onShow = [&](const testing::FakeMessageBox::Call&) {
    EXPECT_TRUE(following.followDatagram(status("WSJT-X", "Q1AB")).deferred);
    following.followDatagram(status("WSJT-X", "Q1ABC"));
  };
  following.onWindowEvent(ctl::kMnuInfo, WindowEvent::Click, 0);
  EXPECT_EQ(window.text("Text2"), "Q1ABC");
  messages.onShow = [&](const testing::FakeMessageBox::Call&) {
    following.followDatagram(status("WSJT-X", "Q2X"));
  };
  window.setText("Text10", "Q1AB");
  messages.answers = {MessageAnswer::No};
  following.onWindowEvent(ctl::kCommand1, WindowEvent::Click, 0);
  EXPECT_EQ(window.text("Text10"), "Q1AB");
  EXPECT_EQ(window.text("Text2"), "Q1ABC");  // the search's first hit, not Q2X
}

// WSJT-X sends QSO Logged and Logged ADIF for a contact, and writes it into
// its log: one contact. Added logged stations land in the user database.
TEST_F(FollowForm, LoggedContactsCountOnceAndAreTakenOver) {
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "AutoAdd")] = "1";
  EXPECT_EQ(following.followDatagram(logged("Q1ABC", "JO62", 180)).worked, 2U);
  const std::string adif =
      "<adif_ver:5>3.1.0 <EOH> <call:5>Q1ABC <gridsquare:4>JO62 <mode:3>FT8 "
      "<qso_date:8>20261209 <time_on:6>030055 <band:2>2m <EOR>";
  const FollowReport again = following.followDatagram(loggedAdif(adif));
  EXPECT_TRUE(again.repeatedContact);
  EXPECT_EQ(again.worked, 2U);
  EXPECT_FALSE(again.added);
  const FollowReport fresh = following.followDatagram(logged("Q3NEW", "KO04", 200));
  EXPECT_EQ(fresh.worked, 1U);
  EXPECT_EQ(fresh.added, AddResult::New);
  EXPECT_NE(dir.read("CALL3.txt").find("Q3NEW,KO04,,,,,,12/26\r\n"), std::string::npos);
  EXPECT_EQ(following.followDatagram(logged("Q3NEW", "KO04", 230)).added, AddResult::Unchanged);
  EXPECT_EQ(following.followDatagram(logged("Q4BAD", "RR73", 240)).added, AddResult::Refused);
  EXPECT_EQ(following.followDatagram(logged("Q3NEW", "KO04", 300)).worked, 3U);
}

TEST_F(FollowForm, APortTakenIsToldAndTheNextToggleTriesAgain) {
  auto holder = listenUdp("127.0.0.1", 0);
  const std::string port = std::to_string(holder->port());
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "UdpPort")] = port;
  following.mnuFollow_Click();
  EXPECT_TRUE(following.Following);
  EXPECT_EQ(following.followReceiver(), nullptr);
  EXPECT_TRUE(station.open);
  EXPECT_EQ(station.panel.link.rfind("Cannot listen on 127.0.0.1:" + port + ": ", 0), 0U)
      << station.panel.link;
  EXPECT_EQ(messages.calls.size(), 0U);
  holder.reset();
  following.mnuFollow_Click();
  following.mnuFollow_Click();
  ASSERT_NE(following.followReceiver(), nullptr);
  EXPECT_EQ(station.panel.link, "Waiting for WSJT-X on 127.0.0.1:" + port);
  following.followDatagram({link::encodeClose({"JTDX"}).bytes(), "127.0.0.1", 1});
  EXPECT_EQ(station.panel.link, "WSJT-X (JTDX) has closed");
}

struct OwnLocatorCase {
  std::string name;
  std::string deGrid;
  std::string setting;
  std::vector<std::pair<std::string, std::string>> iniFiles;  // name, MyGrid
  std::optional<long> km;                                     // to JO22
};

class OwnLocator : public testing::FormFixture, public ::testing::WithParamInterface<OwnLocatorCase> {};

// The instance's DE grid, else the setting, else WSJT-X's own settings files in their order.
TEST_P(OwnLocator, ComesFromTheFirstThatHasOne) {
  const auto& c = GetParam();
  environment.variables["XDG_CONFIG_HOME"] = dir.file("config");
  for (const auto& [name, grid] : c.iniFiles)
    dir.write("config/" + name, "[Other]\nMyGrid=JO41\n[Configuration]\nMyGrid=" + grid + "\n");
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "MyLocator")] = c.setting;
  Datagram d = status("WSJT-X", "Q1AB", "JO22");
  link::Status s = std::get<link::Status>(link::readMessage(d.bytes));
  s.deGrid = c.deGrid;
  EXPECT_EQ(form.followDatagram({link::encodeStatus(s).bytes(), "127.0.0.1", 1}).path.km, c.km);
}

INSTANTIATE_TEST_SUITE_P(
    Follow, OwnLocator,
    ::testing::Values(
        OwnLocatorCase{"DeGrid", "JO31", "JO40", {{"WSJT-X.ini", "JO32"}}, 176},
        OwnLocatorCase{"Setting", "", "jo40", {{"WSJT-X.ini", "JO32"}}, 355},
        OwnLocatorCase{"WsjtxFirst",
                       "RR73",
                       "",
                       {{"JTDX.ini", "JO35"}, {"WSJT-X - a.ini", "JO33"}, {"WSJT-X.ini", "JO32"}},
                       135},
        OwnLocatorCase{
            "RigsInByteOrder", "", "", {{"WSJT-X - rig2.ini", "JO33"}, {"WSJT-X - Rig3.ini", "JO34"}}, 259},
        OwnLocatorCase{"InvalidPassedOver", "", "XX99", {{"WSJT-X.ini", "JO3"}, {"JTDX.ini", "JO35"}}, 358},
        OwnLocatorCase{"None", "", "", {{"WSJT-X.ini", ""}}, std::nullopt}),
    testing::CaseName{});

}  // namespace
}  // namespace orvanta
