#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/HighlightPlanner.h"

namespace orvanta {
namespace {

using Clock = HighlightPlanner::Clock;
using std::chrono::milliseconds;

const HighlightDestination kWsjtx{"127.0.0.1", 2237};
constexpr std::uint64_t k2m = 144174000;
constexpr std::uint64_t k6m = 50313000;

// States by "CALL BAND MODE"; a call missing from the table is told as None,
// and everything is unknown while `ready` is false.
struct Table {
  std::map<std::string, CallState> states;
  bool ready = true;
  std::optional<CallState> operator()(std::string_view call, std::size_t band, std::string_view mode) const {
    if (!ready) return std::nullopt;
    const auto it =
        states.find(std::string(call) + ' ' + std::string(adifBands()[band].name) + ' ' + std::string(mode));
    return it == states.end() ? CallState::None : it->second;
  }
};

struct Rig {
  Table table;
  HighlightPlanner planner{[this](auto call, auto band, auto mode) { return table(call, band, mode); }};
  Clock::time_point now{};
  [[nodiscard]] static std::vector<std::string> lines(const std::vector<HighlightAction>& actions) {
    std::vector<std::string> out;
    out.reserve(actions.size());
    for (const auto& action : actions) out.push_back(highlightLine(action));
    return out;
  }
  std::vector<std::string> decode(const std::string& message, const std::string& id = "WSJT-X",
                                  bool isNew = true) {
    return lines(planner.onDecode(SeenDecode{id, message, kWsjtx, isNew}, now));
  }
};

using Lines = std::vector<std::string>;

TEST(HighlightPlanner, SendsOnlyWhenTheStateChangesAndClearsWhenItEnds) {
  Rig rig;
  rig.table.states["Q1ABC 2m FT8"] = CallState::Needed;
  EXPECT_EQ(rig.decode("CQ Q1ABC JO62"), Lines{}) << "no Status yet";
  EXPECT_EQ(rig.lines(rig.planner.onStatus("WSJT-X", k2m, "FT8", rig.now)), Lines{});
  EXPECT_EQ(rig.decode("CQ Q1ABC JO62"), Lines{"highlight\tWSJT-X\tQ1ABC\tneeded\t#ff5050"});
  EXPECT_EQ(rig.decode("Q2XY Q1ABC -10"), Lines{});
  EXPECT_EQ(rig.decode("Q2XY Q1ABC -10", "WSJT-X", false), Lines{});
  EXPECT_EQ(rig.decode("CQ Q1ABC JO62", "JTDX"), Lines{});
  EXPECT_EQ(rig.decode("TNX 73 GL"), Lines{});
  rig.table.ready = false;  // the index is being built again: what is in place stays
  EXPECT_EQ(rig.decode("Q2XY Q1ABC RR73"), Lines{});
  EXPECT_EQ(rig.lines(rig.planner.review(rig.now)), Lines{});
  rig.table.ready = true;
  rig.table.states["Q1ABC 2m FT8"] = CallState::Worked;
  EXPECT_EQ(rig.lines(rig.planner.review(rig.now)), Lines{"highlight\tWSJT-X\tQ1ABC\tworked\t#c0c0c0"});
  // Another band: the coloured call is looked at again and cleared.
  EXPECT_EQ(rig.lines(rig.planner.onStatus("WSJT-X", k6m, "FT8", rig.now)),
            Lines{"highlight\tWSJT-X\tQ1ABC\tclear\t-"});
  EXPECT_EQ(rig.decode("CQ Q1ABC JO62"), Lines{});
  rig.table.states["Q1ABC 6m FT8"] = CallState::NewSlot;
  EXPECT_EQ(rig.decode("CQ Q1ABC JO62"), Lines{"highlight\tWSJT-X\tQ1ABC\tnewslot\t#ffd040"});
  EXPECT_EQ(rig.lines(rig.planner.onStatus("WSJT-X", 1000, "FT8", rig.now)),
            Lines{"highlight\tWSJT-X\tQ1ABC\tclear\t-"})
      << "no band, no colours";
}

TEST(HighlightPlanner, AtMost200InAnySecondAndTheRestLater) {
  Rig rig;
  rig.planner.onStatus("WSJT-X", k2m, "FT8", rig.now);
  for (int i = 0; i < 260; ++i) rig.table.states["Q" + std::to_string(i) + "AB 2m FT8"] = CallState::Needed;
  std::size_t sent = 0;
  const auto burst = [&] {
    for (int i = 0; i < 260; ++i) sent += rig.decode("CQ Q" + std::to_string(i) + "AB").size();
  };
  burst();
  EXPECT_EQ(sent, HighlightPlanner::kMostPerSecond);
  rig.now += milliseconds(1000);
  burst();
  EXPECT_EQ(sent, HighlightPlanner::kMostPerSecond) << "still the same second";
  rig.now += milliseconds(1);
  burst();
  EXPECT_EQ(sent, 260U) << "the calls held back go out with their next decode";
  // Switching off clears everything at once, however many.
  EXPECT_EQ(rig.planner.clearAll().size(), 260U);
  EXPECT_EQ(rig.planner.coloured(), 0U);
}

TEST(HighlightPlanner, ClearAllPerInstanceAndSenderNewColoursResent) {
  Rig rig;
  rig.table.states["Q1ABC 2m FT8"] = CallState::Needed;
  rig.table.states["Q1ABC 6m FT8"] = CallState::Worked;
  rig.planner.onStatus("WSJT-X", k2m, "FT8", rig.now);
  rig.planner.onStatus("WSJT-X - rig2", k6m, "ft8 ", rig.now);
  rig.decode("CQ Q1ABC");
  rig.decode("CQ Q1ABC", "WSJT-X - rig2");
  rig.planner.onDecode(SeenDecode{"WSJT-X", "CQ Q1ABC", {"127.0.0.1", 2238}, true}, rig.now);
  HighlightColours colours;
  colours.needed = *parseColour(" #0A0b0C");
  EXPECT_EQ(rig.lines(rig.planner.setColours(colours, rig.now)),
            (Lines{"highlight\tWSJT-X\tQ1ABC\tneeded\t#0a0b0c", "highlight\tWSJT-X\tQ1ABC\tneeded\t#0a0b0c",
                   "highlight\tWSJT-X - rig2\tQ1ABC\tworked\t#c0c0c0"}));
  const auto clears = rig.planner.clearAll();
  ASSERT_EQ(clears.size(), 3U);
  EXPECT_EQ(clears[1].to.port, 2238);
  EXPECT_FALSE(clears[2].background);
  rig.planner.forget("WSJT-X");
  EXPECT_EQ(rig.decode("CQ Q1ABC"), Lines{}) << "a closed instance needs a new Status";
}

TEST(Colours, OnlyHashAndSixHexDigitsElseTheDefault) {
  for (const char* bad : {"", "#ff505", "ff5050", "#ff50500", "#gg5050", "# f5050", "red"}) {
    EXPECT_FALSE(parseColour(bad)) << bad;
  }
  const std::map<std::string_view, std::string> stored{{kColourNeededKey, "#00FF00"},
                                                       {kColourWorkedKey, "grey"}};
  const auto colours = HighlightColours::fromSettings([&](std::string_view key) {
    const auto it = stored.find(key);
    return it == stored.end() ? std::string() : it->second;
  });
  EXPECT_EQ(colourText(colours.needed), "#00ff00");
  EXPECT_EQ(colourText(colours.newSlot), kDefaultColourNewSlot);
  EXPECT_EQ(colourText(colours.worked), kDefaultColourWorked);
}

}  // namespace
}  // namespace orvanta
