// Run-time classes: built once from a class definition, each derived class's tables starting
// with a copy of its base's. Compiled code sees a class only as an opaque handle, so the
// record is named after that handle (VornRuntimeClass) and used here as vorn::RuntimeClass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "objects/object_definition.h"
#include "strings/vstring.h"
#include "vorn/object_abi.h"

namespace vorn {

using RuntimeObject = VornRuntimeObject;
using EventEntry = VornEventEntry;

// getter/setter words of a property entry: a function, kDirectField, or nil (setter:
// read-only; getter: write-only).
inline void* DirectFieldMarker() { return reinterpret_cast<void*>(uintptr_t{1}); }
inline bool IsDirectField(const void* accessor) { return reinterpret_cast<uintptr_t>(accessor) == 1; }

struct PropertyEntry {
  StringRep* signature;  // "Name%type%", held by the class
  int32_t param;
  void* getter;
  void* setter;
};

struct InterfaceEntry {
  VornRuntimeClass* iface;
  std::vector<void*> vtable;  // the interface's methods in declaration order; nil when missing
  bool explicitTable = false;  // installed by RuntimeNewVtable rather than matched by name
};

// The text of a record without taking a reference.
inline std::string_view RepText(const StringRep* rep) {
  return rep ? std::string_view(rep->buffer + 1, static_cast<size_t>(rep->length)) : std::string_view();
}

}  // namespace vorn

struct VornRuntimeClass {
  vorn::string mName;
  int32_t mInstanceSize = 0;
  bool mIsInterface = false;
  VornRuntimeClass* mSuper = nullptr;
  vorn::ObjectDefinition* mDefinition = nullptr;

  std::vector<vorn::ProcEntry> mConstructors;  // base first
  std::vector<vorn::ProcEntry> mDestructors;   // derived first

  std::vector<void*> mMethodTable;         // base slots first; header word 0 of every instance
  std::vector<std::string> mMethodNames;   // parallel to the table; "=" marks an assignment form
  std::vector<vorn::EventEntry> mEvents;   // shared event table, base events first
  std::vector<vorn::PropertyEntry> mAccessors;      // base entries first (packed property streams)
  std::vector<vorn::PropertyEntry> mOwnProperties;  // this class's own rows (debugger)
  std::vector<vorn::InterfaceEntry> mInterfaces;    // inherited entries first

  std::vector<vorn::string> mKeptStrings;  // owns the names the entries point to

  int32_t EventCount() const { return static_cast<int32_t>(mEvents.size()); }
  int32_t PropertyCount() const { return static_cast<int32_t>(mAccessors.size()); }
  int32_t MethodCount() const { return static_cast<int32_t>(mMethodTable.size()); }
};

namespace vorn {

using RuntimeClass = VornRuntimeClass;

// The run-time class of a definition, converted on first use and cached; nil for nil.
RuntimeClass* RuntimeClassFromDefinition(ObjectDefinition* definition);

// True when cls is ancestor or cls itself; for an interface ancestor, when cls implements it.
bool ClassIsa(const RuntimeClass* cls, const RuntimeClass* ancestor);
// The method table of cls for the interface (or an interface derived from it), nil when none.
InterfaceEntry* FindInterfaceEntry(RuntimeClass* cls, const RuntimeClass* iface);

// Index of the method slot of that name (letter case ignored), -1 when none.
int32_t FindMethodSlot(const RuntimeClass* cls, std::string_view name);

}  // namespace vorn
