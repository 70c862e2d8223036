// The StyledText class: runs and paragraphs of a text reached through its delegate, a run
// store of its own or the pane of the styled field that handed the object out.
#include <vector>

#include "editfield/styled_text_class.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "strings/line_endings.h"
#include "strings/runtime_error.h"
#include "vorn/styled_text_api.h"

namespace vorn {

namespace {

constexpr const char* kSource = "../Common/VNStyledText";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

void Assert(int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, condition, "");
}

// The delegate of a StyledText; nil (and a report for anything that is no StyledText) when
// there is nothing to work on.
StyledTextDelegate* DelegateOf(VornRuntimeObject* self, int32_t line) {
  StyledTextObject* fields = AsStyledTextObject(self);
  if (!fields) {
    Assert(line, "std");
    return nullptr;
  }
  return fields->delegate;
}

string JoinedText(StyledTextDelegate* delegate) {
  std::string joined;
  int32_t count = delegate->RunCount();
  for (int32_t i = 0; i < count; ++i) {
    RuntimeObject* run = delegate->GetRun(i);
    StyleRunObject* fields = AsStyleRunObject(run);
    if (!fields) {
      Assert(__LINE__, "data");
    } else {
      joined += string::Share(fields->text).ToUTF8().View();
    }
    RuntimeUnlockObject(run);
  }
  return string(joined, kEncodingUTF8);
}

std::string ParagraphText(StyledTextDelegate* delegate) {
  return std::string(RuntimeReplaceLineEndings(JoinedText(delegate), string("\r")).ToUTF8().View());
}

using StringRecordPtr = VornStringRecord*;
uint8_t Flag(bool value) { return value ? 1 : 0; }
bool IsSet(uint8_t value) { return value != 0; }
VornStringRecord* RetainedText(const string& s) { return s.GetRetainedRep(); }
string Shared(VornStringRecord* s) { return string::Share(s); }
template <typename T>
T Same(T value) {
  return value;
}

const ParamRow kRangeParams[] = {{"Start", "i4", 0, 0}, {"Length", "i4", kParamHasDefault, 1}};
const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kInsertParams[] = {{"StyleRun", "o<StyleRun>", 0, 0}, {"Index", "i4", 0, 0}};
const ParamRow kRunParam[] = {{"StyleRun", "o<StyleRun>", 0, 0}};

MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count, void* function,
                 const char* entry, void* setter = nullptr, const char* setterName = nullptr) {
  return MethodRow{name, result, params, count, function, entry, setter, setterName, 0, 0};
}

#define ST_ATTRIBUTE(name, type, getter, setter) Method(name, type, kRangeParams, 2, Fn(&getter), #getter, Fn(&setter), #setter)

ObjectDefinition* BuildStyledTextDefinition() {
  static const PropertyRow kProperties[] = {
      {0, "Text", "s", Fn(&StyledTextGetter), "StyledTextGetter", Fn(&StyledTextSetter), "StyledTextSetter", 0, 0},
      {0, "StyleRunCount", "i4", Fn(&StyledTextRunCountGetter), "StyledTextRunCountGetter", nullptr, nullptr, 0, 0},
      {0, "ParagraphCount", "i4", Fn(&StyledTextParagraphCountGetter), "StyledTextParagraphCountGetter", nullptr,
       nullptr, 0, 0},
  };
  static const MethodRow kMethods[] = {
      ST_ATTRIBUTE("Bold", "b", StyledTextGetBold, StyledTextSetBold),
      ST_ATTRIBUTE("Italic", "b", StyledTextGetItalic, StyledTextSetItalic),
      ST_ATTRIBUTE("Underline", "b", StyledTextGetUnderline, StyledTextSetUnderline),
      ST_ATTRIBUTE("Font", "s", StyledTextGetFont, StyledTextSetFont),
      ST_ATTRIBUTE("Size", "i4", StyledTextGetSize, StyledTextSetSize),
      ST_ATTRIBUTE("TextColor", "c", StyledTextGetColor, StyledTextSetColor),
      Method("StyleRun", "o<StyleRun>", kIndexParam, 1, Fn(&StyledTextRunGetter), "StyledTextRunGetter"),
      Method("StyleRunRange", "o<Range>", kIndexParam, 1, Fn(&TextRangeGetter), "TextRangeGetter"),
      Method("InsertStyleRun", "", kInsertParams, 2, Fn(&InsertStyledTextRun), "InsertStyledTextRun"),
      Method("AppendStyleRun", "", kRunParam, 1, Fn(&AppendStyledTextRun), "AppendStyledTextRun"),
      Method("RemoveStyleRun", "", kIndexParam, 1, Fn(&RemoveStyledTextRun), "RemoveStyledTextRun"),
      Method("Paragraph", "o<Paragraph>", kIndexParam, 1, Fn(&StyledTextParagraphGetter), "StyledTextParagraphGetter"),
      Method("ParagraphAlignment", "i4", kIndexParam, 1, nullptr, nullptr, Fn(&StyledTextSetAlignment),
             "StyledTextSetAlignment"),
  };
  auto* definition = new ObjectDefinition();
  definition->mName = string("StyledText");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(StyledTextObject));
  definition->mInitializer = {Fn(&StyledTextClassInitializer), "StyledTextClassInitializer"};
  definition->mFinalizer = {Fn(&StyledTextClassFinalizer), "StyledTextClassFinalizer"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

#undef ST_ATTRIBUTE

}  // namespace

ObjectDefinition* GetStyledTextClassDefinition() {
  static ObjectDefinition* definition = BuildStyledTextDefinition();
  return definition;
}

StyledTextObject* AsStyledTextObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetStyledTextClassDefinition())
             ? reinterpret_cast<StyledTextObject*>(object)
             : nullptr;
}

RuntimeObject* NewAttachedStyledText(StyledTextDelegate* delegate) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetStyledTextClassDefinition());
  StyledTextObject* fields = AsStyledTextObject(object);
  if (!fields) return nullptr;
  // The store the initializer made gives way to the field's own text.
  if (fields->ownsDelegate) delete fields->delegate;
  fields->ownsDelegate = 0;
  fields->delegate = delegate;
  return object;
}

void DetachStyledText(RuntimeObject* styledText) {
  StyledTextObject* fields = AsStyledTextObject(styledText);
  if (!fields || fields->ownsDelegate) return;
  fields->delegate = nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void StyledTextClassInitializer(VornRuntimeObject* self) {
  if (StyledTextObject* fields = AsStyledTextObject(self)) {
    fields->delegate = new StyledTextBaseImp();
    fields->ownsDelegate = 1;
  }
}

void StyledTextClassFinalizer(VornRuntimeObject* self) {
  StyledTextObject* fields = AsStyledTextObject(self);
  if (!fields) return;
  if (fields->ownsDelegate) delete fields->delegate;
  fields->delegate = nullptr;
  fields->ownsDelegate = 0;
}

VornStringRecord* StyledTextGetter(VornRuntimeObject* self, int32_t) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!delegate) return nullptr;
  return JoinedText(delegate).GetRetainedRep();
}

void StyledTextSetter(VornRuntimeObject* self, int32_t, VornStringRecord* text) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!delegate) return;
  for (int32_t i = delegate->RunCount(); i > 0; --i) delegate->RemoveRun(0);
  StyleRunData plain;
  plain.text = string::Share(text);
  RuntimeObject* run = NewStyleRunObject(plain);
  if (!run) {
    Assert(__LINE__, "first");
    return;
  }
  delegate->AppendRun(run);
  RuntimeUnlockObject(run);
}

#define ST_ACCESSORS(Name, Type, Read, Write, ToResult, FromValue)                                        \
  Type StyledTextGet##Name(VornRuntimeObject* self, int32_t start, int32_t length) {                      \
    StyledTextDelegate* delegate = DelegateOf(self, __LINE__);                                            \
    if (!delegate) return Type{};                                                                         \
    return ToResult(delegate->Read(start, length, nullptr));                                              \
  }                                                                                                       \
  void StyledTextSet##Name(VornRuntimeObject* self, int32_t start, int32_t length, Type value) {          \
    if (StyledTextDelegate* delegate = DelegateOf(self, __LINE__)) delegate->Write(start, length, FromValue(value)); \
  }

ST_ACCESSORS(Bold, uint8_t, GetBold, SetBold, Flag, IsSet)
ST_ACCESSORS(Italic, uint8_t, GetItalic, SetItalic, Flag, IsSet)
ST_ACCESSORS(Underline, uint8_t, GetUnderline, SetUnderline, Flag, IsSet)
ST_ACCESSORS(Font, StringRecordPtr, GetFont, SetFont, RetainedText, Shared)
ST_ACCESSORS(Size, int32_t, GetSize, SetSize, Same, Same)
ST_ACCESSORS(Color, uint32_t, GetColor, SetColor, Same, Same)

#undef ST_ACCESSORS

int32_t StyledTextRunCountGetter(VornRuntimeObject* self, int32_t) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  return delegate ? delegate->RunCount() : 0;
}

VornRuntimeObject* StyledTextRunGetter(VornRuntimeObject* self, int32_t index) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  return delegate ? delegate->GetRun(index) : nullptr;
}

VornRuntimeObject* TextRangeGetter(VornRuntimeObject* self, int32_t index) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  return delegate ? delegate->GetRunRange(index) : nullptr;
}

void InsertStyledTextRun(VornRuntimeObject* self, VornRuntimeObject* run, int32_t index) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!run) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (!delegate) return;
  delegate->InsertRun(run, index);
  delegate->StyleChanged();
}

void AppendStyledTextRun(VornRuntimeObject* self, VornRuntimeObject* run) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!run) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (!delegate) return;
  delegate->AppendRun(run);
  delegate->StyleChanged();
}

void RemoveStyledTextRun(VornRuntimeObject* self, int32_t index) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!delegate) return;
  delegate->RemoveRun(index);
  delegate->StyleChanged();
}

int32_t StyledTextParagraphCountGetter(VornRuntimeObject* self, int32_t) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  return delegate ? ParagraphCountOf(ParagraphText(delegate)) : 0;
}

VornRuntimeObject* StyledTextParagraphGetter(VornRuntimeObject* self, int32_t index) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!delegate) return nullptr;
  ParagraphSpan span = ParagraphAt(ParagraphText(delegate), index);
  RuntimeObject* object = CreateInstanceFromDefinition(GetParagraphClassDefinition());
  if (!object) return nullptr;
  auto* paragraph = reinterpret_cast<ParagraphObject*>(object);
  paragraph->range.startPos = span.start;
  paragraph->range.endPos = span.end;
  paragraph->range.length = span.end - span.start;
  paragraph->alignment = delegate->GetAlignment(span.start, span.end - span.start);
  return object;
}

void StyledTextSetAlignment(VornRuntimeObject* self, int32_t index, int32_t alignment) {
  StyledTextDelegate* delegate = DelegateOf(self, __LINE__);
  if (!delegate) return;
  ParagraphSpan span = ParagraphAt(ParagraphText(delegate), index);
  delegate->SetAlignment(span.start, span.end - span.start, alignment);
}

}  // extern "C"
