// The scan-line seed fill over a grid drawn as text: '#' walls, '.' the region, 'o' filled.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "graphics/seed_fill.h"

namespace {

class TextGrid : public vorn::PixelGrid {
 public:
  explicit TextGrid(std::vector<std::string> rows) : mRows(std::move(rows)) {}
  int32_t Width() const override { return static_cast<int32_t>(mRows[0].size()); }
  int32_t Height() const override { return static_cast<int32_t>(mRows.size()); }
  uint32_t Get(int32_t x, int32_t y) const override { return static_cast<uint8_t>(mRows[y][x]); }
  void Set(int32_t x, int32_t y, uint32_t color) override {
    mRows[y][x] = static_cast<char>(color);
    ++writes;
  }
  std::vector<std::string> mRows;
  int writes = 0;
};

TEST(SeedFill, FillsEveryFourConnectedPixelOfTheSeedsColourAroundCorners) {
  // The region turns down, back up and left again: both leaks of the algorithm are needed.
  TextGrid grid({
      "##########",
      "#....#...#",
      "#.##.#.#.#",
      "#.#..#.#.#",
      "#.#.##.#.#",
      "#.#....#..",
      "#.########",
      "#........#",
      "##########",
  });
  vorn::SeedFill(&grid, 4, 1, 'o');
  const std::vector<std::string> expected = {
      "##########",
      "#oooo#ooo#",
      "#o##o#o#o#",
      "#o#oo#o#o#",
      "#o#o##o#o#",
      "#o#oooo#oo",
      "#o########",
      "#oooooooo#",
      "##########",
  };
  EXPECT_EQ(grid.mRows, expected);
}

TEST(SeedFill, DiagonalNeighboursAreNotJoined) {
  TextGrid grid({"..#", "##.", "..."});
  vorn::SeedFill(&grid, 0, 0, 'o');
  EXPECT_EQ(grid.mRows, (std::vector<std::string>{"oo#", "##.", "..."}));
}

TEST(SeedFill, NothingHappensForTheSeedsOwnColourOrASeedOutside) {
  TextGrid grid({"...", "..."});
  vorn::SeedFill(&grid, 1, 1, '.');
  vorn::SeedFill(&grid, -1, 0, 'o');
  vorn::SeedFill(&grid, 0, 2, 'o');
  vorn::SeedFill(&grid, 3, 0, 'o');
  EXPECT_EQ(grid.writes, 0);
  vorn::SeedFill(&grid, 2, 1, 'o');
  EXPECT_EQ(grid.mRows, (std::vector<std::string>{"ooo", "ooo"}));
  EXPECT_EQ(grid.writes, 6) << "each pixel written once";
}

TEST(SeedFill, CombsOfManyTeethAreFilledWhole) {
  // Teeth hanging from a bar: each leaves a pending segment; 15,000 of them once overflowed a
  // fixed stack and left whole teeth unfilled. Seeded in a tooth and in the bar.
  for (const auto& [teeth, seedX, seedY] : {std::tuple{2000, 0, 5}, std::tuple{15000, 7, 0}}) {
    const int width = 2 * teeth + 1;
    std::vector<std::string> rows(6, std::string(width, '#'));
    rows[0] = std::string(width, '.');
    for (int r = 1; r < 6; ++r)
      for (int x = 0; x < width; x += 2) rows[r][x] = '.';
    TextGrid grid(rows);
    vorn::SeedFill(&grid, seedX, seedY, 'o');
    for (int r = 0; r < 6; ++r)
      for (int x = 0; x < width; x += 2) ASSERT_EQ(grid.mRows[r][x], 'o') << teeth << ": " << r << "," << x;
  }
}

}  // namespace
