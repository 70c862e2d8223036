#include "controls/group_box_class.h"

#include "controls/control_assert.h"
#include "controls/control_support.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "Caption", "s", Fn(&groupCaptionGetter), "groupCaptionGetter", Fn(&groupCaptionSetter),
     "groupCaptionSetter", 0, 0},
    {0, "TextFont", "s", Fn(&groupTextFontGetter), "groupTextFontGetter", Fn(&groupTextFontSetter),
     "groupTextFontSetter", 0, 0},
    {0, "TextSize", "i4", Fn(&groupTextSizeGetter), "groupTextSizeGetter", Fn(&groupTextSizeSetter),
     "groupTextSizeSetter", 0, 0},
    {0, "Bold", "b", Fn(&groupBoldGetter), "groupBoldGetter", Fn(&groupBoldSetter), "groupBoldSetter", 0, 0},
    {0, "Italic", "b", Fn(&groupItalicGetter), "groupItalicGetter", Fn(&groupItalicSetter), "groupItalicSetter",
     0, 0},
    {0, "Underline", "b", Fn(&groupUnderlineGetter), "groupUnderlineGetter", Fn(&groupUnderlineSetter),
     "groupUnderlineSetter", 0, 0},
};

EventRow sEvents[] = {
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&GroupBoxCreatePane), "GroupBoxCreatePane"}};

ControlMouseHooks sHooks;

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("GroupBox");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(GroupBoxObject));
  definition->mFinalizer = {Fn(&groupBoxDestructor), "groupBoxDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
  SetEventList(definition, sEvents, static_cast<int32_t>(std::size(sEvents)));
  AddEventImplementations(definition, kImpl, 1);
  sHooks = {sEvents[0].hook, sEvents[1].hook, sEvents[2].hook};
  return definition;
}

GroupBox* PaneOf(GroupBoxObject* object) {
  return object ? dynamic_cast<GroupBox*>(ControlPane(&object->base)) : nullptr;
}

TextStyle StyleOf(GroupBoxObject* o) {
  return GetControlTextStyle({&o->textFont, &o->textSize, &o->bold, &o->italic, &o->underline});
}

// The text-style setters' common end: a pane takes the whole style at once, also when the
// value did not change; without a pane the style waits for the pane's creation.
void PushStyle(GroupBoxObject* object) {
  if (GroupBox* pane = PaneOf(object)) pane->SetTextStyle(StyleOf(object));
}

// A string field for the caller: held once more, nil when it is empty.
StringRep* RetainedOrNil(StringRep* rep) {
  if (!rep || rep->length == 0) return nullptr;
  RuntimeLockString(rep);
  return rep;
}

}  // namespace

ObjectDefinition* GetGroupBoxClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

const ControlMouseHooks* GroupBoxEventHooks() {
  GetGroupBoxClassDefinition();
  return &sHooks;
}

GroupBoxObject* AsGroupBoxObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetGroupBoxClassDefinition())
             ? reinterpret_cast<GroupBoxObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornStringRecord* groupCaptionGetter(VornRuntimeObject* ctl, int32_t) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) {
    ReportControlAssertion(kGroupBoxSource, __LINE__, "ctl");
    return nullptr;
  }
  return RetainedOrNil(object->caption);
}

void groupCaptionSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* caption) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) {
    ReportControlAssertion(kGroupBoxSource, __LINE__, "ctl");
    return;
  }
  ReplaceStringRep(object->caption, caption);
  if (GroupBox* pane = PaneOf(object)) pane->SetCaption(string::Share(object->caption));
}

VornStringRecord* groupTextFontGetter(VornRuntimeObject* ctl, int32_t) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  return object ? RetainedOrNil(object->textFont) : nullptr;
}

void groupTextFontSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* font) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) return;
  ReplaceStringRep(object->textFont, font);
  PushStyle(object);
}

int32_t groupTextSizeGetter(VornRuntimeObject* ctl, int32_t) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  return object ? object->textSize : 0;
}

void groupTextSizeSetter(VornRuntimeObject* ctl, int32_t, int32_t size) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) return;
  object->textSize = static_cast<int16_t>(size);
  PushStyle(object);
}

#define GROUP_FLAG_ACCESSORS(Name, member)                                        \
  uint8_t group##Name##Getter(VornRuntimeObject* ctl, int32_t) {                  \
    GroupBoxObject* object = AsGroupBoxObject(ctl);                               \
    return object && object->member ? 1 : 0;                                      \
  }                                                                               \
  void group##Name##Setter(VornRuntimeObject* ctl, int32_t, uint8_t value) {      \
    GroupBoxObject* object = AsGroupBoxObject(ctl);                               \
    if (!object) return;                                                          \
    object->member = value ? 1 : 0;                                               \
    PushStyle(object);                                                            \
  }

GROUP_FLAG_ACCESSORS(Bold, bold)
GROUP_FLAG_ACCESSORS(Italic, italic)
GROUP_FLAG_ACCESSORS(Underline, underline)
#undef GROUP_FLAG_ACCESSORS

void GroupBoxCreatePane(VornRuntimeObject* ctl) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  TextStyle style = StyleOf(object);
  auto* pane = new GroupBox(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c),
                            string::Share(object->caption), style);
  AttachControlPane(c, pane);
  pane->SetOwner(ctl, GroupBoxEventHooks());
  pane->SetTextStyle(style);
  pane->SetEnabled(c->enabled != 0, false);
}

void groupBoxDestructor(VornRuntimeObject* ctl) {
  GroupBoxObject* object = AsGroupBoxObject(ctl);
  if (!object) return;
  if (GroupBox* pane = PaneOf(object)) pane->SetOwner(nullptr, nullptr);
  RuntimeUnlockString(object->textFont);
  RuntimeUnlockString(object->caption);
  object->textFont = nullptr;
  object->caption = nullptr;
}

}  // extern "C"
