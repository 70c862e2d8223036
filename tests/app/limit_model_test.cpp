#include <gtest/gtest.h>

#include <cmath>

extern "C" {
#include "limit_model.h"
}

namespace {

// The eleven inputs in window order, so cases read like the calculator's sliders.
struct Inputs {
  double aperture, magnification, nakedEye, age;
  int type;
  double cleanliness, colour, zenith, extinction, seeing, experience;

  double Run() const {
    return LimitingMagnitude(aperture, magnification, nakedEye, age, type, cleanliness, colour,
                             zenith, extinction, seeing, experience);
  }
};

constexpr Inputs kDefaults{150, 100, 6.0, 40, kTelescopeReflector, 7, 0.70, 0, 0.20, 2.00, 6};

// Expected values were worked out step by step from the model's formulas with a desk
// calculator, independently of this code.
TEST(LimitModel, MatchesHandComputedValues) {
  EXPECT_NEAR(kDefaults.Run(), 13.8082304100, 1e-9);
  // Low power: the exit pupil (8 mm) is wider than the eye's, so FP comes into play.
  EXPECT_NEAR((Inputs{80, 10, 6.5, 20, kTelescopeRefractor, 9, 0.0, 30, 0.15, 1, 6}.Run()),
              11.3074739574, 1e-9);
  // High power with seeing taking over, a dark sky (MZ >= 7 - K) and an expert observer.
  EXPECT_NEAR((Inputs{300, 500, 7.5, 70, kTelescopeSCT, 3, 1.5, 60, 0.3, 3, 9}.Run()),
              15.7051127537, 1e-9);
  // Near the horizon with the worst of everything.
  EXPECT_NEAR((Inputs{25, 5, 3.0, 80, kTelescopeReflector, 1, -0.5, 85, 1.0, 10, 1}.Run()),
              -7.6249447030, 1e-9);
}

TEST(LimitModel, BehavesAsObserversExpect) {
  Inputs bigger = kDefaults;
  bigger.aperture = 300;
  EXPECT_GT(bigger.Run(), kDefaults.Run());
  Inputs lower = kDefaults;
  lower.zenith = 70;
  EXPECT_LT(lower.Run(), kDefaults.Run());
  Inputs expert = kDefaults;
  expert.experience = 9;
  EXPECT_NEAR(expert.Run() - kDefaults.Run(), 0.48, 1e-12);
  // A refractor has no central obstruction and better transmission than a reflector.
  Inputs refractor = kDefaults;
  refractor.type = kTelescopeRefractor;
  EXPECT_GT(refractor.Run(), kDefaults.Run());
}

TEST(LimitModel, StaysFiniteOverEverySliderPosition) {
  // Every slider at its minimum, its maximum and its default, in all combinations that matter
  // for the guards: walk each parameter over its range with the others at their extremes.
  const double lows[] = {25, 5, 3.0, 10, 0, 1, -0.5, 0, 0.05, 0.25, 1};
  const double highs[] = {600, 1000, 7.8, 80, 2, 9, 2.0, 85, 1.0, 10.0, 9};
  const double steps[] = {5, 5, 0.1, 1, 1, 1, 0.05, 1, 0.01, 0.25, 1};
  for (const double* base : {lows, highs}) {
    for (int p = 0; p < 11; ++p) {
      for (double v = lows[p]; v <= highs[p] + 1e-9; v += steps[p]) {
        double in[11];
        for (int i = 0; i < 11; ++i) in[i] = base[i];
        in[p] = v;
        double m = LimitingMagnitude(in[0], in[1], in[2], in[3], static_cast<int>(in[4]), in[5],
                                     in[6], in[7], in[8], in[9], in[10]);
        ASSERT_TRUE(std::isfinite(m)) << "parameter " << p << " = " << v;
      }
    }
  }
}

TEST(LimitModel, OutOfRangeInputsAreBroughtToTheModelsEdge) {
  Inputs horizon = kDefaults;
  horizon.zenith = 90;  // cos Z would be 0
  Inputs edge = kDefaults;
  edge.zenith = 85;
  EXPECT_DOUBLE_EQ(horizon.Run(), edge.Run());
  Inputs broken = kDefaults;
  broken.aperture = 0;
  broken.magnification = -3;
  broken.cleanliness = NAN;
  EXPECT_TRUE(std::isfinite(broken.Run()));
  Inputs unknownType = kDefaults;
  unknownType.type = 7;  // treated as the default reflector
  EXPECT_DOUBLE_EQ(unknownType.Run(), kDefaults.Run());
}

}  // namespace
