#include "objects/memory_block.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/memory.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

MemoryBlockObject* Fields(RuntimeObject* block) { return reinterpret_cast<MemoryBlockObject*>(block); }

// The block's fields, or nil with NilObjectException pending.
MemoryBlockObject* BlockOf(RuntimeObject* block) {
  if (!block) RuntimeRaiseNilObjectException();
  return block ? Fields(block) : nullptr;
}

// The `width` bytes at the offset, or nil with the matching exception pending when the block is
// nil or the bytes do not lie wholly inside it.
uint8_t* Span(RuntimeObject* block, int32_t offset, int64_t width) {
  MemoryBlockObject* fields = BlockOf(block);
  if (!fields) return nullptr;
  if (offset < 0 || width < 0 || offset + width > fields->size) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return fields->data + offset;
}

uint64_t ReadNumber(RuntimeObject* block, int32_t offset, int width, bool* ok) {
  const uint8_t* bytes = Span(block, offset, width);
  *ok = bytes != nullptr;
  if (!bytes) return 0;
  uint64_t value = 0;
  bool little = Fields(block)->littleEndian != 0;
  for (int i = 0; i < width; ++i) {
    uint64_t byte = bytes[little ? i : width - 1 - i];
    value |= byte << (8 * i);
  }
  return value;
}

void WriteNumber(RuntimeObject* block, int32_t offset, int width, uint64_t value) {
  uint8_t* bytes = Span(block, offset, width);
  if (!bytes) return;
  bool little = Fields(block)->littleEndian != 0;
  for (int i = 0; i < width; ++i) bytes[little ? i : width - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t Read(RuntimeObject* block, int32_t offset, int width) {
  bool ok;
  return ReadNumber(block, offset, width, &ok);
}

template <typename T>
T ReadFloat(RuntimeObject* block, int32_t offset) {
  using Bits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
  Bits bits = static_cast<Bits>(Read(block, offset, sizeof(T)));
  T value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

template <typename T>
void WriteFloat(RuntimeObject* block, int32_t offset, T value) {
  using Bits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
  Bits bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteNumber(block, offset, sizeof(T), bits);
}

// Raw bytes read from a block carry no encoding of their own.
StringRep* BytesToString(const uint8_t* bytes, int32_t length) {
  return length > 0 ? NewStringRep(bytes, length, kEncodingUnknown) : nullptr;
}

bool Resize(MemoryBlockObject* fields, int32_t size) {
  if (size < 0) {
    RuntimeRaiseOutOfBoundsException();
    return false;
  }
  if (size == fields->size) return true;
  if (fields->borrowed) {
    fields->size = size;
    return true;
  }
  if (size == 0) {
    FreeMemory(fields->data);
    fields->data = nullptr;
    fields->size = 0;
    return true;
  }
  auto* data = static_cast<uint8_t*>(ReallocMemory(fields->data, static_cast<size_t>(size), OnFailure::ReturnNull));
  if (!data) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return false;
  }
  if (size > fields->size) std::memset(data + fields->size, 0, static_cast<size_t>(size - fields->size));
  fields->data = data;
  fields->size = size;
  return true;
}

// A new block holding a copy of the bytes.
RuntimeObject* NewBlockWith(const uint8_t* bytes, int32_t length) {
  RuntimeObject* block = newMemoryBlock(length);
  if (block && length > 0) std::memcpy(Fields(block)->data, bytes, static_cast<size_t>(length));
  return block;
}

const ParamRow kOffset[] = {{"offset", "i4", 0, 0}};
const ParamRow kOffsetLength[] = {{"offset", "i4", 0, 0}, {"length", "i4", 0, 0}};
const ParamRow kCount[] = {{"count", "i4", 0, 0}};
const ParamRow kStartCount[] = {{"start", "i4", 0, 0}, {"count", "i4", 0, 0}};
const ParamRow kOther[] = {{"other", "o<MemoryBlock>", 0, 0}};
const ParamRow kText[] = {{"text", "s", 0, 0}};

#define ACCESS(name, type, get, set) {name, type, kOffset, 1, Fn(&get), #get, Fn(&set), #set, 0, 0}

const MethodRow kMethods[] = {
    {"Constructor", "", kCount, 1, Fn(&memoryBlockNewConstructor), "memoryBlockNewConstructor", nullptr, nullptr, 0, 0},
    ACCESS("Long", "i4", memoryGetLong, memorySetLong),
    ACCESS("Short", "i4", memoryGetShort, memorySetShort),
    {"UShort", "i4", kOffset, 1, Fn(&memoryGetUShort), "memoryGetUShort", Fn(&memorySetShort), "memorySetShort", 0, 0},
    ACCESS("Byte", "i4", memoryGetByte, memorySetByte),
    ACCESS("DoubleValue", "f8", memoryGetDouble, memorySetDouble),
    ACCESS("SingleValue", "f4", memoryGetSingle, memorySetSingle),
    ACCESS("BooleanValue", "b", memoryGetBoolean, memorySetBoolean),
    ACCESS("ColorValue", "c", memoryGetColor, memorySetColor),
    ACCESS("Ptr", "p", memoryGetPtr, memorySetPtr),
    ACCESS("PString", "s", memoryGetPString, memorySetPString),
    ACCESS("CString", "s", memoryGetCString, memorySetCString),
    ACCESS("WString", "s", memoryGetWString, memorySetWString),
    {"StringValue", "s", kOffsetLength, 2, Fn(&memoryGetString), "memoryGetString", Fn(&memorySetString),
     "memorySetString", 0, 0},
    {"Operator_Convert", "s", nullptr, 0, Fn(&MemoryBlockToStringOperator), "MemoryBlockToStringOperator", nullptr,
     nullptr, 0, 0},
    {"Operator_Convert", "", kText, 1, Fn(&MemoryBlockFromStringOperator), "MemoryBlockFromStringOperator", nullptr,
     nullptr, 0, 0},
    {"Operator_Add", "o<MemoryBlock>", kOther, 1, Fn(&MemoryBlockAddOperator), "MemoryBlockAddOperator", nullptr,
     nullptr, 0, 0},
    {"Operator_Compare", "i4", kOther, 1, Fn(&MemoryBlockCompareOperator), "MemoryBlockCompareOperator", nullptr,
     nullptr, 0, 0},
    {"LeftB", "o<MemoryBlock>", kCount, 1, Fn(&MemoryBlockLeftB), "MemoryBlockLeftB", nullptr, nullptr, 0, 0},
    {"MidB", "o<MemoryBlock>", kCount, 1, Fn(&MemoryBlockMidB2), "MemoryBlockMidB2", nullptr, nullptr, 0, 0},
    {"MidB", "o<MemoryBlock>", kStartCount, 2, Fn(&MemoryBlockMidB3), "MemoryBlockMidB3", nullptr, nullptr, 0, 0},
    {"RightB", "o<MemoryBlock>", kCount, 1, Fn(&MemoryBlockRightB), "MemoryBlockRightB", nullptr, nullptr, 0, 0},
};

#undef ACCESS

const PropertyRow kProperties[] = {
    {0, "Size", "i4", Fn(&memoryBlockGetSize), "memoryBlockGetSize", Fn(&memoryBlockSizeSetter),
     "memoryBlockSizeSetter", 0, 0},
    {0, "LittleEndian", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     static_cast<int32_t>(offsetof(MemoryBlockObject, littleEndian)), 0},
};

}  // namespace

ObjectDefinition* GetMemoryBlockClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("MemoryBlock");
    definition.mInstanceSize = sizeof(MemoryBlockObject);
    definition.mInitializer = {Fn(&MemoryBlockInitializer), "MemoryBlockInitializer"};
    definition.mFinalizer = {Fn(&MemoryBlockFinalizer), "MemoryBlockFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  }
  return &definition;
}

void RegisterMemoryBlockClass() {
  RegisterIntrinsicClass("MemoryBlock", &GetMemoryBlockClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

// The machine's own byte order, which x86-64 makes little-endian.
void MemoryBlockInitializer(VornRuntimeObject* self) { Fields(self)->littleEndian = 1; }

void MemoryBlockFinalizer(VornRuntimeObject* self) {
  MemoryBlockObject* fields = Fields(self);
  if (!fields->borrowed) FreeMemory(fields->data);
  fields->data = nullptr;
  fields->size = 0;
}

void memoryBlockNewConstructor(VornRuntimeObject* self, int32_t size) {
  if (MemoryBlockObject* fields = BlockOf(self)) Resize(fields, size);
}

VornRuntimeObject* newMemoryBlock(int32_t size) {
  if (size < 0) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeObject* block = CreateInstanceFromDefinition(GetMemoryBlockClassDefinition());
  if (block && !Resize(Fields(block), size)) {
    RuntimeUnlockObject(block);
    return nullptr;
  }
  return block;
}

VornRuntimeObject* PtrToMemoryBlock(void* pointer) {
  if (!pointer) return nullptr;
  RuntimeObject* block = CreateInstanceFromDefinition(GetMemoryBlockClassDefinition());
  if (block) {
    Fields(block)->data = static_cast<uint8_t*>(pointer);
    Fields(block)->borrowed = 1;
  }
  return block;
}

VornRuntimeObject* ConvertPtrToMemoryBlock(void* pointer) { return PtrToMemoryBlock(pointer); }

void* memoryBlockGetPtr(VornRuntimeObject* block) {
  MemoryBlockObject* fields = BlockOf(block);
  return fields ? fields->data : nullptr;
}

int32_t memoryBlockGetSize(VornRuntimeObject* block) {
  MemoryBlockObject* fields = BlockOf(block);
  return fields ? fields->size : 0;
}

void memoryBlockSetSize(VornRuntimeObject* block, int32_t size) {
  if (MemoryBlockObject* fields = BlockOf(block)) Resize(fields, size);
}

void memoryBlockSizeSetter(VornRuntimeObject* block, int32_t, int32_t size) { memoryBlockSetSize(block, size); }

int32_t memoryGetLong(VornRuntimeObject* b, int32_t offset) { return static_cast<int32_t>(Read(b, offset, 4)); }
void memorySetLong(VornRuntimeObject* b, int32_t offset, int32_t value) { WriteNumber(b, offset, 4, static_cast<uint32_t>(value)); }
int32_t memoryGetShort(VornRuntimeObject* b, int32_t offset) { return static_cast<int16_t>(Read(b, offset, 2)); }
void memorySetShort(VornRuntimeObject* b, int32_t offset, int32_t value) { WriteNumber(b, offset, 2, static_cast<uint16_t>(value)); }
int32_t memoryGetUShort(VornRuntimeObject* b, int32_t offset) { return static_cast<uint16_t>(Read(b, offset, 2)); }
int32_t memoryGetByte(VornRuntimeObject* b, int32_t offset) { return static_cast<uint8_t>(Read(b, offset, 1)); }
void memorySetByte(VornRuntimeObject* b, int32_t offset, int32_t value) { WriteNumber(b, offset, 1, static_cast<uint8_t>(value)); }
double memoryGetDouble(VornRuntimeObject* b, int32_t offset) { return ReadFloat<double>(b, offset); }
void memorySetDouble(VornRuntimeObject* b, int32_t offset, double value) { WriteFloat(b, offset, value); }
float memoryGetSingle(VornRuntimeObject* b, int32_t offset) { return ReadFloat<float>(b, offset); }
void memorySetSingle(VornRuntimeObject* b, int32_t offset, float value) { WriteFloat(b, offset, value); }
uint8_t memoryGetBoolean(VornRuntimeObject* b, int32_t offset) { return Read(b, offset, 1) != 0 ? 1 : 0; }
void memorySetBoolean(VornRuntimeObject* b, int32_t offset, uint8_t value) { WriteNumber(b, offset, 1, value ? 1 : 0); }
uint32_t memoryGetColor(VornRuntimeObject* b, int32_t offset) { return static_cast<uint32_t>(Read(b, offset, 4)); }
void memorySetColor(VornRuntimeObject* b, int32_t offset, uint32_t value) { WriteNumber(b, offset, 4, value); }

// A pointer travels in the machine's order: it is only meaningful inside this process.
void* memoryGetPtr(VornRuntimeObject* b, int32_t offset) {
  void* value = nullptr;
  if (const uint8_t* bytes = Span(b, offset, sizeof value)) std::memcpy(&value, bytes, sizeof value);
  return value;
}

void memorySetPtr(VornRuntimeObject* b, int32_t offset, void* value) {
  if (uint8_t* bytes = Span(b, offset, sizeof value)) std::memcpy(bytes, &value, sizeof value);
}

VornStringRecord* memoryGetPString(VornRuntimeObject* b, int32_t offset) {
  const uint8_t* length = Span(b, offset, 1);
  if (!length) return nullptr;
  const uint8_t* bytes = Span(b, offset + 1, *length);
  return bytes ? BytesToString(bytes, *length) : nullptr;
}

// A Pascal string holds at most 255 bytes; longer text is cut there.
void memorySetPString(VornRuntimeObject* b, int32_t offset, VornStringRecord* value) {
  string text = string::Share(value);
  int32_t length = std::min(text.Length(), 255);
  uint8_t* bytes = Span(b, offset, int64_t{length} + 1);
  if (!bytes) return;
  bytes[0] = static_cast<uint8_t>(length);
  std::memcpy(bytes + 1, text.CString(), static_cast<size_t>(length));
}

// Up to the first NUL, or to the end of the block when there is none.
VornStringRecord* memoryGetCString(VornRuntimeObject* b, int32_t offset) {
  const uint8_t* start = Span(b, offset, 0);
  if (!start) return nullptr;
  int32_t room = Fields(b)->size - offset;
  const void* nul = room > 0 ? std::memchr(start, 0, static_cast<size_t>(room)) : nullptr;
  int32_t length = nul ? static_cast<int32_t>(static_cast<const uint8_t*>(nul) - start) : room;
  return BytesToString(start, length);
}

void memorySetCString(VornRuntimeObject* b, int32_t offset, VornStringRecord* value) {
  string text = string::Share(value);
  uint8_t* bytes = Span(b, offset, int64_t{text.Length()} + 1);
  if (!bytes) return;
  std::memcpy(bytes, text.CString(), static_cast<size_t>(text.Length()));
  bytes[text.Length()] = 0;
}

// UTF-16 units in the block's byte order, up to a zero unit or the last whole unit.
VornStringRecord* memoryGetWString(VornRuntimeObject* b, int32_t offset) {
  if (!Span(b, offset, 0)) return nullptr;
  int32_t units = (Fields(b)->size - offset) / 2;
  std::string bytes;
  for (int32_t i = 0; i < units; ++i) {
    auto unit = static_cast<uint16_t>(Read(b, offset + 2 * i, 2));
    if (unit == 0) break;
    bytes.push_back(static_cast<char>(unit & 0xFF));  // the UTF-16 encoding holds little-endian units
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return string(bytes, kEncodingUTF16).ToUTF8().GetRetainedRep();
}

void memorySetWString(VornRuntimeObject* b, int32_t offset, VornStringRecord* value) {
  string text = ConvertTextEncoding(string::Share(value).ToUTF8(), kEncodingUTF16);
  int32_t units = text.Length() / 2;
  if (!Span(b, offset, (int64_t{units} + 1) * 2)) return;
  for (int32_t i = 0; i < units; ++i)
    WriteNumber(b, offset + 2 * i, 2, static_cast<uint16_t>(text.Byte(2 * i) | (text.Byte(2 * i + 1) << 8)));
  WriteNumber(b, offset + 2 * units, 2, 0);
}

VornStringRecord* memoryGetString(VornRuntimeObject* b, int32_t offset, int32_t length) {
  const uint8_t* bytes = Span(b, offset, length);
  return bytes ? BytesToString(bytes, length) : nullptr;
}

// Writes the text's bytes, at most `length` of them.
void memorySetString(VornRuntimeObject* b, int32_t offset, int32_t length, VornStringRecord* value) {
  string text = string::Share(value);
  if (length < 0) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  int32_t count = std::min(length, text.Length());
  if (uint8_t* bytes = Span(b, offset, count)) std::memcpy(bytes, text.CString(), static_cast<size_t>(count));
}

VornStringRecord* MemoryBlockToStringOperator(VornRuntimeObject* self) {
  MemoryBlockObject* fields = BlockOf(self);
  return fields ? BytesToString(fields->data, fields->size) : nullptr;
}

void MemoryBlockFromStringOperator(VornRuntimeObject* self, VornStringRecord* value) {
  MemoryBlockObject* fields = BlockOf(self);
  string text = string::Share(value);
  if (fields && Resize(fields, text.Length()) && text.Length() > 0)
    std::memcpy(fields->data, text.CString(), static_cast<size_t>(text.Length()));
}

VornRuntimeObject* MemoryBlockAddOperator(VornRuntimeObject* self, VornRuntimeObject* other) {
  MemoryBlockObject* a = BlockOf(self);
  MemoryBlockObject* b = a ? BlockOf(other) : nullptr;
  if (!a || !b) return nullptr;
  if (int64_t{a->size} + b->size > INT32_MAX) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return nullptr;
  }
  int32_t firstSize = a->size, secondSize = b->size;
  RuntimeObject* joined = newMemoryBlock(firstSize + secondSize);
  if (!joined) return nullptr;
  if (firstSize > 0) std::memcpy(Fields(joined)->data, a->data, static_cast<size_t>(firstSize));
  if (secondSize > 0) std::memcpy(Fields(joined)->data + firstSize, b->data, static_cast<size_t>(secondSize));
  return joined;
}

// Byte by byte, a proper prefix first; any block is greater than nil.
int32_t MemoryBlockCompareOperator(VornRuntimeObject* self, VornRuntimeObject* other) {
  if (!self || !other) return (self != nullptr) - (other != nullptr);
  MemoryBlockObject* a = Fields(self);
  MemoryBlockObject* b = Fields(other);
  int32_t common = std::min(a->size, b->size);
  int difference = common > 0 ? std::memcmp(a->data, b->data, static_cast<size_t>(common)) : 0;
  if (difference != 0) return difference < 0 ? -1 : 1;
  return (a->size > b->size) - (a->size < b->size);
}

VornRuntimeObject* MemoryBlockMidB3(VornRuntimeObject* self, int32_t start, int32_t count) {
  MemoryBlockObject* fields = BlockOf(self);
  if (!fields) return nullptr;
  if (start < 0 || start > fields->size || count < 0) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  count = std::min(count, fields->size - start);
  return NewBlockWith(fields->data + start, count);
}

VornRuntimeObject* MemoryBlockMidB2(VornRuntimeObject* self, int32_t start) {
  MemoryBlockObject* fields = BlockOf(self);
  return fields ? MemoryBlockMidB3(self, start, fields->size - std::max(start, 0)) : nullptr;
}

VornRuntimeObject* MemoryBlockLeftB(VornRuntimeObject* self, int32_t count) { return MemoryBlockMidB3(self, 0, count); }

VornRuntimeObject* MemoryBlockRightB(VornRuntimeObject* self, int32_t count) {
  MemoryBlockObject* fields = BlockOf(self);
  if (!fields) return nullptr;
  if (count < 0) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  count = std::min(count, fields->size);
  return MemoryBlockMidB3(self, fields->size - count, count);
}

}  // extern "C"
