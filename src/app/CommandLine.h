#pragma once

// The program's command line: `orvanta [OPTION...] [FILE...]`. The files are
// listed as databases after the remembered ones; --help and --version print
// and end the program. Qt's own options (-style Fusion, -platform xcb, ...)
// are left to Qt.

#include <string>
#include <vector>

namespace orvanta {

struct CommandLine {
  enum class Action { Run, Help, Version, Unknown };
  Action action = Action::Run;
  std::vector<std::string> files;  // as given, in order
  std::string unknown;             // the option that was not understood
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

// What a command line that does not start the window prints, where, and
// the exit code.
struct CommandLineReply {
  std::string text;  // ends with a line feed
  bool toStandardError = false;
  int exitCode = 0;
};

CommandLineReply commandLineReply(const CommandLine& line, bool german);

}  // namespace orvanta
