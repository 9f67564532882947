// Taking stations over from the command line: every contact of the logs
// given, with the question answered Yes, and one station as the dialog's OK
// gives it.

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "BenchCommands.h"

namespace orvanta::bench {
namespace {

using Clock = std::chrono::steady_clock;

void printText(std::ostream& out, std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  out << text << '\n';
}

int takeOver(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() < 2) throw UsageError("expects a DATABASE and at least one LOG");
  BenchSession session;
  const std::vector<std::string> logs(args.begin() + 1, args.end());
  session.start(args.front(), logs);
  session.window.setText("Combo1", args.front());
  const std::size_t before = session.messages.count;
  session.messages.answer = [&](const testing::FakeMessageBox::Call& shown) {
    printText(out, shown.text);
    return MessageAnswer::Yes;
  };
  const auto started = Clock::now();
  session.form.mnuAddLog_Click();
  std::cerr << "takeover: " << std::chrono::duration<double>(Clock::now() - started).count() << " s\n";
  if (session.messages.count == before) return 1;
  // Without a question the one box tells that nothing is new (information)
  // or why nothing was done.
  const bool done = session.messages.last.icon == MessageIcon::Information;
  printText(done ? out : std::cerr, session.messages.last.text);
  return done ? 0 : 1;
}

int addStation(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() < 3 || args.size() > 4) throw UsageError("expects DATABASE CALL LOCATOR [REMARK]");
  BenchSession session;
  session.start(args[0]);
  session.window.setText("Combo1", args[0]);
  session.stationDialog.entries.push_back(
      StationEntry{args[1], args[2], args.size() == 4 ? args[3] : std::string()});
  const std::size_t before = session.messages.count;
  session.form.mnuAddStation_Click();
  if (!session.stationDialog.shownProblems.empty()) {
    printText(std::cerr, session.stationDialog.shownProblems.front());
    return 1;
  }
  if (session.messages.count == before) return 1;
  const bool done = session.messages.last.icon == MessageIcon::Information;
  printText(done ? out : std::cerr, session.messages.last.text);
  return done ? 0 : 1;
}

}  // namespace
}  // namespace orvanta::bench

ORVANTA_BENCH_COMMAND("takeover", "DATABASE LOG...", orvanta::bench::takeOver)
ORVANTA_BENCH_COMMAND("addstation", "DATABASE CALL LOCATOR [REMARK]", orvanta::bench::addStation)
