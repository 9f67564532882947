#include "fakes/TestSupport.h"

#include <gtest/gtest.h>

#include "fakes/Fakes.h"

namespace orvanta::testing {

void reportUnknownControlsAsFailures() {
  setUnknownControlHandler(
      [](std::string_view name) { ADD_FAILURE() << "the window has no control named " << name; });
}

}  // namespace orvanta::testing
