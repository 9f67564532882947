#include "link/Locator.h"

#include <gtest/gtest.h>

#include "fakes/CaseName.h"

namespace orvanta::link {
namespace {

// Figures from the haversine formula worked separately on the centres.
struct PathCase {
  std::string name;
  std::string own;
  std::string dx;
  std::optional<long> km;
  std::optional<int> degrees;
};

class Paths : public ::testing::TestWithParam<PathCase> {};

TEST_P(Paths, DistanceAndHeading) {
  const auto& c = GetParam();
  const BeamPath path = beamPath(c.own, c.dx);
  EXPECT_EQ(path.km, c.km);
  EXPECT_EQ(path.degrees, c.degrees);
}

INSTANTIATE_TEST_SUITE_P(
    Link, Paths,
    ::testing::Values(PathCase{"Near", "JO31", "JO22", 176, 310},
                      PathCase{"DueNorth", "JO31", "JO32", 111, 0},
                      PathCase{"SixCharacters", "jn58td", "JN58TE", 5, 0},
                      PathCase{"EightCharactersRoundToZero", "JO31NF22", "JO31NF23", 0, 0},
                      PathCase{"Atlantic", "FN20", "JO31", 6111, 49},
                      PathCase{"AcrossTheDateLineEast", "RJ40", "AJ40", 2224, 90},
                      PathCase{"AcrossTheDateLineWest", "AJ40", "RJ40", 2224, 270},
                      PathCase{"Pacific", "QM08", "BM08", 5123, 70},
                      PathCase{"NearlyAntipodal", "JO31NF22", "AD38AA00", 19900, 139},
                      PathCase{"NearlyAntipodalDueSouth", "JO31", "AD37", 19904, 180},
                      PathCase{"ExactlyOpposite", "JO31", "AD38", 20015, std::nullopt},
                      PathCase{"OppositeOnTheEquator", "JJ00", "AI09", 20015, std::nullopt},
                      PathCase{"Equal", "JO31", " JO31 ", 0, std::nullopt},
                      PathCase{"LetterOutOfRange", "JO31", "JS31", std::nullopt, std::nullopt},
                      PathCase{"FiveCharacters", "JO31", "JO31A", std::nullopt, std::nullopt},
                      PathCase{"SubsquareOutOfRange", "JO31", "JO31ZZ", std::nullopt, std::nullopt},
                      PathCase{"MissingOwn", "", "JO31", std::nullopt, std::nullopt},
                      PathCase{"Report", "JO31", "RR73", std::nullopt, std::nullopt}),
    testing::CaseName{});

}  // namespace
}  // namespace orvanta::link
