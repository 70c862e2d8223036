#include "datacontrols/scrollable_cursor.h"

#include <vector>

#include "controls/binding_interfaces.h"
#include "base/background_task.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "datacontrols/row_cache.h"
#include "objects/class_registry.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr uint32_t kRowFlags = 4;
constexpr int32_t kTextValueType = 5;

const ParamRow kCursorParam[] = {{"cursor", "o<RecordSet>", 0, 0}};
const ParamRow kRowParam[] = {{"v", "i4", 0, 0}};

const MethodRow kMethods[] = {
    {"ScrollableCursor", "", kCursorParam, 1, Fn(&scrollableCursorConstructor), "scrollableCursorConstructor",
     nullptr, nullptr, kRowFlags, 0},
    {"GetCount", "i4", nullptr, 0, Fn(&scrollableCursorGetCount), "scrollableCursorGetCount", nullptr, nullptr,
     kRowFlags, 0},
    {"GetRow", "o<tupleInterface>", kRowParam, 1, Fn(&scrollableCursorGetRow), "scrollableCursorGetRow", nullptr,
     nullptr, kRowFlags, 0},
};

ScrollableCursorObject* Fields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetScrollableCursorClassDefinition())) return nullptr;
  return reinterpret_cast<ScrollableCursorObject*>(object);
}

// One value as (compact length, compact encoding, bytes). The rows' column sources are not
// kept: nothing reads them back.
bool WriteValue(RandomAccessMechanism* stream, const string& text) {
  if (!stream->WriteCompactInteger(text.Length())) return false;
  if (!stream->WriteCompactInteger(static_cast<int32_t>(text.IsEmpty() ? kEncodingASCII : text.Encoding())))
    return false;
  return text.IsEmpty() || stream->Write(text.View().data(), text.Length());
}

bool CopyCurrentRow(RandomAccessMechanism* stream, RuntimeObject* recordSet, int32_t columns) {
  for (int32_t column = 1; column <= columns; ++column) {
    RuntimeObject* field = cursorGetFieldByIndex(recordSet, column);
    // A column without a field is stored as the empty text, so that every value reads back
    // the same way.
    string text;
    if (field) {
      text = string::Adopt(cursorFieldStringValueGetter(field, 0));
      RuntimeUnlockObject(field);
    }
    if (!WriteValue(stream, text)) return false;
  }
  return true;
}

// Reads a value back; false when the row bytes are cut short.
bool ReadValue(RandomAccessMechanism* stream, std::vector<char>* buffer, string* text) {
  int32_t length = 0;
  int32_t encoding = 0;
  if (!stream->ReadCompactInteger(&length) || length < 0) return false;
  if (!stream->ReadCompactInteger(&encoding)) return false;
  if (length == 0) {
    *text = string();
    return true;
  }
  buffer->resize(static_cast<size_t>(length));
  int32_t got = 0;
  if (!stream->Read(buffer->data(), length, &got) || got != length) return false;
  *text = string(buffer->data(), length, static_cast<EncodingCode>(encoding));
  return true;
}

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("ScrollableCursor");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ScrollableCursorObject));
  definition->mFinalizer = {Fn(&scrollableCursorDestructor), "scrollableCursorDestructor"};
  SetMethodList(definition, kMethods, RowCount(kMethods));
  definition->AddInterface(GetListDataProviderInterfaceDefinition());
  return definition;
}

}  // namespace

ObjectDefinition* GetScrollableCursorClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

RuntimeObject* NewScrollableCursor(RuntimeObject* recordSet) {
  RuntimeObject* cursor = CreateInstanceFromDefinition(GetScrollableCursorClassDefinition());
  if (cursor) scrollableCursorConstructor(cursor, recordSet);
  return cursor;
}

}  // namespace vorn

using namespace vorn;

void scrollableCursorConstructor(VornRuntimeObject* self, VornRuntimeObject* recordSet) {
  ScrollableCursorObject* cursor = Fields(self);
  if (!cursor || cursor->cache || !CursorFields(recordSet)) return;
  cursor->columnCount = cursorFieldCount(recordSet, 0);
  std::unique_ptr<RowCache> cache = RowCache::Create();
  if (!cache) return;
  RuntimeLockObject(recordSet);
  while (!cursorEOFGetter(recordSet, 0)) {
    RandomAccessMechanism* stream = cache->AppendRow();
    if (!stream || !CopyCurrentRow(stream, recordSet, cursor->columnCount)) break;
    cursorMoveNext(recordSet);
    RuntimeBackgroundTask();
  }
  RuntimeUnlockObject(recordSet);
  cursor->cache = cache.release();
}

void scrollableCursorDestructor(VornRuntimeObject* self) {
  ScrollableCursorObject* cursor = Fields(self);
  if (!cursor) return;
  delete cursor->cache;
  cursor->cache = nullptr;
}

int32_t scrollableCursorGetCount(VornRuntimeObject* self) {
  ScrollableCursorObject* cursor = Fields(self);
  return cursor && cursor->cache ? static_cast<int32_t>(cursor->cache->Count()) : 0;
}

VornRuntimeObject* scrollableCursorGetRow(VornRuntimeObject* self, int32_t row) {
  ScrollableCursorObject* cursor = Fields(self);
  if (!cursor || !cursor->cache || row < 1) return nullptr;
  RandomAccessMechanism* stream = cursor->cache->FetchRow(static_cast<uint32_t>(row - 1));
  if (!stream) return nullptr;
  RuntimeObject* record = CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition());
  auto* fields = reinterpret_cast<DatabaseRecordObject*>(record);
  if (!fields) return nullptr;
  dbColumnValue** tail = &fields->values;
  std::vector<char> buffer;
  for (int32_t column = 0; column < cursor->columnCount; ++column) {
    string text;
    if (!ReadValue(stream, &buffer, &text)) break;
    *tail = new dbColumnValue{nullptr, string().GetRetainedRep(), text.GetRetainedRep(), kTextValueType};
    tail = &(*tail)->next;
  }
  return record;
}
