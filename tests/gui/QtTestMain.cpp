// Entry point of the Qt test programs: a QApplication on the offscreen
// platform (unless QT_QPA_PLATFORM says otherwise), then GoogleTest.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "fakes/TestSupport.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  orvanta::testing::reportUnknownControlsAsFailures();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
