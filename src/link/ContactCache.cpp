#include "link/ContactCache.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "records/Adif.h"
#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta::link {
namespace {

std::string baseKey(std::string_view call) {
  std::string key(baseCall(trimBlanks(call)));
  for (char& c : key) c = upperAscii(c);
  return key;
}

}  // namespace

void ContactCache::Log::add(std::string_view line, std::string_view band) {
  const auto contact = contactOfLogLine(line, band);
  if (!contact) return;
  auto at = std::find(bands.begin(), bands.end(), band);
  if (at == bands.end()) at = bands.insert(bands.end(), std::string(band));
  byBaseCall[baseKey(contact->call)].push_back(static_cast<std::uint32_t>(contacts.size()));
  contacts.push_back({static_cast<std::uint32_t>(text.size()), static_cast<std::uint32_t>(line.size()),
                      static_cast<std::uint32_t>(at - bands.begin())});
  text.append(line);
}

void ContactCache::read(const IFileSystem& files, const std::string& path, Log& log, std::uint64_t from) {
  auto file = files.openRead(path);
  if (from > 0) {
    // Only what was appended; a file that cannot be read from a place is read whole.
    auto rest = file->readerAt(from);
    if (rest) {
      file = std::move(rest);
    } else {
      Log whole;
      whole.status = log.status;
      whole.adif = log.adif;
      log = std::move(whole);
    }
  }
  if (log.adif) {
    AdifReader reader(*file);
    if (from > 0 && !log.contacts.empty()) reader.startAfterRecord(from);
    AdifRecord record;
    std::string line;
    while (reader.next(record)) {
      line.clear();
      appendLogLine(record, line);
      log.add(line, record[AdifField::Band]);
    }
    return;
  }
  LineReader reader(*file);
  std::string_view line;
  while (reader.next(line)) log.add(line, {});
}

void ContactCache::refresh(const IFileSystem& files, const std::vector<std::string>& logs) {
  unreadable_.clear();
  std::unordered_map<std::string, Log> kept;
  for (const auto& path : logs) {
    if (kept.contains(path)) continue;
    Log log;
    if (auto it = logs_.find(path); it != logs_.end()) log = std::move(it->second);
    try {
      const auto status = files.status(path);
      if (!status) throw ReadError(path, std::strerror(ENOENT));
      const bool same = log.status && log.status->sameContentAs(*status);
      // WSJT-X only appends: a log that grew keeps what it held.
      const bool grew =
          log.status && log.status->identity == status->identity && status->size > log.status->size;
      if (!same) {
        const std::uint64_t from = grew ? log.status->size : 0;
        if (!grew) log = Log{};
        log.adif = isAdifPath(path);
        log.status = status;
        read(files, path, log, from);
      }
    } catch (const FileError& e) {
      unreadable_.emplace_back(path, e.reason());
      log = Log{};
    }
    kept.emplace(path, std::move(log));
  }
  logs_ = std::move(kept);
  order_.clear();
  for (const auto& path : logs) {
    if (std::find(order_.begin(), order_.end(), path) == order_.end()) order_.push_back(path);
  }
}

void ContactCache::feed(std::string_view call, WorkedBeforeCount& count) const {
  const std::string key = baseKey(call);
  for (const auto& path : order_) {
    const auto log = logs_.find(path);
    if (log == logs_.end()) continue;
    const auto bucket = log->second.byBaseCall.find(key);
    if (bucket == log->second.byBaseCall.end()) continue;
    for (const std::uint32_t index : bucket->second) {
      const Contact& contact = log->second.contacts[index];
      count.addLine(std::string_view(log->second.text).substr(contact.offset, contact.length),
                    log->second.bands[contact.band]);
    }
  }
}

std::size_t ContactCache::heldBytes() const {
  std::size_t bytes = 0;
  for (const auto& [path, log] : logs_) bytes += log.text.size() + log.contacts.size() * sizeof(Contact);
  return bytes;
}

}  // namespace orvanta::link
