#pragma once

// The program's desktop on Qt: the real main window built from the window
// description, the message box, file-open dialog and event-loop adapters, and
// the per-user settings store, handed out together as DesktopServices.
//
// runQtApplication uses it exactly like this, and so can a test (with a
// QApplication made first and QT_QPA_PLATFORM=offscreen):
//
//   QtDesktop desktop;
//   desktop.useMessageBox(fakeMessages);   // optional, before services()
//   frmVHF form{... desktop.services() ...};
//   desktop.attach(form);
//   desktop.start();                       // Load, show, Activate
//   auto* box = desktop.mainWindow().findChild<QLineEdit*>(ctl::kText10);
//
// Every control, menu and menu item carries its name (ctl::kCombo1, ctl::kMnuOpen) as
// its Qt objectName. The menus of the menu bar and mnuSprache are QMenu
// objects; the items are QAction objects.

#include <QMainWindow>
#include <memory>

#include "gui/QtApplication.h"
#include "ui/WindowDescription.h"

namespace orvanta {

class QtDesktop {
 public:
  QtDesktop();
  ~QtDesktop();
  QtDesktop(const QtDesktop&) = delete;
  QtDesktop& operator=(const QtDesktop&) = delete;

  // Put a stand-in where a modal dialog or the user's real settings would get
  // in a test's way. Call these before services().
  void useMessageBox(IMessageBox& messages);
  void useFileDialog(IFileDialog& dialog);
  void useSettings(ISettingsStore& settings);
  void useWorkedBeforeView(IWorkedBeforeView& view);

  DesktopServices services();

  // The listener of the window's events (the form); one at a time.
  void attach(IWindowEvents& listener);
  void detach();

  // What the program does at start: reports Load, shows the window, then
  // reports Activate once.
  void start();

  IWindow& window();
  QMainWindow& mainWindow();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace orvanta
