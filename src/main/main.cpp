#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/frmVHF.h"
#include "gui/QtApplication.h"
#include "gui/QtSettingsStore.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
  // A file-size limit then fails the write with EFBIG, reported like a full
  // disk, instead of ending the process with scratch files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  const orvanta::CommandLine commandLine =
      orvanta::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.action != orvanta::CommandLine::Action::Run) {
    // Answered in the language of the window, without opening one.
    std::string language = "de";
    try {
      language = orvanta::QtSettingsStore().read("VHF-Orvanta", "Settings", "Sprache", "de");
    } catch (const std::exception&) {
      // An unreadable store leaves the program's first language.
    }
    const orvanta::CommandLineReply reply = orvanta::commandLineReply(commandLine, language == "de");
    (reply.toStandardError ? std::cerr : std::cout) << reply.text << std::flush;
    return reply.exitCode;
  }
  orvanta::StdFileSystem files;
  orvanta::SystemClock clock;
  orvanta::StdEnvironment environment;
  return orvanta::runQtApplication(argc, argv, [&](const orvanta::DesktopServices& desktop) {
    auto form = std::make_unique<orvanta::frmVHF>(orvanta::FormServices{
        desktop.window, desktop.messages, desktop.fileDialog, desktop.settings, files, clock, desktop.events,
        &desktop.workedBefore, &environment, desktop.stationDialog});
    form->CommandLineFiles = commandLine.files;
    return form;
  });
}
