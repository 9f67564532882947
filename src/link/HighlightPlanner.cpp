#include "link/HighlightPlanner.h"

#include <array>
#include <utility>

#include "link/DecodeCall.h"
#include "records/Text.h"
#include "search/WorkedBefore.h"

namespace orvanta {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char upper = upperAscii(c);
  if (upper >= 'A' && upper <= 'F') return upper - 'A' + 10;
  return -1;
}

std::string_view stateName(CallState state) {
  switch (state) {
    case CallState::Needed:
      return "needed";
    case CallState::NewSlot:
      return "newslot";
    case CallState::Worked:
      return "worked";
    case CallState::None:
      break;
  }
  return "clear";
}

// JTDX reads the message but does not carry it out.
bool mayColour(const std::string& id) { return !id.starts_with("JTDX"); }

}  // namespace

std::optional<Rgb> parseColour(std::string_view text) {
  text = trimBlanks(text);
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  std::array<std::uint8_t, 3> parts{};
  for (std::size_t i = 0; i < 3; ++i) {
    const int high = hexDigit(text[1 + 2 * i]);
    const int low = hexDigit(text[2 + 2 * i]);
    if (high < 0 || low < 0) return std::nullopt;
    parts[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return Rgb{parts[0], parts[1], parts[2]};
}

std::string colourText(const Rgb& colour) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  std::string text = "#";
  for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
    text += kDigits[part >> 4];
    text += kDigits[part & 0x0F];
  }
  return text;
}

HighlightColours HighlightColours::fromSettings(
    const std::function<std::string(std::string_view key)>& read) {
  HighlightColours colours;
  const auto take = [&](std::string_view key, Rgb& colour) {
    if (const auto stored = parseColour(read(key))) colour = *stored;
  };
  take(kColourNeededKey, colours.needed);
  take(kColourNewSlotKey, colours.newSlot);
  take(kColourWorkedKey, colours.worked);
  return colours;
}

std::optional<Rgb> HighlightColours::of(CallState state) const {
  switch (state) {
    case CallState::Needed:
      return needed;
    case CallState::NewSlot:
      return newSlot;
    case CallState::Worked:
      return worked;
    case CallState::None:
      break;
  }
  return std::nullopt;
}

std::string highlightLine(const HighlightAction& action) {
  return "highlight\t" + action.id + '\t' + action.call + '\t' + std::string(stateName(action.state)) + '\t' +
         (action.background ? colourText(*action.background) : "-");
}

// ---- HighlightPlanner ----

HighlightPlanner::HighlightPlanner(StateLookup lookup, HighlightColours colours)
    : lookup_(std::move(lookup)), colours_(colours) {}

// Nothing while the state cannot be told: what is in place stays. Without a
// band (a dial frequency outside every band) or a mode no call is coloured.
std::optional<CallState> HighlightPlanner::stateNow(const std::string& id, const std::string& call) const {
  const auto slot = slots_.find(id);
  if (slot == slots_.end() || !slot->second.band || slot->second.mode.empty()) return CallState::None;
  return lookup_(call, *slot->second.band, slot->second.mode);
}

bool HighlightPlanner::takeRoom(Clock::time_point now) {
  while (!recent_.empty() && recent_.front() < now - std::chrono::seconds(1)) recent_.pop_front();
  if (recent_.size() >= kMostPerSecond) return false;
  recent_.push_back(now);
  return true;
}

void HighlightPlanner::plan(const Target& target, const std::string& call, std::optional<CallState> state,
                            Clock::time_point now, std::vector<HighlightAction>& out) {
  if (!state) return;
  auto& calls = sent_[target];
  const auto it = calls.find(call);
  const CallState before = it == calls.end() ? CallState::None : it->second;
  if (*state == before) return;
  // Held back by the rate, the call is planned again at its next decode.
  if (!takeRoom(now)) return;
  out.push_back(HighlightAction{target.id, call, *state, colours_.of(*state), target.to});
  if (*state == CallState::None) {
    calls.erase(call);
  } else {
    calls[call] = *state;
  }
}

void HighlightPlanner::reviewWhere(const std::function<bool(const Target&)>& which, bool resend,
                                   Clock::time_point now, std::vector<HighlightAction>& out) {
  std::vector<std::pair<Target, std::string>> calls;
  for (const auto& [target, states] : sent_) {
    if (!which(target)) continue;
    for (const auto& [call, state] : states) calls.emplace_back(target, call);
  }
  for (auto& [target, call] : calls) {
    const std::optional<CallState> state = stateNow(target.id, call);
    if (resend && state && *state != CallState::None) sent_[target].erase(call);  // sent anew
    plan(target, call, state, now, out);
  }
}

std::vector<HighlightAction> HighlightPlanner::onStatus(const std::string& id, std::uint64_t dialFrequencyHz,
                                                        std::string_view mode, Clock::time_point now) {
  std::vector<HighlightAction> out;
  if (!mayColour(id)) return out;
  Slot slot{bandOfFrequency(static_cast<double>(dialFrequencyHz) / 1e6), std::string(trimBlanks(mode))};
  for (char& c : slot.mode) c = upperAscii(c);
  auto [it, added] = slots_.try_emplace(id, slot);
  if (!added && it->second.band == slot.band && it->second.mode == slot.mode) return out;
  it->second = std::move(slot);
  reviewWhere([&](const Target& target) { return target.id == id; }, false, now, out);
  return out;
}

std::vector<HighlightAction> HighlightPlanner::onDecode(const SeenDecode& decode, Clock::time_point now) {
  std::vector<HighlightAction> out;
  if (!decode.isNew || !mayColour(decode.id)) return out;
  const std::string call = callingStation(decode.message);
  if (call.empty()) return out;
  plan(Target{decode.id, decode.from}, call, stateNow(decode.id, call), now, out);
  return out;
}

std::vector<HighlightAction> HighlightPlanner::review(Clock::time_point now) {
  std::vector<HighlightAction> out;
  reviewWhere([](const Target&) { return true; }, false, now, out);
  return out;
}

std::vector<HighlightAction> HighlightPlanner::setColours(const HighlightColours& colours,
                                                          Clock::time_point now) {
  std::vector<HighlightAction> out;
  const bool changed = !(colours.needed == colours_.needed && colours.newSlot == colours_.newSlot &&
                         colours.worked == colours_.worked);
  colours_ = colours;
  if (changed) reviewWhere([](const Target&) { return true; }, true, now, out);
  return out;
}

std::vector<HighlightAction> HighlightPlanner::clearAll() {
  std::vector<HighlightAction> out;
  for (const auto& [target, states] : sent_) {
    for (const auto& [call, state] : states) {
      out.push_back(HighlightAction{target.id, call, CallState::None, std::nullopt, target.to});
    }
  }
  sent_.clear();
  return out;
}

void HighlightPlanner::forget(const std::string& id) {
  std::erase_if(sent_, [&](const auto& entry) { return entry.first.id == id; });
  slots_.erase(id);
}

std::size_t HighlightPlanner::coloured() const {
  std::size_t count = 0;
  for (const auto& [target, states] : sent_) count += states.size();
  return count;
}

}  // namespace orvanta
