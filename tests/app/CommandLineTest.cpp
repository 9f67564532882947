// The command line: what is a file, what is Qt's, and the files listed at start.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "fakes/CaseName.h"
#include "fakes/FormFixture.h"

namespace orvanta {
namespace {

using Action = CommandLine::Action;

struct ParseCase {
  const char* name;
  friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
  std::vector<std::string> args;
  Action action;
  std::vector<std::string> files;
};

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, TellsFilesFromOptions) {
  const CommandLine line = parseCommandLine(GetParam().args);
  EXPECT_EQ(line.action, GetParam().action);
  EXPECT_EQ(line.files, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineParse,
    ::testing::Values(
        ParseCase{"Files", {"a.log", "/w/CALL3.TXT"}, Action::Run, {"a.log", "/w/CALL3.TXT"}},
        ParseCase{"QtOptionsAndTheirValues",
                  {"-style", "Fusion", "x.adi", "-platform=xcb", "-reverse", "--stylesheet", "s.qss"},
                  Action::Run,
                  {"x.adi"}},
        ParseCase{"HelpWins", {"a.txt", "--version", "-h"}, Action::Version, {"a.txt"}},
        ParseCase{"AfterDoubleDashAllFiles", {"--", "--help", "-style"}, Action::Run, {"--help", "-style"}},
        ParseCase{"UnknownLongOption", {"--frob", "a.txt"}, Action::Unknown, {"a.txt"}}),
    testing::CaseName());

TEST(CommandLineReplyText, InTheProgramsLanguage) {
  const CommandLine unknown = parseCommandLine({"--frob"});
  EXPECT_EQ(commandLineReply(unknown, false).text, "orvanta: unknown option --frob\nTry: orvanta --help\n");
  EXPECT_EQ(commandLineReply(unknown, true).exitCode, 2);
  EXPECT_TRUE(commandLineReply(parseCommandLine({"-h"}), true).text.starts_with("Aufruf: orvanta"));
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
  EXPECT_EQ(form.DbKind, "log");
  EXPECT_EQ(window.text("Text2"), "Q2XYZ");
}

}  // namespace
}  // namespace orvanta
