// Dictionary keys: Variants hashed and compared as variant_keys.cpp does (VariantKeyHash,
// VariantKeysEqual), with the commonest key, an Integer box, answered inline, without a call
// and without reading the box's value through the general path.
#pragma once

#include <cstdint>

#include "objects/key_hash.h"
#include "objects/runtime_class.h"
#include "objects/variant.h"

namespace vorn {

// The hash of every whole number, whatever its box (Integer, UInteger, or a Double that is one):
// the high half of all 64 bits times an odd multiplier, secret (objects/key_hash.h). Two given
// numbers share their top b bits for at most 2 in 2^b multipliers, so keys chosen without the
// seed spread like random ones, while numbers in step still hash in step (variant_table.h places
// them accordingly, and draws another multiplier for a table whose keys the step bunches up).
inline uint64_t WholeNumberMultiplier() { return KeySeed().mix | 1; }
inline uint32_t WholeNumberKeyHash(int64_t value, uint64_t multiplier) {
  return static_cast<uint32_t>((static_cast<uint64_t>(value) * multiplier) >> 32);
}

struct IntegerVariantBox {
  RuntimeObject header;
  int32_t value;
};

inline RuntimeClass* IntegerVariantClass() {
  static RuntimeClass* const cls = RuntimeClassFromDefinition(GetIntegerVariantClassDefinition());
  return cls;
}

inline const IntegerVariantBox* AsIntegerBox(const RuntimeObject* variant) {
  return variant && variant->classPtr == IntegerVariantClass() ? reinterpret_cast<const IntegerVariantBox*>(variant)
                                                                : nullptr;
}

inline uint32_t KeyHash(RuntimeObject* key, uint64_t wholeNumberMultiplier) {
  if (const IntegerVariantBox* box = AsIntegerBox(key)) return WholeNumberKeyHash(box->value, wholeNumberMultiplier);
  return VariantKeyHash(key, wholeNumberMultiplier);
}

inline bool KeysEqual(RuntimeObject* a, RuntimeObject* b) {
  if (a == b) return true;
  const IntegerVariantBox* x = AsIntegerBox(a);
  const IntegerVariantBox* y = x ? AsIntegerBox(b) : nullptr;
  if (y) return x->value == y->value;
  return VariantKeysEqual(a, b);
}

}  // namespace vorn
