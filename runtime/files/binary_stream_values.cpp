// BinaryStream's reads and writes. Typed values are laid out byte by byte in the order the
// stream's LittleEndian asks for, whatever the host or the store.
#include <algorithm>
#include <cstring>
#include <string>

#include "files/binary_stream.h"
#include "files/stream_support.h"
#include "objects/text_encoding_object.h"

namespace vorn {

namespace {

BinaryStreamObject* Fields(RuntimeObject* stream) { return reinterpret_cast<BinaryStreamObject*>(stream); }

// The stream's store, or nil: for a nil stream after reporting it.
RandomAccessMechanism* StoreOf(RuntimeObject* stream, int32_t line) {
  if (!stream) {
    ReportFileAccessAssertion(line, "stream");
    return nullptr;
  }
  return Fields(stream)->store;
}

// A value of `width` bytes; 0 unless every byte arrived.
uint64_t ReadValue(RuntimeObject* stream, int width, int32_t line) {
  RandomAccessMechanism* store = StoreOf(stream, line);
  if (!store) return 0;
  const StreamHold hold(stream);
  uint8_t bytes[8];
  if (store->ReadWhole(bytes, width) != width) return 0;
  bool little = Fields(stream)->littleEndian != 0;
  uint64_t value = 0;
  for (int i = 0; i < width; ++i) value |= uint64_t{bytes[little ? i : width - 1 - i]} << (8 * i);
  return value;
}

void WriteValue(RuntimeObject* stream, int width, uint64_t value, int32_t line) {
  RandomAccessMechanism* store = StoreOf(stream, line);
  if (!store) return;
  const StreamHold hold(stream);
  bool little = Fields(stream)->littleEndian != 0;
  uint8_t bytes[8];
  for (int i = 0; i < width; ++i) bytes[little ? i : width - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
  WriteToStore(store, bytes, width);
}

EncodingCode TagOf(RuntimeObject* encoding) { return GetEncodingFromTEObject(encoding); }

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

int32_t BinaryStreamReadByte(VornRuntimeObject* stream) {
  return static_cast<int32_t>(ReadValue(stream, 1, __LINE__));
}

int32_t BinaryStreamReadShort(VornRuntimeObject* stream) {
  return static_cast<int16_t>(ReadValue(stream, 2, __LINE__));
}

int32_t BinaryStreamReadLong(VornRuntimeObject* stream) {
  return static_cast<int32_t>(ReadValue(stream, 4, __LINE__));
}

double BinaryStreamReadFloat(VornRuntimeObject* stream) {
  auto bits = static_cast<uint32_t>(ReadValue(stream, 4, __LINE__));
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double BinaryStreamReadDouble(VornRuntimeObject* stream) {
  uint64_t bits = ReadValue(stream, 8, __LINE__);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint8_t BinaryStreamReadBoolean(VornRuntimeObject* stream) { return ReadValue(stream, 1, __LINE__) != 0 ? 1 : 0; }

VornStringRecord* BinaryStreamReadPString(VornRuntimeObject* stream, VornRuntimeObject* encoding) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  if (!store) return nullptr;
  const StreamHold hold(stream);
  uint8_t length = 0;
  if (!store->ReadByte(&length) || length == 0) return nullptr;
  char bytes[255];
  const int32_t got = store->ReadWhole(bytes, length);
  return HandOutBytes(std::string_view(bytes, static_cast<size_t>(got)), TagOf(encoding));
}

VornStringRecord* BinaryStreamRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  if (!store) return nullptr;
  const StreamHold hold(stream);
  count = store->ReadableCount(count);
  if (count <= 0) return nullptr;
  // A pipe gives what has come, often far less than asked for: its bytes are gathered first.
  if (!store->IsSequential()) return ReadIntoRecord(store, count, TagOf(encoding));
  std::string bytes(static_cast<size_t>(count), '\0');
  int32_t got = 0;
  store->Read(bytes.data(), count, &got);
  bytes.resize(static_cast<size_t>(got));
  return HandOutBytes(bytes, TagOf(encoding));
}

void BinaryStreamWriteByte(VornRuntimeObject* stream, int32_t value) {
  WriteValue(stream, 1, static_cast<uint8_t>(value), __LINE__);
}

void BinaryStreamWriteShort(VornRuntimeObject* stream, int32_t value) {
  WriteValue(stream, 2, static_cast<uint16_t>(value), __LINE__);
}

void BinaryStreamWriteLong(VornRuntimeObject* stream, int32_t value) {
  WriteValue(stream, 4, static_cast<uint32_t>(value), __LINE__);
}

void BinaryStreamWriteFloat(VornRuntimeObject* stream, double value) {
  auto narrow = static_cast<float>(value);
  uint32_t bits;
  std::memcpy(&bits, &narrow, sizeof bits);
  WriteValue(stream, 4, bits, __LINE__);
}

void BinaryStreamWriteDouble(VornRuntimeObject* stream, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteValue(stream, 8, bits, __LINE__);
}

void BinaryStreamWriteBoolean(VornRuntimeObject* stream, uint8_t value) {
  WriteValue(stream, 1, value ? 1 : 0, __LINE__);
}

void BinaryStreamWritePString(VornRuntimeObject* stream, VornStringRecord* text) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  if (!store) return;
  const StreamHold hold(stream);
  string value = string::Share(text);
  int32_t length = std::min(value.Length(), 255);
  std::string bytes(1, static_cast<char>(length));
  bytes.append(value.CString(), static_cast<size_t>(length));
  WriteToStore(store, bytes.data(), static_cast<int32_t>(bytes.size()));
}

void BinaryStreamWrite(VornRuntimeObject* stream, VornStringRecord* text) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  const StreamHold hold(stream);
  string value = string::Share(text);
  if (store && !value.IsEmpty()) WriteToStore(store, value.CString(), value.Length());
}

void BinaryStreamClose(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "stream");
    return;
  }
  BinaryStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
}

void BinaryStreamFlush(VornRuntimeObject* stream) {
  if (RandomAccessMechanism* store = StoreOf(stream, __LINE__)) store->Flush();
}

uint8_t BinaryStreamEOF(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "stream");
    return 1;
  }
  RandomAccessMechanism* store = Fields(stream)->store;
  if (!store) return 1;
  // A pipe's look may wait, the runtime meanwhile another thread's.
  const StreamHold hold(stream);
  return store->IsEOF() ? 1 : 0;
}

int32_t BinaryStreamGetLength(VornRuntimeObject* stream) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  return store ? store->GetLength() : 0;
}

void BinaryStreamSetLength(VornRuntimeObject* stream, int32_t, int32_t length) {
  if (RandomAccessMechanism* store = StoreOf(stream, __LINE__)) store->SetLength(length);
}

int32_t BinaryStreamGetPosition(VornRuntimeObject* stream) {
  RandomAccessMechanism* store = StoreOf(stream, __LINE__);
  return store ? store->GetPosition() : 0;
}

void BinaryStreamSetPosition(VornRuntimeObject* stream, int32_t, int32_t position) {
  if (RandomAccessMechanism* store = StoreOf(stream, __LINE__)) store->SetPosition(position);
}

int32_t BinaryStreamLastErrorGetter(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "", "No binary stream to get last error code on!");
    return 0;
  }
  BinaryStreamObject* fields = Fields(stream);
  return fields->store ? fields->store->mLastError : fields->lastError;
}

uint8_t BinaryStreamErrorFlag(VornRuntimeObject* stream) { return BinaryStreamLastErrorGetter(stream) != 0 ? 1 : 0; }

}  // extern "C"
