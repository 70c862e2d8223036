// The language's DataControl and DataControlAction classes: properties, methods and events of
// the control, each forwarded to its navigation pane once it has one; and the hooks through
// which data-aware controls find a DataControl and bind to it.
#include <cstddef>
#include <utility>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "controls/data_aware.h"
#include "datacontrols/data_control_api.h"
#include "datacontrols/data_control_pane.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/text_encoding_object.h"
#include "vorn/object_abi.h"
#include "windows/control.h"
#include "windows/pane_disposal.h"
#include "windows/rect_control.h"
#include "windows/runtime_window.h"


namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }
#define FIELD(name) Offset(offsetof(DataControlObject, name))

const PropertyRow kProperties[] = {
    {0, "Caption", "s", Fn(&stringGetter), "stringGetter", Fn(&DataControlCaptionSetter), "DataControlCaptionSetter",
     FIELD(caption), 0},
    {0, "TableName", "s", Fn(&stringGetter), "stringGetter", Fn(&DataControlTableNameSetter),
     "DataControlTableNameSetter", FIELD(tableName), 0},
    {0, "SQLQuery", "s", Fn(&stringGetter), "stringGetter", Fn(&DataControlQuerySetter), "DataControlQuerySetter",
     FIELD(sqlQuery), 0},
    {0, "Database", "o<Database>", Fn(&DataControlDBGetter), "DataControlDBGetter", Fn(&DataControlDBSetter),
     "DataControlDBSetter", FIELD(database), 0},
    {0, "TextAlign", "i4", Fn(&shortGetter), "shortGetter", Fn(&DataControlAlignSetter), "DataControlAlignSetter",
     FIELD(textAlign), 0},
    {0, "TextColor", "c", Fn(&intGetter), "intGetter", Fn(&DataControlColorSetter), "DataControlColorSetter",
     FIELD(textColor), 0},
    {0, "TextFont", "s", Fn(&stringGetter), "stringGetter", Fn(&DataControlFontSetter), "DataControlFontSetter",
     FIELD(textFont), 0},
    {0, "TextSize", "i4", Fn(&shortGetter), "shortGetter", Fn(&DataControlSizeSetter), "DataControlSizeSetter",
     FIELD(textSize), 0},
    {0, "Bold", "b", Fn(&boolGetter), "boolGetter", Fn(&DataControlAttributeSetter), "DataControlAttributeSetter",
     FIELD(bold), 0},
    {0, "Italic", "b", Fn(&boolGetter), "boolGetter", Fn(&DataControlAttributeSetter), "DataControlAttributeSetter",
     FIELD(italic), 0},
    {0, "Underline", "b", Fn(&boolGetter), "boolGetter", Fn(&DataControlAttributeSetter),
     "DataControlAttributeSetter", FIELD(underline), 0},
    {0x40, "ControlBind", "i4", nullptr, nullptr, Fn(&DataControlControlBindSetter), "DataControlControlBindSetter",
     0, 0},
    {0, "ReadOnly", "b", Fn(&boolGetter), "boolGetter", Fn(&DataControlReadOnlySetter), "DataControlReadOnlySetter",
     FIELD(readOnly), 0},
    {0, "kInsert", "i4", Fn(&DataControlGetConstant), "DataControlGetConstant", nullptr, nullptr, 0, 0},
    {0, "kUpdate", "i4", Fn(&DataControlGetConstant), "DataControlGetConstant", nullptr, nullptr, 1, 0},
    {0, "kDelete", "i4", Fn(&DataControlGetConstant), "DataControlGetConstant", nullptr, nullptr, 2, 0},
    {0, "RecordLocked", "b", Fn(&DataControlRecordLockedGetter), "DataControlRecordLockedGetter", nullptr, nullptr, 0,
     0},
    {0, "Commit", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter", FIELD(commit), 0},
    {0, "Encoding", "o<TextEncoding>", Fn(&DataControlEncodingGetter), "DataControlEncodingGetter",
     Fn(&DataControlEncodingSetter), "DataControlEncodingSetter", FIELD(encoding), 0},
};

#undef FIELD

EventRow sEvents[] = {
    {0, "MoveNext", "", "Boolean", nullptr, 0},
    {0, "MovePrevious", "", "Boolean", nullptr, 0},
    {0, "MoveFirst", "", "Boolean", nullptr, 0},
    {0, "MoveLast", "", "Boolean", nullptr, 0},
    {0, "Reposition", "index as integer", "", nullptr, 0},
    {0, "Validate", "action as integer", "Boolean", nullptr, 0},
    {0, "Insert", "", "Boolean", nullptr, 0},
    {0, "Update", "", "", nullptr, 0},
    {0, "Delete", "", "", nullptr, 0},
};

const ParamRow kIndexParam[] = {{"v", "i4", 0, 0}};
const ParamRow kNameParam[] = {{"v", "s", 0, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kMethods[] = {
    METHOD("GetField", "s", kIndexParam, 1, DataControlGetField),
    METHOD("FieldCount", "i4", nullptr, 0, DataControlFieldCount),
    METHOD("Cursor", "o<RecordSet>", nullptr, 0, DataControlGetCursor),
    METHOD("RecordSet", "o<RecordSet>", nullptr, 0, DataControlGetCursor),
    METHOD("MoveNext", "", nullptr, 0, DataControlMoveNext),
    METHOD("MovePrevious", "", nullptr, 0, DataControlMovePrev),
    METHOD("MoveFirst", "", nullptr, 0, DataControlMoveFirst),
    METHOD("MoveLast", "", nullptr, 0, DataControlMoveLast),
    METHOD("MoveTo", "", kIndexParam, 1, DataControlMoveTo),
    METHOD("RecordCount", "i4", nullptr, 0, DataControlRowCount),
    METHOD("RowCount", "i4", nullptr, 0, DataControlRowCount),
    METHOD("Row", "i4", nullptr, 0, DataControlRow),
    METHOD("RunQuery", "", nullptr, 0, DataControlRunQuery),
    METHOD("Insert", "", nullptr, 0, DataControlAddNewRecord),
    METHOD("Delete", "", nullptr, 0, DataControlDeleteRecord),
    METHOD("Update", "", nullptr, 0, DataControlUpdateRecord),
    METHOD("getBoundPart", "o<Object>", kNameParam, 1, DataControlGetBoundPart),
    METHOD("ClearBoundControls", "", nullptr, 0, DataControlClearBoundControls),
    METHOD("NewRecord", "", nullptr, 0, DataControlNewRecord),
};

const MethodRow kActionMethods[] = {METHOD("PerformAction", "", nullptr, 0, DataControlActionPerformAction)};

#undef METHOD

const EventImplRow kImpl[] = {{"CreatePane", Fn(&DataControlCreatePane), "DataControlCreatePane"}};

struct DataControlActionObject {
  VornRuntimeObject header;
  RuntimeObject* dataControl;  // held
  int32_t kind;                // 0 insert, 1 update, 2 delete, 3 new record
};

DataControl* PaneOf(RuntimeObject* object) { return ControlPaneAs<DataControl>(object); }

DataControlActionObject* ActionFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDataControlActionClassDefinition())) return nullptr;
  return reinterpret_cast<DataControlActionObject*>(object);
}

void CopyTextStyle(DataControlObject* owner, DataControl* pane) {
  const string font = string::Share(owner->textFont);
  const uint8_t bits = static_cast<uint8_t>((owner->bold ? 1 : 0) | (owner->italic ? 2 : 0) | (owner->underline ? 4 : 0));
  const bool changed = font.View() != pane->mFontName.View() || bits != pane->mStyleBits || owner->textSize != pane->mFontSize;
  pane->mFontName = font;
  pane->mStyleBits = bits;
  pane->mFontSize = owner->textSize;
  if (changed) pane->Invalidate();
}

void ReplaceText(StringRep** slot, StringRep* value) {
  RetainStringRep(value);
  ReleaseStringRep(*slot);
  *slot = value;
}

// Drops one entry: the control no longer points here, and its reference goes.
void ReleaseEntry(RuntimeObject* dataControl, BoundControlEntry* entry) {
  if (auto* aware = dynamic_cast<DataAwareClass*>(ControlPane(AsControl(entry->control))))
    aware->ForgetDataControl(dataControl);
  RuntimeUnlockObject(entry->control);
  delete entry;
}

void ReleaseAllEntries(DataControlObject* object) {
  while (BoundControlEntry* entry = object->boundControls) {
    object->boundControls = entry->next;
    ReleaseEntry(&object->base.header, entry);
  }
}

// --- the hooks of the data-aware controls ---------------------------------------------------

RuntimeObject* FindDataControl(RuntimeObject* owner, const string& name) {
  ControlObject* control = AsControl(owner);
  if (!control || !control->window) return nullptr;
  for (RuntimeObject* candidate : CollectWindowControls(control->window)) {
    ControlObject* other = AsControl(candidate);
    if (other && SameName(string::Share(other->name).View(), name.View())) return candidate;
  }
  return nullptr;
}

void AddBoundControl(RuntimeObject* dataControl, RuntimeObject* control, int32_t kind) {
  DataControlObject* object = AsDataControlObject(dataControl);
  if (!object || !control) return;
  RuntimeLockObject(control);
  object->boundControls = new BoundControlEntry{object->boundControls, control, kind};
}

void RemoveBoundControl(RuntimeObject* dataControl, RuntimeObject* control, int32_t kind) {
  DataControlObject* object = AsDataControlObject(dataControl);
  if (!object) return;
  for (BoundControlEntry** link = &object->boundControls; *link; link = &(*link)->next) {
    BoundControlEntry* entry = *link;
    if (entry->control != control || entry->kind != kind) continue;
    *link = entry->next;
    RuntimeUnlockObject(entry->control);
    delete entry;
    return;
  }
}

void RefreshBoundControls(RuntimeObject* dataControl) {
  if (DataControl* pane = PaneOf(dataControl)) pane->LoadBoundControls();
}

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DataControl");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DataControlObject));
  definition->mInitializer = {Fn(&DataControlConstructor), "DataControlConstructor"};
  definition->mFinalizer = {Fn(&DataControlDestructor), "DataControlDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  AddEventImplementations(definition, kImpl, RowCount(kImpl));
  definition->AddInterface(GetBindingPartInterfaceDefinition());
  InstallDataControlHooks();
  return definition;
}

ObjectDefinition* BuildActionDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DataControlAction");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DataControlActionObject));
  definition->mFinalizer = {Fn(&DataControlActionDestructor), "DataControlActionDestructor"};
  SetMethodList(definition, kActionMethods, RowCount(kActionMethods));
  definition->AddInterface(GetActionNotificationReceiverInterfaceDefinition());
  return definition;
}

}  // namespace

void InstallDataControlHooks() {
  DataBindingHooks hooks;
  hooks.findDataControl = &FindDataControl;
  hooks.addBoundControl = &AddBoundControl;
  hooks.removeBoundControl = &RemoveBoundControl;
  hooks.refreshBoundControls = &RefreshBoundControls;
  SetDataBindingHooks(hooks);
}

ObjectDefinition* GetDataControlClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

ObjectDefinition* GetDataControlActionClassDefinition() {
  static ObjectDefinition* definition = BuildActionDefinition();
  return definition;
}

DataControlObject* AsDataControlObject(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDataControlClassDefinition())) return nullptr;
  return reinterpret_cast<DataControlObject*>(object);
}

bool RaiseDataControlEvent(RuntimeObject* owner, DataControlEvent event, int32_t argument) {
  const ObjectHook* hook = sEvents[event].hook;
  switch (event) {
    case kDataControlReposition: FireEvent<void, int32_t>(owner, hook, argument); return false;
    case kDataControlValidate: return FireEvent<uint8_t, int32_t>(owner, hook, argument) != 0;
    case kDataControlUpdate:
    case kDataControlDelete: FireEvent(owner, hook); return false;
    default: return FireEvent<uint8_t>(owner, hook) != 0;
  }
}

}  // namespace vorn

using namespace vorn;

void DataControlConstructor(VornRuntimeObject* self) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  RuntimeUnlockObject(object->encoding);
  object->encoding = GetTEObjectFromEncoding(kEncodingUTF8);
}

void DataControlDestructor(VornRuntimeObject* self) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  for (StringRep** slot : {&object->caption, &object->tableName, &object->sqlQuery, &object->textFont}) {
    ReleaseStringRep(*slot);
    *slot = nullptr;
  }
  RuntimeUnlockObject(object->database);
  object->database = nullptr;
  RuntimeUnlockObject(object->encoding);
  object->encoding = nullptr;
  ReleaseAllEntries(object);
  if (DataControl* pane = PaneOf(self)) {
    // The pane may outlive this object inside its window for a moment: it must not call back.
    pane->mOwner = nullptr;
    pane->mDelegate = nullptr;
    pane->mDatabase = nullptr;
  }
  DeleteAfterDispatch(std::exchange(object->delegate, nullptr));
}

void DataControlCreatePane(VornRuntimeObject* self) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  ControlObject* c = &object->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  SubPane* parent = ControlParentPane(c);
  if (!parent) return;
  if (!object->delegate) object->delegate = new DataControlDelegate();
  auto* pane = new DataControl(object->delegate, parent, c->tabPanelIndex, GetControlBounds(c));
  AttachControlPane(c, pane);
  pane->mOwner = self;
  CopyTextStyle(object, pane);
  pane->mCaption = string::Share(object->caption);
  pane->mDatabase = object->database;
  pane->mTableName = string::Share(object->tableName);
  pane->mSQLQuery = string::Share(object->sqlQuery);
  pane->mTextAlign = object->textAlign;
  pane->mTextColor = object->textColor;
  pane->Requery();
  pane->ResetButtons();
  pane->LoadBoundControls();
}

void DataControlCaptionSetter(VornRuntimeObject* self, int32_t, VornStringRecord* value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  ReplaceText(&object->caption, value);
  if (DataControl* pane = PaneOf(self)) {
    pane->mCaption = string::Share(value);
    pane->Invalidate();
  }
}

void DataControlQuerySetter(VornRuntimeObject* self, int32_t, VornStringRecord* value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  ReplaceText(&object->sqlQuery, value);
  if (DataControl* pane = PaneOf(self)) {
    pane->mSQLQuery = string::Share(value);
    pane->Invalidate();
  }
}

namespace {
// A new table or database: the field names are read, the query runs again, and the controls
// show the row it stands on, so that Update and Delete never reach a row the form did not show.
void ReadSourceAgain(DataControl* pane) {
  pane->mFieldNamesLoaded = false;
  pane->LoadFieldNames();
  pane->Requery();
  pane->ResetButtons();
  pane->LoadBoundControls();
}
}  // namespace

void DataControlTableNameSetter(VornRuntimeObject* self, int32_t, VornStringRecord* value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  ReplaceText(&object->tableName, value);
  if (DataControl* pane = PaneOf(self)) {
    pane->mTableName = string::Share(value);
    ReadSourceAgain(pane);
  }
}

VornRuntimeObject* DataControlDBGetter(VornRuntimeObject* self, int32_t) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object || !object->database) return nullptr;
  RuntimeLockObject(object->database);
  return object->database;
}

void DataControlDBSetter(VornRuntimeObject* self, int32_t, VornRuntimeObject* value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  RuntimeLockObject(value);
  RuntimeUnlockObject(object->database);
  object->database = value;
  if (DataControl* pane = PaneOf(self)) {
    pane->mDatabase = value;
    ReadSourceAgain(pane);
  }
}

void DataControlAlignSetter(VornRuntimeObject* self, int32_t, int32_t value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  object->textAlign = static_cast<int16_t>(value);
  if (DataControl* pane = PaneOf(self)) {
    pane->mTextAlign = object->textAlign;
    pane->Invalidate();
  }
}

void DataControlColorSetter(VornRuntimeObject* self, int32_t, int32_t value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  object->textColor = static_cast<uint32_t>(value);
  DataControl* pane = PaneOf(self);
  if (pane && pane->mTextColor != object->textColor) {
    pane->mTextColor = object->textColor;
    pane->Invalidate();
  }
}

void DataControlFontSetter(VornRuntimeObject* self, int32_t offset, VornStringRecord* value) {
  stringSetter(self, offset, value);
  DataControlObject* object = AsDataControlObject(self);
  if (DataControl* pane = object ? PaneOf(self) : nullptr) CopyTextStyle(object, pane);
}

void DataControlSizeSetter(VornRuntimeObject* self, int32_t offset, int32_t value) {
  shortSetter(self, offset, value);
  DataControlObject* object = AsDataControlObject(self);
  if (DataControl* pane = object ? PaneOf(self) : nullptr) CopyTextStyle(object, pane);
}

void DataControlAttributeSetter(VornRuntimeObject* self, int32_t offset, uint8_t value) {
  boolSetter(self, offset, value);
  DataControlObject* object = AsDataControlObject(self);
  if (DataControl* pane = object ? PaneOf(self) : nullptr) CopyTextStyle(object, pane);
}

void DataControlControlBindSetter(VornRuntimeObject* self, int32_t, int32_t) {
  // Emptying the list lets every bound control go properly: entries simply forgotten would
  // keep their references (the controls could never be freed) and their links back here.
  if (DataControlObject* object = AsDataControlObject(self)) ReleaseAllEntries(object);
}

void DataControlReadOnlySetter(VornRuntimeObject* self, int32_t, uint8_t value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  object->readOnly = value ? 1 : 0;
  if (DataControl* pane = PaneOf(self)) pane->LoadBoundControls();
}

int32_t DataControlGetConstant(VornRuntimeObject*, int32_t value) { return value; }

uint8_t DataControlRecordLockedGetter(VornRuntimeObject* self, int32_t) {
  DataControl* pane = PaneOf(self);
  return pane && pane->IsRecordLocked() ? 1 : 0;
}

VornRuntimeObject* DataControlEncodingGetter(VornRuntimeObject* self, int32_t) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object || !object->encoding) return nullptr;
  RuntimeLockObject(object->encoding);
  return object->encoding;
}

void DataControlEncodingSetter(VornRuntimeObject* self, int32_t, VornRuntimeObject* value) {
  DataControlObject* object = AsDataControlObject(self);
  if (!object) return;
  RuntimeLockObject(value);
  RuntimeUnlockObject(object->encoding);
  object->encoding = value;
}

VornStringRecord* DataControlGetField(VornRuntimeObject* self, int32_t index) {
  DataControl* pane = PaneOf(self);
  if (!pane) return nullptr;
  if (!pane->mFieldNamesLoaded) pane->LoadFieldNames();
  if (index < 0 || index >= static_cast<int32_t>(pane->mFieldNames.size())) return nullptr;
  return pane->mFieldNames[static_cast<size_t>(index)].GetRetainedRep();
}

int32_t DataControlFieldCount(VornRuntimeObject* self) {
  DataControl* pane = PaneOf(self);
  if (!pane) return 0;
  if (!pane->mFieldNamesLoaded) pane->LoadFieldNames();
  return static_cast<int32_t>(pane->mFieldNames.size());
}

VornRuntimeObject* DataControlGetCursor(VornRuntimeObject* self) {
  DataControl* pane = PaneOf(self);
  if (!pane || !pane->mCursor) return nullptr;
  RuntimeLockObject(pane->mCursor);
  return pane->mCursor;
}

void DataControlMoveNext(VornRuntimeObject* self) {
  if (DataControl* pane = PaneOf(self)) pane->MoveNext();
}
void DataControlMovePrev(VornRuntimeObject* self) {
  if (DataControl* pane = PaneOf(self)) pane->MovePrevious();
}
void DataControlMoveFirst(VornRuntimeObject* self) {
  if (DataControl* pane = PaneOf(self)) pane->MoveFirst();
}
void DataControlMoveLast(VornRuntimeObject* self) {
  if (DataControl* pane = PaneOf(self)) pane->MoveLast();
}
void DataControlMoveTo(VornRuntimeObject* self, int32_t row) {
  DataControl* pane = PaneOf(self);
  if (pane && row >= 1) pane->MoveTo(row - 1);
}

int32_t DataControlRowCount(VornRuntimeObject* self) {
  DataControl* pane = PaneOf(self);
  return pane ? pane->GetRecordCount() : 0;
}

int32_t DataControlRow(VornRuntimeObject* self) {
  DataControl* pane = PaneOf(self);
  return pane && pane->mCursor ? pane->mRow + 1 : 0;
}

void DataControlRunQuery(VornRuntimeObject* self) {
  DataControl* pane = PaneOf(self);
  if (!pane) return;
  pane->LoadFieldNames();
  pane->Requery();
  pane->LoadBoundControls();
  pane->ResetButtons();
  pane->SetPosition(0);
}

namespace {
// Record editing is refused on a read-only control.
DataControl* EditablePane(VornRuntimeObject* self) {
  DataControlObject* object = AsDataControlObject(self);
  return object && !object->readOnly ? PaneOf(self) : nullptr;
}
}  // namespace

void DataControlAddNewRecord(VornRuntimeObject* self) {
  if (DataControl* pane = EditablePane(self)) pane->InsertRecord();
}
void DataControlDeleteRecord(VornRuntimeObject* self) {
  if (DataControl* pane = EditablePane(self)) pane->DeleteRecord();
}
void DataControlUpdateRecord(VornRuntimeObject* self) {
  if (DataControl* pane = EditablePane(self)) pane->SaveRecord();
}
void DataControlNewRecord(VornRuntimeObject* self) {
  if (DataControl* pane = EditablePane(self)) pane->NewRecord();
}
void DataControlClearBoundControls(VornRuntimeObject* self) {
  if (DataControl* pane = PaneOf(self)) pane->ClearBoundControls();
}

VornRuntimeObject* DataControlGetBoundPart(VornRuntimeObject* self, VornStringRecord* name) {
  if (!AsDataControlObject(self)) return nullptr;
  static const char* const kNames[] = {"getAddNewAction", "getUpdateAction", "getDeleteAction", "getNewRecordAction"};
  const std::string_view wanted = string::Share(name).View();
  for (int32_t kind = 0; kind < 4; ++kind) {
    if (!SameName(wanted, kNames[kind])) continue;
    RuntimeObject* action = CreateInstanceFromDefinition(GetDataControlActionClassDefinition());
    DataControlActionObject* fields = ActionFields(action);
    if (!fields) return nullptr;
    RuntimeLockObject(self);
    fields->dataControl = self;
    fields->kind = kind;
    return action;
  }
  return nullptr;
}

void DataControlActionDestructor(VornRuntimeObject* self) {
  DataControlActionObject* action = ActionFields(self);
  if (!action) return;
  RuntimeUnlockObject(action->dataControl);
  action->dataControl = nullptr;
}

void DataControlActionPerformAction(VornRuntimeObject* self) {
  DataControlActionObject* action = ActionFields(self);
  if (!action || !action->dataControl) return;
  switch (action->kind) {
    case 0: DataControlAddNewRecord(action->dataControl); break;
    case 1: DataControlUpdateRecord(action->dataControl); break;
    case 2: DataControlDeleteRecord(action->dataControl); break;
    case 3: DataControlNewRecord(action->dataControl); break;
    default: break;
  }
}
