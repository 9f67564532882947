#include "link/Follow.h"

#include <array>
#include <cstdio>
#include <utility>

#include "platform/FileSystem.h"
#include "records/Adif.h"
#include "records/Text.h"
#include "search/WorkedBefore.h"

namespace orvanta::link {
namespace {

// Reasons are few; a flood of odd ones is counted under one more.
constexpr std::size_t kMaxReasons = 32;
// A station runs a few instances; datagrams with ever new Ids must not make
// memory grow.
constexpr std::size_t kMaxInstances = 64;
// Contacts logged meanwhile are in the log files long before this many.
constexpr std::size_t kMaxLogged = 10'000;

// The text of a Logged ADIF message as a file to read.
class TextInput final : public IInputFile {
 public:
  explicit TextInput(std::string_view text) : text_(text) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = text_.copy(buffer, size, pos_);
    pos_ += n;
    return n;
  }
  [[nodiscard]] std::optional<std::uint64_t> size() const override { return text_.size(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string withoutCommas(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == ',' || c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::optional<LoggedContact> fromLogLine(std::string line, std::string_view adifBand) {
  const auto contact = contactOfLogLine(line, adifBand);
  if (!contact || cleanCall(contact->call).empty()) return std::nullopt;
  LoggedContact out;
  out.call = cleanCall(contact->call);
  out.grid = contact->grid;
  out.band = contact->band ? std::string(adifBands()[*contact->band].name) : std::string();
  out.mode = contact->mode;
  out.logLine = std::move(line);
  return out;
}

std::string contactKey(const LoggedContact& contact) {
  const auto fields = contactOfLogLine(contact.logLine);
  std::string key = contact.call + '\x1F' + contact.band + '\x1F';
  if (!fields) return key;
  for (const char c : fields->date) {
    if (c >= '0' && c <= '9') key.push_back(c);
  }
  key.push_back(' ');
  std::size_t digits = 0;
  for (const char c : fields->time) {
    if (c >= '0' && c <= '9' && digits++ < 4) key.push_back(c);
  }
  return key;
}

}  // namespace

std::string bandOfDial(std::uint64_t hertz) {
  const auto band = bandOfFrequency(static_cast<double>(hertz) / 1e6);
  return band ? std::string(adifBands()[*band].name) : std::string();
}

std::optional<LoggedContact> contactOf(const QsoLogged& m) {
  std::array<char, 32> mhz{};
  std::snprintf(mhz.data(), mhz.size(), "%.6f", static_cast<double>(m.txFrequency) / 1e6);
  // The wsjtx.log layout: date and time on, date and time off, call, grid,
  // MHz, mode, reports, power, comments, name, propagation mode.
  std::string line = m.timeOn.dateText() + ',' + m.timeOn.timeText() + ',' + m.timeOff.dateText() + ',' +
                     m.timeOff.timeText() + ',' + withoutCommas(cleanCall(m.dxCall)) + ',' +
                     withoutCommas(trimBlanks(m.dxGrid)) + ',' + mhz.data() + ',' + withoutCommas(m.mode) +
                     ',' + withoutCommas(m.reportSent) + ',' + withoutCommas(m.reportReceived) + ',' +
                     withoutCommas(m.txPower) + ',' + withoutCommas(m.comments) + ',' +
                     withoutCommas(m.name) + ',' + withoutCommas(m.propagationMode);
  return fromLogLine(std::move(line), {});
}

std::optional<LoggedContact> contactOf(const LoggedAdif& m) {
  TextInput input(m.adif);
  AdifReader reader(input);
  AdifRecord record;
  try {
    if (!reader.next(record)) return std::nullopt;
  } catch (const FileError&) {
    return std::nullopt;
  }
  std::string line;
  appendLogLine(record, line);
  return fromLogLine(std::move(line), record[AdifField::Band]);
}

Instance* FollowState::slot(const std::string& id) {
  if (instances_.size() >= kMaxInstances && !instances_.contains(id)) {
    ignored("more than " + std::to_string(kMaxInstances) + " instances");
    return nullptr;
  }
  return &instances_[id];
}

bool FollowState::status(const Status& message) {
  Instance* const slotted = slot(message.id);
  if (slotted == nullptr) return false;
  Instance& instance = *slotted;
  instance.id = message.id;
  instance.closed = false;
  instance.dxGrid = std::string(trimBlanks(message.dxGrid));
  instance.deGrid = std::string(trimBlanks(message.deGrid));
  instance.band = bandOfDial(message.dialFrequency);
  instance.mode = message.mode;
  currentId_ = message.id;
  std::string call = cleanCall(message.dxCall);
  if (call == instance.dxCall) return false;
  instance.dxCall = std::move(call);
  return !instance.dxCall.empty();
}

void FollowState::close(const std::string& id) {
  Instance* const slotted = slot(id);
  if (slotted == nullptr) return;
  Instance& instance = *slotted;
  instance.id = id;
  instance.closed = true;
  // A restarted instance shows its DX call again.
  instance.dxCall.clear();
  currentId_ = id;
}

const Instance* FollowState::instance(const std::string& id) const {
  const auto it = instances_.find(id);
  return it == instances_.end() ? nullptr : &it->second;
}

std::optional<std::string> FollowState::takePending() { return std::exchange(pending_, std::nullopt); }

bool FollowState::logged(const LoggedContact& contact) {
  if (!loggedKeys_.insert(contactKey(contact)).second) return false;
  if (logged_.size() >= kMaxLogged) {
    // The oldest tenth goes; WSJT-X's log files hold those contacts by now.
    const auto end = logged_.begin() + kMaxLogged / 10;
    for (auto it = logged_.begin(); it != end; ++it) loggedKeys_.erase(contactKey(*it));
    logged_.erase(logged_.begin(), end);
  }
  logged_.push_back(contact);
  return true;
}

void FollowState::ignored(const std::string& reason) {
  if (ignored_.size() < kMaxReasons || ignored_.contains(reason)) {
    ++ignored_[reason];
  } else {
    ++ignored_["other"];
  }
}

void FollowState::seen(const std::string& id) {
  Instance* const slotted = slot(id);
  if (slotted == nullptr) return;
  Instance& instance = *slotted;
  instance.id = id;
  instance.closed = false;
  currentId_ = id;
}

void FollowState::reset() {
  instances_.clear();
  currentId_.clear();
  pending_.reset();
  pendingAdds_.clear();
  ignored_.clear();
}

}  // namespace orvanta::link
