// The index of calls and contacts the colours in WSJT-X's band activity are
// taken from: how long it takes to build, how much memory it holds, and how
// long a burst of decodes takes to answer from it.

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchCommands.h"
#include "link/CallIndex.h"
#include "link/HighlightPlanner.h"
#include "maintenance/Merge.h"
#include "records/Adif.h"
#include "records/NormalizeRecord.h"
#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta::bench {
namespace {

using Clock = std::chrono::steady_clock;

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Up to `count` call signs of a file's lines, spread over the whole file:
// field 0 of a user database, the call of a log line.
std::vector<std::string> sampleCalls(const StdFileSystem& files, const std::string& path, std::size_t count) {
  std::vector<std::string> calls;
  const auto file = openDatabaseLines(files, path);
  LineReader reader(*file);
  std::string_view line;
  while (reader.next(line)) {
    std::string call;
    if (isLogDatabasePath(path)) {
      if (const auto contact = contactOfLogLine(line)) call = contact->call;
    } else if (!isCommentLine(line)) {
      call = trimBlanks(line.substr(0, line.find(',')));
    }
    for (char& c : call) c = upperAscii(c);
    if (isValidCall(call)) calls.push_back(call);
  }
  std::vector<std::string> spread;
  for (std::size_t i = 0; i < count && !calls.empty(); ++i) spread.push_back(calls[i * calls.size() / count]);
  return spread;
}

// A burst of decodes of calls from the databases and logs, half of them CQ
// and half answers, planned as the window plans them; prints what it sent.
void burst(const StdFileSystem& files, const std::vector<std::string>& paths, std::size_t count,
           const CallIndex& index, std::ostream& out) {
  std::vector<std::string> calls;
  for (const auto& path : paths) {
    for (auto& call : sampleCalls(files, path, count / paths.size() + 1)) calls.push_back(std::move(call));
  }
  calls.resize(std::min(calls.size(), count));
  HighlightPlanner planner([&](std::string_view call, std::size_t band, std::string_view mode) {
    return index.state(call, band, mode, false);
  });
  const auto started = Clock::now();
  std::vector<HighlightAction> sent = planner.onStatus("WSJT-X", 144174000, "FT8", started);
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string message = i % 2 == 0 ? "CQ " + calls[i] + " JO62" : "Q9ZZ " + calls[i] + " -10";
    for (auto& action :
         planner.onDecode(SeenDecode{"WSJT-X", message, {"127.0.0.1", 2237}, true}, Clock::now()))
      sent.push_back(std::move(action));
  }
  const std::chrono::duration<double> seconds = Clock::now() - started;
  for (const auto& action : sent) out << highlightLine(action) << '\n';
  out << "burst " << calls.size() << " highlights " << sent.size() << " seconds " << std::fixed
      << std::setprecision(6) << seconds.count() << '\n';
}

int index(const std::vector<std::string>& args, std::ostream& out) {
  std::vector<std::string> rest = args;
  std::size_t decodes = 0;
  if (rest.size() >= 2 && rest.front() == "--burst") {
    char* end = nullptr;
    decodes = std::strtoul(rest[1].c_str(), &end, 10);
    if (decodes == 0 || *end != '\0') throw UsageError("N is a number of decodes");
    rest.erase(rest.begin(), rest.begin() + 2);
  }
  if (rest.empty()) throw UsageError("expects at least one DATABASE");
  std::vector<std::string> databases;
  std::vector<std::string> logs;
  for (const auto& path : rest) (isLogDatabasePath(path) ? logs : databases).push_back(path);
  StdFileSystem files;
  CallIndex index(files, std::chrono::hours(1));
  const long before = peakResidentKiB();
  const auto started = Clock::now();
  index.start(databases, logs);
  if (!index.settle(std::chrono::minutes(10)) || !index.ready())
    throw std::runtime_error("the index was not built");
  const std::chrono::duration<double> seconds = Clock::now() - started;
  const long grown = peakResidentKiB() - before;
  for (const auto& [path, reason] : index.unreadable()) std::cerr << path << ": " << reason << '\n';
  const CallIndex::Figures figures = index.figures();
  out << "calls " << figures.calls << " contacts " << figures.contacts << " bytes " << grown * 1024
      << " seconds " << std::fixed << std::setprecision(3) << seconds.count() << '\n';
  if (decodes > 0) burst(files, rest, decodes, index, out);
  return 0;
}

}  // namespace

ORVANTA_BENCH_COMMAND("index", "[--burst N] DATABASE...", index);

}  // namespace orvanta::bench
