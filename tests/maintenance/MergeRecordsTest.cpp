#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "maintenance/Merge.h"
#include "maintenance/RegularRecord.h"
#include "records/NormalizeRecord.h"

namespace orvanta {
namespace {

// Random lines of every shape a database can hold: records of one to eleven
// fields, with and without dates, call signs short and long and in both
// cases, comments, blanks and terminators.
std::vector<std::string> randomLines(std::mt19937& rng, std::size_t count) {
  const std::vector<std::string> calls = {"Q1A",       "Q1AB",          "Q1ABC",         "q1ab", "Q1AB/P",
                                          "Q1ABCDEFG", "Q1ABCDEFGHIJK", "Q1ABCDEFGHIJL", "Q9Z",  "",
                                          " Q1AB",     "ZZZZZZ",        "Q1ABC "};
  const std::vector<std::string> texts = {"", "JO01AA", "EME", "x y", "  ", "FT8", "\xE9t\xE9", "10/2", "/"};
  const std::vector<std::string> dates = {"01/19", "12/19", "05/17", "01/00",
                                          "12/99", "12/81", "x/",    "03/2021"};
  auto pick = [&rng](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
  };
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i) {
    const int shape = std::uniform_int_distribution<int>(0, 19)(rng);
    if (shape == 0) {
      lines.push_back("// a comment " + pick(calls));
      continue;
    }
    if (shape == 1) {
      lines.emplace_back(shape == 1 && ((i % 2) != 0U) ? "" : "   ");
      continue;
    }
    std::string line = pick(calls);
    const int fields = std::uniform_int_distribution<int>(1, 11)(rng);
    for (int f = 1; f < fields; ++f) {
      line += ",";
      line += (f == fields - 1 && i % 3 != 0) ? pick(dates) : pick(texts);
    }
    if (shape == 2) line += ",http://example";
    lines.push_back(line);
  }
  return lines;
}

// The merge written out as plainly as possible: every entry normalized where
// it is needed, call signs compared as whole fields.
std::string referenceMerge(const std::vector<std::string>& lines) {
  std::vector<std::string> entries;
  for (const auto& line : lines) {
    if (line.find("//") != std::string::npos) continue;
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    entries.push_back(line.substr(first));
  }
  std::sort(entries.begin(), entries.end());
  std::string separator = ",";
  std::string result;
  auto yearOf = [](const std::vector<std::string>& fields) {
    return fields.size() > 7 ? UpdateYear(fields[7]) : std::int16_t{2000};
  };
  for (std::size_t k = 0; k < entries.size();) {
    std::string r = entries[k];
    const auto a = NormalizeRecord(r, "", "user", separator);
    if (!a.empty() && a[0] == "ZZZZZZ") {
      ++k;
      continue;
    }
    auto best = yearOf(a);
    std::size_t j = k + 1;
    for (; j < entries.size(); ++j) {
      std::string s = entries[j];
      const auto b = NormalizeRecord(s, "", "user", separator);
      if (b.empty() || b[0] != a[0]) break;
      if (best < yearOf(b)) {
        r = s;
        best = yearOf(b);
      }
    }
    result += r + "\r\n";
    k = j;
  }
  return result;
}

TEST(MergeRecords, AgreesWithThePlainMergeOnRandomDatabases) {
  std::mt19937 rng(20190507);
  for (int round = 0; round < 30; ++round) {
    const auto lines = randomLines(rng, 400);
    std::vector<std::string_view> views(lines.begin(), lines.end());
    int yields = 0;
    const MergedRecords merged = MergeRecords(views, "\r\n", [&] { ++yields; });
    EXPECT_EQ(merged.text, referenceMerge(lines)) << "round " << round;
    EXPECT_EQ(yields, 3);
    EXPECT_EQ(merged.records,
              static_cast<std::size_t>(std::count(merged.text.begin(), merged.text.end(), '\n')));

    // The same lines split over two sources give the same result.
    std::vector<MergeSource> sources(2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto& source = sources[i < lines.size() / 2 ? 0 : 1];
      source.bytes += lines[i];
      source.lengths.push_back(static_cast<std::uint32_t>(lines[i].size()));
    }
    EXPECT_EQ(MergeRecords(sources, "\r\n", nullptr).text, merged.text) << "round " << round;
  }
}

TEST(RegularDateField, OnlyWhereNormalizeRecordLeavesTheLineAsItIs) {
  std::mt19937 rng(7);
  for (const auto& line : randomLines(rng, 3000)) {
    const std::size_t date = regularDateField(line);
    if (date == std::string_view::npos) continue;
    std::string normalized = line;
    std::string separator = ",";
    const auto fields = NormalizeRecord(normalized, "05/19", "user", separator);
    EXPECT_EQ(normalized, line);
    ASSERT_EQ(fields.size(), 8U) << line;
    EXPECT_EQ(fields[7], line.substr(date)) << line;
  }
}

}  // namespace
}  // namespace orvanta
