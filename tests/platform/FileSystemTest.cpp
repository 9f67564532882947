#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>

#include "fakes/CaseName.h"
#include "fakes/TempDir.h"
#include "platform/FileSystem.h"

namespace orvanta {
namespace {

using testing::TempDir;

TEST(WildcardMatch, PatternsIgnoreLetterCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const auto cases = std::to_array<Case>({
      {"call3.txt", "CALL3.TXT", true},
      {"call*.txt", "Call3.txt", true},
      {"call*.txt", "call.txt", true},
      {"call?.txt", "call3.txt", true},
      {"call?.txt", "call33.txt", false},
      {"*.log", "wsjtx.log", true},
      {"*.log", "wsjtx.log.bak", false},
      {"*", "x", true},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXbYcd", false},
      {"*.*", "noext", false},
      {"", "x", false},
  });
  for (const auto& c : cases)
    EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

TEST(FindFirst, OrdinaryVisibleFilesOnly) {
  TempDir dir;
  dir.write("CALL3.TXT", "x");
  dir.write(".hidden.txt", "x");
  dir.write("folder.txt/inner", "x");  // a folder whose name looks like a database
  StdFileSystem fs;
  struct Case {
    std::string pattern;
    bool found;
  };
  const auto cases = std::to_array<Case>({{dir.file("call3.txt"), true},
                                          {dir.file("call*.txt"), true},
                                          {dir.file(".hidden.txt"), false},
                                          {dir.file("*.hidden*"), false},
                                          {dir.file("folder.txt"), false},
                                          {dir.file("nothing.txt"), false},
                                          {dir.file("missing/call3.txt"), false},
                                          {dir.path() + "/", false}});
  for (const auto& c : cases) EXPECT_EQ(fs.findFirst(c.pattern).has_value(), c.found) << c.pattern;
  EXPECT_EQ(fs.findFirst(dir.file("call3.txt")).value(), "CALL3.TXT");
}

TEST(FindFirst, UnreadableFolderIsAnError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  TempDir dir;
  dir.write("locked/call3.txt", "x");
  ::chmod(dir.file("locked").c_str(), 0);
  StdFileSystem fs;
  EXPECT_THROW((void)fs.findFirst(dir.file("locked/call3.txt")), FileError);
  ::chmod(dir.file("locked").c_str(), 0755);
}

TEST(FindFirst, PathThroughAFileIsNotAnError) {
  TempDir dir;
  dir.write("plain", "x");
  StdFileSystem fs;
  EXPECT_FALSE(fs.findFirst(dir.file("plain/call3.txt")).has_value());
}

TEST(StdFileSystem, HookSeesEveryChangeAndCanStopIt) {
  TempDir dir;
  std::vector<std::string> seen;
  StdFileSystem fs([&](std::string_view op, const std::string&) {
    seen.emplace_back(op);
    if (op == "rename") throw FileError("injected");
  });
  auto out = fs.create(dir.file("a.txt"));
  out->write("abc");
  out->sync();
  out->close();
  EXPECT_THROW(fs.rename(dir.file("a.txt"), dir.file("b.txt")), FileError);
  EXPECT_TRUE(fs.exists(dir.file("a.txt")));
  EXPECT_FALSE(fs.exists(dir.file("b.txt")));
  fs.link(dir.file("a.txt"), dir.file("c.txt"));
  fs.append(dir.file("c.txt"), "d");
  EXPECT_EQ(dir.read("a.txt"), "abcd");
  fs.createExclusive(dir.file("e.txt"), 0644)->close();
  EXPECT_EQ(seen, (std::vector<std::string>{"create", "write", "sync", "close", "rename", "link", "append",
                                            "create", "close"}));
}

struct Taken {
  const char* name;
  void (*make)(const std::string& path, const std::string& victim);
};

class CreateExclusive : public ::testing::TestWithParam<Taken> {};

// A scratch name someone else took is never opened: not through a link,
// not into a FIFO, not over a file.
TEST_P(CreateExclusive, NeverOpensWhatIsThere) {
  TempDir dir;
  const std::string victim = dir.write("victim.log", "kept");
  const std::string path = dir.file(".CALL3.txt.orvanta-Ab3dE9");
  GetParam().make(path, victim);
  const auto before = std::filesystem::symlink_status(path).type();
  StdFileSystem files;
  EXPECT_THROW(files.createExclusive(path, 0640), FileError);
  EXPECT_EQ(std::filesystem::symlink_status(path).type(), before);
  EXPECT_EQ(dir.read("victim.log"), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Platform, CreateExclusive,
    ::testing::Values(
        Taken{"LinkToAFile",
              [](const std::string& p, const std::string& v) { std::filesystem::create_symlink(v, p); }},
        Taken{"DanglingLink", [](const std::string& p,
                                 const std::string& v) { std::filesystem::create_symlink(v + ".gone", p); }},
        Taken{"Fifo", [](const std::string& p, const std::string&) { ::mkfifo(p.c_str(), 0644); }},
        Taken{"File", [](const std::string& p, const std::string&) { testing::writeFile(p, "x"); }}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(CreateExclusive, GivesThePermissionBitsWhateverTheUmask) {
  TempDir dir;
  StdFileSystem files;
  const mode_t previous = ::umask(077);
  auto out = files.createExclusive(dir.file("new"), 0664);
  ::umask(previous);
  out->close();
  EXPECT_EQ(files.status(dir.file("new"))->permissions, 0664U);
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// What a database path may name by mistake. Each is answered at once, without
// blocking (a FIFO without a writer would hang the window) and without reading
// a device that never ends; only a regular file, reached through a link or
// not, is read. findFirst, on which FileExists rests, agrees.
struct OpenCase {
  std::string name;
  friend void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }
  bool regular;
  // Makes the thing at path inside dir.
  void (*make)(const testing::TempDir& dir, const std::string& path);
};

void makeFifo(const testing::TempDir& /*dir*/, const std::string& path) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}
void makeLink(const std::string& target, const std::string& path) {
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
}

// Readers of a file's parts read the file that was opened, even once its
// name has been given to a new file, each at its own place.
TEST(PartReaders, ShareTheOpenFile) {
  testing::TempDir dir;
  const std::string path = dir.write("wsjtx_log.adi", "<call:5>Q1ABC <eor>\n<call:5>Q2ABC <eor>\n");
  StdFileSystem files;
  const auto file = files.openRead(path);
  files.rename(dir.write("new.adi", "replaced"), path);
  EXPECT_EQ(file->size(), 40U);
  const auto second = file->readerAt(20);
  ASSERT_NE(second, nullptr);
  std::array<char, 64> bytes{};
  EXPECT_EQ(std::string(bytes.data(), second->read(bytes.data(), 8)), "<call:5>");
  EXPECT_EQ(std::string(bytes.data(), file->read(bytes.data(), 13)), "<call:5>Q1ABC");
  EXPECT_EQ(std::string(bytes.data(), second->read(bytes.data(), bytes.size())), "Q2ABC <eor>\n");
  EXPECT_EQ(second->read(bytes.data(), bytes.size()), 0U);
  EXPECT_EQ(file->readerAt(100)->read(bytes.data(), bytes.size()), 0U);
}

class OpenRead : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenRead, ReadsRegularFilesOnlyAndNeverBlocks) {
  const OpenCase& c = GetParam();
  testing::TempDir dir;
  const std::string path = dir.file("CALL3.txt");
  c.make(dir, path);
  StdFileSystem files;
  if (c.regular) {
    auto file = files.openRead(path);
    std::array<char, 16> bytes{};
    EXPECT_EQ(std::string(bytes.data(), file->read(bytes.data(), bytes.size())), "Q1ABC");
  } else {
    EXPECT_THROW(static_cast<void>(files.openRead(path)), FileError);
  }
  EXPECT_EQ(files.findFirst(path).has_value(), c.regular);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenRead,
    ::testing::Values(
        OpenCase{"RegularFile", true,
                 [](const testing::TempDir& d, const std::string&) { d.write("CALL3.txt", "Q1ABC"); }},
        OpenCase{"LinkToARegularFile", true,
                 [](const testing::TempDir& d, const std::string& p) {
                   makeLink(d.write("real.txt", "Q1ABC"), p);
                 }},
        OpenCase{"Folder", false,
                 [](const testing::TempDir& d, const std::string&) { d.write("CALL3.txt/x", ""); }},
        OpenCase{"Fifo", false, makeFifo},
        OpenCase{"LinkToAFifo", false,
                 [](const testing::TempDir& d, const std::string& p) {
                   makeFifo(d, d.file("pipe"));
                   makeLink(d.file("pipe"), p);
                 }},
        OpenCase{"LinkToDevZero", false,
                 [](const testing::TempDir&, const std::string& p) { makeLink("/dev/zero", p); }},
        OpenCase{"LinkToDevNull", false,
                 [](const testing::TempDir&, const std::string& p) { makeLink("/dev/null", p); }}),
    testing::CaseName());

}  // namespace
}  // namespace orvanta
