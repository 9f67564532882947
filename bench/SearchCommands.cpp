// The search commands of the driver: a plain search that goes on after every
// hit, and a search followed by steps with "-" or "+".

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "BenchCommands.h"
#include "records/TextFile.h"
#include "search/WorkedBefore.h"

namespace orvanta::bench {
namespace {

using Clock = std::chrono::steady_clock;

void reportTime(const char* what, Clock::time_point since) {
  const std::chrono::duration<double> elapsed = Clock::now() - since;
  std::cerr << what << ": " << elapsed.count() << " s\n";
}

int search(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 2) throw UsageError("expects DATABASE and TEXT");
  BenchSession session;
  session.start(args[0]);
  session.messages.answer = [](const testing::FakeMessageBox::Call&) { return MessageAnswer::Yes; };
  session.window.setText("Text10", args[1]);
  const std::size_t before = session.messages.yesNoCount;
  const auto started = Clock::now();
  session.form.Command1_Click();
  reportTime("search", started);
  // Only the found prompt asks Yes or No, so the prompts are the hits.
  out << "hits: " << session.messages.yesNoCount - before << '\n';
  session.printFields(out);
  session.printLastNotice(out);
  return 0;
}

int step(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 4) throw UsageError("expects DATABASE, TEXT, + or - and COUNT");
  const std::string& direction = args[2];
  if (direction != "+" && direction != "-") throw UsageError("the direction is + or -");
  char* end = nullptr;
  const long count = std::strtol(args[3].c_str(), &end, 10);
  if (args[3].empty() || *end != '\0' || count < 0) throw UsageError("COUNT is a number of steps");

  BenchSession session;
  session.start(args[0]);
  session.messages.answer = [](const testing::FakeMessageBox::Call&) { return MessageAnswer::No; };
  session.window.setText("Text10", args[1]);
  const auto started = Clock::now();
  session.form.Command1_Click();
  for (long i = 0; i < count; ++i) {
    if (direction == "+") {
      session.form.Command3_Click();
    } else {
      session.form.Command2_Click();
    }
  }
  reportTime("search and steps", started);
  session.printFields(out);
  session.printLastNotice(out);
  return 0;
}

// The worked-before count over logs given on the command line, as the
// window's table in text.
int worked(const std::vector<std::string>& args, std::ostream& out) {
  std::vector<std::string> rest = args;
  const bool base = !rest.empty() && rest.front() == "--base";
  if (base) rest.erase(rest.begin());
  if (rest.size() < 2) throw UsageError("expects CALL and at least one LOG");
  StdFileSystem files;
  const auto started = Clock::now();
  WorkedBeforeCount count(upperCaseUtf8(rest.front()), base);
  for (std::size_t i = 1; i < rest.size(); ++i) count.addLog(files, rest[i]);
  const WorkedSummary summary = count.summary();
  reportTime("worked", started);
  out << workedBeforeText(summary);
  for (const auto& [path, reason] : summary.unreadable)
    std::cerr << "cannot read " << path << ": " << reason << '\n';
  return summary.unreadable.empty() ? 0 : 1;
}

}  // namespace
}  // namespace orvanta::bench

ORVANTA_BENCH_COMMAND("search", "DATABASE TEXT", orvanta::bench::search)
ORVANTA_BENCH_COMMAND("step", "DATABASE TEXT +|- COUNT", orvanta::bench::step)
ORVANTA_BENCH_COMMAND("worked", "[--base] CALL LOG...", orvanta::bench::worked)
