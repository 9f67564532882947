// The maintenance commands of the driver: the merge of the Extras menu over
// the databases given, and the month-end update of one database.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "BenchCommands.h"
#include "maintenance/Merge.h"
#include "maintenance/SafeFiles.h"
#include "records/Text.h"
#include "ui/WindowDescription.h"

namespace orvanta::bench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Lists exactly the given databases, the first one current, as if the
// operator had opened each of them.
void listDatabases(BenchSession& session, const std::vector<std::string>& databases) {
  session.start(databases.front());
  session.window.clearList(ctl::kCombo1);
  for (const auto& database : databases) session.window.addListItem(ctl::kCombo1, database);
  session.window.setText(ctl::kCombo1, databases.front());
}

// Where the merge wrote into the first database's folder: over the listed
// database of that folder whose name is the merged name in any letter case
// (WSJT-X's CALL3.TXT stays CALL3.TXT), else under the merged name.
std::string mergedPath(const std::vector<std::string>& databases, const std::string& fileName) {
  const std::string folder = folderOf(databases.front());
  for (const auto& database : databases) {
    const std::filesystem::path path(database);
    if (folderOf(database) == folder && lowerAscii(path.filename().string()) == lowerAscii(fileName)) {
      return database;
    }
  }
  return pathIn(folder, fileName);
}

int merge(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() < 2) throw UsageError("expects at least two databases");
  BenchSession session;
  session.messages.echo = &std::cerr;
  listDatabases(session, args);
  const auto started = Clock::now();
  session.form.mnuAktualiesieren_Click();
  std::cerr << "merge: " << secondsSince(started) << " s\n";
  // Only the completion message carries its title with the information
  // icon: the refusal "several databases" shows that icon too, every failure
  // the merge's title.
  const std::string& language = session.form.Language;
  const std::string completionTitle = language == "en"   ? "Databases for WSJT "
                                      : language == "de" ? "Datenbanken für WSJT "
                                                         : "";
  if (session.messages.count == 0 || session.messages.last.icon != MessageIcon::Information ||
      session.messages.last.title != completionTitle) {
    std::cerr << "merge refused: " << session.messages.last.text << '\n';
    return 1;
  }

  // The merged file holds a line for the header, one per record, the
  // terminator and the empty last line.
  auto merged = session.files.openRead(mergedPath(args, mergedFileName(session.form.DbFileName)));
  std::size_t lineEnds = 0;
  std::string buffer(std::size_t{1} << 20, '\0');
  while (const std::size_t n = merged->read(buffer.data(), buffer.size())) {
    lineEnds += static_cast<std::size_t>(std::count(buffer.data(), buffer.data() + n, '\n'));
  }
  const std::size_t records = lineEnds >= 3 ? lineEnds - 3 : 0;
  out << "records: " << records << '\n';
  return 0;
}

int monthEnd(const std::vector<std::string>& args, std::ostream& out) {
  if (args.size() != 1) throw UsageError("expects one DATABASE");
  BenchSession session;
  session.messages.echo = &std::cerr;
  listDatabases(session, args);
  const std::size_t before = session.messages.count;
  const auto started = Clock::now();
  session.form.mnuSetUpdate_Datum_Click();
  std::cerr << "monthend: " << secondsSince(started) << " s\n";
  if (session.messages.count != before) return 1;
  out << "updated: " << args.front() << '\n';
  return 0;
}

}  // namespace
}  // namespace orvanta::bench

ORVANTA_BENCH_COMMAND("merge", "DATABASE...", orvanta::bench::merge)
ORVANTA_BENCH_COMMAND("monthend", "DATABASE", orvanta::bench::monthEnd)
