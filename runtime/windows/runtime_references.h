// How compiled code reaches runtime objects by reference (the project objects of the image)
// and the intrinsic type descriptors that describe the value types of properties.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"

namespace vorn {

// The image's project objects: entries 1 to count of `table` (entry 0 is never read). The
// table stays the caller's; nil or a count of 0 empties the registry.
void SetProjectObjectTable(RuntimeObject* const* table, int32_t count);

// One value type. Operations work on a property's storage: `toText` answers a new reference,
// `fromText` fills an empty slot (false when the text does not fit), `release` and `retain`
// manage a stored reference. A missing operation is nil.
struct IntrinsicTypeDescriptor {
  uint32_t flags;
  const char* name;
  StringRep* (*toText)(const void* field);
  bool (*fromText)(StringRep* text, void* field);
  void (*release)(void* field);
  void (*retain)(void* field);
};

constexpr int32_t kIntrinsicTypeCount = 14;
// String, Integer, UInteger, Boolean, Single, Double, Form, Color, Ptr, WindowPtr, OSType,
// CString, PString, Short, in that order.
const IntrinsicTypeDescriptor* GetIntrinsicTypeDescriptors();
// By name, letter case ignored; nil when unknown.
const IntrinsicTypeDescriptor* FindIntrinsicTypeDescriptor(const string& name);

}  // namespace vorn
