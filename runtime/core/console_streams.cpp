#include "core/console_streams.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

#include "core/thread_scheduler.h"
#include "files/line_buffer.h"
#include "files/stream_support.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "objects/text_encoding_object.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// A descriptor read as it comes: a pipe or a terminal has no length and no position, and its
// end shows only when a read gives nothing.
class DescriptorReader : public RandomAccessMechanism {
 public:
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override {
    if (outCount) *outCount = 0;
    if (count <= 0 || mAtEnd) return false;
    ssize_t got;
    do {
      // A terminal or a pipe may keep the program waiting for ever; a termination signal
      // must still end it, and the other threads go on meanwhile.
      WaitForDescriptor(mDescriptor, POLLIN, -1);
      got = ::read(mDescriptor, buffer, static_cast<size_t>(count));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      mLastError = errno;
      mAtEnd = true;  // a descriptor that fails once is not asked again
      return false;
    }
    if (got == 0) {
      mAtEnd = true;
      return false;
    }
    if (outCount) *outCount = static_cast<int32_t>(got);
    return true;
  }
  bool Write(const void*, int32_t) override { return false; }
  bool Close() override { return true; }
  bool IsEOF() override { return mAtEnd; }
  bool SetPosition(int32_t) override { return false; }
  int32_t GetLength() override { return 0; }
  bool SetLength(int32_t) override { return false; }
  int32_t GetPosition() override { return 0; }

  void Reset(int32_t descriptor) {
    mDescriptor = descriptor;
    mAtEnd = false;
    mLastError = 0;
  }

 private:
  int32_t mDescriptor = 0;
  bool mAtEnd = false;
};

struct StandardInput {
  DescriptorReader reader;
  uint8_t bytes[1024];
  int32_t position = 0;
  int32_t count = 0;
  ThreadRecord* turn = nullptr;  // the thread reading now
  std::deque<ThreadRecord*> waiting;
  LineBuffer Buffer() { return {bytes, static_cast<int32_t>(sizeof bytes), &position, &count}; }
};

StandardInput& Input() {
  static auto* input = new StandardInput();  // lives until exit, read from exit-time code too
  return *input;
}

// One reader of standard input at a time: a thread waiting for input lets the others run, and
// the buffer must not change under it meanwhile. The turn goes to the oldest waiter.
class InputTurn {
 public:
  InputTurn() : mInput(Input()) {
    ThreadRecord* self = CurrentThreadRecord();
    if (mInput.turn == nullptr) {
      mInput.turn = self;
      return;
    }
    mInput.waiting.push_back(self);
    WaitUntilWoken();
  }
  ~InputTurn() {
    mInput.turn = nullptr;
    if (mInput.waiting.empty()) return;
    mInput.turn = mInput.waiting.front();
    mInput.waiting.pop_front();
    WakeWaitingThread(mInput.turn);
  }
  InputTurn(const InputTurn&) = delete;
  InputTurn& operator=(const InputTurn&) = delete;

 private:
  StandardInput& mInput;
};

EncodingCode TagFor(VornRuntimeObject* encoding) {
  return encoding ? GetEncodingFromTEObject(encoding) : kEncodingUTF8;
}

bool WriteAll(int32_t descriptor, std::string_view bytes, int32_t* lastError) {
  while (!bytes.empty()) {
    ssize_t put = ::write(descriptor, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (lastError) *lastError = put < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  if (lastError) *lastError = 0;
  return true;
}

StandardOutputObject* Output(VornRuntimeObject* stream) {
  return RuntimeObjectIsaDefinition(stream, GetStandardOutputStreamClassDefinition())
             ? reinterpret_cast<StandardOutputObject*>(stream)
             : nullptr;
}

bool IsInput(VornRuntimeObject* stream) {
  return RuntimeObjectIsaDefinition(stream, GetStandardInputStreamClassDefinition());
}

// Each standard stream is one object, made on first use and kept until exit.
VornRuntimeObject* Shared(VornRuntimeObject*& slot, ObjectDefinition* definition, int32_t descriptor) {
  if (!slot) {
    slot = CreateInstanceFromDefinition(definition);
    if (StandardOutputObject* out = Output(slot)) out->descriptor = descriptor;
  }
  RuntimeLockObject(slot);
  return slot;
}

std::string LineOf(VornStringRecord* text) {
  std::string bytes(string::Share(text).View());
  bytes += '\n';
  return bytes;
}

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"Count", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kTextParam[] = {{"text", "s", 0, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kInputMethods[] = {
    METHOD("ReadLine", "s", kEncodingParam, 1, RuntimeStdInputReadLine),
    METHOD("Read", "s", kReadParams, 2, RuntimeStdInputRead),
    METHOD("EOF", "b", nullptr, 0, RuntimeStdInputEof),
    METHOD("ReadError", "b", nullptr, 0, RuntimeStdInputError),
};

const MethodRow kOutputMethods[] = {
    METHOD("Write", "", kTextParam, 1, RuntimeStdOutputStreamWrite),
    METHOD("WriteLine", "", kTextParam, 1, RuntimeStdOutputStreamWriteLine),
    METHOD("Flush", "", nullptr, 0, RuntimeStdOutFlush),
    METHOD("WriteError", "b", nullptr, 0, RuntimeStdOutputError),
};

#undef METHOD

ObjectDefinition* BuildStreamDefinition(const char* name, int32_t size, const MethodRow* methods, int32_t count,
                                        ObjectDefinition* iface) {
  auto* d = new ObjectDefinition();
  d->mName = string(name);
  d->mInstanceSize = size;
  SetMethodList(d, methods, count);
  d->AddInterface(iface);
  return d;
}

}  // namespace

ObjectDefinition* GetStandardInputStreamClassDefinition() {
  static ObjectDefinition* definition =
      BuildStreamDefinition("StandardInputStream", VORN_OBJECT_HEADER_SIZE, kInputMethods,
                            RowCount(kInputMethods), GetReadableInterfaceDefinition());
  return definition;
}

ObjectDefinition* GetStandardOutputStreamClassDefinition() {
  static ObjectDefinition* definition =
      BuildStreamDefinition("StandardOutputStream", static_cast<int32_t>(sizeof(StandardOutputObject)),
                            kOutputMethods, RowCount(kOutputMethods), GetWriteableInterfaceDefinition());
  return definition;
}

void RegisterConsoleStreamClasses() {
  RegisterIntrinsicClass("StandardInputStream", &GetStandardInputStreamClassDefinition);
  RegisterIntrinsicClass("StandardOutputStream", &GetStandardOutputStreamClassDefinition);
}

void SetStandardInputDescriptor(int32_t descriptor) {
  Input().reader.Reset(descriptor < 0 ? 0 : descriptor);
  Input().position = Input().count = 0;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* RuntimeGetStdIn(void) {
  static VornRuntimeObject* stream = nullptr;
  return Shared(stream, GetStandardInputStreamClassDefinition(), 0);
}

VornRuntimeObject* RuntimeGetStdOut(void) {
  static VornRuntimeObject* stream = nullptr;
  return Shared(stream, GetStandardOutputStreamClassDefinition(), STDOUT_FILENO);
}

VornRuntimeObject* RuntimeGetStdErr(void) {
  static VornRuntimeObject* stream = nullptr;
  return Shared(stream, GetStandardOutputStreamClassDefinition(), STDERR_FILENO);
}

VornStringRecord* RuntimeStdInputReadLine(VornRuntimeObject* stream, VornRuntimeObject* encoding) {
  if (!IsInput(stream)) return nullptr;
  InputTurn turn;
  StandardInput& input = Input();
  EncodingCode tag = TagFor(encoding);
  return HandOutBytes(input.Buffer().ReadLine(&input.reader, tag == kEncodingUTF16 ? 2 : 1), tag);
}

// Up to `count` bytes: what is buffered, or else what one read of the descriptor brings.
VornStringRecord* RuntimeStdInputRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding) {
  if (!IsInput(stream) || count <= 0) return nullptr;
  InputTurn turn;
  StandardInput& input = Input();
  LineBuffer buffer = input.Buffer();
  if (buffer.Buffered() == 0) buffer.Refill(&input.reader);
  return HandOutBytes(buffer.ReadBytes(nullptr, count), TagFor(encoding));
}

// Waits for input when none is buffered: the end shows only when a read finds nothing.
uint8_t RuntimeStdInputEof(VornRuntimeObject* stream) {
  if (!IsInput(stream)) return 1;
  InputTurn turn;
  StandardInput& input = Input();
  LineBuffer buffer = input.Buffer();
  if (buffer.Buffered() > 0) return 0;
  return buffer.Refill(&input.reader) ? 0 : 1;
}

uint8_t RuntimeStdInputError(VornRuntimeObject* stream) {
  return IsInput(stream) && Input().reader.mLastError != 0 ? 1 : 0;
}

void RuntimeStdOutputStreamWrite(VornRuntimeObject* stream, VornStringRecord* text) {
  if (StandardOutputObject* out = Output(stream)) {
    WriteAll(out->descriptor, string::Share(text).View(), &out->lastError);
  }
}

// The line and its end go out in one write, so that lines of two writers do not interleave.
void RuntimeStdOutputStreamWriteLine(VornRuntimeObject* stream, VornStringRecord* line) {
  if (StandardOutputObject* out = Output(stream)) WriteAll(out->descriptor, LineOf(line), &out->lastError);
}

// The streams' own writes go straight to the descriptor; what the C library still holds for
// the same descriptor goes out now, so that it comes before anything written later.
void RuntimeStdOutFlush(VornRuntimeObject* stream) {
  if (StandardOutputObject* out = Output(stream)) std::fflush(out->descriptor == STDERR_FILENO ? stderr : stdout);
}

uint8_t RuntimeStdOutputError(VornRuntimeObject* stream) {
  StandardOutputObject* out = Output(stream);
  return out && out->lastError != 0 ? 1 : 0;
}

void RuntimeConsolePrint(VornStringRecord* text) { WriteAll(STDOUT_FILENO, LineOf(text), nullptr); }

VornStringRecord* RuntimeConsoleInput(void) {
  InputTurn turn;
  StandardInput& input = Input();
  return HandOutBytes(input.Buffer().ReadLine(&input.reader, 1), kEncodingUTF8);
}

}  // extern "C"
