// Dictionary keys: Variants hashed and compared as variant_keys.cpp does (VariantKeyHash,
// VariantKeysEqual), with the commonest key, an Integer box, answered inline, without a call
// and without reading the box's value through the general path.
#pragma once

#include <cstdint>

#include "objects/key_hash.h"
#include "objects/runtime_class.h"
#include "objects/variant.h"

namespace vorn {

// The hash of every whole number, whatever its box (Integer, UInteger, or a Double that is one).
inline uint32_t WholeNumberHash(int64_t value) { return MixKeyBits(static_cast<uint64_t>(value)); }

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
  if (const IntegerVariantBox* box = AsIntegerBox(key)) return WholeNumberHash(box->value);
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
