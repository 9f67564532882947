#pragma once

#include <gtest/gtest.h>

#include <string>

namespace orvanta::testing {

// Names each case of a parameterised test after its `name` member, so that
// a failure says which case failed.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
    return param.param.name;
  }
};

}  // namespace orvanta::testing
