// Entry point of the GoogleTest programs: a name the fake window lacks fails
// the test that used it instead of throwing through the handler under test.

#include <gtest/gtest.h>

#include "fakes/TestSupport.h"

int main(int argc, char** argv) {
  orvanta::testing::reportUnknownControlsAsFailures();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
