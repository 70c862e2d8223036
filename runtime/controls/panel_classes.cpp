#include "controls/panel_classes.h"

#include <cstddef>
#include <iterator>
#include <utility>

#include "controls/control_support.h"
#include "controls/panel_logic.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "strings/line_endings.h"
#include "vorn/controls2_api.h"
#include "windows/container_control.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr uint32_t kWriteOnly = 0x40;
constexpr uint32_t kDesignOnly = 0x80;

constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const PropertyRow kPageRows[] = {
    {0, "Enabled", "b", Fn(&controlEnabledGetter), "controlEnabledGetter", Fn(&controlEnabledSetter),
     "controlEnabledSetter", 0, 0},
    {0, "Value", "i4", Fn(&PagePanelValueGetter), "PagePanelValueGetter", Fn(&PagePanelValueSetter),
     "PagePanelValueSetter", 0, 0},
    {kDesignOnly, "PanelCount", "i4", Fn(&PagePanelCountGetter), "PagePanelCountGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(PagePanelObject, panelCount)), 0},
};

const PropertyRow kTabRows[] = {
    {0, "Enabled", "b", Fn(&controlEnabledGetter), "controlEnabledGetter", Fn(&controlEnabledSetter),
     "controlEnabledSetter", 0, 0},
    {kWriteOnly, "TabDefinition", "s", nullptr, nullptr, Fn(&stringSetter), "stringSetter",
     Offset(offsetof(TabPanelObject, tabDefinition)), 0},
    {0, "Value", "i4", Fn(&tabPanelValueGetter), "tabPanelValueGetter", Fn(&tabPanelValueSetter),
     "tabPanelValueSetter", 0, 0},
    {kDesignOnly, "Facing", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(TabPanelObject, facing)), 0},
    {kDesignOnly, "SmallTabs", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     Offset(offsetof(TabPanelObject, smallTabs)), 0},
    {0, "TextFont", "s", Fn(&stringGetter), "stringGetter", Fn(&tabPanelTextFontSetter), "tabPanelTextFontSetter",
     Offset(offsetof(TabPanelObject, textFont)), 0},
    {0, "TextSize", "i4", Fn(&shortGetter), "shortGetter", Fn(&tabPanelTextSizeSetter), "tabPanelTextSizeSetter",
     Offset(offsetof(TabPanelObject, textSize)), 0},
    {0, "Bold", "b", Fn(&boolGetter), "boolGetter", Fn(&tabPanelBoldSetter), "tabPanelBoldSetter",
     Offset(offsetof(TabPanelObject, bold)), 0},
    {0, "Italic", "b", Fn(&boolGetter), "boolGetter", Fn(&tabPanelItalicSetter), "tabPanelItalicSetter",
     Offset(offsetof(TabPanelObject, italic)), 0},
    {0, "Underline", "b", Fn(&boolGetter), "boolGetter", Fn(&tabPanelUnderlineSetter), "tabPanelUnderlineSetter",
     Offset(offsetof(TabPanelObject, underline)), 0},
};

EventRow sPageEvents[] = {{0, "Change", "", "", nullptr, 0}};
EventRow sTabEvents[] = {
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
};

const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kNameParam[] = {{"name", "s", 0, 0}};
const ParamRow kInsertTabParams[] = {{"index", "i4", 0, 0}, {"name", "s", 0, 0}};
const ParamRow kPointParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}};

MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count, void* function,
                 const char* entry, void* setter = nullptr, const char* setterName = nullptr,
                 uint32_t flags = 0) {
  return MethodRow{name, result, params, count, function, entry, setter, setterName, flags, 0};
}

const ConstantRow kTabConstants[] = {
    {"FacingNorth", "0"}, {"FacingSouth", "1"}, {"FacingEast", "2"}, {"FacingWest", "3"}};

const EventImplRow kPageImpl[] = {{"CreatePane", Fn(&PagePanelCreatePane), "PagePanelCreatePane"}};

PagePanel* PagePaneOf(RuntimeObject* ctl) { return ControlPaneAs<PagePanel>(ctl); }
TabPanel* TabPaneOf(RuntimeObject* ctl) { return ControlPaneAs<TabPanel>(ctl); }

void FireChange(RuntimeObject* control) { FireEvent(control, sPageEvents[0].hook); }

TextStyle StyleOf(TabPanelObject* o) {
  return GetControlTextStyle({&o->textFont, &o->textSize, &o->bold, &o->italic, &o->underline});
}

// The text-style setters' common end: the pane takes the whole style, also when nothing changed.
void PushStyle(TabPanelObject* o) {
  if (TabPanel* pane = TabPaneOf(reinterpret_cast<RuntimeObject*>(o))) pane->SetTextStyle(StyleOf(o));
}

void MakeTabPane(TabPanelObject* o) {
  ControlObject* c = &o->page.base;
  auto* control = reinterpret_cast<RuntimeObject*>(o);
  if (!o->router) o->router = new RuntimeTabPanelRouter(control);
  TabPanel* pane = NewTabPanel(o->router, StyleOf(o), ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c),
                               o->facing, control);
  AttachControlPane(c, pane);
  string definition = RuntimeReplaceLineEndings(string::Share(o->tabDefinition), string("\r"));
  for (std::string_view caption : SplitTabDefinition(definition.View())) {
    pane->AppendTab(string(caption.data(), RecordLength(caption.size()), definition.Encoding()));
  }
  // A Value set before the pane picks the first tab shown; no Change for it.
  const int32_t value = o->page.value;
  if (value > 0 && value < pane->GetTabCount()) pane->ShowPage(value + 1);
}

}  // namespace

void RuntimeTabPanelRouter::Change(SubPane* pane) {
  if (auto* panel = dynamic_cast<PanelPane*>(pane)) panel->ApplyPages();
  FireChange(mControl);
}

void RuntimeTabPanelRouter::GotFocus(SubPane* pane) {
  pane->Lock();
  FireEvent(mControl, sTabEvents[0].hook);
  pane->Release();
}

void RuntimeTabPanelRouter::LostFocus(SubPane* pane) {
  pane->Lock();
  FireEvent(mControl, sTabEvents[1].hook);
  pane->Release();
}

bool RuntimeTabPanelRouter::MouseDown(SubPane* pane, int32_t x, int32_t y) {
  void* handler = RuntimeGetHookHandler(mControl, sTabEvents[2].hook);
  if (!handler || !pane->LockHierarchy()) return false;
  const Rect& bounds = pane->Bounds();
  uint8_t take = CallEventHandler<uint8_t>(handler, mControl, x - bounds.left, y - bounds.top);
  if (pane->UnlockHierarchy()) return true;
  if (take) SetMouseCapturePane(pane);
  return take != 0;
}

ObjectDefinition* GetPagePanelClassDefinition() {
  static ObjectDefinition* definition = [] {
    // A container embedded in a page panel goes on the page shown now.
    SetPagePanelTest([](RuntimeObject* control) {
      return RuntimeObjectIsaDefinition(control, GetPagePanelClassDefinition());
    });
    auto* d = new ObjectDefinition();
    d->mName = string("PagePanel");
    d->mSuper = GetRectControlClassDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(PagePanelObject));
    d->SetInstanceVariables(BuildPropertyList(kPageRows, static_cast<int32_t>(std::size(kPageRows))));
    SetEventList(d, sPageEvents, static_cast<int32_t>(std::size(sPageEvents)));
    static const MethodRow methods[] = {
        Method("Append", "", nullptr, 0, Fn(&PagePanelAppendPage), "PagePanelAppendPage"),
        Method("Insert", "", kIndexParam, 1, Fn(&PagePanelInsertPage), "PagePanelInsertPage"),
        Method("Remove", "", kIndexParam, 1, Fn(&PagePanelRemovePage), "PagePanelRemovePage"),
    };
    SetMethodList(d, methods, static_cast<int32_t>(std::size(methods)));
    AddEventImplementations(d, kPageImpl, 1);
    return d;
  }();
  return definition;
}

ObjectDefinition* GetTabPanelClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    BeginClassDefinition(d, kTabConstants, static_cast<int32_t>(std::size(kTabConstants)));
    d->mName = string("TabPanel");
    d->mSuper = GetPagePanelClassDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(TabPanelObject));
    d->mFinalizer = {Fn(&tabPanelDestructor), "tabPanelDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kTabRows, static_cast<int32_t>(std::size(kTabRows))));
    SetEventList(d, sTabEvents, static_cast<int32_t>(std::size(sTabEvents)));
    static const MethodRow methods[] = {
        Method("Caption", "s", kIndexParam, 1, Fn(&tabPanelCaptionGetter), "tabPanelCaptionGetter",
               Fn(&tabPanelCaptionSetter), "tabPanelCaptionSetter"),
        Method("Append", "", kNameParam, 1, Fn(&TabPanelAppendTab), "TabPanelAppendTab"),
        Method("Insert", "", kInsertTabParams, 2, Fn(&TabPanelInsertTab), "TabPanelInsertTab"),
        Method("Remove", "", kIndexParam, 1, Fn(&TabPanelRemoveTab), "TabPanelRemoveTab"),
        Method("_TabClickedOn", "i4", kPointParams, 2, Fn(&TabPanelTabClickedOn), "TabPanelTabClickedOn"),
    };
    SetMethodList(d, methods, static_cast<int32_t>(std::size(methods)));
    return d;
  }();
  return definition;
}

void RegisterPanelClasses() {
  RegisterIntrinsicClass("PagePanel", &GetPagePanelClassDefinition);
  RegisterIntrinsicClass("TabPanel", &GetTabPanelClassDefinition);
}

PagePanelObject* AsPagePanelObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetPagePanelClassDefinition())
             ? reinterpret_cast<PagePanelObject*>(object)
             : nullptr;
}

TabPanelObject* AsTabPanelObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetTabPanelClassDefinition())
             ? reinterpret_cast<TabPanelObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

// --- PagePanel -------------------------------------------------------------------------------

void PagePanelCreatePane(VornRuntimeObject* ctl) {
  PagePanelObject* o = AsPagePanelObject(ctl);
  if (!o) return;
  ControlObject* c = &o->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  SubPane* parent = ControlParentPane(c);
  if (!parent) return;
  if (TabPanelObject* tab = AsTabPanelObject(ctl)) {
    MakeTabPane(tab);
    return;
  }
  auto* pane = new PagePanel(parent, c->tabPanelIndex, GetControlBounds(c), ctl);
  AttachControlPane(c, pane);
  // A Value set before the pane picks the first page shown; no Change for it.
  const int32_t page = ClampPageValue(o->value, o->panelCount);
  if (page > 0) pane->SetCurrentPage(page + 1);
}

void PagePanelAppendPage(VornRuntimeObject* ctl) {
  if (AsTabPanelObject(ctl)) {
    TabPanelAppendTab(ctl, nullptr);
    return;
  }
  if (PagePanel* pane = PagePaneOf(ctl)) pane->AppendPage();
}

void PagePanelInsertPage(VornRuntimeObject* ctl, int32_t index) {
  if (AsTabPanelObject(ctl)) {
    TabPanelInsertTab(ctl, index, nullptr);
    return;
  }
  PagePanel* pane = PagePaneOf(ctl);
  if (!pane) return;
  if (index < 0 || index > pane->GetPageCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->InsertPage(index);
}

void PagePanelRemovePage(VornRuntimeObject* ctl, int32_t index) {
  if (AsTabPanelObject(ctl)) {
    TabPanelRemoveTab(ctl, index);
    return;
  }
  PagePanel* pane = PagePaneOf(ctl);
  if (!pane) return;
  if (index < 0 || index >= pane->GetPageCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->RemovePage(index);
}

int32_t PagePanelCountGetter(VornRuntimeObject* ctl, int32_t) {
  if (TabPanel* tab = TabPaneOf(ctl)) return tab->GetTabCount();
  PagePanel* pane = PagePaneOf(ctl);
  return pane ? pane->GetPageCount() : 0;
}

int32_t PagePanelValueGetter(VornRuntimeObject* ctl, int32_t) {
  PagePanelObject* o = AsPagePanelObject(ctl);
  if (!o) return 0;
  if (TabPanel* tab = TabPaneOf(ctl)) return tab->CurrentPage() - 1;
  if (PagePanel* pane = PagePaneOf(ctl)) return pane->GetCurrentPage() - 1;
  return o->value;
}

void PagePanelValueSetter(VornRuntimeObject* ctl, int32_t, int32_t value) {
  PagePanelObject* o = AsPagePanelObject(ctl);
  if (!o) return;
  o->value = value;
  if (AsTabPanelObject(ctl)) {
    // Unlike tabPanelValueSetter nothing is raised; a value off the tabs selects nothing.
    TabPanel* tab = TabPaneOf(ctl);
    if (tab && value >= 0 && value < tab->GetTabCount()) tab->SelectPage(value + 1);
    return;
  }
  PagePanel* pane = PagePaneOf(ctl);
  if (!pane) return;
  const int32_t page = ClampPageValue(value, pane->GetPageCount());
  o->value = page;
  pane->SetCurrentPage(page + 1);
  FireChange(ctl);
}

// --- TabPanel --------------------------------------------------------------------------------

int32_t tabPanelValueGetter(VornRuntimeObject* ctl, int32_t param) { return PagePanelValueGetter(ctl, param); }

void tabPanelValueSetter(VornRuntimeObject* ctl, int32_t, int32_t value) {
  TabPanelObject* o = AsTabPanelObject(ctl);
  if (!o) return;
  o->page.value = value;
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return;
  if (value < 0 || value >= pane->GetTabCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->SelectPage(value + 1);
}

VornStringRecord* tabPanelCaptionGetter(VornRuntimeObject* ctl, int32_t index) {
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return nullptr;
  if (pane->IsClosing() || index < 0 || index >= pane->GetTabCount()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return pane->GetTabCaption(index).GetRetainedRep();
}

void tabPanelCaptionSetter(VornRuntimeObject* ctl, int32_t index, VornStringRecord* caption) {
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return;
  if (pane->IsClosing() || index < 0 || index >= pane->GetTabCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->SetTabCaption(index, string::Share(caption));
}

void tabPanelTextFontSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* font) {
  TabPanelObject* o = AsTabPanelObject(ctl);
  if (!o) return;
  ReplaceStringRep(o->textFont, font);
  PushStyle(o);
}

void tabPanelTextSizeSetter(VornRuntimeObject* ctl, int32_t, int32_t size) {
  TabPanelObject* o = AsTabPanelObject(ctl);
  if (!o) return;
  o->textSize = static_cast<int16_t>(size);
  PushStyle(o);
}

#define TAB_FLAG_SETTER(Name, member)                                         \
  void tabPanel##Name##Setter(VornRuntimeObject* ctl, int32_t, uint8_t value) { \
    TabPanelObject* o = AsTabPanelObject(ctl);                                \
    if (!o) return;                                                           \
    o->member = value ? 1 : 0;                                                \
    PushStyle(o);                                                             \
  }

TAB_FLAG_SETTER(Bold, bold)
TAB_FLAG_SETTER(Italic, italic)
TAB_FLAG_SETTER(Underline, underline)
#undef TAB_FLAG_SETTER

void TabPanelAppendTab(VornRuntimeObject* ctl, VornStringRecord* caption) {
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return;
  pane->AppendTab(string::Share(caption));
  pane->Invalidate();
}

void TabPanelInsertTab(VornRuntimeObject* ctl, int32_t index, VornStringRecord* caption) {
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return;
  if (index < 0 || index > pane->GetTabCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->InsertTab(index, string::Share(caption));
}

void TabPanelRemoveTab(VornRuntimeObject* ctl, int32_t index) {
  TabPanel* pane = TabPaneOf(ctl);
  if (!pane) return;
  if (index < 0 || index >= pane->GetTabCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->RemoveTab(index);
}

int32_t TabPanelTabClickedOn(VornRuntimeObject* ctl, int32_t x, int32_t y) {
  TabPanel* pane = TabPaneOf(ctl);
  return pane ? pane->TabAt(x, y) : -1;
}

void tabPanelDestructor(VornRuntimeObject* ctl) {
  TabPanelObject* o = AsTabPanelObject(ctl);
  if (!o) return;
  if (TabPanel* pane = TabPaneOf(ctl)) {
    pane->ClearDelegate();
    pane->ForgetControl();
  }
  RuntimeUnlockString(o->tabDefinition);
  RuntimeUnlockString(o->textFont);
  o->tabDefinition = o->textFont = nullptr;
  DeleteAfterDispatch(std::exchange(o->router, nullptr));
}

}  // extern "C"
