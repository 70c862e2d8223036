#include "windows/support/container_test_classes.h"

#include <gtk/gtk.h>

#include <cstddef>
#include <string>

#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "vorn/class_abi.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/container_pane.h"
#include "windows/gtk_pane_support.h"
#include "windows/runtime_window.h"
#include "windows/support/test_panes.h"
#include "windows/support/window_test_classes.h"

namespace vorn::test {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// A template window of the two box classes.
struct BoxObject {
  WindowObject window;
  RuntimeObject* swatch;  // held
  RuntimeObject* inner;   // held (OuterBox only)
};
BoxObject* Box(RuntimeObject* self) { return reinterpret_cast<BoxObject*>(self); }

RuntimeClass* sEmbedding = nullptr;
RuntimeClass* sSwatch = nullptr;
RuntimeClass* sSliderBox = nullptr;
RuntimeClass* sOuterBox = nullptr;
RuntimeClass* sStateWindow = nullptr;

std::string ClassName(RuntimeObject* self) { return std::string(ClassOf(self)->mName.View()); }
void Log(RuntimeObject* self, const char* what) { EventLog().push_back(ClassName(self) + "." + what); }

// Panes with a GTK widget of their own.
class WidgetContainer : public ContainerPane {
 public:
  WidgetContainer(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
      : ContainerPane(parent, tabPanelIndex, bounds) {
    SetWidget(gtk_fixed_new());
    AddPaneToWindow(this, true);
  }
};

// --- the embedding control -----------------------------------------------------------------

TestEmbeddingObject* Embedding(RuntimeObject* object) {
  for (RuntimeClass* c = ClassOf(object); c; c = c->mSuper) {
    if (c == sEmbedding) return reinterpret_cast<TestEmbeddingObject*>(object);
  }
  return nullptr;
}

RuntimeObject* NewEmbedding() { return RuntimeNewObject(sEmbedding); }

void SetTemplate(RuntimeObject* control, RuntimeObject* window) {
  TestEmbeddingObject* e = Embedding(control);
  if (!e) return;
  RuntimeLockObject(window);
  RuntimeUnlockObject(e->templateWindow);
  e->templateWindow = window;
}

RuntimeObject* TemplateOf(RuntimeObject* control) {
  TestEmbeddingObject* e = Embedding(control);
  return e ? e->templateWindow : nullptr;
}

// As the control layer's class does: a new container is enabled.
void EmbeddingInitializer(VornRuntimeObject* self) {
  AsControl(self)->enabled = 1;
  AsControl(self)->autoDeactivate = 1;
}

void EmbeddingFinalizer(VornRuntimeObject* self) {
  TestEmbeddingObject* e = Embedding(self);
  RuntimeObject* window = e->templateWindow;
  e->templateWindow = nullptr;
  DetachTemplateWindow(window);
  RuntimeUnlockObject(window);
}

void EmbeddingCreatePane(VornRuntimeObject* self) {
  ControlObject* c = AsControl(self);
  if (!c->windowPane) return;
  Rect bounds = GetControlBounds(c);
  int32_t width = 0, height = 0;
  if (TemplateDesignSize(TemplateOf(self), &width, &height)) {
    bounds = MakeRect(bounds.left, bounds.top, bounds.left + width, bounds.top + height);
  }
  AttachControlPane(c, new WidgetContainer(static_cast<SubPane*>(c->windowPane), c->tabPanelIndex, bounds));
}

// --- the swatch ----------------------------------------------------------------------------

void SwatchCreatePane(VornRuntimeObject* self) {
  ControlObject* c = AsControl(self);
  if (!c->windowPane) return;
  AttachControlPane(c, new SwatchPane(static_cast<SubPane*>(c->windowPane), c->tabPanelIndex, GetControlBounds(c),
                                       reinterpret_cast<TestSwatchObject*>(self)->color));
}

void SwatchOpen(VornRuntimeObject* self) { EventLog().push_back(std::string(string::Share(AsControl(self)->name).View()) + ".Open"); }
void SwatchClose(VornRuntimeObject* self) { EventLog().push_back(std::string(string::Share(AsControl(self)->name).View()) + ".Close"); }

// --- the boxes -----------------------------------------------------------------------------

void SliderBoxLayout(VornRuntimeObject* self) {
  Log(self, "Layout");
  // Designed away from the origin: embedding places the box where it is asked to.
  windowPosSetter(self, 0, 7);
  windowPosSetter(self, 1, 9);
  windowPosSetter(self, 2, 200);
  windowPosSetter(self, 3, 60);
}

void OuterBoxLayout(VornRuntimeObject* self) {
  Log(self, "Layout");
  windowPosSetter(self, 2, 300);
  windowPosSetter(self, 3, 120);
}

void AddSwatch(RuntimeObject* self, const Rect& bounds, uint32_t color) {
  RuntimeObject* swatch = NewSwatch(self, "Swatch", bounds, color);
  WindowAddControl(self, AsControl(swatch)->name, swatch);
  Box(self)->swatch = swatch;
}

void SliderBoxCreateControls(VornRuntimeObject* self) {
  Log(self, "CreateControls");
  AddSwatch(self, MakeRect(10, 10, 50, 40), kSliderBoxSwatchColor);
}

void OuterBoxCreateControls(VornRuntimeObject* self) {
  Log(self, "CreateControls");
  AddSwatch(self, MakeRect(200, 10, 240, 50), kOuterSwatchColor);
  RuntimeObject* inner = NewSliderBox();
  windowPosSetter(inner, 0, 30);
  windowPosSetter(inner, 1, 20);
  WindowAddControl(self, string("Inner").Rep(), inner);
  Box(self)->inner = inner;
}

void BoxOpen(VornRuntimeObject* self) { Log(self, "Open"); }
void BoxClose(VornRuntimeObject* self) { Log(self, "Close"); }
void BoxEnableMenuItems(VornRuntimeObject* self) { Log(self, "EnableMenuItems"); }
uint8_t BoxKeyDown(VornRuntimeObject* self, VornStringRecord* key) {
  Log(self, ("KeyDown:" + std::string(string::Share(key).View())).c_str());
  return 1;
}
uint8_t BoxCancelClose(VornRuntimeObject* self, uint8_t) {
  Log(self, "CancelClose");
  return Script().cancelClose;
}
void BoxAddMenuHandlers(VornRuntimeObject* self, VornRuntimeObject* source) {
  Log(self, source == self ? "AddMenuHandlers:self" : "AddMenuHandlers:other");
  WindowAddMenuHandler(self, string("EditCopy").Rep(), Fn(&BoxOpen));
}

void BoxFinalizer(VornRuntimeObject* self) {
  RuntimeObject* held[] = {Box(self)->swatch, Box(self)->inner};
  Box(self)->swatch = Box(self)->inner = nullptr;
  for (RuntimeObject* object : held) RuntimeUnlockObject(object);
}

// --- the state window ----------------------------------------------------------------------

void StateLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 100);
  windowPosSetter(self, 1, 100);
  windowPosSetter(self, 2, 360);
  windowPosSetter(self, 3, 240);
}
void StateMinimize(VornRuntimeObject* self) { Log(self, "Minimize"); }
void StateMaximize(VornRuntimeObject* self) { Log(self, "Maximize"); }
void StateRestore(VornRuntimeObject* self) { Log(self, "Restore"); }

}  // namespace

void EnsureContainerTestClasses() {
  if (sEmbedding) return;
  EnsureTestClasses();
  sEmbedding = MakeClass("TestEmbedding", "RectControl", sizeof(TestEmbeddingObject),
                         {{"#CreatePane%%o<TestEmbedding>", Fn(&EmbeddingCreatePane), nullptr, 0}},
                         {Fn(&EmbeddingFinalizer), nullptr}, {Fn(&EmbeddingInitializer), nullptr});
  sSwatch = MakeClass("TestSwatch", "RectControl", sizeof(TestSwatchObject),
                      {{"#CreatePane%%o<TestSwatch>", Fn(&SwatchCreatePane), nullptr, 0},
                       {"#Open%%o<TestSwatch>", Fn(&SwatchOpen), nullptr, 0},
                       {"#Close%%o<TestSwatch>", Fn(&SwatchClose), nullptr, 0}});
  sSliderBox = MakeClass("SliderBox", "ContainerControl", sizeof(BoxObject),
                         {
                             {"#Layout%%o<SliderBox>", Fn(&SliderBoxLayout), nullptr, 0},
                             {"#CreateControls%%o<SliderBox>", Fn(&SliderBoxCreateControls), nullptr, 0},
                             {"#AddMenuHandlers%%o<SliderBox>o<Window>", Fn(&BoxAddMenuHandlers), nullptr, 0},
                             {"#Open%%o<SliderBox>", Fn(&BoxOpen), nullptr, 0},
                             {"#Close%%o<SliderBox>", Fn(&BoxClose), nullptr, 0},
                             {"#CancelClose%b%o<SliderBox>b", Fn(&BoxCancelClose), nullptr, 0},
                             {"#EnableMenuItems%%o<SliderBox>", Fn(&BoxEnableMenuItems), nullptr, 0},
                             {"#KeyDown%b%o<SliderBox>s", Fn(&BoxKeyDown), nullptr, 0},
                         },
                         {Fn(&BoxFinalizer), nullptr});
  sOuterBox = MakeClass("OuterBox", "ContainerControl", sizeof(BoxObject),
                        {
                            {"#Layout%%o<OuterBox>", Fn(&OuterBoxLayout), nullptr, 0},
                            {"#CreateControls%%o<OuterBox>", Fn(&OuterBoxCreateControls), nullptr, 0},
                            {"#Open%%o<OuterBox>", Fn(&BoxOpen), nullptr, 0},
                            {"#EnableMenuItems%%o<OuterBox>", Fn(&BoxEnableMenuItems), nullptr, 0},
                        },
                        {Fn(&BoxFinalizer), nullptr});
  sStateWindow = MakeClass("StateWindow", "Window", sizeof(WindowObject),
                           {
                               {"#Layout%%o<StateWindow>", Fn(&StateLayout), nullptr, 0},
                               {"#Minimize%%o<StateWindow>", Fn(&StateMinimize), nullptr, 0},
                               {"#Maximize%%o<StateWindow>", Fn(&StateMaximize), nullptr, 0},
                               {"#Restore%%o<StateWindow>", Fn(&StateRestore), nullptr, 0},
                               {"#EnableMenuItems%%o<StateWindow>", Fn(&BoxEnableMenuItems), nullptr, 0},
                           });

  EmbeddingControlServices services;
  services.newControl = &NewEmbedding;
  services.setTemplateWindow = &SetTemplate;
  services.templateWindow = &TemplateOf;
  services.isEmbeddingControl = [](RuntimeObject* object) { return Embedding(object) != nullptr; };
  services.acceptsFocus = [](RuntimeObject* control) { return Embedding(control)->acceptFocus != 0; };
  services.canvasFieldOffsets[kEmbeddingAcceptFocus] = static_cast<int32_t>(offsetof(TestEmbeddingObject, acceptFocus));
  SetEmbeddingControlServices(services);
}

RuntimeClass* SliderBoxClass() { return sSliderBox; }
RuntimeClass* OuterBoxClass() { return sOuterBox; }
RuntimeClass* StateWindowClass() { return sStateWindow; }

RuntimeObject* NewSliderBox() {
  RuntimeObject* box = RuntimeNewObject(sSliderBox);
  WindowDefaultConstructor(box);
  return box;
}

RuntimeObject* NewOuterBox() {
  RuntimeObject* box = RuntimeNewObject(sOuterBox);
  WindowDefaultConstructor(box);
  return box;
}

RuntimeObject* SwatchOf(RuntimeObject* box) { return Box(box)->swatch; }
RuntimeObject* InnerBoxOf(RuntimeObject* outer) { return Box(outer)->inner; }

RuntimeObject* NewSwatch(RuntimeObject* window, const char* name, const Rect& bounds, uint32_t color) {
  RuntimeObject* swatch = WindowAllocateObject(window, sSwatch);
  ControlObject* control = AsControl(swatch);
  control->name = string(name).GetRetainedRep();
  SetControlBounds(control, bounds);
  control->visible = 1;
  control->enabled = 1;
  reinterpret_cast<TestSwatchObject*>(swatch)->color = color;
  return swatch;
}

}  // namespace vorn::test
