// The bound-control list of a DataControl and the record editing on it: showing the current
// row in the bound controls, telling and writing their changes, inserting, deleting, clearing.
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/data_aware.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "datacontrols/data_control_pane.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"
#include "objects/text_encoding_object.h"
#include "strings/c_number_text.h"
#include "strings/format_reading.h"
#include "strings/number_parse.h"
#include "vorn/buttons_api.h"
#include "vorn/controls_api.h"
#include "vorn/editfield_api.h"
#include "vorn/listbox_api.h"
#include "vorn/popup_api.h"
#include "windows/control.h"

namespace vorn {

namespace {

// A string property read through the class's accessors, the most derived first.
string StringProperty(RuntimeObject* object, std::string_view name) {
  RuntimeClass* cls = ClassOf(object);
  if (!cls) return string();
  for (auto it = cls->mAccessors.rbegin(); it != cls->mAccessors.rend(); ++it) {
    std::string_view signature = RepText(it->signature);
    if (signature.size() <= name.size() || signature[name.size()] != '%' ||
        !SameName(signature.substr(0, name.size()), name))
      continue;
    PropertyValue value;
    if (GetPropertyValue(object, *it, &value)) return value.AsString();
    return string();
  }
  return string();
}

string DataFieldOf(RuntimeObject* control) { return StringProperty(control, "DataField"); }

bool SameText(const string& a, const string& b) { return a.View() == b.View(); }

// The Format of a bound edit field; empty for other controls. A field with one holds a number:
// it is handed the column's value in the locale's writing and gives back the number it shows.
string NumberFormatOf(const BoundControlEntry& entry) {
  return entry.kind == kBoundEditField ? StringProperty(entry.control, "Format") : string();
}

bool IsWord(const string& text, const char* word) { return SameName(text.View(), word); }

// What the control holds now, as text.
string ControlText(const BoundControlEntry& entry) {
  switch (entry.kind) {
    case kBoundEditField: return string::Adopt(editTextGetter(entry.control, 0));
    case kBoundStaticText: return StringProperty(entry.control, "Text");
    case kBoundListBox: return string::Adopt(listTextGetter(entry.control, 0));
    case kBoundPopupMenu: return string::Adopt(RuntimeComboBoxTextGetter(entry.control, 0));
    case kBoundCheckBox: return string(checkBoxGetBoolean(entry.control) ? "true" : "false", kEncodingASCII);
    default: return string();
  }
}

bool CheckedByValue(const string& value) {
  if (value.IsEmpty()) return false;
  if (IsWord(value, "true") || IsWord(value, "t")) return true;
  const std::string text(value.View());
  return CStringToLong(text.c_str()) != 0;
}

void SetLocked(const BoundControlEntry& entry, bool locked) {
  if (entry.kind == kBoundEditField) {
    if (locked != (editReadOnlyGetter(entry.control, 0) != 0)) editReadOnlySetter(entry.control, 0, locked);
    return;
  }
  if (entry.kind == kBoundStaticText) return;
  ControlObject* control = AsControl(entry.control);
  if (control && locked == (control->enabled != 0)) controlEnabledSetter(entry.control, 0, !locked);
}

// The first row whose text (column 0 for a list) equals the value ignoring case; -1 for none.
template <typename RowText>
int32_t FindRow(int32_t count, const string& value, RowText rowText) {
  if (value.IsEmpty()) return -1;
  for (int32_t row = 0; row < count; ++row) {
    if (SameName(string::Adopt(rowText(row)).View(), value.View())) return row;
  }
  return -1;
}

void ShowValue(const BoundControlEntry& entry, const string& value) {
  RuntimeObject* control = entry.control;
  switch (entry.kind) {
    case kBoundEditField:
      // The column writes by the C rules; the field reads by the locale's.
      editSetString(control, (NumberFormatOf(entry).IsEmpty() ? value : CNumberInLocaleWriting(value)).Rep());
      break;
    case kBoundStaticText: staticCaptionSetter(control, 0, value.Rep()); break;
    case kBoundListBox:
      listSelectionSetter(control, 0, FindRow(listCountGetter(control, 0), value, [&](int32_t row) {
                            return listGetCell(control, row, 0);
                          }));
      break;
    case kBoundPopupMenu:
      RuntimeComboBoxSelectionSetter(control, 0, FindRow(RuntimeComboBoxCountGetter(control, 0), value, [&](int32_t row) {
                                       return RuntimeComboBoxGetRow(control, row);
                                     }));
      break;
    case kBoundCheckBox: checkBoxValueSetter(control, 0, CheckedByValue(value)); break;
    default: break;
  }
}

void ClearControl(const BoundControlEntry& entry) {
  RuntimeObject* control = entry.control;
  switch (entry.kind) {
    case kBoundEditField: editTextSetter(control, 0, string().Rep()); break;
    case kBoundStaticText: staticCaptionSetter(control, 0, string().Rep()); break;
    case kBoundListBox: listSelectionSetter(control, 0, -1); break;
    case kBoundPopupMenu: RuntimeComboBoxSelectionSetter(control, 0, -1); break;
    case kBoundCheckBox: checkBoxValueSetter(control, 0, 0); break;
    default: break;
  }
}

EncodingCode TargetEncoding(DataControlObject* owner) {
  return owner && owner->encoding ? GetEncodingFromTEObject(owner->encoding) : kEncodingUnknown;
}

// The type codes of the DataControl's table's columns, read from its schema when first asked.
class TableColumns {
 public:
  TableColumns(RuntimeObject* database, const string& table) : mDatabase(database), mTable(table) {}

  // The column's type; kVornDbNull when the table does not list it.
  int32_t TypeOf(const string& column) {
    if (!mLoaded) Load();
    for (const auto& [name, type] : mTypes)
      if (SameName(name.View(), column.View())) return type;
    return kVornDbNull;
  }

 private:
  void Load() {
    mLoaded = true;
    if (!mDatabase || mTable.IsEmpty()) return;
    RuntimeObject* schema = databaseFieldSchema(mDatabase, mTable.Rep());
    for (; schema && !cursorEOFGetter(schema, 0); cursorMoveNext(schema)) {
      RuntimeObject* name = cursorGetFieldByIndex(schema, 1);
      RuntimeObject* type = cursorGetFieldByIndex(schema, 2);
      if (name && type)
        mTypes.emplace_back(string::Adopt(databaseCursorFieldGetString(name)), cursorFieldIntegerValueGetter(type, 0));
      RuntimeUnlockObject(name);
      RuntimeUnlockObject(type);
    }
    RuntimeUnlockObject(schema);
  }

  RuntimeObject* mDatabase;
  string mTable;
  bool mLoaded = false;
  std::vector<std::pair<string, int32_t>> mTypes;
};

// The column's type for a bound control: the table's own, else what the cursor's field of that
// name holds (a column the query names otherwise), else none.
int32_t ColumnTypeOf(TableColumns& table, const string& name, RuntimeObject* cursor) {
  const int32_t type = table.TypeOf(name);
  if (type != kVornDbNull || !cursor || name.IsEmpty()) return type;
  RuntimeObject* field = cursorGetFieldByName(cursor, name.Rep());
  const auto* fields = field && RuntimeObjectIsaDefinition(field, GetDatabaseCursorFieldClassDefinition())
                           ? reinterpret_cast<const DatabaseFieldObject*>(field)
                           : nullptr;
  const int32_t held = fields && fields->cursor ? RecordSetColumnType(fields->cursor, fields->column) : kVornDbNull;
  RuntimeUnlockObject(field);
  return held;
}

bool IsNumberColumn(int32_t type) {
  return type == kVornDbSmallInt || type == kVornDbInteger || type == kVornDbFloat || type == kVornDbDouble;
}

// What a column is given: a text, or NULL.
struct ColumnValue {
  string text;
  bool null = false;
};

// What the column is given for what the control holds; every write asks here. A field with a
// Format gives a number column the number it shows, in plain C digits, and NULL once emptied
// (never 0); a text column, and any field without a Format, get the text as typed.
ColumnValue ColumnValueOf(const BoundControlEntry& entry, const string& now, int32_t columnType, EncodingCode target) {
  if (entry.kind == kBoundCheckBox) return {now};
  const string format = NumberFormatOf(entry);
  if (format.IsEmpty() || !IsNumberColumn(columnType)) return {ConvertTextEncoding(now, target)};
  if (now.IsEmpty()) return {string(), true};
  return {string(PlainCNumber(StringFormattedValue(now, format)), kEncodingASCII)};
}

// Whether the column already holds what the control would give it: a number column's number
// is compared as the number, so "1234,50" typed over 1234.5 changes nothing.
bool ColumnHolds(const BoundControlEntry& entry, const string& stored, const string& now, int32_t columnType) {
  const string format = NumberFormatOf(entry);
  if (format.IsEmpty() || !IsNumberColumn(columnType) || now.IsEmpty() || stored.IsEmpty()) return SameText(now, stored);
  const std::string text(stored.View());
  char* end = nullptr;
  const double number = ReadCNumber(text.c_str(), &end);
  return *end == '\0' && end != text.c_str() && number == StringFormattedValue(now, format);
}

// The record's column of that name goes in as NULL.
void MarkNull(RuntimeObject* record, const string& name) {
  for (dbColumnValue* value = DatabaseRecordValues(record); value; value = value->next) {
    if (SameName(string::Share(value->column).View(), name.View())) value->type = kVornDbNull;
  }
}

string Tagged(string text, EncodingCode encoding) {
  if (text.Encoding() == kEncodingUnknown && encoding != kEncodingUnknown) text.SetEncoding(encoding);
  return text;
}

// Every entry of the owner's list, held for the walk: a control's setter may run code that
// unbinds it meanwhile.
std::vector<BoundControlEntry> HeldEntries(DataControlObject* owner) {
  std::vector<BoundControlEntry> entries;
  for (BoundControlEntry* e = owner ? owner->boundControls : nullptr; e; e = e->next) {
    RuntimeLockObject(e->control);
    entries.push_back(*e);
  }
  return entries;
}

void ReleaseEntries(std::vector<BoundControlEntry>& entries) {
  for (BoundControlEntry& e : entries) RuntimeUnlockObject(e.control);
  entries.clear();
}

}  // namespace

string DataControl::GetFieldText(const string& field, bool* missing) {
  *missing = true;
  if (!mCursor || field.IsEmpty()) return string();
  RuntimeObject* object = cursorGetFieldByName(mCursor, field.Rep());
  if (!object) return string();
  *missing = false;
  string text = string::Adopt(cursorFieldStringValueGetter(object, 0));
  RuntimeUnlockObject(object);
  return Tagged(text, TargetEncoding(Owner()));
}

bool DataControl::TypedSinceShown(RuntimeObject* control, const string& text) const {
  for (const auto& [shown, was] : mShownTexts)
    if (shown == control) return !SameText(was, text);
  return true;
}

void DataControl::NoteShown(RuntimeObject* control, const string& text) {
  for (auto& [shown, was] : mShownTexts) {
    if (shown == control) {
      was = text;
      return;
    }
  }
  mShownTexts.emplace_back(control, text);
}

void DataControl::LoadBoundControls() {
  if (!mCursor) return;
  const bool locked = OwnerReadOnly() || IsRecordLocked();
  std::vector<BoundControlEntry> entries = HeldEntries(Owner());
  mShownTexts.clear();
  for (const BoundControlEntry& entry : entries) {
    bool missing = false;
    const string value = GetFieldText(DataFieldOf(entry.control), &missing);
    SetLocked(entry, locked);
    ShowValue(entry, value);
    NoteShown(entry.control, ControlText(entry));
  }
  ReleaseEntries(entries);
}

bool DataControl::IsRecordChanged() {
  std::vector<BoundControlEntry> entries = HeldEntries(Owner());
  TableColumns table(mDatabase, mTableName);
  bool changed = false;
  for (const BoundControlEntry& entry : entries) {
    bool missing = false;
    const string name = DataFieldOf(entry.control);
    const string stored = GetFieldText(name, &missing);
    if (missing) continue;
    const string now = ControlText(entry);
    if (!TypedSinceShown(entry.control, now)) continue;
    switch (entry.kind) {
      case kBoundEditField:
      case kBoundStaticText: changed = !ColumnHolds(entry, stored, now, ColumnTypeOf(table, name, mCursor)); break;
      case kBoundListBox:
      case kBoundPopupMenu: changed = !now.IsEmpty() && !SameText(now, stored); break;
      case kBoundCheckBox:
        changed = checkBoxGetBoolean(entry.control) ? IsWord(stored, "false") : IsWord(stored, "true");
        break;
      default: break;
    }
    if (changed) break;
  }
  ReleaseEntries(entries);
  return changed;
}

bool DataControl::SaveRecord() {
  if (!mCursor || OwnerReadOnly() || !IsRecordChanged()) return true;
  if (mDelegate && mOwner && mDelegate->Validate(mOwner, 1)) return true;
  // Past the last row, or in an empty result, there is no row to write the edit to.
  if (cursorEOFGetter(mCursor, 0)) return false;
  DataControlObject* owner = Owner();
  const EncodingCode target = TargetEncoding(owner);
  TableColumns table(mDatabase, mTableName);
  cursorEdit(mCursor);
  std::vector<BoundControlEntry> entries = HeldEntries(owner);
  for (const BoundControlEntry& entry : entries) {
    const string name = DataFieldOf(entry.control);
    RuntimeObject* field = name.IsEmpty() ? nullptr : cursorGetFieldByName(mCursor, name.Rep());
    if (!field) continue;
    const string stored = Tagged(string::Adopt(cursorFieldStringValueGetter(field, 0)), target);
    const string now = ControlText(entry);
    if (!TypedSinceShown(entry.control, now)) {
      // What it shows was not typed: the row's value stays, undone or changed by others.
      RuntimeUnlockObject(field);
      continue;
    }
    if (entry.kind == kBoundCheckBox) {
      const bool checked = checkBoxGetBoolean(entry.control);
      if (!checked && IsWord(stored, "true")) cursorFieldStringValueSetter(field, 0, string("false", kEncodingASCII).Rep());
      if (checked && IsWord(stored, "false")) cursorFieldStringValueSetter(field, 0, string("true", kEncodingASCII).Rep());
    } else if (!((entry.kind == kBoundListBox || entry.kind == kBoundPopupMenu) && now.IsEmpty())) {
      const int32_t type = ColumnTypeOf(table, name, mCursor);
      if (!ColumnHolds(entry, stored, now, type)) {
        const ColumnValue value = ColumnValueOf(entry, now, type, target);
        if (value.null) {
          CursorFieldValueSetter(field, 0, nullptr);
        } else {
          cursorFieldStringValueSetter(field, 0, value.text.Rep());
        }
      }
    }
    RuntimeUnlockObject(field);
  }
  ReleaseEntries(entries);
  cursorUpdate(mCursor);
  if (mDatabase && databaseErrorCodeGetter(mDatabase, 0) != 0) {
    // The row keeps what it held: the edits read back as stored, so that the controls still
    // differ from the row and the edit is not taken as saved by the next move.
    if (DatabaseCursorObject* cursor = CursorFields(mCursor)) DropPendingEdits(cursor);
    return false;
  }
  entries = HeldEntries(owner);
  for (const BoundControlEntry& entry : entries) NoteShown(entry.control, ControlText(entry));
  ReleaseEntries(entries);
  if (owner && owner->commit && mDatabase) databaseCommit(mDatabase);
  if (mDelegate && mOwner) mDelegate->Update(mOwner);
  return true;
}

void DataControl::InsertRecord() {
  if (mDelegate && mOwner && mDelegate->Validate(mOwner, 0)) return;
  if (mCursor) {
    CloseCursor();
    mRecordCount = 0;
  }
  DataControlObject* owner = Owner();
  const EncodingCode target = TargetEncoding(owner);
  RuntimeObject* record = CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition());
  TableColumns table(mDatabase, mTableName);
  std::vector<BoundControlEntry> entries = HeldEntries(owner);
  for (const BoundControlEntry& entry : entries) {
    const string name = DataFieldOf(entry.control);
    if (name.IsEmpty()) continue;
    const ColumnValue value = ColumnValueOf(entry, ControlText(entry), table.TypeOf(name), target);
    setDatabaseRecordColumn(record, name.Rep(), value.text.Rep());
    if (value.null) MarkNull(record, name);
  }
  ReleaseEntries(entries);
  // A row the database refuses was not inserted: no Insert event, and the controls keep what
  // the user typed.
  if (mDatabase && record) databaseInsertRecord(mDatabase, mTableName.Rep(), record);
  const bool inserted = mDatabase && record && databaseErrorCodeGetter(mDatabase, 0) == 0;
  RuntimeUnlockObject(record);
  if (!inserted) return;
  const bool keep = mDelegate && mOwner && mDelegate->Insert(mOwner);
  if (!keep) ClearBoundControls();
}

void DataControl::DeleteRecord() {
  // A cursor moved past the last row stands on none: there is nothing to delete, and no row may
  // be counted as gone.
  if (!mCursor || cursorEOFGetter(mCursor, 0)) return;
  if (mDelegate && mOwner && mDelegate->Validate(mOwner, 2)) return;
  cursorDeleteRecord(mCursor);
  // A row the database did not delete is neither counted as gone nor reported deleted.
  if (mDatabase && databaseErrorCodeGetter(mDatabase, 0) != 0) return;
  --mRecordCount;
  if (mRow == mRecordCount) mRow = mRecordCount - 1;
  if (mRow < 0) mRow = 0;
  // The engine may leave the cursor on the deleted row: the controls would show a record that
  // is gone. The query runs again and the cursor walks to the row now at that number.
  const int32_t count = mRecordCount;
  OpenCursor();
  mRecordCount = count;
  if (mCursor) {
    EndEdit();
    for (int32_t step = 0; step < mRow && !cursorEOFGetter(mCursor, 0); ++step) cursorMoveNext(mCursor);
  }
  SetPosition(mRow);
  if (mDelegate && mOwner) mDelegate->Delete(mOwner);
}

void DataControl::NewRecord() {
  if (mCursor) {
    CloseCursor();
    mRecordCount = 0;
  }
  ClearBoundControls();
  mCanMoveBack = false;
  mCanMoveForward = false;
  Invalidate();
}

void DataControl::ClearBoundControls() {
  std::vector<BoundControlEntry> entries = HeldEntries(Owner());
  for (const BoundControlEntry& entry : entries) ClearControl(entry);
  ReleaseEntries(entries);
}

bool DataControl::IsRecordLocked() {
  if (!mCursor || mRecordCount <= 0) return false;
  BeginEdit();
  return mDatabase && databaseErrorCodeGetter(mDatabase, 0) != 0;
}

void DataControl::LoadFieldNames() {
  mFieldNames.clear();
  if (!mDatabase || mTableName.IsEmpty() || mSQLQuery.IsEmpty()) return;
  mFieldNamesLoaded = true;
  RuntimeObject* schema = databaseFieldSchema(mDatabase, mTableName.Rep());
  if (!schema) return;
  while (!cursorEOFGetter(schema, 0)) {
    if (RuntimeObject* field = cursorGetFieldByIndex(schema, 1)) {
      if (StringRep* name = databaseCursorFieldGetString(field)) mFieldNames.push_back(string::Adopt(name));
      RuntimeUnlockObject(field);
    }
    cursorMoveNext(schema);
  }
  RuntimeUnlockObject(schema);
}

}  // namespace vorn
