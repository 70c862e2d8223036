#include "objects/text_functions.h"

#include <iterator>
#include <string>
#include <vector>

#include "objects/arrays.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/text_encoding_object.h"
#include "strings/line_endings.h"
#include "strings/string_entry_points.h"
#include "strings/text_chars.h"
#include "strings/text_fields.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

string Borrow(StringRep* rep) { return string::Share(rep); }

// The converter holds one reference to each of its encodings (nil for the unknown one).
struct TextConverterObject {
  RuntimeObject header;
  RuntimeObject* source;
  RuntimeObject* destination;
};

TextConverterObject* ConverterOf(RuntimeObject* self) {
  if (!self) RuntimeRaiseNilObjectException();
  return reinterpret_cast<TextConverterObject*>(self);
}

// One object per class for the module-like objects, made on first use and held until exit.
RuntimeObject* SharedInstance(ObjectDefinition* definition, RuntimeObject*& slot) {
  if (!slot) slot = CreateInstanceFromDefinition(definition);
  RuntimeLockObject(slot);
  return slot;
}

VornArray* SplitWith(StringRep* source, StringRep* delimiter,
                     void (*split)(const string&, const string&, std::vector<string>&)) {
  std::vector<string> pieces;
  split(Borrow(source), Borrow(delimiter), pieces);
  VornArray* array = CreateArray(kVornArrayString, 1, static_cast<int32_t>(pieces.size()) - 1);
  for (size_t i = 0; array && i < pieces.size(); ++i) ArraySetString(array, static_cast<int32_t>(i), pieces[i].Rep());
  return array;
}

#define ENCODING(name, code) \
  {0, name, "o<TextEncoding>", Fn(&EncodingsGetter), "EncodingsGetter", nullptr, nullptr, code, 0}
const PropertyRow kEncodingProperties[] = {
    ENCODING("UTF8", kEncodingUTF8),
    ENCODING("UTF16", kEncodingUTF16),
    ENCODING("UTF32", kEncodingUTF32),
    ENCODING("ASCII", kEncodingASCII),
    ENCODING("MacRoman", kEncodingMacRoman),
    ENCODING("ISOLatin1", 0x0201),
    ENCODING("ISOLatin2", 0x0202),
    ENCODING("ISOLatin3", 0x0203),
    ENCODING("ISOLatin4", 0x0204),
    ENCODING("ISOLatinCyrillic", 0x0205),
    ENCODING("ISOLatinArabic", 0x0206),
    ENCODING("ISOLatinGreek", 0x0207),
    ENCODING("ISOLatinHebrew", 0x0208),
    ENCODING("ISOLatin5", 0x0209),
    ENCODING("ISOLatin9", 0x020F),
    ENCODING("WindowsANSI", 0x0500),
    ENCODING("WindowsLatin1", 0x0500),
    ENCODING("WindowsLatin2", 0x0501),
    ENCODING("WindowsCyrillic", 0x0502),
    ENCODING("ShiftJIS", 0x0A01),
    ENCODING("EUCJP", 0x0920),
    ENCODING("KOI8_R", 0x0A05),
    ENCODING("SystemDefault", kEncodingUTF8),
};
#undef ENCODING

const ParamRow kCode[] = {{"code", "i4", 0, 0}};
const MethodRow kEncodingMethods[] = {
    {"GetFromCode", "o<TextEncoding>", kCode, 1, Fn(&EncodingsGetFromCode), "EncodingsGetFromCode", nullptr, nullptr,
     0, 0},
};

const ParamRow kText[] = {{"text", "s", 0, 0}};
const MethodRow kConverterMethods[] = {
    {"Convert", "s", kText, 1, Fn(&textConverterConvert), "textConverterConvert", nullptr, nullptr, 0, 0},
    {"Clear", "", nullptr, 0, Fn(&textConverterClear), "textConverterClear", nullptr, nullptr, 0, 0},
};

const PropertyRow kEndOfLineProperties[] = {
    {0, "Macintosh", "s", Fn(&::getMacEndOfLine), "getMacEndOfLine", nullptr, nullptr, 0, 0},
    {0, "Windows", "s", Fn(&::getWin32EndOfLine), "getWin32EndOfLine", nullptr, nullptr, 0, 0},
    {0, "UNIX", "s", Fn(&::getUNIXEndOfLine), "getUNIXEndOfLine", nullptr, nullptr, 0, 0},
};
const MethodRow kEndOfLineMethods[] = {
    {"Operator_Convert", "s", nullptr, 0, Fn(&::RuntimeEndOfLine), "RuntimeEndOfLine", nullptr, nullptr, 0, 0},
    {"Operator_Add", "s", kText, 1, Fn(&RuntimeEndOfLineAdd), "RuntimeEndOfLineAdd", nullptr, nullptr, 0, 0},
    {"Operator_AddRight", "s", kText, 1, Fn(&RuntimeEndOfLineAddRight), "RuntimeEndOfLineAddRight", nullptr, nullptr,
     0, 0},
    {"Operator_Compare", "i4", kText, 1, Fn(&RuntimeEndOfLineCompare), "RuntimeEndOfLineCompare", nullptr, nullptr, 0,
     0},
};

ObjectDefinition* BuildDefinition(ObjectDefinition& definition, const char* name, int32_t size,
                                  const PropertyRow* properties, int32_t propertyCount, const MethodRow* methods,
                                  int32_t methodCount) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mInstanceSize = size;
    if (propertyCount) definition.SetInstanceVariables(BuildPropertyList(properties, propertyCount));
    SetMethodList(&definition, methods, methodCount);
  }
  return &definition;
}

RuntimeObject* gEncodingsObject = nullptr;
RuntimeObject* gEndOfLineObject = nullptr;

}  // namespace

ObjectDefinition* GetTextConverterClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) definition.mFinalizer = {Fn(&textConverterDestructor), "textConverterDestructor"};
  return BuildDefinition(definition, "TextConverter", sizeof(TextConverterObject), nullptr, 0, kConverterMethods,
                         static_cast<int32_t>(std::size(kConverterMethods)));
}

ObjectDefinition* GetEncodingsClassDefinition() {
  static ObjectDefinition definition;
  return BuildDefinition(definition, "Encodings", sizeof(RuntimeObject), kEncodingProperties,
                         static_cast<int32_t>(std::size(kEncodingProperties)), kEncodingMethods,
                         static_cast<int32_t>(std::size(kEncodingMethods)));
}

ObjectDefinition* GetEndOfLineClassDefinition() {
  static ObjectDefinition definition;
  return BuildDefinition(definition, "EndOfLine", sizeof(RuntimeObject), kEndOfLineProperties,
                         static_cast<int32_t>(std::size(kEndOfLineProperties)), kEndOfLineMethods,
                         static_cast<int32_t>(std::size(kEndOfLineMethods)));
}

void ClearTextFunctionObjects() {
  RuntimeUnlockObject(gEncodingsObject);
  RuntimeUnlockObject(gEndOfLineObject);
  gEncodingsObject = gEndOfLineObject = nullptr;
}

void RegisterTextFunctionClasses() {
  RegisterIntrinsicClass("TextConverter", &GetTextConverterClassDefinition);
  RegisterIntrinsicClass("Encodings", &GetEncodingsClassDefinition);
  RegisterIntrinsicClass("EndOfLine", &GetEndOfLineClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornStringRecord* StringSetEncoding(VornStringRecord* s, VornRuntimeObject* encoding) {
  string text = Borrow(s);
  EncodingCode code = GetEncodingFromTEObject(encoding);
  if (text.Rep() == nullptr || text.Encoding() == code) return text.GetRetainedRep();
  string retagged(text.CString(), text.Length(), code);
  return retagged.GetRetainedRep();
}

VornRuntimeObject* StringGetEncoding(VornStringRecord* s) {
  return s && s->length > 0 ? GetTEObjectFromEncoding(s->encoding) : nullptr;
}

VornStringRecord* StringConvertEncoding(VornStringRecord* s, VornRuntimeObject* encoding) {
  if (!encoding) {
    RuntimeRaiseNilObjectException();
    return Borrow(s).GetRetainedRep();
  }
  return ConvertTextEncoding(Borrow(s), GetEncodingFromTEObject(encoding)).GetRetainedRep();
}

VornRuntimeObject* getTextEncoding(int32_t base, int32_t variant, int32_t format) {
  if (base < 0 || base > 0xFFFF || variant < 0 || variant > 0x3FF || format < 0 || format > 0x3F) return nullptr;
  uint32_t code = static_cast<uint32_t>(base) | static_cast<uint32_t>(variant) << 16 |
                  static_cast<uint32_t>(format) << 26;
  return GetTEObjectFromEncoding(code);
}

VornRuntimeObject* getInternetTextEncoding(VornStringRecord* name) {
  return GetTEObjectFromEncoding(EncodingForName(Borrow(name).View()));
}

VornRuntimeObject* guessJapaneseEncoding(VornStringRecord* text) {
  string bytes = Borrow(text);
  return GetTEObjectFromEncoding(GuessJapaneseEncoding(bytes.CString(), bytes.Length()));
}

VornRuntimeObject* getFontTextEncoding(VornStringRecord*) { return GetTEObjectFromEncoding(kEncodingUTF8); }

VornRuntimeObject* GetEncodingsObject(void) { return SharedInstance(GetEncodingsClassDefinition(), gEncodingsObject); }

VornRuntimeObject* EncodingsGetter(VornRuntimeObject*, int32_t code) {
  return GetTEObjectFromEncoding(static_cast<uint32_t>(code));
}

VornRuntimeObject* EncodingsGetFromCode(VornRuntimeObject*, int32_t code) {
  return GetTEObjectFromEncoding(static_cast<uint32_t>(code));
}

VornRuntimeObject* getTextConverter(VornRuntimeObject* source, VornRuntimeObject* destination) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetTextConverterClassDefinition());
  if (!object) return nullptr;
  auto* converter = reinterpret_cast<TextConverterObject*>(object);
  RuntimeLockObject(source);
  RuntimeLockObject(destination);
  converter->source = source;
  converter->destination = destination;
  return object;
}

VornStringRecord* textConverterConvert(VornRuntimeObject* self, VornStringRecord* text) {
  TextConverterObject* converter = ConverterOf(self);
  if (!converter) return nullptr;
  EncodingCode from = GetEncodingFromTEObject(converter->source);
  EncodingCode to = GetEncodingFromTEObject(converter->destination);
  string input = Borrow(text);
  if (input.IsEmpty()) return nullptr;
  // The converter reads the bytes as its source encoding, whatever the string is tagged with.
  string tagged = input.Encoding() == from ? input : string(input.CString(), input.Length(), from);
  return ConvertTextEncoding(tagged, to).GetRetainedRep();
}

// Each Convert call is complete in itself (no shift state or partial character is carried over
// from one call to the next), so there is nothing to clear.
void textConverterClear(VornRuntimeObject* self) { ConverterOf(self); }

void textConverterDestructor(VornRuntimeObject* self) {
  auto* converter = reinterpret_cast<TextConverterObject*>(self);
  RuntimeUnlockObject(converter->source);
  RuntimeUnlockObject(converter->destination);
  converter->source = converter->destination = nullptr;
}

VornRuntimeObject* RuntimeGetEndOfLineObject(void) {
  return SharedInstance(GetEndOfLineClassDefinition(), gEndOfLineObject);
}

VornStringRecord* RuntimeEndOfLineAdd(VornRuntimeObject*, VornStringRecord* right) {
  return (vorn::RuntimeEndOfLine() + Borrow(right)).GetRetainedRep();
}

VornStringRecord* RuntimeEndOfLineAddRight(VornRuntimeObject*, VornStringRecord* left) {
  return (Borrow(left) + vorn::RuntimeEndOfLine()).GetRetainedRep();
}

int32_t RuntimeEndOfLineCompare(VornRuntimeObject*, VornStringRecord* other) {
  return vorn::RuntimeEndOfLine().Compare(Borrow(other));
}

VornArray* StringSplit(VornStringRecord* source, VornStringRecord* delimiter) {
  return SplitWith(source, delimiter, &SplitToVector);
}

VornArray* StringSplitB(VornStringRecord* source, VornStringRecord* delimiter) {
  return SplitWith(source, delimiter, &SplitToVectorB);
}

VornStringRecord* StringJoin(VornArray* array, VornStringRecord* delimiter) {
  if (!array) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  if (array->elementKind != kVornArrayString || array->dimensions != 1) {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return nullptr;
  }
  string separator = Borrow(delimiter);
  string result;
  for (int32_t i = 0; i < array->count; ++i) {
    if (i > 0) result.Append(separator);
    result.Append(string::Adopt(ArrayGetString(array, i)));
  }
  return result.GetRetainedRep();
}

}  // extern "C"
