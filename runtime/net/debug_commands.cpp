// The commands the IDE sends while the program runs or is stopped. Every field comes from the
// peer: malformed fields, references the session never answered with and memory the process
// cannot access get an ERR answer, and the session goes on.
#include <glib.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/image_loader.h"
#include "base/reloc_entry.h"
#include "net/debug_memory.h"
#include "net/debug_session.h"
#include "net/debugger_encoding.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"
#include "vorn/array_abi.h"

namespace vorn {
namespace {

constexpr int kMaxStackFrames = 4096;

string Ascii(std::string_view text) { return string(text, kEncodingASCII); }

// The blank-separated fields of a payload.
std::vector<std::string_view> Fields(std::string_view payload) {
  std::vector<std::string_view> fields;
  for (;;) {
    size_t blank = payload.find(' ');
    fields.push_back(payload.substr(0, blank));
    if (blank == std::string_view::npos) return fields;
    payload.remove_prefix(blank + 1);
  }
}

// Addresses and references travel as 8 or 16 digits.
bool DecodeAddress(std::string_view text, uint64_t* address) {
  if (text.size() != 8 && text.size() != 16) return false;
  DebugTextProblem problem;
  *address = HexDecode64(std::string(16 - text.size(), '0') + std::string(text), &problem);
  return problem == DebugTextProblem::kNone;
}

bool DecodeValue(std::string_view text, int32_t bytes, uint64_t* value) {
  if (text.size() != static_cast<size_t>(2 * bytes)) return false;
  DebugTextProblem problem;
  *value = HexDecode64(std::string(16 - text.size(), '0') + std::string(text), &problem);
  return problem == DebugTextProblem::kNone;
}

bool Contains(const std::vector<uintptr_t>& list, uintptr_t value) {
  for (uintptr_t entry : list) {
    if (entry == value) return true;
  }
  return false;
}

void HandOutObject(uintptr_t object) {
  if (object && !Contains(DebugSession().handedObjects, object)) DebugSession().handedObjects.push_back(object);
}

string ClassNameOf(RuntimeObject* object) { return ClassOf(object)->mName; }

// Replies start with the request's payload as received, so the IDE can pair them up.
void Answer(std::string_view replyTag, std::string_view request, const string& value) {
  string reply(request, kEncodingUTF8);
  reply.AppendCString(" ");
  reply.Append(value);
  SendToDebugger(replyTag, reply);
}

// An object reference, then its class name when not nil; the reference is handed out.
string ObjectText(RuntimeObject* object) {
  string text = HexEncodeAddress(reinterpret_cast<uintptr_t>(object));
  if (!object) return text;
  HandOutObject(reinterpret_cast<uintptr_t>(object));
  text.AppendCString(" ");
  text.Append(ClassNameOf(object));
  return text;
}

// A string reference stored at the address, read through the kernel: nil on any failure.
bool ReadStringAt(uint64_t address, string* text, uintptr_t* referenceRead = nullptr) {
  uintptr_t reference = 0;
  if (!DebugReadMemory(address, &reference, sizeof reference)) return false;
  if (referenceRead) *referenceRead = reference;
  if (!reference) {
    *text = string();
    return true;
  }
  VornStringRecord record{};
  if (!DebugReadMemory(reference, &record, sizeof record) || record.length < 0) return false;
  std::string bytes(static_cast<size_t>(record.length), '\0');
  if (record.length > 0 &&
      !DebugReadMemory(reinterpret_cast<uintptr_t>(record.buffer) + 1, bytes.data(), bytes.size()))
    return false;
  *text = string(bytes, static_cast<EncodingCode>(record.encoding));
  return true;
}

string VariantText(RuntimeObject* variant) {
  string text = HexEncode32(static_cast<uint32_t>(VarType(variant)));
  if (!variant) return text;
  text.AppendCString(" ");
  if (VarType(variant) == kVarTypeObject) {
    RuntimeObject* object = variantToObject(variant);
    text.Append(ObjectText(object));
    if (object) RuntimeUnlockObject(object);
    return text;
  }
  VornStringRecord* value = variantToString(variant);
  text.Append(EncodeDebugString(string::Share(value)));
  RuntimeUnlockString(value);
  return text;
}

// Reads the 1, 2, 4 or 8 bytes at the payload's address and answers with them.
void DumpValue(const string& tag, std::string_view payload, int32_t bytes, const char* reply) {
  uint64_t address = 0, value = 0;
  if (!DecodeAddress(payload, &address)) return SendDebuggerError(tag, "bad address");
  if (!DebugReadMemory(address, &value, static_cast<size_t>(bytes))) return SendDebuggerError(tag, "unreadable memory");
  Answer(reply, payload, string(HexEncodeBytes(&value, bytes)));
}

void SetValue(const string& tag, std::string_view payload, int32_t bytes) {
  std::vector<std::string_view> fields = Fields(payload);
  uint64_t address = 0, value = 0;
  if (fields.size() != 2 || !DecodeAddress(fields[0], &address) || !DecodeValue(fields[1], bytes, &value))
    return SendDebuggerError(tag, "expected an address and a value");
  if (!DebugWriteMemory(address, &value, static_cast<size_t>(bytes))) SendDebuggerError(tag, "unwritable memory");
}

void SetString(const string& tag, std::string_view payload) {
  size_t blank = payload.find(' ');
  uint64_t address = 0;
  if (blank == std::string_view::npos || !DecodeAddress(payload.substr(0, blank), &address))
    return SendDebuggerError(tag, "expected an address and a string");
  DebugTextProblem problem;
  string text = DecodeDebugString(payload.substr(blank + 1), &problem);
  if (problem != DebugTextProblem::kNone) return SendDebuggerError(tag, "malformed string");
  uintptr_t oldReference = 0;
  if (!DebugReadMemory(address, &oldReference, sizeof oldReference)) return SendDebuggerError(tag, "unreadable memory");
  // The old value is released: only a string this stop read there (or nil) may be.
  std::vector<uintptr_t>& handed = DebugSession().handedStrings;
  if (oldReference && !Contains(handed, oldReference)) return SendDebuggerError(tag, "string not handed out");
  StringRep* rep = text.Rep();
  RetainStringRep(rep);
  uintptr_t newReference = reinterpret_cast<uintptr_t>(rep);
  if (!DebugWriteMemory(address, &newReference, sizeof newReference)) {
    RuntimeUnlockString(rep);
    return SendDebuggerError(tag, "unwritable memory");
  }
  std::erase(handed, oldReference);
  if (newReference) handed.push_back(newReference);
  RuntimeUnlockString(reinterpret_cast<StringRep*>(oldReference));
}

void DumpString(const string& tag, std::string_view payload) {
  uint64_t address = 0;
  if (!DecodeAddress(payload, &address)) return SendDebuggerError(tag, "bad address");
  if (!address) return;
  string text;
  uintptr_t reference = 0;
  if (!ReadStringAt(address, &text, &reference)) return SendDebuggerError(tag, "unreadable memory");
  if (reference && !Contains(DebugSession().handedStrings, reference)) DebugSession().handedStrings.push_back(reference);
  Answer("VALS", payload, EncodeDebugString(text));
}

void DumpObject(const string& tag, std::string_view payload) {
  uint64_t address = 0;
  uintptr_t object = 0;
  if (!DecodeAddress(payload, &address)) return SendDebuggerError(tag, "bad address");
  if (!address) return;
  if (!DebugReadMemory(address, &object, sizeof object)) return SendDebuggerError(tag, "unreadable memory");
  if (object && !IsLiveObject(object)) return SendDebuggerError(tag, "not an object");
  Answer("VALO", payload, ObjectText(reinterpret_cast<RuntimeObject*>(object)));
}

void DumpVariant(const string& tag, std::string_view payload) {
  uint64_t address = 0;
  uintptr_t variant = 0;
  if (!DecodeAddress(payload, &address)) return SendDebuggerError(tag, "bad address");
  if (!address) return;
  if (!DebugReadMemory(address, &variant, sizeof variant)) return SendDebuggerError(tag, "unreadable memory");
  if (variant && !IsLiveObject(variant)) return SendDebuggerError(tag, "not a variant");
  Answer("VALV", payload, VariantText(reinterpret_cast<RuntimeObject*>(variant)));
}

// A reference the session answered with earlier (and that is still alive).
bool DecodeHandedObject(const string& tag, std::string_view payload, uintptr_t* object) {
  uint64_t reference = 0;
  if (!DecodeAddress(payload, &reference)) {
    SendDebuggerError(tag, "bad reference");
    return false;
  }
  *object = static_cast<uintptr_t>(reference);
  if (!reference || Contains(DebugSession().handedObjects, *object)) return true;
  SendDebuggerError(tag, "reference not handed out");
  return false;
}

void DumpArrayBounds(const string& tag, std::string_view payload) {
  uint64_t reference = 0;
  if (!DecodeAddress(payload, &reference)) return SendDebuggerError(tag, "bad reference");
  if (!reference) return;
  // The header is copied through the kernel: the reference may point anywhere.
  VornArray header{};
  int32_t bounds[kVornArrayMaxDimensions] = {};
  if (!DebugReadMemory(reference, &header, sizeof header) || header.dimensions < 1 ||
      header.dimensions > kVornArrayMaxDimensions ||
      !DebugReadMemory(reference + offsetof(VornArray, upperBound), bounds,
                       sizeof(int32_t) * static_cast<size_t>(header.dimensions)))
    return SendDebuggerError(tag, "not an array");
  if (!Contains(DebugSession().handedArrays, reference)) DebugSession().handedArrays.push_back(reference);
  string reply = HexEncodeAddress(reinterpret_cast<uintptr_t>(header.data));
  for (int32_t d = 0; d < header.dimensions; ++d) {
    reply.AppendCString(" ");
    reply.Append(HexEncode32(static_cast<uint32_t>(bounds[d])));
  }
  Answer("VALABB", payload, reply);
}

void Watch(const string& tag, std::string_view payload, bool arrays, bool add) {
  uint64_t reference = 0;
  if (!DecodeAddress(payload, &reference)) return SendDebuggerError(tag, "bad reference");
  if (!reference) return;
  DebugSessionState& s = DebugSession();
  std::vector<uintptr_t>& list = arrays ? s.watchedArrays : s.watchedObjects;
  if (!add) {
    std::erase(list, reference);
    return;
  }
  if (!Contains(arrays ? s.handedArrays : s.handedObjects, reference))
    return SendDebuggerError(tag, "reference not handed out");
  if (!Contains(list, reference)) list.push_back(reference);
}

void SetBreakpoint(const string& tag, std::string_view payload, uint8_t flag) {
  DebugSessionState& s = DebugSession();
  uint64_t line = 0;
  if (!DecodeValue(payload, 4, &line)) return SendDebuggerError(tag, "bad line");
  int32_t index = static_cast<int32_t>(static_cast<uint32_t>(line));
  if (index < 0 || index >= static_cast<int32_t>(s.breakpoints.size()))
    return SendDebuggerError(tag, "breakline >= 0 && breakline < sBreakpointsLen");
  uint8_t& entry = s.breakpoints[static_cast<size_t>(index)];
  s.breakpointsSet += (flag != 0) - (entry != 0);
  entry = flag;
  UpdateDebuggerAttention();
}

void AllocateBreakpoints(const string& tag, std::string_view payload) {
  DebugSessionState& s = DebugSession();
  uint64_t count = 0;
  // A table past this many lines is no program's: the peer is not trusted with the heap.
  constexpr uint64_t kMostLines = uint64_t{1} << 26;
  if (!DecodeValue(payload, 4, &count) || static_cast<int32_t>(count) < 0 || count > kMostLines)
    return SendDebuggerError(tag, "bad line count");
  s.breakpoints.assign(static_cast<size_t>(count), 0);
  s.hasBreakpointTable = true;
  s.breakpointsSet = 0;
  UpdateDebuggerAttention();
}

// SFR per frame record from the current stop outward, then SC.
void ListStack() {
  const DebugSessionState& s = DebugSession();
  uintptr_t record = reinterpret_cast<uintptr_t>(s.currentFrame);
  for (int i = 0; record && i < kMaxStackFrames; ++i) {
    uintptr_t words[2] = {};
    if (!DebugReadMemory(record, words, sizeof words) || words[0] == 0) break;
    if (words[1] != 0) {
      std::string name;
      uint32_t offset = 0;
      if (!LookupSymbolForAddress(reinterpret_cast<void*>(words[1]), name, offset)) {
        name.clear();
        offset = 0;
      }
      string reply = HexEncodeAddress(words[0]);
      reply.AppendCString(" ");
      reply.Append(EncodeDebugString(string(name, kEncodingUTF8)));
      reply.AppendCString(" ");
      reply.Append(HexEncode32(offset));
      SendToDebugger("SFR", reply);
    }
    // Frames lie ever higher on a downward stack; anything else ends the walk.
    if (words[0] <= record) break;
    record = words[0];
  }
  SendToDebugger("SC", string());
}

std::string Field(std::string_view name, char separator, bool secondToLast) {
  std::vector<std::string_view> parts;
  for (;;) {
    size_t at = name.find(separator);
    parts.push_back(name.substr(0, at));
    if (at == std::string_view::npos) break;
    name.remove_prefix(at + 1);
  }
  size_t wanted = secondToLast ? parts.size() - 1 : parts.size();
  return wanted >= 1 ? std::string(parts[wanted - 1]) : std::string();
}

void PropertyValue(const string& tag, std::string_view payload) {
  std::vector<std::string_view> fields = Fields(payload);
  uint64_t reference = 0, parameter = 0;
  if (fields.size() != 3 || !DecodeAddress(fields[0], &reference) || !DecodeValue(fields[2], 4, &parameter))
    return SendDebuggerError(tag, "expected an object, a name and a parameter");
  auto* object = reinterpret_cast<RuntimeObject*>(static_cast<uintptr_t>(reference));
  if (object && !Contains(DebugSession().handedObjects, reinterpret_cast<uintptr_t>(object)))
    return SendDebuggerError(tag, "reference not handed out");
  string name(fields[1], kEncodingUTF8);
  void* getter = nullptr;
  if (RelocEntry* entry = LookupRelocEntry(name)) getter = entry->code;
  if (!getter && object) {
    std::string key = Field(fields[1], '.', true) + "%" + Field(fields[1], '%', true) + "%";
    string wanted(key, kEncodingUTF8);
    for (const PropertyEntry& property : ClassOf(object)->mOwnProperties) {
      if (string::Share(property.signature).Compare(wanted) != 0) continue;
      if (IsDirectField(property.getter)) return SendDebuggerError(tag, "property has no getter");
      getter = property.getter;
      break;
    }
  }
  if (!getter) return SendDebuggerError(tag, "no such property");
  int32_t p = static_cast<int32_t>(static_cast<uint32_t>(parameter));
  char kind = tag.View().size() == 4 ? static_cast<char>(tag.View()[3] & ~0x20) : 'I';
  string reply;
  switch (kind) {
    case 'B': reply = Ascii(reinterpret_cast<uint8_t (*)(RuntimeObject*, int32_t)>(getter)(object, p) ? "01" : "00"); break;
    case 'F': {
      float value = reinterpret_cast<float (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = HexEncodeBytes(&value, 4);
      break;
    }
    case 'D': {
      double value = reinterpret_cast<double (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = HexEncodeBytes(&value, 8);
      break;
    }
    case 'S': {
      VornStringRecord* value = reinterpret_cast<VornStringRecord* (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = EncodeDebugString(string::Share(value));
      RuntimeUnlockString(value);
      break;
    }
    case 'O': {
      RuntimeObject* value = reinterpret_cast<RuntimeObject* (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = ObjectText(value);
      RuntimeUnlockObject(value);
      break;
    }
    case 'V': {
      RuntimeObject* value = reinterpret_cast<RuntimeObject* (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = VariantText(value);
      RuntimeUnlockObject(value);
      break;
    }
    default: {
      int32_t value = reinterpret_cast<int32_t (*)(RuntimeObject*, int32_t)>(getter)(object, p);
      reply = HexEncode32(static_cast<uint32_t>(value));
    }
  }
  std::string replyTag = "VALPV";
  replyTag.push_back(kind);
  Answer(replyTag, payload, reply);
}

struct Command {
  const char* tag;
  std::function<bool(const string& tag, std::string_view payload)> run;
};

bool Quiet(void (*action)(const string&, std::string_view), const string& tag, std::string_view payload) {
  action(tag, payload);
  return false;
}

uintptr_t CurrentCallerFrame() {
  uintptr_t caller = 0;
  const uintptr_t* frame = DebugSession().currentFrame;
  if (frame) DebugReadMemory(reinterpret_cast<uintptr_t>(frame), &caller, sizeof caller);
  return caller;
}

bool Step(int32_t mode, bool withFrame) {
  DebugSessionState& s = DebugSession();
  s.stepMode = mode;
  s.stepFrame = withFrame ? CurrentCallerFrame() : 0;
  UpdateDebuggerAttention();
  return true;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"RUN", [](const string&, std::string_view) {
         DebugSession().stepMode = kStepRun;
         DebugSession().breakPending = false;
         UpdateDebuggerAttention();
         return true;
       }},
      {"QUIT", [](const string&, std::string_view) {
         EndDebugSession();
         return true;
       }},
      {"BR", [](const string& t, std::string_view p) { SetBreakpoint(t, p, 1); return false; }},
      {"BRC", [](const string& t, std::string_view p) { SetBreakpoint(t, p, 0); return false; }},
      {"BRLA", [](const string& t, std::string_view p) { return Quiet(&AllocateBreakpoints, t, p); }},
      {"STEP", [](const string&, std::string_view) { return Step(kStepInto, false); }},
      {"STEPOVER", [](const string&, std::string_view) { return Step(kStepOver, true); }},
      {"STEPOUT", [](const string&, std::string_view) { return Step(kStepOut, true); }},
      {"BREAK", [](const string&, std::string_view) {
         RequestDebuggerBreak();
         return true;
       }},
      {"DB", [](const string& t, std::string_view p) { DumpValue(t, p, 1, "VAL8"); return false; }},
      {"DH", [](const string& t, std::string_view p) { DumpValue(t, p, 2, "VAL16"); return false; }},
      {"DW", [](const string& t, std::string_view p) { DumpValue(t, p, 4, "VAL32"); return false; }},
      {"DL", [](const string& t, std::string_view p) { DumpValue(t, p, 8, "VAL64"); return false; }},
      {"DS", [](const string& t, std::string_view p) { return Quiet(&DumpString, t, p); }},
      {"DO", [](const string& t, std::string_view p) { return Quiet(&DumpObject, t, p); }},
      {"DV", [](const string& t, std::string_view p) { return Quiet(&DumpVariant, t, p); }},
      {"DOC", [](const string& t, std::string_view p) {
         uintptr_t object = 0;
         if (DecodeHandedObject(t, p, &object) && object)
           Answer("VALOC", p, ClassNameOf(reinterpret_cast<RuntimeObject*>(object)));
         return false;
       }},
      {"SB", [](const string& t, std::string_view p) { SetValue(t, p, 1); return false; }},
      {"SH", [](const string& t, std::string_view p) { SetValue(t, p, 2); return false; }},
      {"SW", [](const string& t, std::string_view p) { SetValue(t, p, 4); return false; }},
      {"SL", [](const string& t, std::string_view p) { SetValue(t, p, 8); return false; }},
      {"SS", [](const string& t, std::string_view p) { return Quiet(&SetString, t, p); }},
      {"PID", [](const string&, std::string_view) { SendToDebugger("PID", string()); return false; }},
      {"TOC", [](const string&, std::string_view) {
         SendToDebugger("TOC", HexEncodeAddress(DebugSession().dataBase));
         return false;
       }},
      {"SC", [](const string&, std::string_view) { ListStack(); return false; }},
      {"OWLS", [](const string& t, std::string_view p) { Watch(t, p, false, true); return false; }},
      {"OWLR", [](const string& t, std::string_view p) { Watch(t, p, false, false); return false; }},
      {"DABB", [](const string& t, std::string_view p) { return Quiet(&DumpArrayBounds, t, p); }},
      {"AWLS", [](const string& t, std::string_view p) { Watch(t, p, true, true); return false; }},
      {"AWLR", [](const string& t, std::string_view p) { Watch(t, p, true, false); return false; }},
      {"DPVB", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVI", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVF", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVD", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVO", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVV", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"DPVS", [](const string& t, std::string_view p) { return Quiet(&PropertyValue, t, p); }},
      {"SwitchToDebugger", [](const string&, std::string_view) { return false; }},
      {"GetHWND", [](const string&, std::string_view) { return false; }},
      {"TRAP", [](const string& t, std::string_view p) {
         uint64_t flag = 0;
         if (!DecodeValue(p, 1, &flag)) SendDebuggerError(t, "bad flag");
         else DebugSession().trap = flag != 0;
         return false;
       }},
  };
  return commands;
}

}  // namespace

bool DispatchDebuggerCommand(const string& tag, const string& payload) {
  for (const Command& command : Commands()) {
    if (tag.View().size() == std::strlen(command.tag) &&
        g_ascii_strncasecmp(tag.View().data(), command.tag, tag.View().size()) == 0)
      return command.run(tag, payload.View());
  }
  SendDebuggerError(tag, "unknown command");
  return false;
}

}  // namespace vorn
