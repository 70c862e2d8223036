// Language functions over strings that answer or take objects: text encodings of strings,
// the Encodings module, TextConverter, the EndOfLine object and Split/Join over string arrays.
#pragma once

#include <stdint.h>

#include "objects/object_definition.h"
#include "vorn/array_abi.h"
#include "vorn/object_abi.h"

namespace vorn {

ObjectDefinition* GetTextConverterClassDefinition();
ObjectDefinition* GetEncodingsClassDefinition();
ObjectDefinition* GetEndOfLineClassDefinition();
void RegisterTextFunctionClasses();
// Lets the shared Encodings and EndOfLine objects go (between tests).
void ClearTextFunctionObjects();

}  // namespace vorn

extern "C" {

// DefineEncoding: the same bytes tagged with the encoding (unknown for nil).
VornStringRecord* StringSetEncoding(VornStringRecord* s, VornRuntimeObject* encoding);
// The string's encoding; nil for the empty string and the unknown encoding.
VornRuntimeObject* StringGetEncoding(VornStringRecord* s);
// ConvertEncoding: NilObjectException for a nil encoding, and the string comes back unchanged.
VornStringRecord* StringConvertEncoding(VornStringRecord* s, VornRuntimeObject* encoding);

// GetTextEncoding(base, variant, format); nil when a part is outside its field (base 16 bits,
// variant 10, format 6) or the code is the unknown one.
VornRuntimeObject* getTextEncoding(int32_t base, int32_t variant, int32_t format);
// By character-set name ("UTF-8", "windows-1252"); nil for a name the runtime does not know.
VornRuntimeObject* getInternetTextEncoding(VornStringRecord* name);
// The likely encoding of Japanese text: ISO-2022-JP, US-ASCII, UTF-8, Shift_JIS or EUC-JP.
VornRuntimeObject* guessJapaneseEncoding(VornStringRecord* text);
// Every font here takes Unicode text: UTF-8.
VornRuntimeObject* getFontTextEncoding(VornStringRecord* fontName);

// The Encodings module: one object, whose properties (UTF8, ASCII, MacRoman, ...) are read
// through EncodingsGetter with the encoding's code.
VornRuntimeObject* GetEncodingsObject(void);
VornRuntimeObject* EncodingsGetter(VornRuntimeObject* self, int32_t code);
VornRuntimeObject* EncodingsGetFromCode(VornRuntimeObject* self, int32_t code);

// GetTextConverter(source, destination): nil encodings count as the unknown one, whose
// converter leaves text as it is.
VornRuntimeObject* getTextConverter(VornRuntimeObject* source, VornRuntimeObject* destination);
VornStringRecord* textConverterConvert(VornRuntimeObject* self, VornStringRecord* text);
void textConverterClear(VornRuntimeObject* self);
void textConverterDestructor(VornRuntimeObject* self);

// The EndOfLine object: a string of one line feed wherever a string is wanted, with the
// conventions of other systems as properties.
VornRuntimeObject* RuntimeGetEndOfLineObject(void);
VornStringRecord* RuntimeEndOfLineAdd(VornRuntimeObject* self, VornStringRecord* right);
VornStringRecord* RuntimeEndOfLineAddRight(VornRuntimeObject* self, VornStringRecord* left);
int32_t RuntimeEndOfLineCompare(VornRuntimeObject* self, VornStringRecord* other);

// Split: the fields as NthField (StringSplitB: as NthFieldB) finds them, in a new string array
// (empty for the empty source). Join: the elements of a one-dimensional string array with the
// delimiter between them; NilObjectException for nil, TypeMismatchException for another array.
VornArray* StringSplit(VornStringRecord* source, VornStringRecord* delimiter);
VornArray* StringSplitB(VornStringRecord* source, VornStringRecord* delimiter);
VornStringRecord* StringJoin(VornArray* array, VornStringRecord* delimiter);
}
