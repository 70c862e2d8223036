// Internal checks of the volume layers go to the runtime's error report as failed assertions,
// under the source paths the report has always shown for them; after OK the operation goes on.
#pragma once

#include <cstdint>

#include "strings/runtime_error.h"

namespace vorn {

inline constexpr const char* kVolumeCoreSource = "../Universal/VirtualVolumes/VFSCore";
inline constexpr const char* kVolumeHierarchySource = "../Universal/VirtualVolumes/VHFS";
inline constexpr const char* kVirtualItemSource = "../Universal/FolderItemImp/FolderItemImpVirtual";

inline void ReportVolumeAssertion(const char* source, int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, source, line, condition, "");
}

}  // namespace vorn
