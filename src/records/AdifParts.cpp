#include "records/AdifParts.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string_view>
#include <thread>
#include <utility>

#include "records/Text.h"

namespace orvanta {
namespace {

// What the lines given out may hold when a part's first line is taken: a
// part's walk does not know, so it follows all four at once.
constexpr std::array<LinesSoFar, 4> kEntries{LinesSoFar{false, false, false}, LinesSoFar{true, false, false},
                                             LinesSoFar{true, true, false}, LinesSoFar{true, false, true}};

constexpr std::size_t kBatch = 64;        // lines handed over at once
constexpr std::size_t kMaxQueued = 4096;  // lines a part holds until they are taken
// Bytes of lines all parts together hold, queued or gathered for handing
// over, besides the one record each is reading: records of long fields
// must not let the queues grow with the file.
constexpr std::size_t kHeldBytes = std::size_t{64} << 20;
constexpr std::size_t kLookFor = 1 << 20;  // bytes searched for the "<eor>" a part starts after

// The offset right after the first "<eor>", in any letter case, from the
// given offset on; nothing when there is none near.
std::optional<std::uint64_t> afterRecordEnd(const IInputFile& file, std::uint64_t from) {
  const std::unique_ptr<IInputFile> reader = file.readerAt(from);
  if (!reader) return std::nullopt;
  std::string window;
  std::array<char, 1 << 16> buffer{};
  std::size_t looked = 0;
  while (window.size() < kLookFor) {
    const std::size_t n = reader->read(buffer.data(), buffer.size());
    if (n == 0) break;
    window.append(buffer.data(), n);
    for (; looked + 5 <= window.size(); ++looked) {
      if (window[looked] == '<' && equalsIgnoringCase(std::string_view(window).substr(looked, 5), "<EOR>")) {
        return from + looked + 5;
      }
    }
  }
  return std::nullopt;
}

}  // namespace

// A line and the readers that want it: bit i when the reader found the lines
// as kEntries[i] at the part's start.
struct PartLine {
  std::string text;
  unsigned wanted = 0;
};

struct AdifParts::Part {
  std::uint64_t start = 0;
  std::unique_ptr<IInputFile> input;
  std::mutex mutex;
  std::condition_variable_any changed;
  std::deque<PartLine> lines;
  std::size_t bytes = 0;  // of the queued lines' texts
  bool waiting = false;   // the walk waits for room
  bool done = false;
  std::size_t continuesWith = 0;  // the part whose start the walk ended at; count() at the end of the file
  std::exception_ptr error;
  std::jthread thread;
};

namespace {

// The lines a part's walk gathers before handing them over to its queue.
// Of a part's share of the held bytes two thirds may be queued, one third
// gathered here.
struct Batch {
  std::vector<PartLine> lines;
  std::size_t bytes = 0;
  std::size_t share = 0;

  void add(PartLine line) {
    bytes += line.text.size();
    lines.push_back(std::move(line));
  }
  [[nodiscard]] bool full() const { return lines.size() == kBatch || bytes >= share / 3; }
  // Under the part's lock.
  void moveTo(AdifParts::Part& part) {
    std::move(lines.begin(), lines.end(), std::back_inserter(part.lines));
    part.bytes += bytes;
    lines.clear();
    bytes = 0;
  }
  // Waits until the queue has room (or is empty), then hands the lines over.
  void handOver(AdifParts::Part& part, const std::stop_token& stop) {
    std::unique_lock lock(part.mutex);
    part.waiting = true;
    part.changed.wait(lock, stop, [&] {
      return part.lines.empty() || (part.lines.size() < kMaxQueued && part.bytes + bytes <= share / 3 * 2);
    });
    part.waiting = false;
    moveTo(part);
    lock.unlock();
    part.changed.notify_all();
  }
};

}  // namespace

AdifSplit AdifSplit::automatic() {
  const unsigned cores = std::thread::hardware_concurrency();
  return AdifSplit{std::clamp<std::size_t>(cores, 1, 8), std::uint64_t{8} << 20};
}

std::unique_ptr<AdifParts> AdifParts::open(const IInputFile& file, const RawTextFilter& filter,
                                           const AdifSplit& split) {
  const std::optional<std::uint64_t> size = file.size();
  if (!size || split.parts < 2) return nullptr;
  const auto count = static_cast<std::size_t>(
      std::min<std::uint64_t>(split.parts, *size / std::max<std::uint64_t>(split.minPartBytes, 1)));
  if (count < 2) return nullptr;
  std::vector<std::uint64_t> starts{0};
  for (std::size_t k = 1; k < count; ++k) {
    const std::optional<std::uint64_t> start = afterRecordEnd(file, *size / count * k);
    if (start && *start > starts.back() && *start < *size) starts.push_back(*start);
  }
  if (starts.size() < 2) return nullptr;
  std::vector<std::unique_ptr<IInputFile>> readers;
  for (const std::uint64_t start : starts) {
    readers.push_back(file.readerAt(start));
    if (!readers.back()) return nullptr;
  }
  return std::unique_ptr<AdifParts>(new AdifParts(filter, starts, std::move(readers)));
}

AdifParts::AdifParts(RawTextFilter filter, const std::vector<std::uint64_t>& starts,
                     std::vector<std::unique_ptr<IInputFile>> readers)
    : filter_(std::move(filter)), wanted_(1U << 0) {
  for (std::size_t i = 0; i < starts.size(); ++i) {
    auto part = std::make_unique<Part>();
    part->start = starts[i];
    part->input = std::move(readers[i]);
    parts_.push_back(std::move(part));
  }
  // Every part's start is known before any walk looks for it.
  try {
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      parts_[i]->thread = std::jthread([this, i](const std::stop_token& stop) { walkPart(i, stop); });
    }
  } catch (...) {
    stopAll();
    throw;
  }
}

AdifParts::~AdifParts() { stopAll(); }

// Every walk ends before any part goes: a walk looks at later parts' starts.
void AdifParts::stopAll() {
  for (const auto& part : parts_) part->thread.request_stop();
  for (const auto& part : parts_) {
    if (part->thread.joinable()) part->thread.join();
  }
}

// Walks a part from its start until its walk ends a record right at a later
// part's start, or the file ends; the lines any reader may want are handed
// over as they come.
// NOLINTNEXTLINE(readability-function-cognitive-complexity): hot ADIF read loop, kept whole for speed
void AdifParts::walkPart(std::size_t index, const std::stop_token& stop) {
  Part& part = *parts_[index];
  Batch batch{{}, 0, kHeldBytes / parts_.size()};
  std::size_t reached = parts_.size();
  std::exception_ptr error;
  try {
    AdifReader reader(*part.input);
    if (index > 0) reader.startAfterRecord(part.start);
    std::array<LinesSoFar, kEntries.size()> seen = kEntries;
    std::size_t target = index + 1;
    WalkedRecord walked;
    AdifRecord record;
    while (!stop.stop_requested() && reader.walk(filter_, walked)) {
      unsigned wanted = 0;
      for (std::size_t i = 0; i < seen.size(); ++i) wanted |= seen[i].mustRead(walked) ? 1U << i : 0U;
      if (wanted != 0 && reader.readWalked(record)) {
        PartLine line{{}, wanted};
        appendLogLine(record, line.text);
        for (std::size_t i = 0; i < seen.size(); ++i) {
          if ((wanted >> i & 1U) != 0) seen[i].add(line.text);
        }
        batch.add(std::move(line));
        if (batch.full()) batch.handOver(part, stop);
      }
      const std::uint64_t at = reader.offset();
      while (target < parts_.size() && parts_[target]->start < at) ++target;
      if (target < parts_.size() && parts_[target]->start == at) {
        reached = target;
        break;
      }
    }
  } catch (...) {
    error = std::current_exception();
  }
  {
    const std::lock_guard lock(part.mutex);
    batch.moveTo(part);
    part.done = true;
    part.continuesWith = reached;
    part.error = error;
  }
  part.changed.notify_all();
}

bool AdifParts::next(const LinesSoFar& lines, std::string& line) {
  while (current_ < parts_.size()) {
    Part& part = *parts_[current_];
    std::unique_lock lock(part.mutex);
    part.changed.wait(lock, [&] { return !part.lines.empty() || part.done; });
    if (!part.lines.empty()) {
      PartLine taken = std::move(part.lines.front());
      part.lines.pop_front();
      part.bytes -= taken.text.size();
      const bool room = part.waiting;
      lock.unlock();
      if (room) part.changed.notify_all();
      if ((taken.wanted & wanted_) == 0) continue;
      line = std::move(taken.text);
      return true;
    }
    if (part.error) std::rethrow_exception(part.error);
    const std::size_t following = part.continuesWith;
    lock.unlock();
    moveTo(following, lines);
  }
  return false;
}

// Goes on with the lines of the part the current one's walk ended at; the
// parts in between were walked by it, so theirs are not wanted.
void AdifParts::moveTo(std::size_t index, const LinesSoFar& lines) {
  for (std::size_t skipped = current_ + 1; skipped < index; ++skipped) parts_[skipped]->thread.request_stop();
  current_ = index;
  const auto* const entry = std::find(kEntries.begin(), kEntries.end(), lines);
  wanted_ = 1U << static_cast<unsigned>(entry - kEntries.begin());
}

}  // namespace orvanta
