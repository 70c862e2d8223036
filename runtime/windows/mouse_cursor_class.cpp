#include "windows/mouse_cursor_class.h"

#include <cstddef>

#include "base/resource_manager.h"
#include "core/run_loop.h"
#include "files/folder_item_hooks.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "windows/clipboard_class.h"

namespace vorn {

namespace {

using CursorObject = VornMouseCursorObject;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// Table indexes of the built-in cursors (see NewBuiltInCursorRecord).
enum BuiltInCursor : int32_t {
  kHandOpen = 0,
  kHandClosed = 1,
  kEastWest = 2,
  kNorthSouth = 3,
  kNortheastSouthwest = 4,
  kNorthwestSoutheast = 5,
  kAllDirections = 6,
  kIBeam = 7,
  kStandardPointer = 8,
  kWait = 9,
  kSplitterEastWest = 10,
  kSplitterNorthSouth = 11,
  kFingerPointer = 12,
  kBuiltInCount = 13,
};

RuntimeObject* sApplicationCursor = nullptr;

ObjectDefinition* BuildMouseCursorDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("MouseCursor");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(CursorObject));
  definition->mFinalizer = {Fn(&mouseCursorDestructor), "mouseCursorDestructor"};
  return definition;
}

#define VORN_CURSOR_ROW(name, getter) \
  {0x01, name, "o<MouseCursor>", Fn(&getter), #getter, nullptr, nullptr, 0, 0}

const PropertyRow kCursorsProperties[] = {
    VORN_CURSOR_ROW("HandOpen", GetHandOpenCursor),
    VORN_CURSOR_ROW("HandClosed", GetHandClosedCursor),
    VORN_CURSOR_ROW("FingerPointer", GetFingerPointerCursor),
    VORN_CURSOR_ROW("ArrowEastWest", GetEastWestCursor),
    VORN_CURSOR_ROW("ArrowNorthSouth", GetNorthSouthCursor),
    VORN_CURSOR_ROW("ArrowNortheastSouthwest", GetNorthEastSouthWestCursor),
    VORN_CURSOR_ROW("ArrowNorthwestSoutheast", GetNorthWestSouthEastCursor),
    VORN_CURSOR_ROW("ArrowAllDirections", GetAllDirectionsCursor),
    VORN_CURSOR_ROW("SplitterEastWest", GetSplitterEastWestCursor),
    VORN_CURSOR_ROW("SplitterNorthSouth", GetSplitterNorthSouthCursor),
    VORN_CURSOR_ROW("StandardPointer", GetStandardPointerCursor),
    VORN_CURSOR_ROW("IBeam", GetTheIBeamCursor),
    VORN_CURSOR_ROW("Wait", GetWaitCursor),
};

#undef VORN_CURSOR_ROW

ObjectDefinition* BuildCursorsModuleDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("_Cursors");
  definition->mFlags = kDefinitionModule;
  definition->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  definition->SetInstanceVariables(
      BuildPropertyList(kCursorsProperties, static_cast<int32_t>(std::size(kCursorsProperties))));
  return definition;
}

// The module's cursors are made once and kept until exit.
RuntimeObject* StandardCursor(int32_t index) {
  static RuntimeObject* sCursors[kBuiltInCount] = {};
  RuntimeObject*& slot = sCursors[index];
  if (!slot) slot = NewMouseCursorObject(NewBuiltInCursorRecord(index));
  RuntimeLockObject(slot);
  return slot;
}

}  // namespace

ObjectDefinition* GetMouseCursorClassDefinition() {
  static ObjectDefinition* definition = [] {
    // FolderItem._OpenAsCursor hands its native cursor over through this.
    SetCursorObjectHook([](void* native) -> VornRuntimeObject* {
      MouseCursor* record = NewEmptyCursorRecord();
      record->cursor = static_cast<_GdkCursor*>(native);
      return NewMouseCursorObject(record);
    });
    return BuildMouseCursorDefinition();
  }();
  return definition;
}

ObjectDefinition* GetCursorsModuleDefinition() {
  static ObjectDefinition* definition = BuildCursorsModuleDefinition();
  return definition;
}

void RegisterPointerClasses() {
  RegisterIntrinsicClass("MouseCursor", &GetMouseCursorClassDefinition);
  RegisterIntrinsicClass(GetCursorsModuleDefinition());
  RegisterIntrinsicClass("Clipboard", &GetClipboardClassDefinition);
}

RuntimeObject* NewMouseCursorObject(MouseCursor* record) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetMouseCursorClassDefinition());
  if (!object) {
    DeleteCursorRecord(record);
    return nullptr;
  }
  reinterpret_cast<CursorObject*>(object)->record = record;
  return object;
}

MouseCursor* MouseCursorRecordOf(RuntimeObject* cursor) {
  if (!cursor || !RuntimeObjectIsaDefinition(cursor, GetMouseCursorClassDefinition())) return nullptr;
  return static_cast<MouseCursor*>(reinterpret_cast<CursorObject*>(cursor)->record);
}

RuntimeObject* GetApplicationCursor() { return sApplicationCursor; }

}  // namespace vorn

using namespace vorn;

extern "C" {

void mouseCursorDestructor(VornRuntimeObject* cursor) {
  if (!cursor) return;
  auto* fields = reinterpret_cast<CursorObject*>(cursor);
  DeleteCursorRecord(static_cast<MouseCursor*>(fields->record));
  fields->record = nullptr;
}

VornRuntimeObject* GetCursorsClass() {
  static RuntimeObject* sModule = CreateInstanceFromDefinition(GetCursorsModuleDefinition());
  RuntimeLockObject(sModule);
  return sModule;
}

VornRuntimeObject* GetHandOpenCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kHandOpen); }
VornRuntimeObject* GetHandClosedCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kHandClosed); }
VornRuntimeObject* GetFingerPointerCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kFingerPointer); }
VornRuntimeObject* GetEastWestCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kEastWest); }
VornRuntimeObject* GetNorthSouthCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kNorthSouth); }
VornRuntimeObject* GetNorthEastSouthWestCursor(VornRuntimeObject*, int32_t) {
  return StandardCursor(kNortheastSouthwest);
}
VornRuntimeObject* GetNorthWestSouthEastCursor(VornRuntimeObject*, int32_t) {
  return StandardCursor(kNorthwestSoutheast);
}
VornRuntimeObject* GetAllDirectionsCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kAllDirections); }
VornRuntimeObject* GetSplitterEastWestCursor(VornRuntimeObject*, int32_t) {
  return StandardCursor(kSplitterEastWest);
}
VornRuntimeObject* GetSplitterNorthSouthCursor(VornRuntimeObject*, int32_t) {
  return StandardCursor(kSplitterNorthSouth);
}
VornRuntimeObject* GetStandardPointerCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kStandardPointer); }
VornRuntimeObject* GetTheIBeamCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kIBeam); }
VornRuntimeObject* GetWaitCursor(VornRuntimeObject*, int32_t) { return StandardCursor(kWait); }

VornRuntimeObject* getArrowCursor() { return NewMouseCursorObject(NewCursorRecordOfType(kCursorTypeArrow)); }
VornRuntimeObject* getWatchCursor() { return NewMouseCursorObject(NewCursorRecordOfType(kCursorTypeWatch)); }
VornRuntimeObject* getIBeamCursor() { return NewMouseCursorObject(NewCursorRecordOfType(kCursorTypeXterm)); }

VornRuntimeObject* RuntimeGetCursorFromResourceManager(int32_t id) {
  const auto resourceId = static_cast<uint16_t>(id);
  std::optional<CursorRecord> bits = GetResourceManager().GetCursorResource(resourceId);
  if (!bits) return nullptr;
  return NewMouseCursorObject(NewCursorRecordFromBits(*bits, resourceId));
}

void appMouseCursorSetter(VornRuntimeObject*, int32_t, VornRuntimeObject* cursor) {
  RuntimeObject* old = sApplicationCursor;
  RuntimeLockObject(cursor);
  sApplicationCursor = cursor;
  RuntimeUnlockObject(old);
  UpdateMouseCursor();
}

}  // extern "C"
