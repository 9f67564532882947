#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "fakes/FormFixture.h"
#include "link/Protocol.h"

namespace orvanta {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Highlight Callsign as WSJT-X reads it, written out by hand: black on the
// colour, or both colours invalid for a clear; "highlight last" false.
Bytes highlight(const std::string& id, const std::string& call, std::optional<std::uint32_t> rgb) {
  Bytes b{0xad, 0xbc, 0xcb, 0xda, 0, 0, 0, 3, 0, 0, 0, 13};
  for (const std::string& text : {id, call}) {
    b.insert(b.end(), {0, 0, 0, static_cast<std::uint8_t>(text.size())});
    b.insert(b.end(), text.begin(), text.end());
  }
  const std::uint8_t kind = rgb ? 1 : 0;
  const auto part = [&](int shift) { return static_cast<std::uint8_t>(rgb ? *rgb >> shift : 0); };
  b.insert(b.end(), {kind, 0xff, 0xff, part(16), part(16), part(8), part(8), part(0), part(0), 0, 0});
  b.insert(b.end(), {kind, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  return b;
}

class HighlightForm : public testing::FormFixture {
 protected:
  void SetUp() override {
    form.Language = "en";
    window.addListItem("Combo1", dir.write("CALL3.txt", "//h\r\nQ1NEED,JO62\r\nQ1ABC,JO62\r\n"));
    window.addListItem("Combo1",
                       log = dir.write("wsjtx.log", line("Q1ABC", "144.174") + line("Q3OLD", "50.313")));
    settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "UdpPort")] = "0";
    form.mnuHighlight_Click();
    form.mnuFollow_Click();
    ASSERT_NE(form.followReceiver(), nullptr);
    ASSERT_TRUE(form.highlightIndex()->settle(std::chrono::seconds(10)));
    link::Status status;
    status.id = "WSJT-X";
    status.dialFrequency = 144'174'000;
    status.mode = "FT8";
    send(link::encodeStatus(status).bytes());
  }
  static std::string line(const std::string& call, const std::string& mhz) {
    return "2026-12-09,03:00:10,2026-12-09,03:01:00," + call + ",JO62," + mhz + ",FT8,,,,,\r\n";
  }
  void send(const Bytes& bytes) {
    wsjtx->sendTo(bytes, "127.0.0.1", form.followReceiver()->port());
    form.followReadable();
  }
  void decode(const std::string& id, const std::string& message) {
    link::Decode d;
    d.id = id;
    d.isNew = true;
    d.message = message;
    send(link::encodeDecode(d).bytes());
  }
  // What WSJT-X got back, in the order sent; loopback delivers at once.
  std::vector<Bytes> received() {
    std::vector<Bytes> all;
    while (auto datagram = wsjtx->receive()) all.push_back(datagram->bytes);
    return all;
  }
  std::unique_ptr<IUdpReceiver> wsjtx = listenUdp("127.0.0.1", 0);
  std::string log;
};

TEST_F(HighlightForm, DecodesAreAnsweredToTheirSenderAndClearedOnSwitchingOff) {
  decode("WSJT-X", "CQ Q1NEED JO62");
  decode("WSJT-X", "CQ DX Q1ABC");
  decode("WSJT-X", "Q1ABC Q3OLD -12");
  decode("WSJT-X", "CQ Q9NONE JO22");
  decode("JTDX", "CQ Q1NEED JO62");
  decode("WSJT-X", "Q2XY <Q1NEED> RR73");  // the same state again
  EXPECT_EQ(received(), (std::vector<Bytes>{highlight("WSJT-X", "Q1NEED", 0xff5050),
                                            highlight("WSJT-X", "Q1ABC", 0xc0c0c0),
                                            highlight("WSJT-X", "Q3OLD", 0xffd040)}));
  form.mnuHighlight_Click();
  auto clears = received();
  std::vector<Bytes> wanted{highlight("WSJT-X", "Q1ABC", {}), highlight("WSJT-X", "Q1NEED", {}),
                            highlight("WSJT-X", "Q3OLD", {})};
  std::sort(clears.begin(), clears.end());
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(clears, wanted);
  decode("WSJT-X", "CQ Q1ABC");
  EXPECT_TRUE(received().empty());
}

TEST_F(HighlightForm, ALogAppendedWhileFollowingChangesAState) {
  decode("WSJT-X", "CQ Q1NEED JO62");
  EXPECT_EQ(received(), std::vector<Bytes>{highlight("WSJT-X", "Q1NEED", 0xff5050)});
  std::ofstream(log, std::ios::app) << line("Q1NEED", "144.174");
  ASSERT_TRUE(form.highlightIndex()->settle(std::chrono::seconds(10)));
  send(link::encodeHeartbeat({"WSJT-X", 3, "2.7.0", ""}).bytes());
  EXPECT_EQ(received(), std::vector<Bytes>{highlight("WSJT-X", "Q1NEED", 0xc0c0c0)});
  form.mnuFollow_Click();  // following off takes the colours back too
  EXPECT_EQ(received(), std::vector<Bytes>{highlight("WSJT-X", "Q1NEED", {})});
}

}  // namespace
}  // namespace orvanta
