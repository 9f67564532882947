#pragma once

// The calls of the user databases and the bands and modes every call has been
// worked on, held in memory so that a burst of decodes is answered without
// reading a file. A worker thread builds it and keeps it current while the
// files change; the window's thread asks it at any time and never waits for
// a file.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "maintenance/TakeOver.h"
#include "platform/FileSystem.h"
#include "search/WorkedBefore.h"

namespace orvanta {

// What a call means to the operator on one band in one mode.
enum class CallState {
  None,     // nothing to say
  Needed,   // in a user database and not yet worked here
  NewSlot,  // not in a user database, worked before, but not here
  Worked,   // worked on this band in this mode
};

// The bands and modes each call has been worked on, every contact counted
// once. Calls are kept as CallKey, so one longer than 16 characters is only
// known by its base call.
class WorkedSets {
 public:
  // False when the contact was counted before.
  bool add(const WorkedContact& contact);
  // Whether the call (or, with baseCalls, any call of its base call) has
  // been worked at all, and whether on this band in this mode.
  struct Answer {
    bool any = false;
    bool here = false;
  };
  Answer find(std::string_view call, std::size_t band, std::string_view mode, bool baseCalls) const;
  std::size_t contacts() const { return contacts_; }

 private:
  struct Worked {
    CallKey call;
    std::uint32_t slot = 0;  // band number << 16 | mode number
  };
  struct KeyHash {
    std::size_t operator()(const CallKey& key) const {
      const std::uint64_t mixed = (key.high ^ (key.low * 0x9E3779B97F4A7C15U)) * 0xBF58476D1CE4E5B9U;
      return static_cast<std::size_t>(mixed ^ (mixed >> 31));
    }
  };
  // Open addressing over the hashes of contactIdentity: no allocation per contact.
  bool firstTime(std::uint64_t hash);
  std::uint32_t modeNumber(std::string_view mode);

  // Every slot a call was worked in, filed under its base call.
  std::unordered_map<CallKey, std::vector<Worked>, KeyHash> byBase_;
  std::vector<std::uint64_t> seen_;  // hashes of contactIdentity; 0 is a free slot
  std::size_t contacts_ = 0;
  std::unordered_map<std::string, std::uint32_t> modes_;  // upper-cased, numbered as they come
  static constexpr std::uint32_t kOtherMode = 0xFFFF;
};

// The valid calls (field 0 trimmed and upper-cased) of one user database,
// sorted.
struct DatabaseCalls {
  std::vector<CallKey> calls;
  [[nodiscard]] bool holds(const CallKey& call) const;
};

class CallIndex {
 public:
  // files is used from the worker thread through its const operations.
  explicit CallIndex(const IFileSystem& files,
                     std::chrono::milliseconds pollInterval = std::chrono::milliseconds(1000));
  ~CallIndex();
  CallIndex(const CallIndex&) = delete;
  CallIndex& operator=(const CallIndex&) = delete;

  // Builds the index anew from these files on the worker thread; until it
  // is built, state() answers nothing. A build under way is abandoned.
  void start(std::vector<std::string> databases, std::vector<std::string> logs);
  // A contact logged through the link: counted at once, and again after
  // every rebuild, unless a log holds it already.
  void addContact(const WorkedContact& contact);
  // Asks the worker to look at the files now rather than at its next round.
  void refresh();

  // The state of a valid, upper-cased call on a band (index of adifBands())
  // in a mode; nothing while the index is being built.
  std::optional<CallState> state(std::string_view call, std::size_t band, std::string_view mode,
                                 bool baseCalls) const;
  bool ready() const { return ready_.load(std::memory_order_acquire); }
  // Goes up whenever the answers may have changed.
  std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

  struct Figures {
    std::size_t calls = 0;     // distinct calls of the user databases
    std::size_t contacts = 0;  // distinct contacts
  };
  Figures figures() const;
  // Files that could not be read at the last look, each with the reason.
  std::vector<std::pair<std::string, std::string>> unreadable() const;

  // Asks for a look at the files and waits until one that began after the
  // call has ended; false when the time ran out. For tools and tests: the
  // window's thread never waits.
  bool settle(std::chrono::milliseconds timeout);

 private:
  // What the worker remembers of a file between its looks.
  struct Seen {
    std::string path;
    std::optional<FileStatus> status;
    std::uint64_t offset = 0;  // a log: where its complete lines or records end
    bool tailTaken = false;    // a log: what follows offset has been read too
    std::string problem;       // why it could not be read, at the last look
  };
  struct Request {
    std::uint64_t build = 0;  // start() calls so far
    std::uint64_t look = 0;   // refresh() and settle() calls so far
    std::vector<std::string> databases;
    std::vector<std::string> logs;
  };

  void run(const std::stop_token& stop);
  bool abandoned() const;
  bool build(const Request& request);
  void look();
  bool lookAtDatabases();
  bool lookAtLogs();
  std::shared_ptr<const DatabaseCalls> readDatabase(Seen& seen) const;
  void readLog(Seen& seen, const std::function<void(const WorkedContact&)>& add) const;
  std::unique_ptr<WorkedSets> readAllLogs();
  // Puts a new set of contacts in place, with the linked ones; under mutex_.
  void publishWorked(std::unique_ptr<WorkedSets> worked);
  void publishProblems();

  const IFileSystem& files_;
  const std::chrono::milliseconds pollInterval_;

  // Shared between the threads, under mutex_.
  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::condition_variable settled_;
  Request request_;
  std::uint64_t looked_ = 0;  // look requests answered
  std::vector<std::shared_ptr<const DatabaseCalls>> databases_;
  std::unique_ptr<WorkedSets> worked_;
  std::vector<WorkedContact> linked_;  // contacts from addContact
  std::vector<std::pair<std::string, std::string>> unreadable_;
  std::atomic<bool> ready_{false};
  std::atomic<std::uint64_t> version_{0};
  std::atomic<std::uint64_t> wanted_{0};  // the build the worker should be doing

  // The worker's own.
  std::stop_token stop_;
  std::uint64_t building_ = 0;
  std::vector<Seen> seenDatabases_;
  std::vector<Seen> seenLogs_;

  std::jthread worker_;  // last: it stops before the rest goes
};

}  // namespace orvanta
