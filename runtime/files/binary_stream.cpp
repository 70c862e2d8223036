// The BinaryStream class: its table, its life and the stores it is made over.
#include "files/binary_stream.h"

#include <cstddef>
#include <iterator>

#include "files/memory_block_mechanism.h"
#include "files/stream_objects.h"
#include "files/stream_support.h"
#include "files/string_storage_mechanism.h"
#include "objects/exceptions.h"
#include "objects/memory_block.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

BinaryStreamObject* Fields(RuntimeObject* stream) { return reinterpret_cast<BinaryStreamObject*>(stream); }

// Replaces whatever store the stream had (a constructor called twice must not leak one).
void Attach(RuntimeObject* stream, RandomAccessMechanism* store) {
  BinaryStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
  fields->store = store;
}

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"byteCount", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kIntegerParam[] = {{"value", "i4", 0, 0}};
const ParamRow kDoubleParam[] = {{"value", "f8", 0, 0}};
const ParamRow kBooleanParam[] = {{"value", "b", 0, 0}};
const ParamRow kStringParam[] = {{"value", "s", 0, 0}};
const ParamRow kStringCtorParam[] = {{"aString", "s", 0, 0}};
const ParamRow kBlockCtorParam[] = {{"aMemoryBlock", "o<MemoryBlock>", 0, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kMethods[] = {
    METHOD("ReadByte", "i4", nullptr, 0, BinaryStreamReadByte),
    METHOD("ReadShort", "i4", nullptr, 0, BinaryStreamReadShort),
    METHOD("ReadLong", "i4", nullptr, 0, BinaryStreamReadLong),
    METHOD("ReadPString", "s", kEncodingParam, 1, BinaryStreamReadPString),
    METHOD("ReadSingle", "f8", nullptr, 0, BinaryStreamReadFloat),
    METHOD("ReadDouble", "f8", nullptr, 0, BinaryStreamReadDouble),
    METHOD("ReadBoolean", "b", nullptr, 0, BinaryStreamReadBoolean),
    METHOD("Read", "s", kReadParams, 2, BinaryStreamRead),
    METHOD("WriteByte", "", kIntegerParam, 1, BinaryStreamWriteByte),
    METHOD("WriteShort", "", kIntegerParam, 1, BinaryStreamWriteShort),
    METHOD("WriteLong", "", kIntegerParam, 1, BinaryStreamWriteLong),
    METHOD("WritePString", "", kStringParam, 1, BinaryStreamWritePString),
    METHOD("WriteSingle", "", kDoubleParam, 1, BinaryStreamWriteFloat),
    METHOD("WriteDouble", "", kDoubleParam, 1, BinaryStreamWriteDouble),
    METHOD("WriteBoolean", "", kBooleanParam, 1, BinaryStreamWriteBoolean),
    METHOD("Write", "", kStringParam, 1, BinaryStreamWrite),
    METHOD("Close", "", nullptr, 0, BinaryStreamClose),
    METHOD("Flush", "", nullptr, 0, BinaryStreamFlush),
    METHOD("WriteError", "b", nullptr, 0, BinaryStreamErrorFlag),
    METHOD("EOF", "b", nullptr, 0, BinaryStreamEOF),
    METHOD("ReadError", "b", nullptr, 0, BinaryStreamErrorFlag),
    METHOD("Constructor", "", kStringCtorParam, 1, BinaryStringStringCtor),
    METHOD("Constructor", "", kBlockCtorParam, 1, BinaryStringMemoryBlockCtor),
};

#undef METHOD

const PropertyRow kProperties[] = {
    {0, "LittleEndian", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     static_cast<int32_t>(offsetof(BinaryStreamObject, littleEndian)), 0},
    {0, "Length", "i4", Fn(&BinaryStreamGetLength), "BinaryStreamGetLength", Fn(&BinaryStreamSetLength),
     "BinaryStreamSetLength", 0, 0},
    {0, "Position", "i4", Fn(&BinaryStreamGetPosition), "BinaryStreamGetPosition", Fn(&BinaryStreamSetPosition),
     "BinaryStreamSetPosition", 0, 0},
    {0, "LastErrorCode", "i4", Fn(&BinaryStreamLastErrorGetter), "BinaryStreamLastErrorGetter", nullptr, nullptr, 0,
     0},
};

}  // namespace

ObjectDefinition* GetBinaryStreamClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("BinaryStream");
    d->mInstanceSize = static_cast<int32_t>(sizeof(BinaryStreamObject));
    d->mInitializer = {Fn(&BinaryStreamInitializer), "BinaryStreamInitializer"};
    d->mFinalizer = {Fn(&BinaryStreamDestructor), "BinaryStreamDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(d, kMethods, static_cast<int32_t>(std::size(kMethods)));
    d->AddInterface(GetReadableInterfaceDefinition());
    d->AddInterface(GetWriteableInterfaceDefinition());
    return d;
  }();
  return definition;
}

RuntimeObject* NewBinaryStreamObject(RandomAccessMechanism* store) {
  RuntimeObject* stream = CreateInstanceFromDefinition(GetBinaryStreamClassDefinition());
  if (!stream) {
    delete store;
    return nullptr;
  }
  Fields(stream)->store = store;
  return stream;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void BinaryStreamInitializer(VornRuntimeObject* stream) {
  if (!stream) return;
  Fields(stream)->littleEndian = 0;
  Fields(stream)->lastError = 0;
}

void BinaryStreamDestructor(VornRuntimeObject* stream) {
  if (!stream) return;
  BinaryStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
}

void BinaryStringStringCtor(VornRuntimeObject* stream, VornStringRecord* text) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "stream");
    return;
  }
  auto* store = new StringStorageMechanism();
  store->SetString(string::Share(text));
  Attach(stream, store);
}

void BinaryStringMemoryBlockCtor(VornRuntimeObject* stream, VornRuntimeObject* block) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "stream");
    return;
  }
  if (!block) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (!RuntimeObjectIsaDefinition(block, GetMemoryBlockClassDefinition())) {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return;
  }
  auto* store = new MemoryBlockMechanism();
  store->SetMemoryBlock(block);
  Fields(stream)->littleEndian = reinterpret_cast<MemoryBlockObject*>(block)->littleEndian ? 1 : 0;
  Attach(stream, store);
}

}  // extern "C"
