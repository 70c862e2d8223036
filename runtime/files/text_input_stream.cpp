#include "files/text_input_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include "files/line_buffer.h"
#include "files/stream_objects.h"
#include "files/stream_support.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "objects/text_encoding_object.h"
#include "strings/memory.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

TextInputStreamObject* Fields(RuntimeObject* stream) { return reinterpret_cast<TextInputStreamObject*>(stream); }

LineBuffer BufferOf(TextInputStreamObject* fields) {
  if (!fields->buffer) fields->buffer = static_cast<uint8_t*>(AllocMemory(kTextInputBufferSize));
  return {fields->buffer, kTextInputBufferSize, &fields->bufferPosition, &fields->bufferCount, &fields->nextFill};
}

// The stream's store, or nil: also while another thread waits in it, since what that thread
// reads lands in this object's buffer (EBUSY then).
RandomAccessMechanism* ReadableStore(RuntimeObject* stream) {
  RandomAccessMechanism* store = stream ? Fields(stream)->store : nullptr;
  if (!store || !store->WaitedIn()) return store;
  store->mLastError = EBUSY;
  return nullptr;
}

// Where the next byte the stream hands out lies in the store; -1 when the store cannot tell.
int64_t NextByteOffset(TextInputStreamObject* fields) {
  const int64_t position = fields->store->GetPosition64();
  return position < 0 ? -1 : position - fields->bufferCount + fields->bufferPosition;
}

// The code that tags what a read returns: the argument's, else the stream's Encoding.
EncodingCode TagFor(TextInputStreamObject* fields, RuntimeObject* encoding) {
  return EncodingCodeOf(encoding ? encoding : fields->encoding);
}

// The most one read of ReadToEnd asks for: between two, the runtime is handed on.
constexpr int64_t kReadToEndPiece = 1 << 20;

// The `told` bytes a file's length tells are left, behind the `head` already taken, read
// straight into the record they are handed out in: a record with one reference once they all
// came and the file ends there. Otherwise nil, with what came in `head`, the file read on from
// there. The runtime is handed on between pieces as ReadToEnd does.
StringRep* ReadAsTold(RandomAccessMechanism* store, std::string* head, int64_t told, EncodingCode tag) {
  // Room that is not cleared first: the reads fill it.
  string record;
  record.Reserve(static_cast<int32_t>(told));
  char* room = record.MutableBytes();
  std::memcpy(room, head->data(), head->size());
  int64_t filled = static_cast<int64_t>(head->size());
  while (filled < told) {
    int32_t got = 0;
    store->Read(room + filled, static_cast<int32_t>(std::min(kReadToEndPiece, told - filled)), &got);
    filled += std::max(got, 0);
    if (got <= 0 || !store->HandOn()) break;
  }
  if (filled == told && store->IsEOF()) {
    return HandOutFilled(record, static_cast<int32_t>(told), tag);
  }
  head->assign(room, static_cast<size_t>(filled));
  return nullptr;
}

// A store read in order, or a file whose length is only a hint, is read until a read meets its
// end, each read waiting as ReadLine's does; the length, where told, only sizes the room. Past
// the longest text the answer is nil with EOVERFLOW, and no more than one byte past it was
// taken from the store. A Close meanwhile ends it with what had come.
VornStringRecord* ReadToEnd(RuntimeObject* stream, RuntimeObject* encoding) {
  RandomAccessMechanism* store = ReadableStore(stream);
  if (!store) return nullptr;
  const StreamHold hold(stream);
  TextInputStreamObject* fields = Fields(stream);
  LineBuffer buffer = BufferOf(fields);
  const int64_t longest = LongestReadableText();
  const EncodingCode tag = TagFor(fields, encoding);
  std::string head = buffer.ReadBytes(nullptr, buffer.Buffered());
  // A store read in order has no length to ask for (asking would leave ESPIPE).
  int64_t told = -1;
  if (!store->IsSequential()) {
    told = static_cast<int64_t>(head.size()) + store->BytesLeft();
    if (told > static_cast<int64_t>(head.size()) && told <= longest) {
      if (StringRep* whole = ReadAsTold(store, &head, told, tag)) return whole;
    }
  }
  if (static_cast<int64_t>(head.size()) > longest) {
    store->mLastError = EOVERFLOW;
    return nullptr;
  }
  // Read straight into the record handed out, which grows in place (a large block is moved by
  // its pages, never copied): a pipe of a gigabyte is neither gathered nor copied twice.
  string all(head, tag);
  if (told > 0) all.Reserve(static_cast<int32_t>(std::min(longest, told)));
  for (;;) {
    const int64_t room = longest - all.Length();
    const int32_t count = store->ReadableCount(static_cast<int32_t>(std::clamp<int64_t>(room, 1, kReadToEndPiece)));
    if (count <= 0) break;
    int32_t got = 0;
    if (room == 0) {
      // At the longest text, one byte more tells whether the store goes on past it.
      char past = 0;
      store->Read(&past, 1, &got);
      if (got > 0) {
        store->mLastError = EOVERFLOW;
        return nullptr;
      }
      break;
    }
    all.Reserve(all.Length() + count);
    store->Read(all.MutableBytes() + all.Length(), count, &got);
    all.SetFilledLength(all.Length() + std::max(got, 0));
    if (got <= 0 || !store->HandOn()) break;
  }
  return HandOutFilled(all, all.Length(), tag);
}

// ReadLine where the buffer does not hold the line whole; apart, so that a line taken from the
// buffer costs no more than its own work.
__attribute__((noinline)) StringRep* ReadLineFromStore(RuntimeObject* stream, EncodingCode tag, int32_t unitSize) {
  const StreamHold hold(stream);
  TextInputStreamObject* fields = Fields(stream);
  std::string line = BufferOf(fields).ReadLine(fields->store, unitSize);
  return HandOutBytes(line, tag);
}

// EOF once the buffer is empty: apart, as ReadLineFromStore is.
__attribute__((noinline)) bool StoreAtEnd(RuntimeObject* stream) {
  TextInputStreamObject* fields = Fields(stream);
  RandomAccessMechanism* store = fields->store;
  // A file on disk looks by reading ahead: the look is the next fill of the buffer, one read
  // where the store's own look and the fill behind it would take two.
  if (store->LengthIsHint() && !store->WaitedIn() && BufferOf(fields).Refill(store)) return false;
  // A pipe's look may wait, the runtime meanwhile another thread's.
  const StreamHold hold(stream);
  return store->IsEOF();
}

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"Count", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kMethods[] = {
    METHOD("Read", "s", kReadParams, 2, TextInputStreamRead),
    METHOD("ReadLine", "s", kEncodingParam, 1, TextInputStreamReadLine),
    METHOD("ReadAll", "s", kEncodingParam, 1, TextInputStreamReadAll),
    METHOD("Close", "", nullptr, 0, TextInputStreamClose),
    METHOD("EOF", "b", nullptr, 0, TextInputStreamEOF),
    METHOD("ReadError", "b", nullptr, 0, TextInputStreamErrorFlag),
};

#undef METHOD

const PropertyRow kProperties[] = {
    {0, "Encoding", "o<TextEncoding>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     static_cast<int32_t>(offsetof(TextInputStreamObject, encoding)), 0},
    {0, "PositionB", "i4", Fn(&TextInputStreamGetPosition), "TextInputStreamGetPosition",
     Fn(&TextInputStreamSetPosition), "TextInputStreamSetPosition", 0, 0},
    {0, "LastErrorCode", "i4", Fn(&TextInputStreamLastErrorGetter), "TextInputStreamLastErrorGetter", nullptr,
     nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetTextInputStreamClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("TextInputStream");
    d->mInstanceSize = static_cast<int32_t>(sizeof(TextInputStreamObject));
    d->mInitializer = {Fn(&TextInputStreamInitializer), "TextInputStreamInitializer"};
    d->mFinalizer = {Fn(&TextInputStreamDestructor), "TextInputStreamDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(d, kMethods, static_cast<int32_t>(std::size(kMethods)));
    d->AddInterface(GetReadableInterfaceDefinition());
    return d;
  }();
  return definition;
}

RuntimeObject* NewTextInputStreamObject(RandomAccessMechanism* store) {
  RuntimeObject* stream = CreateInstanceFromDefinition(GetTextInputStreamClassDefinition());
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

void TextInputStreamInitializer(VornRuntimeObject* stream) {
  if (!stream) return;
  TextInputStreamObject* fields = Fields(stream);
  fields->encoding = GetTEObjectFromEncoding(kEncodingUTF8);
  fields->bufferPosition = 0;
  fields->bufferCount = 0;
  fields->buffer = nullptr;
  fields->nextFill = kFirstFill;
  fields->lastError = 0;
}

void TextInputStreamDestructor(VornRuntimeObject* stream) {
  if (!stream) return;
  TextInputStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
  RuntimeObject* encoding = fields->encoding;
  fields->encoding = nullptr;
  RuntimeUnlockObject(encoding);
  FreeMemory(fields->buffer);
  fields->buffer = nullptr;
}

VornStringRecord* TextInputStreamRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding) {
  if (!ReadableStore(stream) || count <= 0) return nullptr;
  const StreamHold hold(stream);
  TextInputStreamObject* fields = Fields(stream);
  std::string bytes = BufferOf(fields).ReadBytes(fields->store, count);
  return HandOutBytes(bytes, TagFor(fields, encoding));
}

VornStringRecord* TextInputStreamReadLine(VornRuntimeObject* stream, VornRuntimeObject* encoding) {
  if (!ReadableStore(stream)) return nullptr;
  TextInputStreamObject* fields = Fields(stream);
  EncodingCode tag = TagFor(fields, encoding);
  const int32_t unitSize = tag == kEncodingUTF16 ? 2 : 1;
  // Most lines lie whole in the buffer: handed out from there, without gathering them first,
  // and with no hold on the stream, which only a wait in the store could see released.
  std::string_view buffered;
  if (fields->buffer && BufferOf(fields).TakeBufferedLine(unitSize, &buffered)) return HandOutBytes(buffered, tag);
  return ReadLineFromStore(stream, tag, unitSize);
}

VornStringRecord* TextInputStreamReadAll(VornRuntimeObject* stream, VornRuntimeObject* encoding) {
  if (!stream || !Fields(stream)->store) return nullptr;
  TextInputStreamObject* fields = Fields(stream);
  RandomAccessMechanism* store = fields->store;
  if (store->IsSequential()) return ReadToEnd(stream, encoding);
  const int64_t next = NextByteOffset(fields);
  const int64_t length = store->GetLength64();
  if (next < 0 || length < 0) return nullptr;
  // What the file tells it has left already is more than one string holds.
  if (length - next > LongestReadableText()) {
    store->mLastError = EOVERFLOW;
    return nullptr;
  }
  if (store->LengthIsHint()) return ReadToEnd(stream, encoding);
  return TextInputStreamRead(stream, static_cast<int32_t>(length - next), encoding);
}

void TextInputStreamClose(VornRuntimeObject* stream) {
  if (!stream) return;
  TextInputStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
  fields->bufferPosition = 0;
  fields->bufferCount = 0;
}

// A closed stream has nothing more to give: answering false there would keep a reading loop
// going for ever.
uint8_t TextInputStreamEOF(VornRuntimeObject* stream) {
  if (!stream || !Fields(stream)->store) return 1;
  TextInputStreamObject* fields = Fields(stream);
  if (fields->bufferPosition < fields->bufferCount) return 0;
  return StoreAtEnd(stream) ? 1 : 0;
}

int32_t TextInputStreamGetPosition(VornRuntimeObject* stream) {
  if (!stream || !Fields(stream)->store) return 0;
  TextInputStreamObject* fields = Fields(stream);
  return fields->store->Answer32(NextByteOffset(fields));
}

void TextInputStreamSetPosition(VornRuntimeObject* stream, int32_t, int32_t position) {
  if (!ReadableStore(stream)) return;
  const StreamHold hold(stream);
  TextInputStreamObject* fields = Fields(stream);
  fields->store->SetPosition(std::max(position, 0));
  BufferOf(fields).Reload(fields->store);
}

int32_t TextInputStreamLastErrorGetter(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "obj");
    return 0;
  }
  TextInputStreamObject* fields = Fields(stream);
  return fields->store ? fields->store->mLastError : fields->lastError;
}

uint8_t TextInputStreamErrorFlag(VornRuntimeObject* stream) {
  return TextInputStreamLastErrorGetter(stream) != 0 ? 1 : 0;
}

}  // extern "C"
