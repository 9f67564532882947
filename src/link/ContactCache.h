#pragma once

// The contacts of the listed logs held in memory while following, so that
// each new DX call is counted without reading the logs again. A log is read
// again only when it changed; one that grew is read from where it ended.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "search/WorkedBefore.h"

namespace orvanta::link {

class ContactCache {
 public:
  // Brings the held logs in line with the list: new and changed logs are
  // read, logs no longer listed dropped. A log that cannot be read is noted.
  void refresh(const IFileSystem& files, const std::vector<std::string>& logs);
  // Feeds every held contact that may be one with the call (same base call)
  // into the count, which decides.
  void feed(std::string_view call, WorkedBeforeCount& count) const;
  // Logs that could not be read at the last refresh, each with the reason.
  const std::vector<std::pair<std::string, std::string>>& unreadable() const { return unreadable_; }
  // Bytes of contact lines held.
  std::size_t heldBytes() const;

 private:
  struct Contact {
    std::uint32_t offset;  // into Log::text
    std::uint32_t length;
    std::uint32_t band;  // into Log::bands: the ADIF record's own band
  };
  struct Log {
    std::optional<FileStatus> status;
    bool adif = false;
    std::string text;  // the contacts' log lines, one after another
    std::vector<std::string> bands;
    std::vector<Contact> contacts;
    std::unordered_map<std::string, std::vector<std::uint32_t>> byBaseCall;
    void add(std::string_view line, std::string_view band);
  };
  static void read(const IFileSystem& files, const std::string& path, Log& log, std::uint64_t from);

  std::unordered_map<std::string, Log> logs_;
  std::vector<std::string> order_;
  std::vector<std::pair<std::string, std::string>> unreadable_;
};

}  // namespace orvanta::link
