// What `expect placed` accepts: the rules a scenario checks the add-in's
// windows by.

#include "standin_host/placement_check.h"

#include <gtest/gtest.h>

namespace parvel::standin {
namespace {

constexpr PlacedRect kExplorer{20, 20, 920, 580};

TEST(PlacementCheck, InsideMeansWhollyInside) {
  EXPECT_FALSE(CheckPlaced({100, 100, 400, 300}, Placed::Inside, kExplorer));
  EXPECT_FALSE(CheckPlaced(kExplorer, Placed::Inside, kExplorer)) << "edges count as inside";
  const auto past = CheckPlaced({700, 100, 1000, 300}, Placed::Inside, kExplorer);
  ASSERT_TRUE(past);
  EXPECT_EQ(*past, L"(700,100)-(1000,300) against (20,20)-(920,580)");
  EXPECT_TRUE(CheckPlaced({0, 0, 510, 465}, Placed::Inside, kExplorer)) << "the top-left corner";
}

TEST(PlacementCheck, CentredAllowsTheRoundingOfOddSizes) {
  EXPECT_FALSE(CheckPlaced({215, 47, 725, 553}, Placed::Centred, kExplorer));
  EXPECT_FALSE(CheckPlaced({216, 48, 727, 554}, Placed::Centred, kExplorer));
  EXPECT_TRUE(CheckPlaced({219, 47, 729, 553}, Placed::Centred, kExplorer));
  EXPECT_TRUE(CheckPlaced({0, 0, 510, 465}, Placed::Centred, kExplorer));
}

TEST(PlacementCheck, BesideMeansSideBySideCloseAndNotOverlapping) {
  const PlacedRect compose{200, 100, 710, 565};
  const PlacedRect right{718, 100, 1348, 490};
  const PlacedRect left{62, 100, 192, 490};
  EXPECT_FALSE(CheckPlaced(right, Placed::Beside, compose));
  EXPECT_FALSE(CheckPlaced(right, Placed::RightOf, compose));
  EXPECT_TRUE(CheckPlaced(right, Placed::LeftOf, compose));
  EXPECT_FALSE(CheckPlaced(left, Placed::Beside, compose));
  EXPECT_FALSE(CheckPlaced(left, Placed::LeftOf, compose));
  EXPECT_FALSE(CheckPlaced({710, 300, 1000, 700}, Placed::Beside, compose)) << "touching, lower";

  const auto over = CheckPlaced({200, 100, 830, 490}, Placed::Beside, compose);
  ASSERT_TRUE(over) << "the picker over the compose window";
  EXPECT_NE(over->find(L"overlapping"), std::wstring::npos);
  EXPECT_TRUE(CheckPlaced({800, 100, 1430, 490}, Placed::Beside, compose)) << "far off";
  const auto below = CheckPlaced({718, 600, 1348, 990}, Placed::Beside, compose);
  ASSERT_TRUE(below);
  EXPECT_NE(below->find(L"no row in common"), std::wstring::npos);
}

}  // namespace
}  // namespace parvel::standin
