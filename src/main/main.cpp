#include <csignal>
#include <memory>

#include "app/frmVHF.h"
#include "gui/QtApplication.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
  // A file-size limit then fails the write with EFBIG, reported like a full
  // disk, instead of ending the process with scratch files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  orvanta::StdFileSystem files;
  orvanta::SystemClock clock;
  orvanta::StdEnvironment environment;
  return orvanta::runQtApplication(argc, argv, [&](const orvanta::DesktopServices& desktop) {
    orvanta::FormServices services{
        desktop.window, desktop.messages, desktop.fileDialog, desktop.settings, files, clock, desktop.events};
    services.workedBefore = &desktop.workedBefore;
    services.environment = &environment;
    services.stationDialog = desktop.stationDialog;
    services.stationView = desktop.stationView;
    services.connectionDialog = desktop.connectionDialog;
    services.socketWatcher = desktop.socketWatcher;
    return std::make_unique<orvanta::frmVHF>(services);
  });
}
