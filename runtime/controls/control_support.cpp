#include "controls/control_support.h"

#include "objects/runtime_class.h"
#include "windows/control_window_hooks.h"
#include "windows/control_containment.h"
#include "windows/window.h"

namespace vorn {

SubPane* ControlParentPane(ControlObject* ctl) {
  if (!ctl) return nullptr;
  if (ctl->windowPane) return static_cast<SubPane*>(ctl->windowPane);
  auto nativeWindow = GetControlWindowHooks().nativeWindow;
  if (!nativeWindow) return nullptr;
  RuntimeObject* window = ctl->window;
  // An embedded window's controls live in the native window of the window holding it.
  for (int32_t depth = 0; window && depth < kMaxControlNesting; ++depth) {
    if (Window* pane = nativeWindow(window)) return pane;
    window = ContainingWindowOf(window);
  }
  return nullptr;
}

void JoinInitialParentPane(ControlObject* ctl, SubPane* pane) {
  ControlObject* parent = ctl && pane ? AsControl(ctl->initialParent) : nullptr;
  SubPane* parentPane = ControlPane(parent);
  if (parentPane && parentPane != pane && parentPane->GetWindow() == pane->GetWindow() &&
      pane->GetParent() != parentPane && !pane->ContainsSubPane(parentPane, true)) {
    pane->SetParent(parentPane);
  }
}

TextStyle GetControlTextStyle(const ControlStyleFields& fields) {
  TextStyle style;
  style.mFontName = string::Share(*fields.font);
  style.mSize = *fields.size;
  style.mBold = *fields.bold ? 1 : 0;
  style.mItalic = *fields.italic ? 1 : 0;
  style.mUnderline = *fields.underline ? 1 : 0;
  return style;
}

void* HandlerByEventName(RuntimeObject* object, const char* eventName) {
  if (!object || !object->classPtr || !object->eventTable) return nullptr;
  std::string_view wanted(eventName);
  for (int32_t i = object->classPtr->EventCount() - 1; i >= 0; --i) {
    const EventEntry& entry = object->eventTable[i];
    if (SameName(RepText(entry.name), wanted)) return entry.handler;
  }
  return nullptr;
}

}  // namespace vorn
