#include "windows/instance_handlers.h"

#include <string>

#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "windows/control.h"
#include "windows/rect_control.h"

using namespace vorn;

extern "C" {

void RuntimeInstallInstanceEventHandler(VornRuntimeObject* target, VornStringRecord* eventName, void* handler) {
  if (!target) {
    ReportControlAssertion(__LINE__, "target");
    return;
  }
  RuntimeClass* cls = target->classPtr;
  if (!cls) {
    ReportControlAssertion(__LINE__, "target->classPtr");
    return;
  }
  EventEntry* table = MakePrivateEventTable(target);
  if (!table) return;
  string name = string::Share(eventName);
  // From the last entry down: an event redeclared by a subclass is found in its derived form.
  for (int32_t i = cls->EventCount() - 1; i >= 0; --i) {
    if (string::Share(table[i].name).Compare(name) != 0) continue;
    if (table[i].handler) {
      std::string message = "Attempting to implement an event that was already implemented. Class ";
      message.append(cls->mName.View()).append(", Event ").append(name.View());
      ReportControlAssertion(__LINE__, "NULL == target->eventTable[ctr].vector", message.c_str());
    }
    table[i].handler = handler;
    return;
  }
}

void RuntimeExchangeSelfAndMe(VornRuntimeObject** selfVar, VornRuntimeObject** meVar) {
  if (!selfVar) {
    ReportControlAssertion(__LINE__, "selfVar");
    return;
  }
  if (!meVar) {
    ReportControlAssertion(__LINE__, "meVar");
    return;
  }
  RuntimeObject* object = *selfVar;
  *meVar = object;
  if (IsControl(object)) {
    *selfVar = controlWindowGetter(object, 0);
    return;
  }
  ObjectDefinition* paneChild = GetPaneChildInterfaceDefinition();
  if (object && ObjectIsaDefinition(object, paneChild)) {
    void* method = LookupInterfaceMethod(object, paneChild, string("Window"));
    if (!method) {
      ReportControlAssertion(__LINE__, "vtable");
      return;
    }
    *selfVar = reinterpret_cast<RuntimeObject* (*)(RuntimeObject*)>(method)(object);
    return;
  }
  ReportControlMessage(__LINE__, "Non-control object has a window event implementation");
}

void RuntimeExchangeSelfAndMeClass(VornRuntimeObject** selfVar, VornRuntimeObject** meVar, VornRuntimeClass* cls) {
  if (!selfVar || !meVar) {
    ReportControlAssertion(__LINE__, selfVar ? "meVar" : "selfVar");
    return;
  }
  RuntimeObject* object = *selfVar;
  *meVar = object;
  // Only the parents are tested, never the object itself.
  RuntimeObject* current = object;
  RuntimeLockObject(current);
  for (int32_t depth = 0; depth < kMaxContainerChain && IsRectControl(current); ++depth) {
    RuntimeObject* parent = ControlParentGetter(current, 0);
    RuntimeUnlockObject(current);
    current = parent;
    if (current && cls && RuntimeObjectIsa(current, cls)) {
      *selfVar = current;
      return;
    }
  }
  RuntimeUnlockObject(current);
  std::string message = "couldn't find ";
  if (cls) message.append(cls->mName.View());
  message += " in container chain";
  ReportControlMessage(__LINE__, message);
  *selfVar = nullptr;
}

void RuntimeExchangeSelfAndMeObj(VornRuntimeObject** selfVar, VornRuntimeObject** meVar, VornRuntimeObject* obj) {
  if (!selfVar || !meVar) {
    ReportControlAssertion(__LINE__, selfVar ? "meVar" : "selfVar");
    return;
  }
  *meVar = *selfVar;
  // Held like the window the other two exchanges hand out.
  RuntimeLockObject(obj);
  *selfVar = obj;
}

}  // extern "C"
