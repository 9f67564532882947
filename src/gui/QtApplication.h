#pragma once

// Plain entry into the Qt side: no Qt type appears here, so the program's
// entry point builds without Qt's headers.

#include <functional>
#include <memory>

#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/StationDialog.h"
#include "platform/StationView.h"
#include "platform/UdpReceiver.h"
#include "platform/Window.h"
#include "platform/WorkedBeforeView.h"

namespace orvanta {

struct DesktopServices {
  IWindow& window;
  IMessageBox& messages;
  IFileDialog& fileDialog;
  ISettingsStore& settings;
  IEventLoop& events;
  IWorkedBeforeView& workedBefore;
  IStationDialog* stationDialog = nullptr;
  IStationView* stationView = nullptr;
  IConnectionDialog* connectionDialog = nullptr;
  ISocketWatcher* socketWatcher = nullptr;
};

using FormFactory = std::function<std::unique_ptr<IWindowEvents>(const DesktopServices&)>;

// Creates the application and the main window from the window description,
// lets the factory make the form that listens to it, runs the event loop and
// returns the program's exit code.
int runQtApplication(int argc, char** argv, const FormFactory& makeForm);

}  // namespace orvanta
