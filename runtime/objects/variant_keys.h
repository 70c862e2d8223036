// Dictionary keys: Variants hashed and compared as variant_keys.cpp does (VariantKeyHash,
// VariantKeysEqual), with the commonest key, an Integer box, answered inline, without a call
// and without reading the box's value through the general path.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "objects/variant.h"

namespace vorn {

inline uint32_t MixKeyBits(uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdull;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ull;
  x ^= x >> 33;
  return static_cast<uint32_t>(x);
}

// The hash of every whole number, whatever its box (Integer, UInteger, or a Double that is one):
// the number folded to 32 bits, so that numbers in step, the commonest keys, hash in step too.
// The table spreads hashes itself (variant_table.h).
inline uint32_t WholeNumberKeyHash(int64_t value) {
  const auto bits = static_cast<uint64_t>(value);
  return static_cast<uint32_t>(bits ^ (bits >> 32));
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

inline uint32_t KeyHash(RuntimeObject* key) {
  if (const IntegerVariantBox* box = AsIntegerBox(key)) return WholeNumberKeyHash(box->value);
  return VariantKeyHash(key);
}

inline bool KeysEqual(RuntimeObject* a, RuntimeObject* b) {
  if (a == b) return true;
  const IntegerVariantBox* x = AsIntegerBox(a);
  const IntegerVariantBox* y = x ? AsIntegerBox(b) : nullptr;
  if (y) return x->value == y->value;
  return VariantKeysEqual(a, b);
}

}  // namespace vorn
