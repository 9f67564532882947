#pragma once

// The command-line driver runs the real form headlessly: the tests' recording
// fakes stand in for the window and the dialogs (message boxes answered by a
// rule, nothing recorded but the last box), with the real file system and clock. Each area adds its commands
// from its own file with ORVANTA_BENCH_COMMAND, so the driver needs no edit for them.

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace orvanta::bench {

// One headless run of the form.
class BenchSession {
 public:
  // The language the form starts in ("de" or "en").
  explicit BenchSession(std::string language = "en");
  BenchSession(const BenchSession&) = delete;
  BenchSession& operator=(const BenchSession&) = delete;

  // Starts the form as the program does when the database is the one stored
  // from the last run: Form_Load, Form_Resize and Form_Activate, which derive
  // its kind and show its first line. The other paths are listed after it.
  void start(const std::string& database, const std::vector<std::string>& others = {});

  // Prints "TextN: value" for Text2 to Text9, one a line.
  void printFields(std::ostream& out) const;
  // The last message box, when it was a notice (OK only) rather than a prompt.
  void printLastNotice(std::ostream& out) const;

  testing::FakeWindow window;
  testing::FakeMessageBox messages;
  testing::FakeFileDialog dialog;
  testing::FakeSettingsStore settings;
  StdFileSystem files;
  SystemClock clock;
  testing::FakeEventLoop events;
  testing::FakeStationDialog stationDialog;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events, nullptr, nullptr,
                           &stationDialog}};

 private:
  std::string language_;
};

// A command of the driver: gets the arguments after its name, writes what the
// form showed to out and returns the process's exit code. Usage errors are
// reported by throwing UsageError.
using BenchCommand = std::function<int(const std::vector<std::string>& args, std::ostream& out)>;

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Adds a command; usage is the argument synopsis shown in the help text.
bool registerBenchCommand(std::string name, std::string usage, BenchCommand command);

}  // namespace orvanta::bench

#define ORVANTA_BENCH_CONCAT_INNER(a, b) a##b
#define ORVANTA_BENCH_CONCAT(a, b) ORVANTA_BENCH_CONCAT_INNER(a, b)
// ORVANTA_BENCH_COMMAND("merge", "DATABASE...", [](const auto& args, std::ostream& out) { ... });
#define ORVANTA_BENCH_COMMAND(name, usage, ...)                                      \
  namespace {                                                                        \
  [[maybe_unused]] const bool ORVANTA_BENCH_CONCAT(orvantaBenchCommand_, __LINE__) = \
      ::orvanta::bench::registerBenchCommand(name, usage, __VA_ARGS__);              \
  }
