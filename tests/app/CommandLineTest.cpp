// The command line: what is a file, what is Qt's, and the files listed at start.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "fakes/FormFixture.h"

namespace orvanta {
namespace {

TEST(CommandLineParse, TellsFilesFromOptions) {
  using A = CommandLine::Action;
  struct Case {
    std::vector<std::string> args;
    A action;
    std::vector<std::string> files;
  };
  const auto cases = std::to_array<Case>(
      {{{"-style", "Fusion", "x.adi", "-platform=xcb", "-reverse", "--stylesheet", "s"}, A::Run, {"x.adi"}},
       {{"a.txt", "--version", "-h"}, A::Version, {"a.txt"}},
       {{"--", "--help", "-style"}, A::Run, {"--help", "-style"}},
       {{"--frob", "a.txt"}, A::Unknown, {"a.txt"}}});
  for (const auto& c : cases) {
    const CommandLine line = parseCommandLine(c.args);
    EXPECT_EQ(line.action, c.action) << c.args.front();
    EXPECT_EQ(line.files, c.files) << c.args.front();
  }
}

using CommandLineStart = testing::FormFixture;

TEST_F(CommandLineStart, GivenFilesFollowTheRememberedOnesEachOnceAndTheFirstIsShown) {
  const std::string call3 = dir.write("CALL3.TXT", "//\r\nQ1ABC,JO01\r\n");
  const std::string adif = dir.write("wsjtx_log.adi", "<eoh>\n<call:5>Q2XYZ <qso_date:8>20240301 <eor>\n");
  settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] = call3;
  form.CommandLineFiles = {"wsjtx_log.adi", call3, "./wsjtx_log.adi"};
  form.Form_Load();
  form.Form_Activate();
  EXPECT_EQ(window.listItems("Combo1"), (std::vector<std::string>{call3, adif}));
  EXPECT_EQ(window.text("Combo1"), adif);
  EXPECT_EQ(window.text("Text2"), "Q2XYZ");
}

}  // namespace
}  // namespace orvanta
