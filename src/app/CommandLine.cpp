#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "Version.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// Qt's options that take the next argument as their value.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "title",         "name",    "qmljsdebugger"};

bool takesValue(std::string_view option) {
  if (option.find('=') != std::string_view::npos) return false;
  return std::ranges::any_of(kQtOptionsWithValue, [&](std::string_view name) { return option == name; });
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
      line.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      if (line.action == CommandLine::Action::Run) line.action = CommandLine::Action::Help;
    } else if (arg == "--version" || arg == "-V") {
      if (line.action == CommandLine::Action::Run) line.action = CommandLine::Action::Version;
    } else {
      const std::string_view name = std::string_view(arg).substr(arg[1] == '-' ? 2 : 1);
      if (takesValue(name)) {
        ++i;  // Qt's option and its value
      } else if (arg[1] == '-' && name.find('=') == std::string_view::npos &&
                 line.action == CommandLine::Action::Run) {
        // Qt's options are spelt with one dash; an unknown long one is a mistake.
        line.action = CommandLine::Action::Unknown;
        line.unknown = arg;
      }
    }
  }
  return line;
}

CommandLineReply commandLineReply(const CommandLine& line, bool german) {
  switch (line.action) {
    case CommandLine::Action::Help:
      return {std::string(texts::kCommandLineHelp.in(german)), false, 0};
    case CommandLine::Action::Version:
      return {fillIn(texts::kCommandLineVersion, {versionNumber(), version::kLegalNotice}), false, 0};
    case CommandLine::Action::Unknown:
      return {fillIn(texts::kCommandLineUnknown.in(german), {line.unknown}), true, 2};
    case CommandLine::Action::Run:
      break;
  }
  return {};
}

}  // namespace orvanta
