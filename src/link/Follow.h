#pragma once

// What following WSJT-X remembers between datagrams: each instance's last
// Status, the DX call waiting while the window is busy, and the contacts
// logged through the protocol, each once.

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/Protocol.h"

namespace orvanta::link {

struct Instance {
  std::string id;
  std::string dxCall;  // as looked up: cleaned
  std::string dxGrid;
  std::string deGrid;
  std::string band;  // of the dial frequency, empty when in no band
  std::string mode;
  bool closed = false;
};

// A contact logged through the protocol, as a wsjtx.log line.
struct LoggedContact {
  std::string call;
  std::string grid;
  std::string band;
  std::string mode;
  std::string logLine;  // date, time on, date, time off, call, grid, MHz, mode, ...
};

// The band name of a dial frequency in Hz, empty when it lies in no band.
std::string bandOfDial(std::uint64_t hertz);

// The contact of a QSO Logged message, or of the first record of a Logged
// ADIF text; nothing when it names no call.
std::optional<LoggedContact> contactOf(const QsoLogged& message);
std::optional<LoggedContact> contactOf(const LoggedAdif& message);

class FollowState {
 public:
  // Takes a Status in; true when its DX call is new for the instance and not
  // empty: that call is to be shown.
  bool status(const Status& message);
  void close(const std::string& id);
  // A Heartbeat: the instance is there.
  void seen(const std::string& id);
  [[nodiscard]] const Instance* instance(const std::string& id) const;
  // The instance of the last Status or Close.
  [[nodiscard]] const Instance* current() const { return instance(currentId_); }

  // While the window is busy, a call to show waits; only the newest is kept.
  void defer(const std::string& id) { pending_ = id; }
  // The instance whose call waits, and no longer waiting.
  std::optional<std::string> takePending();
  // Logged stations to take over once the window is free.
  void deferAdd(const LoggedContact& contact) { pendingAdds_.push_back(contact); }
  std::vector<LoggedContact> takePendingAdds() { return std::exchange(pendingAdds_, {}); }

  // Keeps a logged contact; false when it is one already kept (QSO Logged
  // and Logged ADIF of the same contact): same call, date, time to the
  // minute and band.
  bool logged(const LoggedContact& contact);
  [[nodiscard]] const std::vector<LoggedContact>& loggedContacts() const { return logged_; }

  // Datagrams not read, by reason.
  void ignored(const std::string& reason);
  [[nodiscard]] const std::map<std::string, std::size_t>& ignoredCounts() const { return ignored_; }

  // Forgets instances, waiting calls and counts; the logged contacts stay,
  // since a log file may not hold them yet.
  void reset();

 private:
  // The instance of an Id, made when new; null when there are too many.
  Instance* slot(const std::string& id);

  std::map<std::string, Instance> instances_;
  std::string currentId_;
  std::optional<std::string> pending_;
  std::vector<LoggedContact> pendingAdds_;
  std::vector<LoggedContact> logged_;
  std::set<std::string> loggedKeys_;
  std::map<std::string, std::size_t> ignored_;
};

}  // namespace orvanta::link
