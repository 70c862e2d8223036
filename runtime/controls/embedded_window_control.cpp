#include "controls/embedded_window_control.h"

#include <memory>

#include "controls/control_assert.h"
#include "controls/control_support.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/control_window_hooks.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

TemplateWindowServices sServices;

// Fires the template window's event of that name when it has a handler.
template <typename R = void, typename... Args>
R FireByName(RuntimeObject* window, const char* name, Args... args) {
  void* handler = HandlerByEventName(window, name);
  if (!handler) return R();
  return CallEventHandler<R, Args...>(handler, window, args...);
}

class TemplateLink final : public CanvasTemplate {
 public:
  explicit TemplateLink(EmbeddedWindowControlObject* control) : mControl(control) {}

  bool HasBackColor() override {
    uint32_t color = 0;
    return Window() && sServices.backColor && sServices.backColor(Window(), &color);
  }
  uint32_t BackColor() override {
    uint32_t color = 0;
    if (Window() && sServices.backColor) sServices.backColor(Window(), &color);
    return color;
  }
  void FollowBounds(const Rect& bounds) override {
    const ControlWindowHooks& hooks = GetControlWindowHooks();
    if (!Window() || !hooks.windowBounds || !hooks.setWindowBounds) return;
    Rect r = hooks.windowBounds(Window());
    r.bottom = static_cast<int16_t>(r.top + bounds.Height());
    r.right = static_cast<int16_t>(r.left + bounds.Width());
    hooks.setWindowBounds(Window(), r);
  }
  void Moved() override { FireByName(Window(), "Moved"); }
  void Resized(bool live) override { FireByName(Window(), live ? "Resizing" : "Resized"); }
  void Activate() override {
    if (!Window()) return;
    if (sServices.activate) {
      sServices.activate(Window());
    } else {
      FireByName(Window(), "Activate");
    }
  }
  void Deactivate() override {
    if (!Window()) return;
    if (sServices.deactivate) {
      sServices.deactivate(Window());
    } else {
      FireByName(Window(), "Deactivate");
    }
  }

 private:
  RuntimeObject* Window() const { return mControl->templateWindow; }
  EmbeddedWindowControlObject* mControl;
};

// The template window of a forwarder's control; a missing one is reported.
RuntimeObject* TemplateFor(RuntimeObject* ctl, int32_t line) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(ctl);
  RuntimeObject* window = object ? object->templateWindow : nullptr;
  if (!window) ReportControlAssertion(kCanvasSource, line, "embeddedWindowControl->mTemplateWindow");
  return window;
}

bool IsClosing(RuntimeObject* window) { return sServices.isClosing && sServices.isClosing(window); }

std::vector<RuntimeObject*> EmbeddedWindows(RuntimeObject* window) {
  std::vector<RuntimeObject*> windows;
  if (sServices.collectEmbeddedWindows) {
    sServices.collectEmbeddedWindows(window, &windows);
  } else {
    windows.push_back(window);
  }
  // Each is held while the walk runs: a handler may close any of them.
  for (RuntimeObject* w : windows) RuntimeLockObject(w);
  return windows;
}

void ReleaseAll(const std::vector<RuntimeObject*>& windows) {
  for (RuntimeObject* w : windows) RuntimeUnlockObject(w);
}

// --- forwarders ----------------------------------------------------------------------------

void ewcOpen(RuntimeObject*) {}

void ewcClose(RuntimeObject* ctl) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "Close");
}

void ewcMouseMove(RuntimeObject* ctl, int32_t x, int32_t y) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "MouseMove", x, y);
}

void ewcMouseEnter(RuntimeObject* ctl) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "MouseEnter");
}

void ewcMouseExit(RuntimeObject* ctl) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "MouseExit");
}

void ewcDropObject(RuntimeObject* ctl, RuntimeObject* item) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "DropObject", item);
}

uint8_t ewcMouseWheel(RuntimeObject* ctl, int32_t x, int32_t y, int32_t delta) {
  RuntimeObject* w = TemplateFor(ctl, __LINE__);
  return w ? FireByName<uint8_t>(w, "MouseWheel", x, y, delta) : 0;
}

void ewcPaint(RuntimeObject* ctl, RuntimeObject* graphics) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "Paint", graphics);
}

uint8_t ewcMouseDown(RuntimeObject* ctl, int32_t x, int32_t y) {
  RuntimeObject* w = TemplateFor(ctl, __LINE__);
  return w ? FireByName<uint8_t>(w, "MouseDown", x, y) : 0;
}

void ewcMouseDrag(RuntimeObject* ctl, int32_t x, int32_t y) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "MouseDrag", x, y);
}

void ewcMouseUp(RuntimeObject* ctl, int32_t x, int32_t y) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "MouseUp", x, y);
}

uint8_t ewcKeyDown(RuntimeObject* ctl, StringRep* key) {
  RuntimeObject* w = TemplateFor(ctl, __LINE__);
  if (!w || IsClosing(w)) return 0;
  std::vector<RuntimeObject*> windows = EmbeddedWindows(w);
  uint8_t handled = 0;
  for (auto it = windows.rbegin(); it != windows.rend() && !handled; ++it) {
    handled = FireByName<uint8_t>(*it, "KeyDown", key) ? 1 : 0;
  }
  ReleaseAll(windows);
  return handled;
}

void ewcGotFocus(RuntimeObject* ctl) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "GotFocus");
}

void ewcLostFocus(RuntimeObject* ctl) {
  if (RuntimeObject* w = TemplateFor(ctl, __LINE__)) FireByName(w, "LostFocus");
}

void ewcEnableMenuItems(RuntimeObject* ctl) {
  RuntimeObject* w = TemplateFor(ctl, __LINE__);
  if (!w || IsClosing(w)) return;
  std::vector<RuntimeObject*> windows = EmbeddedWindows(w);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) FireByName(*it, "EnableMenuItems");
  ReleaseAll(windows);
}

const EventImplRow kImpl[] = {
    {"Open", Fn(&ewcOpen), "ewcOpen"},
    {"Close", Fn(&ewcClose), "ewcClose"},
    {"MouseMove", Fn(&ewcMouseMove), "ewcMouseMove"},
    {"MouseEnter", Fn(&ewcMouseEnter), "ewcMouseEnter"},
    {"MouseExit", Fn(&ewcMouseExit), "ewcMouseExit"},
    {"DropObject", Fn(&ewcDropObject), "ewcDropObject"},
    {"MouseWheel", Fn(&ewcMouseWheel), "ewcMouseWheel"},
    {"Paint", Fn(&ewcPaint), "ewcPaint"},
    {"MouseDown", Fn(&ewcMouseDown), "ewcMouseDown"},
    {"MouseDrag", Fn(&ewcMouseDrag), "ewcMouseDrag"},
    {"MouseUp", Fn(&ewcMouseUp), "ewcMouseUp"},
    {"KeyDown", Fn(&ewcKeyDown), "ewcKeyDown"},
    {"GotFocus", Fn(&ewcGotFocus), "ewcGotFocus"},
    {"LostFocus", Fn(&ewcLostFocus), "ewcLostFocus"},
    {"EnableMenuItems", Fn(&ewcEnableMenuItems), "ewcEnableMenuItems"},
};

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("EmbeddedWindowControl");
  definition->mSuper = GetCanvasClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(EmbeddedWindowControlObject));
  definition->mInitializer = {Fn(&EmbeddedWindowControlInitializer), "EmbeddedWindowControlInitializer"};
  definition->mFinalizer = {Fn(&EmbeddedWindowControlFinalizer), "EmbeddedWindowControlFinalizer"};
  AddEventImplementations(definition, kImpl, static_cast<int32_t>(std::size(kImpl)));
  return definition;
}

RuntimeCanvas* PaneOf(EmbeddedWindowControlObject* object) {
  return dynamic_cast<RuntimeCanvas*>(ControlPane(&object->canvas.base));
}

}  // namespace

void SetTemplateWindowServices(const TemplateWindowServices& services) { sServices = services; }
const TemplateWindowServices& GetTemplateWindowServices() { return sServices; }

ObjectDefinition* GetEmbeddedWindowControlClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

EmbeddedWindowControlObject* AsEmbeddedWindowControl(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetEmbeddedWindowControlClassDefinition())
             ? reinterpret_cast<EmbeddedWindowControlObject*>(object)
             : nullptr;
}

void SetEmbeddedTemplateWindow(RuntimeObject* control, RuntimeObject* window) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(control);
  if (!object) return;
  RuntimeLockObject(window);
  RuntimeObject* old = object->templateWindow;
  object->templateWindow = window;
  RuntimeUnlockObject(old);
  if (window && !object->templateLink) object->templateLink = new TemplateLink(object);
  if (RuntimeCanvas* pane = PaneOf(object)) pane->SetTemplate(window ? object->templateLink : nullptr);
}

RuntimeObject* EmbeddedTemplateWindow(RuntimeObject* control) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(control);
  return object ? object->templateWindow : nullptr;
}

CanvasTemplate* EmbeddedTemplateLink(RuntimeObject* control) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(control);
  return object && object->templateWindow ? object->templateLink : nullptr;
}

bool EmbeddedTemplateSize(RuntimeObject* control, int32_t* width, int32_t* height) {
  RuntimeObject* window = EmbeddedTemplateWindow(control);
  if (!window) return false;
  if (sServices.designSize) return sServices.designSize(window, width, height);
  auto bounds = GetControlWindowHooks().windowBounds;
  if (!bounds) return false;
  Rect r = bounds(window);
  *width = r.Width();
  *height = r.Height();
  return true;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void EmbeddedWindowControlInitializer(VornRuntimeObject* ctl) {
  if (EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(ctl)) {
    object->canvas.base.enabled = 1;
    object->canvas.base.autoDeactivate = 1;
  }
}

void EmbeddedWindowControlFinalizer(VornRuntimeObject* ctl) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(ctl);
  if (!object) return;
  if (RuntimeCanvas* pane = PaneOf(object)) pane->SetTemplate(nullptr);
  RuntimeObject* window = object->templateWindow;
  object->templateWindow = nullptr;
  if (window) {
    // The template's map gives back its reference to every control it holds; an entry is
    // never left behind without one, so the window's own end cannot release it again. A
    // control that lives on (its pane still holds it) forgets the template, which may go first.
    if (ControlMap* map = WindowControlMap(window)) {
      std::vector<RuntimeObject*> held;
      std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
      RuntimeObject* value = nullptr;
      while (it->Next(&value)) {
        if (ControlObject* member = AsControl(value); member && member->window == window) member->window = nullptr;
        held.push_back(value);
      }
      it.reset();
      map->Clear();
      for (RuntimeObject* c : held) RuntimeUnlockObject(c);
    }
    if (sServices.detachFromContainer) sServices.detachFromContainer(window);
    RuntimeUnlockObject(window);
  }
  delete object->templateLink;
  object->templateLink = nullptr;
}

}  // extern "C"
