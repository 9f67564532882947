#include "gui/QtDesktop.h"

#include <QCoreApplication>

#include "gui/QtConnectionDialog.h"
#include "gui/QtDialogs.h"
#include "gui/QtSettingsStore.h"
#include "gui/QtStationDialog.h"
#include "gui/QtStationView.h"
#include "gui/QtWindow.h"
#include "gui/QtWorkedBeforeView.h"

// The icons are compiled into this static library; Q_INIT_RESOURCE keeps the
// linker from dropping them and must be called outside any namespace.
static void initResources() { Q_INIT_RESOURCE(orvanta); }

namespace orvanta {

struct QtDesktop::Parts {
  Parts() { initResources(); }
  QtWindow window;
  QtMessageBox realMessages{&window};
  QtFileDialog realFileDialog{&window};
  QtSettingsStore realSettings;
  QtEventLoop events;
  QtWorkedBeforeView realWorkedBefore{&window};
  QtStationDialog stationDialog{&window};
  QtStationView stationView{&window};
  QtConnectionDialog connectionDialog{&window};
  QtSocketWatcher socketWatcher;
  IMessageBox* messages = &realMessages;
  IFileDialog* fileDialog = &realFileDialog;
  ISettingsStore* settings = &realSettings;
  IWorkedBeforeView* workedBefore = &realWorkedBefore;
};

QtDesktop::QtDesktop() : parts_(std::make_unique<Parts>()) {}

QtDesktop::~QtDesktop() { detach(); }

void QtDesktop::useMessageBox(IMessageBox& messages) { parts_->messages = &messages; }
void QtDesktop::useFileDialog(IFileDialog& dialog) { parts_->fileDialog = &dialog; }
void QtDesktop::useSettings(ISettingsStore& settings) { parts_->settings = &settings; }
void QtDesktop::useWorkedBeforeView(IWorkedBeforeView& view) { parts_->workedBefore = &view; }

DesktopServices QtDesktop::services() {
  return DesktopServices{parts_->window,         *parts_->messages,    *parts_->fileDialog,
                         *parts_->settings,      parts_->events,       *parts_->workedBefore,
                         &parts_->stationDialog, &parts_->stationView, &parts_->connectionDialog,
                         &parts_->socketWatcher};
}

void QtDesktop::attach(IWindowEvents& listener) { parts_->window.setListener(&listener); }
void QtDesktop::detach() { parts_->window.setListener(nullptr); }

void QtDesktop::start() {
  parts_->window.reportLoad();
  parts_->window.show();
  parts_->window.activateWindow();
  QCoreApplication::processEvents();
  parts_->window.reportActivate();
}

IWindow& QtDesktop::window() { return parts_->window; }
QMainWindow& QtDesktop::mainWindow() { return parts_->window; }

}  // namespace orvanta
