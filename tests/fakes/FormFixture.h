#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"

namespace orvanta::testing {

// A form wired to fakes and to the real file system inside a fresh temporary
// folder, which is also the current directory while the test runs.
class FormFixture : public ::testing::Test {
 protected:
  TempDir dir;
  CurrentDirectory cwd{dir.path()};
  FakeWindow window;
  FakeMessageBox messages;
  FakeFileDialog dialog;
  FakeSettingsStore settings;
  StdFileSystem files;
  FakeClock clock;
  FakeEventLoop events;
  FakeEnvironment environment;
  FakeWorkedBeforeView workedView;
  FakeStationDialog stationDialog;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events, &workedView,
                           &environment, &stationDialog}};
};

}  // namespace orvanta::testing
