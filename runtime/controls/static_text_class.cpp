#include "controls/static_text_class.h"

#include <cstddef>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define ST_FIELD(member) FieldOffset(offsetof(StaticTextObject, member))
constexpr int32_t kTextOffset = ST_FIELD(text);
constexpr int32_t kTextAlignOffset = ST_FIELD(textAlign);
constexpr int32_t kTextColorOffset = ST_FIELD(textColor);
constexpr int32_t kTextFontOffset = ST_FIELD(textFont);
constexpr int32_t kTextSizeOffset = ST_FIELD(textSize);
constexpr int32_t kBoldOffset = ST_FIELD(bold);
constexpr int32_t kItalicOffset = ST_FIELD(italic);
constexpr int32_t kUnderlineOffset = ST_FIELD(underline);
constexpr int32_t kMultiLineOffset = ST_FIELD(multiLine);
constexpr int32_t kDataSourceOffset = ST_FIELD(dataSource);
constexpr int32_t kDataFieldOffset = ST_FIELD(dataField);
#undef ST_FIELD

const PropertyRow kProperties[] = {
    {0, "Text", "s", Fn(&stringGetter), "stringGetter", Fn(&staticCaptionSetter), "staticCaptionSetter",
     kTextOffset, 0},
    {0, "Caption", "s", Fn(&stringGetter), "stringGetter", Fn(&staticCaptionSetter), "staticCaptionSetter",
     kTextOffset, 0},
    {0, "TextAlign", "i4", Fn(&shortGetter), "shortGetter", Fn(&staticTextAlignSetter), "staticTextAlignSetter",
     kTextAlignOffset, 0},
    {0, "TextColor", "c", Fn(&intGetter), "intGetter", Fn(&staticTextColorSetter), "staticTextColorSetter",
     kTextColorOffset, 0},
    {0, "TextFont", "s", Fn(&stringGetter), "stringGetter", Fn(&staticTextFontSetter), "staticTextFontSetter",
     kTextFontOffset, 0},
    {0, "TextSize", "i4", Fn(&shortGetter), "shortGetter", Fn(&staticTextSizeSetter), "staticTextSizeSetter",
     kTextSizeOffset, 0},
    {0, "Bold", "b", Fn(&boolGetter), "boolGetter", Fn(&staticAttributeSetter), "staticAttributeSetter",
     kBoldOffset, 0},
    {0, "Italic", "b", Fn(&boolGetter), "boolGetter", Fn(&staticAttributeSetter), "staticAttributeSetter",
     kItalicOffset, 0},
    {0, "Underline", "b", Fn(&boolGetter), "boolGetter", Fn(&staticAttributeSetter), "staticAttributeSetter",
     kUnderlineOffset, 0},
    {0, "MultiLine", "b", Fn(&boolGetter), "boolGetter", Fn(&StaticTextMultilineSetter),
     "StaticTextMultilineSetter", kMultiLineOffset, 0},
    {0, "DataSource", "s", Fn(&StaticTextDataSourceGetter), "StaticTextDataSourceGetter",
     Fn(&StaticTextDataSourceSetter), "StaticTextDataSourceSetter", kDataSourceOffset, 0},
    {0, "DataField", "s", Fn(&stringGetter), "stringGetter", Fn(&StaticTextDataFieldSetter),
     "StaticTextDataFieldSetter", kDataFieldOffset, 0},
};

EventRow sEvents[] = {
    {0, "AcceleratorKey", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
};

const ParamRow kSetStringParams[] = {{"s", "s", 0, 0}};
const MethodRow kMethods[] = {
    {"setString", "", kSetStringParams, 1, Fn(&StaticTextSetString), "StaticTextSetString", nullptr, nullptr, 0, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&StaticTextCreatePane), "StaticTextCreatePane"}};

StaticTextHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("StaticText");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(StaticTextObject));
  definition->mFinalizer = {Fn(&StaticTextDestructor), "StaticTextDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  definition->AddInterface(GetStringInterfaceDefinition());
  AddEventImplementations(definition, kImpl, RowCount(kImpl));
  sHooks.acceleratorKey = sEvents[0].hook;
  sHooks.mouse = {sEvents[1].hook, sEvents[2].hook, sEvents[3].hook};
  return definition;
}

StaticText* PaneOf(StaticTextObject* object) {
  return object ? dynamic_cast<StaticText*>(ControlPane(&object->base)) : nullptr;
}

TextStyle StyleOf(StaticTextObject* o) {
  return GetControlTextStyle({&o->textFont, &o->textSize, &o->bold, &o->italic, &o->underline});
}

void ApplyStyle(StaticTextObject* object) {
  if (StaticText* pane = PaneOf(object)) pane->SetTextStyle(StyleOf(object));
}

}  // namespace

ObjectDefinition* GetStaticTextClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

const StaticTextHooks* StaticTextEventHooks() {
  GetStaticTextClassDefinition();
  return &sHooks;
}

StaticTextObject* AsStaticTextObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetStaticTextClassDefinition())
             ? reinterpret_cast<StaticTextObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void staticCaptionSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* text) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->text, text);
  if (StaticText* pane = PaneOf(object)) pane->SetText(string::Share(object->text));
}

void StaticTextSetString(VornRuntimeObject* ctl, VornStringRecord* text) { staticCaptionSetter(ctl, 0, text); }

void staticTextAlignSetter(VornRuntimeObject* ctl, int32_t, int32_t align) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  object->textAlign = static_cast<int16_t>(align);
  if (StaticText* pane = PaneOf(object)) pane->SetAlignment(object->textAlign);
}

void staticTextColorSetter(VornRuntimeObject* ctl, int32_t, uint32_t color) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  object->textColor = color;
  if (StaticText* pane = PaneOf(object)) pane->SetTextColor(color);
}

void staticTextFontSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* font) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->textFont, font);
  ApplyStyle(object);
}

void staticTextSizeSetter(VornRuntimeObject* ctl, int32_t, int32_t size) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  object->textSize = static_cast<int16_t>(size);
  ApplyStyle(object);
}

void staticAttributeSetter(VornRuntimeObject* ctl, int32_t param, uint8_t value) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  // The row's word names the field; only the three style bytes may be written through it.
  uint8_t* field = param == kBoldOffset       ? &object->bold
                   : param == kItalicOffset   ? &object->italic
                   : param == kUnderlineOffset ? &object->underline
                                               : nullptr;
  if (!field) return;
  *field = value ? 1 : 0;
  ApplyStyle(object);
}

void StaticTextMultilineSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  object->multiLine = value ? 1 : 0;
  if (StaticText* pane = PaneOf(object)) pane->SetMultiLine(object->multiLine != 0);
}

VornStringRecord* StaticTextDataSourceGetter(VornRuntimeObject* ctl, int32_t) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return nullptr;
  RuntimeLockString(object->dataSource);
  return object->dataSource;
}

void StaticTextDataSourceSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->dataSource, name);
  StaticText* pane = PaneOf(object);
  if (!pane) return;
  pane->UnbindDataSource();
  pane->SetDataSourceName(string::Share(object->dataSource));
  pane->BindDataSource();
}

void StaticTextDataFieldSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->dataField, name);
  if (StaticText* pane = PaneOf(object)) pane->BindDataSource();
}

void StaticTextCreatePane(VornRuntimeObject* ctl) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  auto* pane = new StaticTextGeneric(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c));
  AttachControlPane(c, pane);
  pane->SetOwner(ctl, StaticTextEventHooks());
  pane->SetText(string::Share(object->text));
  pane->SetAlignment(object->textAlign);
  pane->SetTextColor(object->textColor);
  pane->SetTextStyle(StyleOf(object));
  pane->SetMultiLine(object->multiLine != 0);
  pane->SetDataSourceName(string::Share(object->dataSource));
  pane->BindDataSource();
}

void StaticTextDestructor(VornRuntimeObject* ctl) {
  StaticTextObject* object = AsStaticTextObject(ctl);
  if (!object) return;
  if (StaticText* pane = PaneOf(object)) {
    // A pane left in its window must neither stay registered for this object nor reach it.
    pane->UnbindDataSource();
    pane->SetOwner(nullptr, nullptr);
  }
  for (StringRep** field : {&object->text, &object->textFont, &object->dataSource, &object->dataField}) {
    RuntimeUnlockString(*field);
    *field = nullptr;
  }
}

}  // extern "C"
