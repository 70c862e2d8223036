#include "files/text_output_stream.h"

#include <cstddef>
#include <iterator>
#include <string>

#include "files/stream_objects.h"
#include "files/stream_support.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "strings/line_endings.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

TextOutputStreamObject* Fields(RuntimeObject* stream) { return reinterpret_cast<TextOutputStreamObject*>(stream); }

// The bytes that end a line of this encoding. A Delimiter the program set goes out as it is
// when its encoding is unknown or already the line's; the end of line always takes the line's.
string DelimiterFor(TextOutputStreamObject* fields, EncodingCode lineEncoding) {
  string delimiter = string::Share(fields->delimiter);
  if (delimiter.IsEmpty()) return ConvertTextEncoding(RuntimeEndOfLine(), lineEncoding);
  if (delimiter.Encoding() == kEncodingUnknown || delimiter.Encoding() == lineEncoding) return delimiter;
  return ConvertTextEncoding(delimiter, lineEncoding);
}

const ParamRow kLineParam[] = {{"Line", "s", 0, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kMethods[] = {
    METHOD("WriteLine", "", kLineParam, 1, TextOutputStreamWriteLine),
    METHOD("Write", "", kLineParam, 1, TextOutputStreamWrite),
    METHOD("Close", "", nullptr, 0, TextOutputStreamClose),
    METHOD("Flush", "", nullptr, 0, TextOutputStreamFlush),
    METHOD("WriteError", "b", nullptr, 0, TextOutputStreamErrorFlag),
};

#undef METHOD

const PropertyRow kProperties[] = {
    {0, "Delimiter", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     static_cast<int32_t>(offsetof(TextOutputStreamObject, delimiter)), 0},
    {0, "LastErrorCode", "i4", Fn(&TextOutputStreamLastErrorGetter), "TextOutputStreamLastErrorGetter", nullptr,
     nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetTextOutputStreamClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("TextOutputStream");
    d->mInstanceSize = static_cast<int32_t>(sizeof(TextOutputStreamObject));
    d->mInitializer = {Fn(&TextOutputStreamInitializer), "TextOutputStreamInitializer"};
    d->mFinalizer = {Fn(&TextOutputStreamDestructor), "TextOutputStreamDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(d, kMethods, static_cast<int32_t>(std::size(kMethods)));
    d->AddInterface(GetWriteableInterfaceDefinition());
    return d;
  }();
  return definition;
}

RuntimeObject* NewTextOutputStreamObject(RandomAccessMechanism* store) {
  RuntimeObject* stream = CreateInstanceFromDefinition(GetTextOutputStreamClassDefinition());
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

void TextOutputStreamInitializer(VornRuntimeObject* stream) {
  if (!stream) return;
  Fields(stream)->delimiter = nullptr;
  Fields(stream)->lastError = 0;
}

void TextOutputStreamDestructor(VornRuntimeObject* stream) {
  if (!stream) return;
  TextOutputStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
  ReplaceStringRep(fields->delimiter, nullptr);
}

void TextOutputStreamWrite(VornRuntimeObject* stream, VornStringRecord* text) {
  if (!stream || !Fields(stream)->store) return;
  const StreamHold hold(stream);
  string value = string::Share(text);
  if (!value.IsEmpty()) WriteToStore(Fields(stream)->store, value.CString(), value.Length());
}

// The line and its end go out in one write, so a failing store never keeps half of them.
void TextOutputStreamWriteLine(VornRuntimeObject* stream, VornStringRecord* line) {
  if (!stream || !Fields(stream)->store) return;
  const StreamHold hold(stream);
  TextOutputStreamObject* fields = Fields(stream);
  string value = string::Share(line);
  EncodingCode lineEncoding = value.IsEmpty() ? kEncodingASCII : value.Encoding();
  std::string bytes(value.View());
  bytes.append(DelimiterFor(fields, lineEncoding).View());
  WriteToStore(fields->store, bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TextOutputStreamClose(VornRuntimeObject* stream) {
  if (!stream) return;
  TextOutputStreamObject* fields = Fields(stream);
  if (fields->store) fields->lastError = CloseAndDestroyStore(fields->store);
}

void TextOutputStreamFlush(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "obj");
    return;
  }
  if (!Fields(stream)->store) {
    ReportFileAccessAssertion(__LINE__, "obj->mechanism");
    return;
  }
  Fields(stream)->store->Flush();
}

int32_t TextOutputStreamLastErrorGetter(VornRuntimeObject* stream) {
  if (!stream) {
    ReportFileAccessAssertion(__LINE__, "obj");
    return 0;
  }
  TextOutputStreamObject* fields = Fields(stream);
  return fields->store ? fields->store->mLastError : fields->lastError;
}

uint8_t TextOutputStreamErrorFlag(VornRuntimeObject* stream) {
  return TextOutputStreamLastErrorGetter(stream) != 0 ? 1 : 0;
}

}  // extern "C"
