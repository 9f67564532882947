// orvanta-bench: runs the form's handlers without a window and prints what
// they showed, so that searches and maintenance runs can be timed from a shell.

#include <csignal>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "BenchCommands.h"

namespace orvanta::bench {
namespace {

struct Registered {
  std::string usage;
  BenchCommand command;
};

std::map<std::string, Registered>& registry() {
  static std::map<std::string, Registered> commands;
  return commands;
}

int usage(std::ostream& out) {
  out << "usage:\n";
  for (const auto& [name, entry] : registry())
    out << "  orvanta-bench " << name << ' ' << entry.usage << '\n';
  return 2;
}

}  // namespace

bool registerBenchCommand(std::string name, std::string usageText, BenchCommand command) {
  registry()[std::move(name)] = Registered{std::move(usageText), std::move(command)};
  return true;
}

}  // namespace orvanta::bench

int main(int argc, char** argv) {
  using namespace orvanta::bench;
  // A file-size limit then fails the write with EFBIG, reported like a full
  // disk, instead of ending the process with scratch files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) return usage(std::cerr);
  const auto it = registry().find(argv[1]);
  if (it == registry().end()) return usage(std::cerr);
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return it->second.command(args, std::cout);
  } catch (const UsageError& e) {
    std::cerr << "orvanta-bench " << it->first << ": " << e.what() << '\n';
    std::cerr << "usage: orvanta-bench " << it->first << ' ' << it->second.usage << '\n';
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "orvanta-bench " << it->first << ": " << e.what() << '\n';
    return 1;
  }
}
