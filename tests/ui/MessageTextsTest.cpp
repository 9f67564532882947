#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ui/MessageTexts.h"

namespace orvanta {
namespace {

struct FillCase {
  const char* name;
  const char* text;
  std::string expected;
};

// Two values, "A{1}" and "B", with CR LF line ends; a value that looks like a
// placeholder is taken as it stands.
TEST(FillIn, ReplacesPlaceholdersAndLineEndsInOnePass) {
  const auto cases = std::to_array<FillCase>({
      {"in order", "{0} and {1}", "A{1} and B"},
      {"reversed", "{1} before {0}", "B before A{1}"},
      {"twice", "{0}{0}", "A{1}A{1}"},
      {"line ends", "x\n{1}\n", "x\r\nB\r\n"},
      {"no such value", "{2} {} {x} {", "{2} {} {x} {"},
      {"braces around", "{{0}}", "{A{1}}"},
  });
  for (const auto& c : cases) {
    EXPECT_EQ(fillIn(c.text, {"A{1}", "B"}, "\r\n"), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace orvanta
