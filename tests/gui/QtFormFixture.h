#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "gui/QtDesktop.h"
#include "platform/FileSystem.h"

namespace orvanta::testing {

// The real desktop with the form attached, running in a fresh folder, with
// the settings store and the dialogs replaced by recording fakes.
class QtFormFixture : public ::testing::Test {
 protected:
  QtFormFixture() {
    desktop.useMessageBox(messages);
    desktop.useFileDialog(dialog);
    desktop.useSettings(settings);
  }
  ~QtFormFixture() override { desktop.detach(); }

  // Creates the form and starts it the way the program does.
  void startForm() {
    const DesktopServices s = desktop.services();
    form = std::make_unique<frmVHF>(
        FormServices{s.window, s.messages, s.fileDialog, s.settings, files, clock, s.events});
    desktop.attach(*form);
    desktop.start();
  }

  template <class T>
  T* find(const char* name) {
    T* found = desktop.mainWindow().findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  TempDir dir;
  CurrentDirectory cwd{dir.path()};
  FakeMessageBox messages;
  FakeFileDialog dialog;
  FakeSettingsStore settings;
  StdFileSystem files;
  FakeClock clock;
  QtDesktop desktop;
  std::unique_ptr<frmVHF> form;
};

}  // namespace orvanta::testing
