#pragma once

// Decides which calls in WSJT-X's band activity list get which colour: for
// every new decode the calling station's state on the band and in the mode
// of its instance, sent again only when that state changes, and every colour
// taken back when the operator switches colouring off. It only plans; the
// caller sends what it returns.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/CallIndex.h"

namespace orvanta {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// "#RRGGBB", hexadecimal digits in any letter case, blanks around allowed;
// nothing for anything else.
std::optional<Rgb> parseColour(std::string_view text);
// "#rrggbb".
std::string colourText(const Rgb& colour);

// The settings key of the option ("1" on, "0" or absent off).
inline constexpr std::string_view kHighlightKey = "Highlight";
// The settings keys of the three colours and their defaults.
inline constexpr std::string_view kColourNeededKey = "ColorNeeded";
inline constexpr std::string_view kColourNewSlotKey = "ColorNewSlot";
inline constexpr std::string_view kColourWorkedKey = "ColorWorked";
inline constexpr std::string_view kDefaultColourNeeded = "#ff5050";
inline constexpr std::string_view kDefaultColourNewSlot = "#ffd040";
inline constexpr std::string_view kDefaultColourWorked = "#c0c0c0";

struct HighlightColours {
  Rgb needed{0xff, 0x50, 0x50};
  Rgb newSlot{0xff, 0xd0, 0x40};
  Rgb worked{0xc0, 0xc0, 0xc0};
  // The colours stored under the keys; a missing or malformed one keeps its
  // default. read(key) gives the stored text, empty when there is none.
  static HighlightColours fromSettings(const std::function<std::string(std::string_view key)>& read);
  [[nodiscard]] std::optional<Rgb> of(CallState state) const;
};

// Where a decode came from, and so where its colours go.
struct HighlightDestination {
  std::string address;
  std::uint16_t port = 0;
  // NOLINTNEXTLINE(modernize-use-nullptr): the 0 clang-tidy sees is the defaulted comparison's own.
  friend auto operator<=>(const HighlightDestination&, const HighlightDestination&) = default;
};

struct SeenDecode {
  std::string id;  // the instance, "WSJT-X - rig2"
  std::string message;
  HighlightDestination from;
  bool isNew = true;  // false for a decode WSJT-X replays
};

// One Highlight Callsign message to send: the call with a background colour,
// or, for CallState::None, without colours (WSJT-X then clears it).
struct HighlightAction {
  std::string id;
  std::string call;
  CallState state = CallState::None;
  std::optional<Rgb> background;
  HighlightDestination to;
};

// "highlight ID CALL needed|newslot|worked|clear #rrggbb" separated by TABs,
// "-" for the colour of a clear.
std::string highlightLine(const HighlightAction& action);

class HighlightPlanner {
 public:
  using Clock = std::chrono::steady_clock;
  // The state of a valid call on a band (index of adifBands()) in a mode;
  // nothing while it cannot be told yet.
  using StateLookup =
      std::function<std::optional<CallState>(std::string_view call, std::size_t band, std::string_view mode)>;

  // No more than this many messages in any one second, clears on switching
  // off aside.
  static constexpr std::size_t kMostPerSecond = 200;

  explicit HighlightPlanner(StateLookup lookup, HighlightColours colours = {});

  // An instance's Status: a new band or mode changes what its coloured calls
  // mean, so they are looked at again.
  std::vector<HighlightAction> onStatus(const std::string& id, std::uint64_t dialFrequencyHz,
                                        std::string_view mode, Clock::time_point now);
  std::vector<HighlightAction> onDecode(const SeenDecode& decode, Clock::time_point now);
  // Looks at every coloured call again: the index learned a contact, or the
  // base-call option changed.
  std::vector<HighlightAction> review(Clock::time_point now);
  // New colours: every coloured call is sent again with its new colour.
  std::vector<HighlightAction> setColours(const HighlightColours& colours, Clock::time_point now);
  // A clear for every call coloured, per instance and sender, and nothing
  // remembered as coloured afterwards.
  std::vector<HighlightAction> clearAll();
  // The instance has closed, and its colours with it.
  void forget(const std::string& id);

  // Calls coloured now, over every instance.
  [[nodiscard]] std::size_t coloured() const;

 private:
  struct Target {
    std::string id;
    HighlightDestination to;
    // NOLINTNEXTLINE(modernize-use-nullptr): the 0 clang-tidy sees is the defaulted comparison's own.
    friend auto operator<=>(const Target&, const Target&) = default;
  };
  struct Slot {
    std::optional<std::size_t> band;
    std::string mode;
  };
  [[nodiscard]] std::optional<CallState> stateNow(const std::string& id, const std::string& call) const;
  // Sends when the state differs from the one sent and the rate allows.
  void plan(const Target& target, const std::string& call, std::optional<CallState> state,
            Clock::time_point now, std::vector<HighlightAction>& out);
  void reviewWhere(const std::function<bool(const Target&)>& which, bool resend, Clock::time_point now,
                   std::vector<HighlightAction>& out);
  bool takeRoom(Clock::time_point now);

  StateLookup lookup_;
  HighlightColours colours_;
  std::map<std::string, Slot> slots_;                        // by instance Id
  std::map<Target, std::map<std::string, CallState>> sent_;  // the colours in place
  std::deque<Clock::time_point> recent_;                     // sends of the last second
};

}  // namespace orvanta
