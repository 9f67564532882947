// Following WSJT-X without a window: the form listens as it does when the
// menu item is ticked and prints what each datagram did, one line per fact,
// fields separated by a TAB.

#include <poll.h>

#include <array>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "BenchCommands.h"
#include "link/Follow.h"
#include "ui/WindowDescription.h"

namespace orvanta::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kIndexWait{60};

struct FollowOptions {
  std::string address = "127.0.0.1";
  std::string port = "2237";
  long count = -1;
  double seconds = -1;
  bool add = false;
  bool highlight = false;
  std::vector<std::string> databases;
};

FollowOptions parseOptions(const std::vector<std::string>& args) {
  FollowOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    try {
      if (arg == "--address") {
        options.address = value();
      } else if (arg == "--port") {
        options.port = value();
      } else if (arg == "--count") {
        options.count = std::stol(value());
      } else if (arg == "--seconds") {
        options.seconds = std::stod(value());
      } else if (arg == "--add") {
        options.add = true;
      } else if (arg == "--highlight") {
        options.highlight = true;
      } else if (arg.starts_with("--")) {
        throw UsageError("unknown option " + arg);
      } else {
        options.databases.push_back(arg);
      }
    } catch (const std::logic_error& e) {
      if (dynamic_cast<const UsageError*>(&e) != nullptr) throw;
      throw UsageError("not a number after " + arg);
    }
  }
  if (options.databases.empty()) throw UsageError("expects at least one DATABASE");
  return options;
}

// One output line: fields joined by TAB, an empty field as "-", and no TAB
// or line end inside a field.
class Line {
 public:
  Line(std::ostream& out, std::string_view word) : out_(out) { text_ = word; }
  Line& operator<<(std::string_view field) {
    text_ += '\t';
    if (field.empty()) text_ += '-';
    for (const char c : field) text_ += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    return *this;
  }
  ~Line() { out_ << text_ << '\n' << std::flush; }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

 private:
  std::ostream& out_;
  std::string text_;
};

std::string numberOr(const std::optional<long>& value) { return value ? std::to_string(*value) : ""; }

void printLookup(std::ostream& out, const FollowReport& report) {
  if (!report.lookedUp) return;
  if (report.found) {
    Line line(out, "record");
    for (const auto& box : report.boxes) line << box;
  } else {
    Line(out, "absent") << report.call;
  }
  Line(out, "worked") << std::to_string(report.worked.value_or(0));
  Line(out, "bearing") << numberOr(report.path.degrees ? std::optional<long>(*report.path.degrees)
                                                       : std::nullopt)
                       << numberOr(report.path.km);
}

void printLogged(std::ostream& out, const std::string& id, const std::optional<link::LoggedContact>& contact,
                 const FollowReport& report) {
  static constexpr std::array<std::string_view, 4> kResults = {"new", "changed", "unchanged", "refused"};
  if (!contact) {
    Line(out, "ignored") << "logged contact without a call";
    return;
  }
  Line(out, "logged") << id << contact->call << contact->grid << contact->band << contact->mode;
  Line(out, "worked") << std::to_string(report.worked.value_or(0));
  if (report.added) {
    Line(out, "added") << contact->call << kResults[static_cast<std::size_t>(*report.added)]
                       << report.addReason;
  }
}

void printReport(std::ostream& out, const FollowReport& report) {
  const auto& message = report.message;
  if (const auto* m = std::get_if<link::Heartbeat>(&message)) {
    Line(out, "heartbeat") << m->id << std::to_string(m->maxSchema) << m->version << m->revision;
  } else if (const auto* s = std::get_if<link::Status>(&message)) {
    Line(out, "status") << s->id << link::cleanCall(s->dxCall) << s->dxGrid
                        << link::bandOfDial(s->dialFrequency) << s->mode;
    printLookup(out, report);
  } else if (const auto* d = std::get_if<link::Decode>(&message)) {
    Line(out, "decode") << d->id << d->message;
  } else if (const auto* q = std::get_if<link::QsoLogged>(&message)) {
    printLogged(out, q->id, link::contactOf(*q), report);
  } else if (const auto* a = std::get_if<link::LoggedAdif>(&message)) {
    printLogged(out, a->id, link::contactOf(*a), report);
  } else if (const auto* c = std::get_if<link::Close>(&message)) {
    Line(out, "close") << c->id;
  } else if (const auto* i = std::get_if<link::Ignored>(&message)) {
    Line(out, "ignored") << i->reason;
  }
  // The colours sent: a decode's own, or those a Status or a contact changed.
  for (const auto& action : report.highlights) out << highlightLine(action) << '\n' << std::flush;
}

int follow(const std::vector<std::string>& args, std::ostream& out) {
  const FollowOptions options = parseOptions(args);
  BenchSession session;
  using testing::FakeSettingsStore;
  const auto set = [&](const char* key, const std::string& value) {
    session.settings.values[FakeSettingsStore::path("VHF-Orvanta", "Settings", key)] = value;
  };
  set("UdpAddress", options.address);
  set("UdpPort", options.port);
  set("AutoAdd", options.add ? "1" : "0");
  set("Highlight", options.highlight ? "1" : "0");
  const std::vector<std::string> others(options.databases.begin() + 1, options.databases.end());
  session.start(options.databases.front(), others);
  session.window.setText(ctl::kCombo1, options.databases.front());
  session.form.mnuFollow_Click();
  IUdpReceiver* receiver = session.form.followReceiver();
  if (receiver == nullptr) {
    std::cerr << "orvanta-bench follow: " << session.form.followError() << '\n';
    return 1;
  }
  // Decodes get colours only from a built index: the figures are those of one.
  if (CallIndex* index = session.form.highlightIndex(); index != nullptr && !index->settle(kIndexWait)) {
    std::cerr << "orvanta-bench follow: the call index was not built within a minute\n";
    return 1;
  }
  Line(out, "listening") << options.address << std::to_string(receiver->port());
  const auto deadline = options.seconds < 0
                            ? Clock::time_point::max()
                            : Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(options.seconds));
  long handled = 0;
  while (options.count < 0 || handled < options.count) {
    int wait = -1;
    if (options.seconds >= 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      wait = static_cast<int>(std::min<long long>(left, 1'000'000LL));
    }
    pollfd watch{receiver->descriptor(), POLLIN, 0};
    if (::poll(&watch, 1, wait) <= 0) continue;
    while (options.count < 0 || handled < options.count) {
      const auto arrived = Clock::now();
      const auto datagram = receiver->receive();
      if (!datagram) break;
      printReport(out, session.form.followDatagram(*datagram));
      // The time from reading the datagram to everything shown, apart from the output.
      std::cerr << "handled in " << std::chrono::duration<double, std::milli>(Clock::now() - arrived).count()
                << " ms\n";
      ++handled;
    }
  }
  // As on closing: no colour stays behind.
  for (const auto& action : session.form.clearHighlights())
    out << highlightLine(action) << '\n' << std::flush;
  return 0;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// A datagram as WSJT-X would send it, from "TYPE,ID,..." (see the usage).
std::vector<std::uint8_t> datagramOf(const std::string& text) {
  auto f = splitAt(text, ',');
  if (f[0] == "decode" && f.size() >= 3) {
    link::Decode d;
    d.id = f[1];
    d.isNew = true;
    d.mode = "~";
    // The message is the rest, commas and all.
    d.message = text.substr(f[0].size() + f[1].size() + 2);
    return link::encodeDecode(d).bytes();
  }
  f.resize(std::max<std::size_t>(f.size(), 7));
  if (f[0] == "status") {
    link::Status s;
    s.id = f[1];
    s.dxCall = f[2];
    s.dxGrid = f[3];
    s.dialFrequency = f[4].empty() ? 144'174'000 : std::stoull(f[4]);
    s.mode = f[5].empty() ? "FT8" : f[5];
    s.deGrid = f[6];
    return link::encodeStatus(s).bytes();
  }
  if (f[0] == "logged") {
    link::QsoLogged q;
    q.id = f[1];
    q.dxCall = f[2];
    q.dxGrid = f[3];
    q.txFrequency = f[4].empty() ? 144'174'000 : std::stoull(f[4]);
    q.mode = f[5].empty() ? "FT8" : f[5];
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    q.timeOn = {2'440'588 + ms / 86'400'000, static_cast<std::uint32_t>(ms % 86'400'000), 1, 0, {}};
    q.timeOff = q.timeOn;
    return link::encodeQsoLogged(q).bytes();
  }
  if (f[0] == "heartbeat") return link::encodeHeartbeat({f[1], 3, "2.7.0", "-"}).bytes();
  if (f[0] == "close") return link::encodeClose({f[1]}).bytes();
  throw UsageError("unknown datagram " + text);
}

// Waits for the datagrams sent back to the sender and prints how many came
// and how long after the last datagram sent the last of them arrived.
void collectReplies(IUdpReceiver& sender, double seconds, Clock::time_point sent, std::ostream& out) {
  const auto deadline =
      sent + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  std::size_t replies = 0;
  Clock::time_point last = sent;
  for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
    pollfd watch{sender.descriptor(), POLLIN, 0};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    if (::poll(&watch, 1, static_cast<int>(left)) <= 0) continue;
    while (sender.receive()) {
      ++replies;
      last = Clock::now();
    }
  }
  out << "replies\t" << replies << "\tlast-after-ms\t"
      << std::chrono::duration<double, std::milli>(last - sent).count() << '\n';
}

int send(const std::vector<std::string>& args, std::ostream& out) {
  bool burst = false;
  double replies = -1;
  std::size_t first = 0;
  for (; first < args.size() && args[first].starts_with("--"); ++first) {
    if (args[first] == "--burst") {
      burst = true;
    } else if (args[first] == "--replies" && first + 1 < args.size()) {
      replies = std::stod(args[++first]);
    } else {
      throw UsageError("unknown option " + args[first]);
    }
  }
  if (args.size() < first + 2) throw UsageError("expects a PORT and at least one DATAGRAM");
  const auto sender = listenUdp("127.0.0.1", 0);
  const auto port = static_cast<std::uint16_t>(std::stoul(args[first]));
  std::vector<std::vector<std::uint8_t>> datagrams;
  for (std::size_t i = first + 1; i < args.size(); ++i) datagrams.push_back(datagramOf(args[i]));
  for (const auto& datagram : datagrams) {
    sender->sendTo(datagram, "127.0.0.1", port);
    // WSJT-X's messages come a moment apart, its decodes of a cycle at once.
    if (!burst) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (replies >= 0) collectReplies(*sender, replies, Clock::now(), out);
  return 0;
}

}  // namespace
}  // namespace orvanta::bench

ORVANTA_BENCH_COMMAND("follow",
                      "[--address A] [--port P] [--count N] [--seconds S] [--add] [--highlight] DATABASE...",
                      orvanta::bench::follow)
ORVANTA_BENCH_COMMAND(
    "send",
    "[--burst] [--replies S] PORT DATAGRAM... (status,ID,DXCALL,DXGRID,HZ,MODE,DEGRID | "
    "logged,ID,CALL,GRID,HZ,MODE | decode,ID,MESSAGE | heartbeat,ID | close,ID) to 127.0.0.1; --burst sends "
    "without a pause, --replies waits S seconds for answers and prints their count and the last one's delay",
    orvanta::bench::send)
