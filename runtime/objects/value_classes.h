// Start-up registration of the value classes: Variant and its boxes, Date, Dictionary,
// Collection, ObjectCursor, MemoryBlock and TextEncoding, plus the array entry points that no
// class carries.
#pragma once

namespace vorn {

void RegisterValueClasses();

}  // namespace vorn
