// The Random class: a generator of its own, reproducible from its seed. It steps the same
// generator as rnd (random_mod.h), each object with its own seed.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct RandomObject {
  RuntimeObject header;
  int32_t seed;  // 0 .. 99999999
};

ObjectDefinition* GetRandomClassDefinition();

}  // namespace vorn

extern "C" {
// Seeds from the clock.
void RandomConstructor(VornRuntimeObject* self);
void RandomizeSeed(VornRuntimeObject* self);
// Any value: negative seeds count by their magnitude, and seeds reduce modulo 100000000.
void RandomSeedSetter(VornRuntimeObject* self, int32_t unused, int32_t seed);
// In [0, 1).
double RandomNumber(VornRuntimeObject* self);
// An integer in [0, limit); OutOfBoundsException for a limit below 1.
int32_t RandomNumberLessThan(VornRuntimeObject* self, int32_t limit);
// An integer in [low, high]; OutOfBoundsException when high < low.
int32_t RandomNumberInRangeMinMax(VornRuntimeObject* self, int32_t low, int32_t high);
// Normally distributed with mean 0 and standard deviation 1.
double RandomGaussian(VornRuntimeObject* self);
}
