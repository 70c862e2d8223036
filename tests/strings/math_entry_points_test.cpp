#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "strings/random_mod.h"
#include "vorn/runtime_math.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(Shifts, EdgesOfTheCount) {
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, 0), 1);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, 31), kMin);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(-1, 31), kMin);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(3, 31), kMin);  // bits past the top are lost
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, 32), 0);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, -1), 0);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, kMax), 0);
  EXPECT_EQ(RuntimeBitwiseShiftLeft(1, kMin), 0);
}

TEST(Shifts, RightShiftMovesZerosIn) {
  EXPECT_EQ(RuntimeBitwiseShiftRight(kMin, 31), 1);
  EXPECT_EQ(RuntimeBitwiseShiftRight(-1, 1), kMax);
  EXPECT_EQ(RuntimeBitwiseShiftRight(-1, 0), -1);
  EXPECT_EQ(RuntimeBitwiseShiftRight(-1, 32), 0);
  EXPECT_EQ(RuntimeBitwiseShiftRight(256, -3), 0);
}

TEST(Bitwise, AndOrXorAndComplement) {
  EXPECT_EQ(RuntimeBitwiseAnd(0x0F0F, 0x00FF), 0x000F);
  EXPECT_EQ(RuntimeBitwiseOr(kMin, 1), kMin + 1);
  EXPECT_EQ(RuntimeBitwiseXor(-1, 0x0F), -16);
  EXPECT_EQ(RuntimeOnesCompliment(0), -1);
  EXPECT_EQ(RuntimeOnesCompliment(kMax), kMin);
  EXPECT_EQ(BitwiseAnd(6, 3), 2);
  EXPECT_EQ(BitwiseOr(6, 3), 7);
  EXPECT_EQ(BitwiseXor(6, 3), 5);
}

TEST(Maths, BadInputFollowsIEEE) {
  EXPECT_TRUE(std::isnan(RuntimeSqrt(-1)));
  EXPECT_EQ(RuntimeLog(0), -HUGE_VAL);
  EXPECT_TRUE(std::isnan(RuntimeLog(-1)));
  EXPECT_TRUE(std::isnan(RuntimeACos(2)));
  EXPECT_EQ(RuntimeExp(1000), HUGE_VAL);
  EXPECT_EQ(RuntimePow(0, -1), HUGE_VAL);
  EXPECT_EQ(RuntimeSign(std::nan("")), 0);
  EXPECT_EQ(RuntimeMax(std::nan(""), 1), 1);
  EXPECT_EQ(RuntimeMin(2, std::nan("")), 2);
}

TEST(Maths, Values) {
  EXPECT_DOUBLE_EQ(RuntimeLog(std::exp(1.0)), 1.0);  // natural logarithm
  EXPECT_DOUBLE_EQ(RuntimeATan2(1, -1), 3 * std::atan(1.0));
  EXPECT_DOUBLE_EQ(RuntimePow(10, 0.4 * 2.5), 10.0);
  EXPECT_EQ(RuntimeRound(2.5), 3);
  EXPECT_EQ(RuntimeRound(-2.5), -3);
  EXPECT_EQ(RuntimeRound(0.49999999999999994), 0);
  EXPECT_EQ(RuntimeCeil(-0.5), 0);
  EXPECT_EQ(RuntimeFloor(-0.5), -1);
  EXPECT_EQ(RuntimeAbs(-3), 3);
  EXPECT_EQ(RuntimeSign(-0.1), -1);
  EXPECT_EQ(RuntimeSign(0), 0);
  EXPECT_EQ(RuntimeSign(7), 1);
  EXPECT_EQ(RuntimeMax(-1, 2), 2);
  EXPECT_EQ(RuntimeMin(-1, 2), -1);
}

TEST(Conversions, TruncateTowardZero) {
  EXPECT_EQ(FPToInt(2.9), 2);
  EXPECT_EQ(FPToInt(-2.9), -2);
  EXPECT_EQ(SingleToInt(-7.5f), -7);
  EXPECT_EQ(RuntimeDoubleToInt(-0.999), 0);
  EXPECT_EQ(RuntimeFloatToUInt(3.99f), 3u);
  EXPECT_EQ(IntToFP(kMin), -2147483648.0);
  EXPECT_EQ(RuntimeIntToDouble(-5), -5.0);
  EXPECT_EQ(RuntimeUIntToDouble(0xFFFFFFFFu), 4294967295.0);
  EXPECT_EQ(RuntimeIntToFloat(16777217), 16777216.0f);
  EXPECT_EQ(RuntimeUIntToFloat(0xFFFFFFFFu), 4294967296.0f);
}

TEST(Conversions, OutOfRangeSaturatesAndNaNGivesZero) {
  EXPECT_EQ(RuntimeDoubleToInt(1e10), kMax);
  EXPECT_EQ(RuntimeDoubleToInt(-1e10), kMin);
  EXPECT_EQ(RuntimeDoubleToInt(2147483647.9), kMax);
  EXPECT_EQ(RuntimeDoubleToInt(-2147483648.9), kMin);
  EXPECT_EQ(RuntimeDoubleToInt(std::nan("")), 0);
  EXPECT_EQ(FPToInt(HUGE_VAL), kMax);
  EXPECT_EQ(RuntimeFloatToInt(3e9f), kMax);
  EXPECT_EQ(SingleToInt(std::nanf("")), 0);
  EXPECT_EQ(RuntimeDoubleToUInt(-1), 0u);
  EXPECT_EQ(RuntimeDoubleToUInt(4294967295.9), 0xFFFFFFFFu);
  EXPECT_EQ(RuntimeDoubleToUInt(1e20), 0xFFFFFFFFu);
  EXPECT_EQ(RuntimeFloatToUInt(-HUGE_VALF), 0u);
}

TEST(Random, MultiplyModMatchesTheFullProduct) {
  const uint32_t values[] = {0,        1,         9999,      10000,      31415821,
                             99999999, 100000000, 123456789, 0x7FFFFFFF, 0xFFFFFFFF};
  for (uint32_t a : values) {
    for (uint32_t b : values) {
      uint64_t expected = static_cast<uint64_t>(a) * b % 100000000u;
      EXPECT_EQ(vorn::RandomMultiplyMod(a, b), expected) << a << " x " << b;
    }
  }
}

TEST(Random, RndStaysInTheUnitIntervalAndMoves) {
  EXPECT_EQ(vorn::NextRandomSeed(1234567), (1234567ull * 31415821ull + 1) % 100000000ull);
  std::set<double> seen;
  for (int i = 0; i < 1000; ++i) {
    double value = rnd();
    ASSERT_GE(value, 0.0);
    ASSERT_LT(value, 1.0);
    seen.insert(value);
  }
  EXPECT_GT(seen.size(), 990u);
}

}  // namespace
