// Packed property streams: the design-time property values of a window or control in one
// byte string, applied record by record through each property's own setter.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/runtime_class.h"

namespace vorn {

enum class PackedStreamResult : uint8_t {
  kComplete,        // every record applied
  kIndexOutOfRange, // reported; the rest cannot be decoded
  kReadOnly,        // reported; the rest is not applied
  kIllegalType,     // reported; the rest cannot be decoded
  kTruncated,       // the stream ended inside a record, which was not applied
  kRaised,          // a setter raised an exception; the rest is not applied
};

// Applies the records of `bytes` to the object's properties. The bytes are read only inside
// [bytes, bytes + size); values reach the object only through its property entries.
PackedStreamResult ApplyPackedProperties(RuntimeObject* object, const uint8_t* bytes, size_t size);

}  // namespace vorn
