// The StyleRun, Range and Paragraph classes, and the objects the run stores make of them.
#include "editfield/styled_text_class.h"

#include <cstddef>

#include "objects/class_registry.h"
#include "strings/utf8.h"
#include "vorn/styled_text_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

#define SR_FIELD(name, type, getter, setter, member)                                            \
  {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, Offset(offsetof(StyleRunObject, member)), 0}

const PropertyRow kStyleRunProperties[] = {
    SR_FIELD("Bold", "b", boolGetter, boolSetter, bold),
    SR_FIELD("Italic", "b", boolGetter, boolSetter, italic),
    SR_FIELD("Underline", "b", boolGetter, boolSetter, underline),
    SR_FIELD("TextColor", "c", intGetter, intSetter, textColor),
    SR_FIELD("Size", "i4", intGetter, intSetter, size),
    SR_FIELD("Font", "s", stringGetter, stringSetter, font),
    SR_FIELD("Text", "s", stringGetter, stringSetter, text),
};
#undef SR_FIELD

const PropertyRow kRangeProperties[] = {
    {0, "StartPos", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(RangeObject, startPos)), 0},
    {0, "Length", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(RangeObject, length)), 0},
    {0, "EndPos", "i4", Fn(&RangeEndPosGetter), "RangeEndPosGetter", nullptr, nullptr,
     Offset(offsetof(RangeObject, endPos)), 0},
};

const PropertyRow kParagraphProperties[] = {
    {0, "Alignment", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(ParagraphObject, alignment)), 0},
};

void StyleRunFinalizer(VornRuntimeObject* object) {
  if (StyleRunObject* run = AsStyleRunObject(object)) {
    RuntimeUnlockString(run->font);
    RuntimeUnlockString(run->text);
    run->font = run->text = nullptr;
  }
}

ObjectDefinition* BuildStyleRunDefinition() {
  static const ParamRow kTextParam[] = {{"v", "s", kParamHasDefault, 0}};
  static const MethodRow kMethods[] = {
      {"Constructor", "", kTextParam, 1, Fn(&StyleRunVNConstructor), "StyleRunVNConstructor", nullptr, nullptr, 0, 0},
  };
  auto* definition = new ObjectDefinition();
  definition->mName = string("StyleRun");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(StyleRunObject));
  definition->mFinalizer = {Fn(&StyleRunFinalizer), nullptr};
  definition->SetInstanceVariables(BuildPropertyList(kStyleRunProperties, RowCount(kStyleRunProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

ObjectDefinition* BuildRangeDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Range");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(RangeObject));
  definition->SetInstanceVariables(BuildPropertyList(kRangeProperties, RowCount(kRangeProperties)));
  return definition;
}

ObjectDefinition* BuildParagraphDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Paragraph");
  definition->mSuper = GetRangeClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ParagraphObject));
  definition->SetInstanceVariables(BuildPropertyList(kParagraphProperties, RowCount(kParagraphProperties)));
  return definition;
}

StringRep* RetainedRep(const string& s) { return s.GetRetainedRep(); }

}  // namespace

ObjectDefinition* GetStyleRunClassDefinition() {
  static ObjectDefinition* definition = BuildStyleRunDefinition();
  return definition;
}

ObjectDefinition* GetRangeClassDefinition() {
  static ObjectDefinition* definition = BuildRangeDefinition();
  return definition;
}

ObjectDefinition* GetParagraphClassDefinition() {
  static ObjectDefinition* definition = BuildParagraphDefinition();
  return definition;
}

void RegisterStyledTextClasses() {
  RegisterIntrinsicClass("StyledText", &GetStyledTextClassDefinition);
  RegisterIntrinsicClass("StyleRun", &GetStyleRunClassDefinition);
  RegisterIntrinsicClass("Paragraph", &GetParagraphClassDefinition);
  RegisterIntrinsicClass("Range", &GetRangeClassDefinition);
}

StyleRunObject* AsStyleRunObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetStyleRunClassDefinition())
             ? reinterpret_cast<StyleRunObject*>(object)
             : nullptr;
}

RuntimeObject* NewStyleRunObject(const StyleRunData& data) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetStyleRunClassDefinition());
  StyleRunObject* run = AsStyleRunObject(object);
  if (!run) return nullptr;
  run->bold = data.bold ? 1 : 0;
  run->italic = data.italic ? 1 : 0;
  run->underline = data.underline ? 1 : 0;
  run->textColor = data.color;
  run->size = static_cast<int32_t>(data.size);
  run->font = RetainedRep(data.font);
  run->text = RetainedRep(data.text);
  return object;
}

StyleRunData StyleRunDataOf(const StyleRunObject* run) {
  StyleRunData data;
  if (!run) return data;
  data.bold = run->bold != 0;
  data.italic = run->italic != 0;
  data.underline = run->underline != 0;
  data.color = run->textColor;
  data.size = static_cast<uint32_t>(run->size);
  data.font = string::Share(run->font);
  data.text = string::Share(run->text);
  return data;
}

RuntimeObject* NewRangeObject(int32_t start, int32_t length) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetRangeClassDefinition());
  if (!object) return nullptr;
  auto* range = reinterpret_cast<RangeObject*>(object);
  range->startPos = start;
  range->length = length;
  range->endPos = start + length;
  return object;
}

int32_t ParagraphCountOf(std::string_view text) {
  int32_t count = 1;
  bool inBreak = false;
  for (char c : text) {
    if (c == '\r') {
      inBreak = true;
    } else if (inBreak) {
      ++count;
      inBreak = false;
    }
  }
  return count;
}

ParagraphSpan ParagraphAt(std::string_view text, int32_t index) {
  auto length = static_cast<int32_t>(text.size());
  ParagraphSpan span;
  int32_t paragraph = 0;
  int32_t position = 0;  // in characters
  bool inBreak = false;
  for (int32_t offset = 0; offset < length; offset = UTF8NextChar(text.data(), length, offset), ++position) {
    if (text[offset] == '\r') {
      if (!inBreak) span.end = position;
      inBreak = true;
      continue;
    }
    if (inBreak) {
      if (paragraph >= index) return span;
      ++paragraph;
      span.start = position;
      inBreak = false;
    }
  }
  if (!inBreak) span.end = position;
  return span;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

int32_t RangeEndPosGetter(VornRuntimeObject* range, int32_t) {
  if (!range || !RuntimeObjectIsaDefinition(range, GetRangeClassDefinition())) return 0;
  auto* fields = reinterpret_cast<RangeObject*>(range);
  return fields->startPos + fields->length;
}

void StyleRunVNConstructor(VornRuntimeObject* run, VornStringRecord* text) {
  if (StyleRunObject* fields = AsStyleRunObject(run)) ReplaceStringRep(fields->text, text);
}

}  // extern "C"
