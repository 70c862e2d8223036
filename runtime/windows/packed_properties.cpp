#include "windows/packed_properties.h"

#include <cstring>
#include <string>

#include "objects/accessors.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/byte_reader.h"
#include "strings/runtime_error.h"
#include "vorn/control_api.h"

namespace vorn {

namespace {

constexpr const char* kMassSetterSource = "../Common/runctl.cpp";

template <typename V>
void CallSetter(void* setter, RuntimeObject* object, int32_t param, V value) {
  reinterpret_cast<void (*)(RuntimeObject*, int32_t, V)>(setter)(object, param, value);
}

// The setter of the entry, or the direct store that matches the value's width when the entry
// marks a field of the object.
template <typename V>
void Assign(const PropertyEntry& entry, RuntimeObject* object, V value, void (*direct)(RuntimeObject*, int32_t, V)) {
  if (IsDirectField(entry.setter)) {
    direct(object, entry.param, value);
  } else {
    CallSetter<V>(entry.setter, object, entry.param, value);
  }
}

void Report(int32_t line, const char* condition, const std::string& message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kMassSetterSource, line, condition, message.c_str());
}

// Decodes one value of the type letter at the reader and assigns it. False when the stream
// ends inside the value (nothing is assigned then).
bool AssignValue(RuntimeObject* object, const PropertyEntry& entry, std::string_view type, ByteReader& in) {
  switch (type[0]) {
    case 'b': {
      if (in.Remaining() < 1) return false;
      Assign<uint8_t>(entry, object, in.ReadU8() != 0 ? 1 : 0, &boolSetter);
      return true;
    }
    case 'c': {
      if (in.Remaining() < 3) return false;
      uint32_t red = in.ReadU8(), green = in.ReadU8(), blue = in.ReadU8();
      Assign<int32_t>(entry, object, static_cast<int32_t>(red << 16 | green << 8 | blue), &intSetter);
      return true;
    }
    case 'd': {
      if (in.Remaining() < 8) return false;
      Assign<double>(entry, object, in.ReadDoubleBE(), &doubleSetter);
      return true;
    }
    case 'f': {
      if (in.Remaining() < 4) return false;
      uint32_t bits = in.ReadU32BE();
      float single;
      std::memcpy(&single, &bits, sizeof single);
      // A Double property still travels as a single on the wire; its field and its setter
      // take a double.
      if (ValueKindOfTypeCode(type) == ValueKind::kDouble) {
        Assign<double>(entry, object, static_cast<double>(single), &doubleSetter);
      } else {
        Assign<float>(entry, object, single, &singleSetter);
      }
      return true;
    }
    case 'i': {
      if (in.Remaining() < 4) return false;
      auto value = static_cast<int32_t>(in.ReadU32BE());
      // A Short field is two bytes wide.
      Assign<int32_t>(entry, object, value, ValueKindOfTypeCode(type) == ValueKind::kShort ? &shortSetter : &intSetter);
      return true;
    }
    case 's': {
      if (in.Remaining() < 4) return false;
      uint32_t length = in.ReadU32BE();
      if (length > in.Remaining() || length > static_cast<uint32_t>(INT32_MAX)) return false;
      const uint8_t* text = in.Take(length);
      string value(text, static_cast<int32_t>(length), kEncodingUTF8);
      Assign<StringRep*>(entry, object, value.Rep(), &stringSetter);
      return true;
    }
    default:
      return false;
  }
}

bool IsKnownTypeLetter(std::string_view type) {
  return !type.empty() && std::string_view("bcdfis").find(type[0]) != std::string_view::npos;
}

}  // namespace

PackedStreamResult ApplyPackedProperties(RuntimeObject* object, const uint8_t* bytes, size_t size) {
  if (!object || !object->classPtr || !bytes) return PackedStreamResult::kComplete;
  const RuntimeClass* cls = object->classPtr;
  RuntimeObject* pendingBefore = PendingException();
  ByteReader in(bytes, size);
  while (in.Remaining() > 0) {
    if (in.Remaining() < 2) return PackedStreamResult::kTruncated;
    uint16_t index = in.ReadU16BE();
    if (index >= cls->PropertyCount()) {
      Report(__LINE__, "destIndex < propTableCount", "");
      return PackedStreamResult::kIndexOutOfRange;
    }
    const PropertyEntry& entry = cls->mAccessors[index];
    std::string_view signature = RepText(entry.signature);
    if (!entry.setter) {
      Report(__LINE__, "0", "Assignment to read-only property " + std::string(signature));
      return PackedStreamResult::kReadOnly;
    }
    std::string_view type = SignatureResultText(signature);
    if (!IsKnownTypeLetter(type)) {
      Report(__LINE__, "0", "Illegal type in mass property input.");
      return PackedStreamResult::kIllegalType;
    }
    if (!AssignValue(object, entry, type, in)) return PackedStreamResult::kTruncated;
    // As for assignments written in code, a raising setter ends the sequence.
    if (PendingException() != pendingBefore) return PackedStreamResult::kRaised;
  }
  return PackedStreamResult::kComplete;
}

}  // namespace vorn

extern "C" void RuntimeMassPropertySetter(VornRuntimeObject* object, VornStringRecord* stream) {
  using namespace vorn;
  if (!object || !stream || stream->length <= 0 || !stream->buffer) return;
  // Held for the duration: a setter must not be able to free or change either under us.
  RuntimeLockObject(object);
  RetainStringRep(stream);
  ApplyPackedProperties(object, reinterpret_cast<const uint8_t*>(stream->buffer + 1),
                        static_cast<size_t>(stream->length));
  ReleaseStringRep(stream);
  RuntimeUnlockObject(object);
}
