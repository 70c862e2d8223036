#include "windows/contextual_dispatch.h"

#include <vector>

#include "objects/event_dispatch.h"
#include "vorn/control_api.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/control_containment.h"
#include "windows/control_window_hooks.h"
#include "windows/menu_routing.h"
#include "windows/rect_control.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

// The target, its parent controls, its window and the windows holding that one, each held.
std::vector<RuntimeObject*> ContextualChain(RuntimeObject* target) {
  std::vector<RuntimeObject*> chain;
  RuntimeObject* object = target;
  RuntimeLockObject(object);
  for (int32_t depth = 0; object && depth < 4 * kMaxControlNesting; ++depth) {
    chain.push_back(object);
    RuntimeObject* next = nullptr;
    if (IsRectControl(object)) {
      next = ControlParentGetter(object, 0);  // held
      if (!next) {
        next = AsControl(object)->window;
        RuntimeLockObject(next);
      }
    } else {
      next = ContainingWindowOf(object);
      RuntimeLockObject(next);
    }
    object = next;
  }
  return chain;
}

// Where an object's own coordinates start, in those of the window pane clicked in.
void OriginOf(RuntimeObject* object, int32_t* left, int32_t* top) {
  *left = *top = 0;
  SubPane* pane = IsRectControl(object) ? ControlPane(AsControl(object)) : GetWindowPaneOf(object);
  if (pane && !pane->IsWindow()) {
    *left = pane->Bounds().left;
    *top = pane->Bounds().top;
  }
}

bool AskToConstruct(RuntimeObject* object, RuntimeObject* menu, int32_t x, int32_t y) {
  int32_t left = 0, top = 0;
  OriginOf(object, &left, &top);
  if (IsRectControl(object)) {
    return FireEvent<uint8_t>(object, GetRectControlEventHook(kRectEventConstructContextualMenu), menu, x - left,
                              y - top) != 0;
  }
  return FireEvent<uint8_t>(object, WindowEventHook(kEventConstructContextualMenu), menu, x - left, y - top) != 0;
}

bool OfferAction(RuntimeObject* object, RuntimeObject* item) {
  if (IsRectControl(object))
    return FireEvent<uint8_t>(object, GetRectControlEventHook(kRectEventContextualMenuAction), item) != 0;
  return FireEvent<uint8_t>(object, WindowEventHook(kEventContextualMenuAction), item) != 0;
}

// A trailing separator is not shown.
void DropTrailingSeparator(RuntimeObject* menu) {
  const int32_t count = RuntimeMenuItemCount(menu);
  if (count < 1) return;
  RuntimeObject* last = RuntimeMenuItemItem(menu, count - 1);
  string text = string::Adopt(last ? RuntimeMenuItemTextGetter(last, 0) : nullptr);
  RuntimeUnlockObject(last);
  if (text.View() == "-") RuntimeMenuItemRemoveIndex(menu, count - 1);
}

// The window the click is shown against: the first of the chain with a native window.
Window* ScreenWindowOf(const std::vector<RuntimeObject*>& chain) {
  for (RuntimeObject* object : chain) {
    WindowObject* fields = WindowFieldsOf(object);
    if (fields && fields->view) return fields->view;
  }
  return nullptr;
}

}  // namespace

bool HandleContextualClick(RuntimeObject* target, int32_t x, int32_t y) {
  if (!target) return false;
  std::vector<RuntimeObject*> chain = ContextualChain(target);
  Window* window = ScreenWindowOf(chain);
  bool handled = false;
  if (window) {
    RuntimeObject* menu = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
    // A handler that closes the window ends the click: no menu shows, nobody else is asked.
    for (RuntimeObject* object : chain) {
      if (AskToConstruct(object, menu, x, y) || window->IsClosing()) break;
    }
    DropTrailingSeparator(menu);
    if (RuntimeMenuItemCount(menu) > 0 && !window->IsClosing()) {
      Rect bounds;
      window->GetScreenBounds(&bounds);
      RuntimeObject* chosen = RuntimeMenuItemPopUp(menu, bounds.left + x, bounds.top + y);
      for (RuntimeObject* object : chain) {
        if (!chosen || window->IsClosing()) break;
        if (OfferAction(object, chosen)) {
          handled = true;
          break;
        }
      }
      RuntimeUnlockObject(chosen);
    }
    RuntimeUnlockObject(menu);
  }
  for (RuntimeObject* object : chain) RuntimeUnlockObject(object);
  return handled;
}

}  // namespace vorn
