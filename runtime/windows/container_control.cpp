// Embedding a container's template window into a window, a control or a panel page.
#include "windows/container_control.h"

#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/control_containment.h"
#include "windows/control_window_hooks.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"
#include "windows/window_controls.h"

namespace vorn {

namespace {

constexpr const char* kContainerSource = "../Common/ClassLib/ContainerControl";

EmbeddingControlServices sServices;
PagePanelTest sPagePanelTest = nullptr;

ControlObject* EmbeddingControl(RuntimeObject* templateWindow) {
  WindowObject* fields = WindowFieldsOf(templateWindow);
  return fields ? AsControl(fields->embeddedWindowControl) : nullptr;
}

RuntimeObject* OutermostWindow(RuntimeObject* window) {
  for (int32_t depth = 0; depth < kMaxControlNesting; ++depth) {
    RuntimeObject* up = ContainingWindowOf(window);
    if (!up) break;
    window = up;
  }
  return window;
}

// Gives a template's control a pane in the outermost window, inside the embedding control.
void MakeTemplateControlPane(RuntimeObject* templateWindow, RuntimeObject* outer, ControlObject* embedding,
                             RuntimeObject* entry) {
  ControlObject* ctl = AsControl(entry);
  if (!ctl->initialParent) {
    ctl->initialParent = AsObject(embedding);
    ctl->tabPanelIndex = embedding->tabPanelIndex;
  }
  Rect r = GetControlBounds(ctl);
  OffsetRect(&r, embedding->bounds.left, embedding->bounds.top);
  SetControlBounds(ctl, r);
  ctl->window = outer;
  ctl->windowPane = GetWindowPaneOf(outer);
  MakeControlPane(entry);
  ctl->window = templateWindow;
}

// Step 14 of embedding: the template's controls get panes; containers in the template's map
// are embedded in turn, after which the walk starts over (the map may have grown).
void GiveTemplateControlsPanes(RuntimeObject* templateWindow, RuntimeObject* outer, ControlObject* embedding) {
  for (int32_t round = 0; round < 4096; ++round) {
    std::vector<RuntimeObject*> entries = LockedEntries(AsWindowFields(templateWindow)->controls);
    bool restart = false;
    for (RuntimeObject* entry : entries) {
      if (ControlObject* ctl = AsControl(entry)) {
        if (!ControlPane(ctl)) MakeTemplateControlPane(templateWindow, outer, embedding, entry);
      } else if (NeedsNestedEmbedding(entry)) {
        EmbedWindow(entry, templateWindow, 0, 0, -1, -1, true);
        if (!NeedsNestedEmbedding(entry)) {
          restart = true;
          break;
        }
      }
    }
    UnlockAll(entries);
    if (!restart) return;
  }
}

// Whether `inner` is `window` or lies in it: an entry of its map, or shown by one of its
// embedding controls, at any depth.
bool HoldsWindow(RuntimeObject* window, RuntimeObject* inner, int32_t depth) {
  if (window == inner) return true;
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || !fields->controls || depth > kMaxControlNesting) return false;
  StringMapIterator<RuntimeObject*>* it = fields->controls->NewIterator();
  RuntimeObject* entry = nullptr;
  std::vector<RuntimeObject*> windows;
  while (it->Next(&entry)) {
    if (WindowFieldsOf(entry)) windows.push_back(entry);
    if (RuntimeObject* templ = IsEmbeddedWindowControl(entry) ? TemplateWindowOf(entry) : nullptr) {
      windows.push_back(templ);
    }
  }
  delete it;
  for (RuntimeObject* w : windows) {
    if (w != window && HoldsWindow(w, inner, depth + 1)) return true;
  }
  return false;
}

}  // namespace

void SetEmbeddingControlServices(const EmbeddingControlServices& services) {
  sServices = services;
  ControlWindowHooks hooks = GetControlWindowHooks();
  hooks.isEmbeddedWindowControl = services.isEmbeddingControl;
  hooks.templateWindow = services.templateWindow;
  SetControlWindowHooks(hooks);
}

const EmbeddingControlServices& GetEmbeddingControlServices() { return sServices; }

void SetPagePanelTest(PagePanelTest test) { sPagePanelTest = test; }

bool IsPagePanel(RuntimeObject* control) { return sPagePanelTest && sPagePanelTest(control); }

bool IsContainerControl(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetContainerControlClassDefinition());
}

bool NeedsNestedEmbedding(RuntimeObject* entry) {
  WindowObject* fields = IsContainerControl(entry) ? AsWindowFields(entry) : nullptr;
  return fields && !fields->containingWindow && fields->embeddedWindowControl;
}

void CreateContainerTemplate(RuntimeObject* templateWindow) {
  WindowObject* fields = AsWindowFields(templateWindow);
  fields->widthRemembered = 0;
  fields->heightRemembered = 0;
  // The template is held for the embedding control until the control lets it go.
  RuntimeLockObject(templateWindow);
  RuntimeObject* control = sServices.newControl ? sServices.newControl() : nullptr;
  if (control) {
    fields->embeddedWindowControl = control;
    if (sServices.setTemplateWindow) sServices.setTemplateWindow(control, templateWindow);
  } else {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow->mEmbeddedWindowControl");
  }
  RuntimeUnlockObject(templateWindow);
  // The template is not a window of its own: it shows when its control does.
  fields->visible = 1;
  FireEvent(templateWindow, WindowEventHook(kEventLayout));
  // The container's designed visibility is its control's.
  if (ControlObject* ctl = AsControl(fields->embeddedWindowControl)) ctl->visible = fields->visible ? 1 : 0;
  fields->controls = new StringMap<RuntimeObject*>(256);
  fields->menuHandlers = new StringMap<void*>(256);
  fields->controlsCreated = 0;
  FireEvent(templateWindow, WindowEventHook(kEventCreateControls));
  fields->controlsCreated = 1;
}

void EmbedWindow(RuntimeObject* t, RuntimeObject* p, int32_t left, int32_t top, int32_t width, int32_t height,
                 bool nested) {
  if (!t) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow");
    return;
  }
  if (!p) {
    RuntimeRaiseNilObjectException();
    return;
  }
  WindowObject* fields = WindowFieldsOf(t);
  ControlObject* embedding = EmbeddingControl(t);
  if (!fields || !embedding || !WindowFieldsOf(p)) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow->mEmbeddedWindowControl");
    return;
  }
  // A window cannot sit inside itself or inside a window it holds.
  if (HoldsWindow(t, p, 0)) {
    RuntimeRaiseExceptionWithMessage(GetInvalidParentExceptionClassDefinition(), string());
    return;
  }
  // A template shows in one place only: embedding it again would file its control twice.
  if (fields->containingWindow) {
    ReportPaneAssertion(kContainerSource, __LINE__, "templateWindow->mContainingWindow == nil");
    return;
  }
  RuntimeObject* control = AsObject(embedding);
  RuntimeLockObject(t);
  RuntimeLockObject(control);
  fields->containingWindow = p;

  Rect& b = fields->bounds;
  OffsetRect(&b, left, top);
  if (width != -1) b.right = static_cast<int16_t>(b.left + width);
  if (height != -1) b.bottom = static_cast<int16_t>(b.top + height);

  // The control sits in the outermost window's coordinates.
  int32_t dh = 0, dv = 0;
  EmbeddedWindowOffset(p, &dh, &dv);
  Rect placed = b;
  OffsetRect(&placed, dh, dv);
  SetControlBounds(embedding, placed);

  const string key = string("_") + ClassOf(t)->mName;
  WindowAddControl(p, key.Rep(), control);
  if (fields->embeddingName && fields->embeddingName->length > 0) {
    ControlInitialParentSetter(control, 0, fields->embeddingName);
  }
  if (!embedding->initialParent) {
    if (ControlObject* outerEmbedding = EmbeddingControl(p)) {
      embedding->initialParent = AsObject(outerEmbedding);
      embedding->tabPanelIndex = outerEmbedding->tabPanelIndex;
    }
  }

  RuntimeObject* outer = OutermostWindow(p);
  embedding->window = outer;
  embedding->windowPane = GetWindowPaneOf(outer);
  if (!ControlPane(embedding)) MakeControlPane(control);
  if (!embedding->initialParent) ControlParentSetter(control, 0, nullptr);
  if (SubPane* pane = ControlPane(embedding)) {
    if (SubPane* parent = pane->GetParent()) parent->SetShownByContainer(parent->ShownByContainer());
    if (pane->IsDisplayed()) pane->Invalidate(true);
  }
  embedding->window = p;
  // From here on the containing window's map holds the control; the creation reference goes.
  RuntimeUnlockObject(control);

  const bool acceptsFocus = sServices.acceptsFocus && sServices.acceptsFocus(control);
  fields->windowKeys = acceptsFocus ? 0 : 1;
  FireEvent(t, WindowEventHook(kEventAddMenuHandlers), t);
  if (!fields->windowKeys && fields->menuHandlers) {
    StringMapIterator<void*>* it = fields->menuHandlers->NewIterator();
    void* handler = nullptr;
    string name;
    while (it->Next(&handler, &name)) ControlAddMenuHandler(control, name.Rep(), handler);
    delete it;
  }

  GiveTemplateControlsPanes(t, outer, embedding);
  if (SubPane* pane = ControlPane(embedding)) pane->SetShownByContainer(pane->ShownByContainer());
  if (!nested) {
    FireWindowOpenEvents(t);
    PlaceEmbeddedControlPane(t);
  }
  RuntimeUnlockObject(control);
  RuntimeUnlockObject(t);
}

void PlaceEmbeddedControlPane(RuntimeObject* templateWindow) {
  ControlObject* embedding = EmbeddingControl(templateWindow);
  SubPane* pane = ControlPane(embedding);
  if (pane) pane->SetBounds(GetControlBounds(embedding), false);
}

void CollectEmbeddedWindows(RuntimeObject* window, std::vector<RuntimeObject*>* out) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || out->size() > 4096) return;
  ControlObject* embedding = AsControl(fields->embeddedWindowControl);
  const bool shown = embedding ? embedding->visible != 0 : fields->visible != 0;
  if (!shown) return;
  out->push_back(window);
  if (!fields->controls) return;
  StringMapIterator<RuntimeObject*>* it = fields->controls->NewIterator();
  RuntimeObject* entry = nullptr;
  std::vector<RuntimeObject*> inner;
  while (it->Next(&entry)) {
    if (!IsEmbeddedWindowControl(entry) || !ControlPane(AsControl(entry))) continue;
    RuntimeObject* templ = TemplateWindowOf(entry);
    if (templ && templ != window && WindowFieldsOf(templ) && AsWindowFields(templ)->windowKeys) inner.push_back(templ);
  }
  delete it;
  for (RuntimeObject* templ : inner) CollectEmbeddedWindows(templ, out);
}

bool TemplateDesignSize(RuntimeObject* templateWindow, int32_t* width, int32_t* height) {
  WindowObject* fields = WindowFieldsOf(templateWindow);
  if (!fields) return false;
  *width = fields->bounds.Width();
  *height = fields->bounds.Height();
  return true;
}

bool TemplateBackColor(RuntimeObject* templateWindow, uint32_t* color) {
  WindowObject* fields = WindowFieldsOf(templateWindow);
  if (!fields || !fields->hasBackColor) return false;
  *color = fields->backColor;
  return true;
}

bool TemplateWindowClosing(RuntimeObject* templateWindow) {
  WindowObject* fields = WindowFieldsOf(templateWindow);
  if (!fields) return true;
  if (fields->view) return fields->view->IsClosing();
  RuntimeObject* outer = OutermostWindow(templateWindow);
  RuntimeViewWindow* view = outer != templateWindow && WindowFieldsOf(outer) ? AsWindowFields(outer)->view : nullptr;
  return view && view->IsClosing();
}

void TemplateCollectEmbeddedWindows(RuntimeObject* templateWindow, std::vector<RuntimeObject*>* out) {
  CollectEmbeddedWindows(templateWindow, out);
}

void RuntimeWindowActivate(RuntimeObject* window) {
  if (WindowFieldsOf(window)) FireEvent(window, WindowEventHook(kEventActivate));
}

void RuntimeWindowDeactivate(RuntimeObject* window) {
  if (WindowFieldsOf(window)) FireEvent(window, WindowEventHook(kEventDeactivate));
}

void DetachTemplateWindow(RuntimeObject* templateWindow) {
  WindowObject* fields = WindowFieldsOf(templateWindow);
  if (!fields) return;
  fields->embeddedWindowControl = nullptr;
  fields->containingWindow = nullptr;
}

}  // namespace vorn
