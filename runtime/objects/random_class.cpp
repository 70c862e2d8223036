#include "objects/random_class.h"

#include <cmath>
#include <cstddef>
#include <ctime>
#include <iterator>

#include "objects/exceptions.h"
#include "strings/random_mod.h"

namespace vorn {

namespace {

constexpr uint32_t kSeedModulus = 100000000;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

RandomObject* RandomOf(RuntimeObject* self) {
  if (!self) RuntimeRaiseNilObjectException();
  return reinterpret_cast<RandomObject*>(self);
}

uint32_t ClockSeed() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<uint32_t>((static_cast<uint64_t>(now.tv_sec) * 1000003u + static_cast<uint64_t>(now.tv_nsec)) %
                               kSeedModulus);
}

const PropertyRow kProperties[] = {
    {0, "Seed", "i4", Fn(&intGetter), "intGetter", Fn(&RandomSeedSetter), "RandomSeedSetter",
     static_cast<int32_t>(offsetof(RandomObject, seed)), 0},
};

const ParamRow kLimit[] = {{"limit", "i4", 0, 0}};
const ParamRow kRange[] = {{"min", "i4", 0, 0}, {"max", "i4", 0, 0}};
const MethodRow kMethods[] = {
    {"Number", "f8", nullptr, 0, Fn(&RandomNumber), "RandomNumber", nullptr, nullptr, 0, 0},
    {"LessThan", "i4", kLimit, 1, Fn(&RandomNumberLessThan), "RandomNumberLessThan", nullptr, nullptr, 0, 0},
    {"InRange", "i4", kRange, 2, Fn(&RandomNumberInRangeMinMax), "RandomNumberInRangeMinMax", nullptr, nullptr, 0,
     0},
    {"Gaussian", "f8", nullptr, 0, Fn(&RandomGaussian), "RandomGaussian", nullptr, nullptr, 0, 0},
    {"Randomize", "", nullptr, 0, Fn(&RandomizeSeed), "RandomizeSeed", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetRandomClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Random");
    definition.mInstanceSize = sizeof(RandomObject);
    definition.mInitializer = {Fn(&RandomConstructor), "RandomConstructor"};
    definition.SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  }
  return &definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RandomConstructor(VornRuntimeObject* self) { RandomizeSeed(self); }

void RandomizeSeed(VornRuntimeObject* self) {
  if (RandomObject* r = RandomOf(self)) r->seed = static_cast<int32_t>(ClockSeed());
}

void RandomSeedSetter(VornRuntimeObject* self, int32_t, int32_t seed) {
  uint32_t magnitude = seed < 0 ? 0u - static_cast<uint32_t>(seed) : static_cast<uint32_t>(seed);
  if (RandomObject* r = RandomOf(self)) r->seed = static_cast<int32_t>(magnitude % kSeedModulus);
}

double RandomNumber(VornRuntimeObject* self) {
  RandomObject* r = RandomOf(self);
  if (!r) return 0;
  // A seed stored directly into the field may be out of range; the step brings it back.
  uint32_t next = NextRandomSeed(static_cast<uint32_t>(r->seed) % kSeedModulus);
  r->seed = static_cast<int32_t>(next);
  return static_cast<double>(next) / kSeedModulus;
}

int32_t RandomNumberLessThan(VornRuntimeObject* self, int32_t limit) {
  if (!self) return static_cast<int32_t>(RandomNumber(self));
  if (limit < 1) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  return static_cast<int32_t>(RandomNumber(self) * limit);
}

int32_t RandomNumberInRangeMinMax(VornRuntimeObject* self, int32_t low, int32_t high) {
  if (!self) return static_cast<int32_t>(RandomNumber(self));
  if (high < low) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  double span = static_cast<double>(high) - static_cast<double>(low) + 1;
  return static_cast<int32_t>(static_cast<int64_t>(low) + static_cast<int64_t>(RandomNumber(self) * span));
}

double RandomGaussian(VornRuntimeObject* self) {
  if (!self) return RandomNumber(self);
  // Box-Muller; 1 - u keeps the logarithm's argument in (0, 1].
  double u = 1.0 - RandomNumber(self);
  double v = RandomNumber(self);
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
}

}  // extern "C"
