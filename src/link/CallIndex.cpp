#include "link/CallIndex.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <utility>

#include "maintenance/Merge.h"
#include "records/Adif.h"
#include "records/NormalizeRecord.h"
#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

constexpr std::size_t kKeyBytes = 16;  // the most a CallKey holds
constexpr std::uint32_t kNoBand = 0xFF;

std::string upperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upperAscii(c);
  return out;
}

std::uint32_t bandNumber(std::optional<std::size_t> band) {
  return band ? static_cast<std::uint32_t>(*band) : kNoBand;
}

// Reads a file's bytes up to a limit.
class Limited final : public IInputFile {
 public:
  Limited(IInputFile& file, std::uint64_t bytes) : file_(file), left_(bytes) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = file_.read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(size, left_)));
    left_ -= n;
    return n;
  }

 private:
  IInputFile& file_;
  std::uint64_t left_;
};

// Just past the last mark (upper case, any letter case in the file) in
// [from, size), looked for from the end; `from` when there is none, `size`
// when the file cannot be read from an offset.
std::uint64_t lastUnitEnd(const IInputFile& file, std::uint64_t from, std::uint64_t size,
                          std::string_view mark) {
  constexpr std::uint64_t kChunk = std::uint64_t{1} << 16;
  std::string chunk;
  for (std::uint64_t end = size; end > from;) {
    const std::uint64_t start = end - std::min(end - from, kChunk);
    const auto reader = file.readerAt(start);
    if (!reader) return size;
    chunk.resize(static_cast<std::size_t>(end - start));
    std::size_t got = 0;
    while (got < chunk.size()) {
      const std::size_t n = reader->read(chunk.data() + got, chunk.size() - got);
      if (n == 0) break;
      got += n;
    }
    chunk.resize(got);
    for (char& c : chunk) c = upperAscii(c);
    const std::size_t at = chunk.rfind(mark);
    if (at != std::string::npos) return start + at + mark.size();
    if (start == from) break;
    end = start + mark.size() - 1;  // a mark across the edge is found in the next chunk
  }
  return from;
}

void skipBytes(IInputFile& file, std::uint64_t bytes) {
  std::array<char, 1 << 16> skipped{};
  while (bytes > 0) {
    const std::size_t n =
        file.read(skipped.data(), static_cast<std::size_t>(std::min<std::uint64_t>(bytes, skipped.size())));
    if (n == 0) return;
    bytes -= n;
  }
}

// A file written to in the last moments may end in a line or record still
// being written.
bool isSettled(const std::optional<FileStatus>& status) {
  using namespace std::chrono;
  const auto now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
  return status && now - status->modifiedNs > duration_cast<nanoseconds>(seconds(2)).count();
}

std::optional<FileStatus> statusOf(const IFileSystem& files, const std::string& path) {
  try {
    return files.status(path);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

bool sameStatus(const std::optional<FileStatus>& a, const std::optional<FileStatus>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return a->sameContentAs(*b);
}

}  // namespace

// ---- WorkedSets ----

// Modes beyond the 65,535th of a broken log share one number that nothing asks for.
std::uint32_t WorkedSets::modeNumber(std::string_view mode) {
  const auto it = modes_.find(std::string(mode));
  if (it != modes_.end()) return it->second;
  if (modes_.size() >= kOtherMode) return kOtherMode;
  return modes_.emplace(mode, static_cast<std::uint32_t>(modes_.size())).first->second;
}

namespace {

// Puts hash (never 0) into the open-addressing table unless it is there;
// the table always has a free slot. Whether it was new.
bool insertHash(std::vector<std::uint64_t>& table, std::uint64_t hash) {
  const std::size_t mask = table.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(hash * 0x9E3779B97F4A7C15U >> 20) & mask;;
       at = (at + 1) & mask) {
    if (table[at] == hash) return false;
    if (table[at] == 0) {
      table[at] = hash;
      return true;
    }
  }
}

}  // namespace

bool WorkedSets::firstTime(std::uint64_t hash) {
  if ((contacts_ + 1) * 2 > seen_.size()) {
    std::vector<std::uint64_t> old(std::max<std::size_t>(1024, seen_.size() * 2));
    old.swap(seen_);
    for (const std::uint64_t known : old) {
      if (known != 0) insertHash(seen_, known);
    }
  }
  if (!insertHash(seen_, hash == 0 ? 1 : hash)) return false;
  ++contacts_;
  return true;
}

bool WorkedSets::add(const WorkedContact& contact) {
  if (contact.call.empty()) return false;
  if (!firstTime(std::hash<std::string>{}(contactIdentity(contact)))) return false;
  const std::string call = upperCopy(contact.call);
  const std::string_view base = baseCall(call);
  if (base.empty() || base.size() > kKeyBytes) return true;
  const Worked worked{makeCallKey(std::string_view(call).substr(0, kKeyBytes)),
                      bandNumber(contact.band) << 16 | modeNumber(contact.mode.empty() ? "?" : contact.mode)};
  auto& list = byBase_[makeCallKey(base)];
  const bool known = std::any_of(list.begin(), list.end(), [&](const Worked& w) {
    return w.call == worked.call && w.slot == worked.slot;
  });
  if (!known) list.push_back(worked);
  return true;
}

WorkedSets::Answer WorkedSets::find(std::string_view call, std::size_t band, std::string_view mode,
                                    bool baseCalls) const {
  Answer answer;
  const std::string_view base = baseCall(call);
  if (call.size() > kKeyBytes || base.empty()) return answer;
  const auto it = byBase_.find(makeCallKey(base));
  if (it == byBase_.end()) return answer;
  const auto known = modes_.find(std::string(mode));
  const std::uint32_t wanted =
      known == modes_.end() ? ~std::uint32_t{0} : bandNumber(band) << 16 | known->second;
  const CallKey full = makeCallKey(call);
  for (const Worked& worked : it->second) {
    if (!baseCalls && !(worked.call == full)) continue;
    answer.any = true;
    answer.here = answer.here || worked.slot == wanted;
  }
  return answer;
}

bool DatabaseCalls::holds(const CallKey& call) const {
  return std::binary_search(calls.begin(), calls.end(), call);
}

// ---- CallIndex ----

CallIndex::CallIndex(const IFileSystem& files, std::chrono::milliseconds pollInterval)
    : files_(files),
      pollInterval_(pollInterval),
      worker_([this](const std::stop_token& stop) { run(stop); }) {}

CallIndex::~CallIndex() {
  worker_.request_stop();
  wake_.notify_all();
}

void CallIndex::start(std::vector<std::string> databases, std::vector<std::string> logs) {
  const std::lock_guard lock(mutex_);
  request_.databases = std::move(databases);
  request_.logs = std::move(logs);
  wanted_.store(++request_.build, std::memory_order_release);
  ready_.store(false, std::memory_order_release);
  version_.fetch_add(1, std::memory_order_acq_rel);
  wake_.notify_all();
}

void CallIndex::addContact(const WorkedContact& contact) {
  const std::lock_guard lock(mutex_);
  linked_.push_back(contact);
  if (worked_ && worked_->add(contact)) version_.fetch_add(1, std::memory_order_acq_rel);
}

void CallIndex::refresh() {
  const std::lock_guard lock(mutex_);
  ++request_.look;
  wake_.notify_all();
}

bool CallIndex::settle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = ++request_.look;
  wake_.notify_all();
  return settled_.wait_for(lock, timeout, [&] { return looked_ >= target; });
}

std::optional<CallState> CallIndex::state(std::string_view call, std::size_t band, std::string_view mode,
                                          bool baseCalls) const {
  if (!ready()) return std::nullopt;
  if (call.size() > kKeyBytes) return CallState::None;
  const CallKey key = makeCallKey(call);
  const std::lock_guard lock(mutex_);
  if (!ready_.load(std::memory_order_relaxed) || !worked_) return std::nullopt;
  const bool listed = std::any_of(databases_.begin(), databases_.end(),
                                  [&](const auto& database) { return database->holds(key); });
  const WorkedSets::Answer worked = worked_->find(call, band, mode, baseCalls);
  if (worked.here) return CallState::Worked;
  if (listed) return CallState::Needed;
  return worked.any ? CallState::NewSlot : CallState::None;
}

CallIndex::Figures CallIndex::figures() const {
  const std::lock_guard lock(mutex_);
  Figures figures;
  std::vector<CallKey> all;
  for (const auto& database : databases_) {
    std::vector<CallKey> merged;
    std::set_union(all.begin(), all.end(), database->calls.begin(), database->calls.end(),
                   std::back_inserter(merged));
    all = std::move(merged);
  }
  figures.calls = all.size();
  figures.contacts = worked_ ? worked_->contacts() : 0;
  return figures;
}

std::vector<std::pair<std::string, std::string>> CallIndex::unreadable() const {
  const std::lock_guard lock(mutex_);
  return unreadable_;
}

// ---- the worker ----

void CallIndex::run(const std::stop_token& stop) {
  stop_ = stop;
  std::uint64_t built = 0;
  std::unique_lock lock(mutex_);
  while (!stop.stop_requested()) {
    wake_.wait_for(lock, stop, pollInterval_,
                   [&] { return request_.build != built || request_.look != looked_; });
    if (stop.stop_requested()) break;
    const Request request = request_;
    lock.unlock();
    bool done = true;
    if (request.build != built) {
      building_ = request.build;
      done = build(request);
      if (done) built = request.build;
    } else if (built != 0) {
      look();
    }
    lock.lock();
    if (done) looked_ = std::max(looked_, request.look);
    settled_.notify_all();
  }
}

bool CallIndex::abandoned() const {
  return stop_.stop_requested() || wanted_.load(std::memory_order_acquire) != building_;
}

bool CallIndex::build(const Request& request) {
  const auto seenOf = [](const std::vector<std::string>& paths) {
    std::vector<Seen> seen(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) seen[i].path = paths[i];
    return seen;
  };
  seenDatabases_ = seenOf(request.databases);
  seenLogs_ = seenOf(request.logs);
  // The logs are read on a second thread while this one reads the databases.
  std::unique_ptr<WorkedSets> worked;
  std::vector<std::shared_ptr<const DatabaseCalls>> databases;
  {
    const std::jthread logs([&] { worked = readAllLogs(); });
    for (auto& seen : seenDatabases_) {
      if (abandoned()) break;
      databases.push_back(readDatabase(seen));
    }
  }
  if (!worked || abandoned()) return false;
  const std::lock_guard lock(mutex_);
  if (abandoned()) return false;
  databases_ = std::move(databases);
  publishWorked(std::move(worked));
  publishProblems();
  ready_.store(true, std::memory_order_release);
  return true;
}

void CallIndex::look() {
  const bool databases = lookAtDatabases();
  const bool logs = lookAtLogs();
  if (!databases && !logs) return;
  const std::lock_guard lock(mutex_);
  publishProblems();
  version_.fetch_add(1, std::memory_order_acq_rel);
}

bool CallIndex::lookAtDatabases() {
  bool changed = false;
  for (std::size_t i = 0; i < seenDatabases_.size(); ++i) {
    Seen& seen = seenDatabases_[i];
    if (sameStatus(statusOf(files_, seen.path), seen.status)) continue;
    auto calls = readDatabase(seen);
    const std::lock_guard lock(mutex_);
    if (i < databases_.size()) databases_[i] = std::move(calls);
    changed = true;
  }
  return changed;
}

// A log that only grew is read on from where it ended; one that shrank, was
// replaced, rewritten, appeared or went means every log is read again.
bool CallIndex::lookAtLogs() {
  bool changed = false;
  bool again = false;
  for (Seen& seen : seenLogs_) {
    const std::optional<FileStatus> now = statusOf(files_, seen.path);
    const bool unchanged = sameStatus(now, seen.status);
    // An unfinished last line is taken once the file has settled.
    const bool tailDue = now && seen.offset < now->size && !seen.tailTaken && isSettled(now);
    if (unchanged && !tailDue) continue;
    changed = true;
    const bool grew = unchanged || (now && seen.status && now->identity == seen.status->identity &&
                                    now->size > seen.status->size && now->size >= seen.offset);
    if (!grew) {
      again = true;
      break;
    }
    seen.status = now;
    readLog(seen, [this](const WorkedContact& contact) {
      const std::lock_guard lock(mutex_);
      worked_->add(contact);
    });
  }
  if (!again) return changed;
  auto worked = readAllLogs();
  if (!worked) return true;
  const std::lock_guard lock(mutex_);
  publishWorked(std::move(worked));
  return true;
}

// Field 0 of every record up to the terminator; comment and empty lines hold none.
std::shared_ptr<const DatabaseCalls> CallIndex::readDatabase(Seen& seen) const {
  auto calls = std::make_shared<DatabaseCalls>();
  seen.status = statusOf(files_, seen.path);
  seen.problem.clear();
  try {
    auto file = files_.openRead(seen.path);
    LineReader reader(*file, std::size_t{1} << 16, kLongestHeldLine);
    std::string_view line;
    std::string call;
    while (reader.next(line)) {
      if (line.empty() || isCommentLine(line)) continue;
      if (isMergeTerminator(line)) break;
      const std::string_view field = trimBlanks(line.substr(0, line.find(',')));
      if (field.size() < 3 || field.size() > kKeyBytes) continue;
      call.assign(field);
      for (char& c : call) c = upperAscii(c);
      if (isValidCall(call)) calls->calls.push_back(makeCallKey(call));
      if ((reader.lineNumber() & 0xFFFF) == 0 && abandoned()) break;
    }
  } catch (const FileError& e) {
    seen.problem = e.what();
  }
  std::sort(calls->calls.begin(), calls->calls.end());
  calls->calls.erase(std::unique(calls->calls.begin(), calls->calls.end()), calls->calls.end());
  calls->calls.shrink_to_fit();
  return calls;
}

// The contacts of a log from seen.offset on, up to the end of its last
// complete line or record, where seen.offset moves to. The unfinished rest
// is read too once the file has settled (a log whose last line has no line
// end), and read again with what follows when the file grows.
void CallIndex::readLog(Seen& seen, const std::function<void(const WorkedContact&)>& add) const {
  seen.problem.clear();
  try {
    const auto file = files_.openRead(seen.path);
    const std::uint64_t size = file->size().value_or(~std::uint64_t{0});
    if (size <= seen.offset) return;
    const bool adif = isAdifPath(seen.path);
    const std::uint64_t complete = lastUnitEnd(*file, seen.offset, size, adif ? "<EOR>" : "\n");
    const std::uint64_t limit = isSettled(seen.status) ? size : complete;
    std::unique_ptr<IInputFile> part = seen.offset > 0 ? file->readerAt(seen.offset) : nullptr;
    if (seen.offset > 0 && !part) skipBytes(*file, seen.offset);
    Limited input(part ? *part : *file, limit - seen.offset);
    std::size_t count = 0;
    const auto take = [&](std::string_view line, std::string_view band) {
      if (const auto contact = contactOfLogLine(line, band)) add(*contact);
      return (++count & 0xFFF) != 0 || !abandoned();
    };
    if (adif) {
      AdifReader reader(input);
      if (seen.offset > 0) reader.startAfterRecord(seen.offset);
      AdifRecord record;
      std::string line;
      while (reader.next(record)) {
        line.clear();
        appendLogLine(record, line);
        if (!take(line, record[AdifField::Band])) break;
      }
    } else {
      LineReader reader(input, std::size_t{1} << 16, kLongestHeldLine);
      std::string_view line;
      while (reader.next(line) && take(line, {})) {
      }
    }
    seen.offset = complete;
    seen.tailTaken = limit > complete;
  } catch (const FileError& e) {
    seen.problem = e.what();
  }
}

std::unique_ptr<WorkedSets> CallIndex::readAllLogs() {
  auto worked = std::make_unique<WorkedSets>();
  for (Seen& seen : seenLogs_) {
    seen.status = statusOf(files_, seen.path);
    seen.offset = 0;
    seen.tailTaken = false;
    readLog(seen, [&](const WorkedContact& contact) { worked->add(contact); });
    if (abandoned()) return nullptr;
  }
  return worked;
}

void CallIndex::publishWorked(std::unique_ptr<WorkedSets> worked) {
  for (const auto& contact : linked_) worked->add(contact);
  worked_ = std::move(worked);
  version_.fetch_add(1, std::memory_order_acq_rel);
}

void CallIndex::publishProblems() {
  unreadable_.clear();
  for (const auto* list : {&seenDatabases_, &seenLogs_}) {
    for (const Seen& seen : *list) {
      if (!seen.problem.empty()) unreadable_.emplace_back(seen.path, seen.problem);
    }
  }
}

}  // namespace orvanta
