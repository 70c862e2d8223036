// The PopupMenu and ComboBox class definitions, CreatePane, the destructor and the events the
// pane raises on the object.
#include "controls/popup_class.h"

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "controls/popup_pane.h"
#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "strings/line_endings.h"
#include "windows/control.h"
#include "windows/rect_control.h"
#include "windows/window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

EventRow sPopupEvents[] = {
    {0, "Change", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
};
enum { kChange, kMouseDown, kMouseUp, kGotFocus, kLostFocus };

EventRow sComboEvents[] = {
    {0, "TextChanged", "", "", nullptr, 0},
    {0, "KeyDown", "key as String", "Boolean", nullptr, 0},
};
enum { kTextChanged, kKeyDown };

const PropertyRow kPopupProperties[] = {
    {0, "TextFont", "s", Fn(&RuntimeComboBoxTextFontGetter), "RuntimeComboBoxTextFontGetter",
     Fn(&RuntimeComboBoxTextFontSetter), "RuntimeComboBoxTextFontSetter", 0, 0},
    {0, "TextSize", "i4", Fn(&RuntimeComboBoxTextSizeGetter), "RuntimeComboBoxTextSizeGetter",
     Fn(&RuntimeComboBoxTextSizeSetter), "RuntimeComboBoxTextSizeSetter", 0, 0},
    {0, "Bold", "b", Fn(&RuntimeComboBoxBoldGetter), "RuntimeComboBoxBoldGetter", Fn(&RuntimeComboBoxBoldSetter),
     "RuntimeComboBoxBoldSetter", 0, 0},
    {0, "Italic", "b", Fn(&RuntimeComboBoxItalicGetter), "RuntimeComboBoxItalicGetter",
     Fn(&RuntimeComboBoxItalicSetter), "RuntimeComboBoxItalicSetter", 0, 0},
    {0, "Underline", "b", Fn(&RuntimeComboBoxUnderlineGetter), "RuntimeComboBoxUnderlineGetter",
     Fn(&RuntimeComboBoxUnderlineSetter), "RuntimeComboBoxUnderlineSetter", 0, 0},
    {0, "ListCount", "i4", Fn(&RuntimeComboBoxCountGetter), "RuntimeComboBoxCountGetter", nullptr, nullptr, 0, 0},
    {0, "ListIndex", "i4", Fn(&RuntimeComboBoxSelectionGetter), "RuntimeComboBoxSelectionGetter",
     Fn(&RuntimeComboBoxSelectionSetter), "RuntimeComboBoxSelectionSetter", 0, 0},
    {0, "Text", "s", Fn(&RuntimeComboBoxTextGetter), "RuntimeComboBoxTextGetter", nullptr, nullptr, 0, 0},
    {0x80, "InitialValue", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(PopupMenuObject, initialValue)), 0},
    {0, "DataSource", "s", Fn(&PopupDataSourceGetter), "PopupDataSourceGetter", Fn(&PopupDataSourceSetter),
     "PopupDataSourceSetter", 0, 0},
    {0, "DataField", "s", Fn(&stringGetter), "stringGetter", Fn(&PopupDataFieldSetter), "PopupDataFieldSetter",
     Offset(offsetof(PopupMenuObject, dataField)), 0},
};

const PropertyRow kComboProperties[] = {
    {0, "AutoComplete", "b", Fn(&boolGetter), "boolGetter", Fn(&RuntimeComboBoxAutoCompleteSetter),
     "RuntimeComboBoxAutoCompleteSetter", Offset(offsetof(PopupMenuObject, autoComplete)), 0},
    {0, "Text", "s", Fn(&RuntimeComboBoxTextGetter), "RuntimeComboBoxTextGetter", Fn(&RuntimeComboBoxTextSetter),
     "RuntimeComboBoxTextSetter", 0, 0},
    {0x80, "UseFocusRing", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     Offset(offsetof(PopupMenuObject, useFocusRing)), 0},
    {0, "SelStart", "i4", Fn(&RuntimeComboBoxSelStartGetter), "RuntimeComboBoxSelStartGetter",
     Fn(&RuntimeComboBoxSelStartSetter), "RuntimeComboBoxSelStartSetter", 0, 0},
    {0, "SelLength", "i4", Fn(&RuntimeComboBoxSelLengthGetter), "RuntimeComboBoxSelLengthGetter",
     Fn(&RuntimeComboBoxSelLengthSetter), "RuntimeComboBoxSelLengthSetter", 0, 0},
};

const ParamRow kTextParam[] = {{"Text", "s", 0, 0}};
const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kInsertParams[] = {{"row", "i4", 0, 0}, {"str", "s", 0, 0}};
const ParamRow kReceiverParam[] = {{"receiver", "o<dataNotificationReceiver>", 0, 0}};
const ParamRow kListDataParam[] = {{"data", "o<listDataProvider>", 0, 0}};
const ParamRow kPartParam[] = {{"v", "s", 0, 0}};

MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count, void* function,
                 const char* entry, void* setter = nullptr, const char* setterName = nullptr) {
  return MethodRow{name, result, params, count, function, entry, setter, setterName, 0, 0};
}

const EventImplRow kPopupImplementations[] = {{"CreatePane", Fn(&PopupMenuCreatePane), "PopupMenuCreatePane"}};

const ObjectHook* Hook(const EventRow* rows, int index) { return rows[index].hook; }

// The events of PopupMenu and ComboBox objects as the pane raises them.
class PopupObjectEvents final : public ComboBoxEvents {
 public:
  bool InChange(RuntimeObject* owner) override { return AsPopup(owner)->inChange != 0; }
  void SetInChange(RuntimeObject* owner, bool value) override { AsPopup(owner)->inChange = value; }
  void RaiseChange(RuntimeObject* owner) override { FireEvent(owner, Hook(sPopupEvents, kChange)); }
  void NotifyDataChanged(RuntimeObject* owner) override { SendDataChanged(&AsPopup(owner)->receivers); }
  bool RaiseMouseDown(RuntimeObject* owner, int32_t x, int32_t y) override {
    return FireEvent<uint8_t>(owner, Hook(sPopupEvents, kMouseDown), x, y) != 0;
  }
  bool RaiseMouseUp(RuntimeObject* owner, int32_t x, int32_t y) override {
    return FireEvent<uint8_t>(owner, Hook(sPopupEvents, kMouseUp), x, y) != 0;
  }
  void RaiseGotFocus(RuntimeObject* owner) override { FireEvent(owner, Hook(sPopupEvents, kGotFocus)); }
  void RaiseLostFocus(RuntimeObject* owner) override { FireEvent(owner, Hook(sPopupEvents, kLostFocus)); }
  // TextChanged and KeyDown belong to ComboBox: a plain PopupMenu has no such event.
  void RaiseTextChanged(RuntimeObject* owner) override {
    if (IsCombo(owner)) FireEvent(owner, Hook(sComboEvents, kTextChanged));
  }
  bool RaiseKeyDown(RuntimeObject* owner, const string& key) override {
    if (!IsCombo(owner)) return false;
    return FireEvent<uint8_t>(owner, Hook(sComboEvents, kKeyDown), key.Rep()) != 0;
  }
  bool UseFocusRing(RuntimeObject* owner) override { return AsPopup(owner)->useFocusRing != 0; }

 private:
  static bool IsCombo(RuntimeObject* owner) { return RuntimeObjectIsaDefinition(owner, GetComboBoxClassDefinition()); }
};

// The rows of an initial value: line ends become carriage returns; every piece before one is
// a row (empty ones too), and what follows the last one is a row when it is not empty.
std::vector<string> InitialRows(const string& value) {
  std::vector<string> rows;
  string text = RuntimeReplaceLineEndings(value, string("\r"));
  std::string_view bytes = text.View();
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') continue;
    rows.emplace_back(bytes.data() + start, static_cast<int32_t>(i - start), text.Encoding());
    start = i + 1;
  }
  if (start < bytes.size())
    rows.emplace_back(bytes.data() + start, static_cast<int32_t>(bytes.size() - start), text.Encoding());
  return rows;
}

}  // namespace

ComboBoxEvents* PopupEvents() {
  static PopupObjectEvents events;
  return &events;
}

PopupMenuObject* AsPopup(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetPopupMenuClassDefinition())
             ? reinterpret_cast<PopupMenuObject*>(object)
             : nullptr;
}

PopupMenu* PopupPaneOf(RuntimeObject* object) {
  ControlObject* ctl = AsPopup(object) ? AsControl(object) : nullptr;
  return ctl ? dynamic_cast<PopupMenu*>(ControlPane(ctl)) : nullptr;
}

PendingPopupRows& PendingRows(RuntimeObject* object) {
  PopupMenuObject* self = AsPopup(object);
  if (!self->pendingRows) self->pendingRows = new PendingPopupRows();
  return *self->pendingRows;
}

void ReleasePendingRows(RuntimeObject* object) {
  PopupMenuObject* self = AsPopup(object);
  if (!self || !self->pendingRows) return;
  PendingPopupRows* rows = self->pendingRows;
  self->pendingRows = nullptr;
  for (PendingPopupRow& row : *rows) RuntimeUnlockObject(row.tag);
  delete rows;
}

ObjectDefinition* GetPopupMenuClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("PopupMenu");
    d->mSuper = GetRectControlClassDefinition();
    d->mInstanceSize = sizeof(PopupMenuObject);
    d->mFinalizer = {Fn(&popupMenuDestructor), "popupMenuDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kPopupProperties, std::size(kPopupProperties)));
    SetEventList(d, sPopupEvents, std::size(sPopupEvents));
    static const MethodRow methods[] = {
        Method("DeleteAllRows", "", nullptr, 0, Fn(&RuntimeComboBoxEmpty), "RuntimeComboBoxEmpty"),
        Method("AddRow", "", kTextParam, 1, Fn(&RuntimeComboBoxAddRow), "RuntimeComboBoxAddRow"),
        Method("AddSeparator", "", nullptr, 0, Fn(&RuntimeComboBoxAddSeparator), "RuntimeComboBoxAddSeparator"),
        Method("RemoveRow", "", kIndexParam, 1, Fn(&RuntimeComboBoxRemoveRow), "RuntimeComboBoxRemoveRow"),
        Method("List", "s", kIndexParam, 1, Fn(&RuntimeComboBoxGetRow), "RuntimeComboBoxGetRow"),
        Method("InsertRow", "", kInsertParams, 2, Fn(&RuntimeComboBoxInsertRow), "RuntimeComboBoxInsertRow"),
        Method("getString", "s", nullptr, 0, Fn(&RuntimeComboBoxGetString), "RuntimeComboBoxGetString"),
        Method("addDataNotificationReceiver", "", kReceiverParam, 1, Fn(&popupAddDNR), "popupAddDNR"),
        Method("removeDataNotificationReceiver", "", kReceiverParam, 1, Fn(&popupRemoveDNR), "popupRemoveDNR"),
        Method("dataAvailable", "b", nullptr, 0, Fn(&popupDataAvailable), "popupDataAvailable"),
        Method("BindList", "", kListDataParam, 1, Fn(&popupBindList), "popupBindList"),
        Method("RowTag", "o<Variant>", kIndexParam, 1, Fn(&getPopupRowTag), "getPopupRowTag", Fn(&setPopupRowTag),
               "setPopupRowTag"),
        Method("getBoundPart", "o<Object>", kPartParam, 1, Fn(&popupGetBoundPart), "popupGetBoundPart"),
    };
    SetMethodList(d, methods, std::size(methods));
    AddEventImplementations(d, kPopupImplementations, 1);
    // Listed order: StringProvider, dataNotifier, DataAvailableProvider, ListInterface,
    // bindingPartInterface; AddInterface prepends.
    d->AddInterface(GetBindingPartInterfaceDefinition());
    d->AddInterface(GetListInterfaceDefinition());
    d->AddInterface(GetDataAvailableProviderInterfaceDefinition());
    d->AddInterface(GetDataNotifierInterfaceDefinition());
    d->AddInterface(GetStringProviderInterfaceDefinition());
    return d;
  }();
  return definition;
}

ObjectDefinition* GetComboBoxClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("ComboBox");
    d->mSuper = GetPopupMenuClassDefinition();
    d->mInstanceSize = sizeof(PopupMenuObject);
    d->SetInstanceVariables(BuildPropertyList(kComboProperties, std::size(kComboProperties)));
    SetEventList(d, sComboEvents, std::size(sComboEvents));
    return d;
  }();
  return definition;
}

void RegisterPopupClasses() {
  RegisterIntrinsicClass("PopupMenu", &GetPopupMenuClassDefinition);
  RegisterIntrinsicClass("ComboBox", &GetComboBoxClassDefinition);
  RegisterIntrinsicClass("sys$popupRowTag", &GetPopupRowTagClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void PopupMenuCreatePane(VornRuntimeObject* object) {
  ControlObject* ctl = AsPopup(object) ? AsControl(object) : nullptr;
  if (!ctl || ControlPane(ctl)) return;
  auto* window = static_cast<Window*>(ctl->windowPane);
  if (!window) return;
  PopupMenuObject* self = AsPopup(object);
  bool editable = RuntimeObjectIsaDefinition(object, GetComboBoxClassDefinition());

  TextStyle style;
  style.mFontName = string::Share(self->textFont);
  style.mSize = self->textSize;
  style.mBold = self->bold;
  style.mItalic = self->italic;
  style.mUnderline = self->underline;
  auto* pane = new PopupMenu(object, PopupEvents(), style, window, GetControlBounds(ctl), editable);
  AttachControlPane(ctl, pane);
  JoinInitialParentPane(ctl, pane);

  string initial = string::Adopt(self->initialValue);
  self->initialValue = nullptr;  // a second CreatePane adds nothing
  if (!initial.IsEmpty()) {
    std::vector<string> rows = InitialRows(initial);
    if (editable) {
      for (const string& row : rows) RuntimeComboBoxAddRow(object, row.Rep());
    } else {
      pane->AddRows(rows);
    }
  }
  if (self->pendingRows) {
    // Rows code added before the window opened follow the design's.
    PendingPopupRows rows = std::move(*self->pendingRows);
    ReleasePendingRows(object);
    for (PendingPopupRow& row : rows) {
      if (row.separator) {
        pane->AddSeparator();
      } else {
        pane->AddRow(row.text, row.tag);
      }
      RuntimeUnlockObject(row.tag);
    }
  }
  if (self->pendingIndex != -1) pane->SetListIndex(self->pendingIndex, false);
  pane->SetDataSourceName(string::Share(self->dataSource));
  pane->BindDataSource();
}

void popupMenuDestructor(VornRuntimeObject* object) {
  PopupMenuObject* self = AsPopup(object);
  if (PopupMenu* pane = PopupPaneOf(object)) {
    // The pane stays with its window; it raises no events from now on.
    pane->UnbindDataSource();
    pane->ClearOwner();
  }
  ForgetPopupRowTagOwner(object);
  ReleasePendingRows(object);
  ReleaseStringRep(self->textFont);
  self->textFont = nullptr;
  ReleaseStringRep(self->initialValue);
  self->initialValue = nullptr;
  RemoveAllNotificationReceivers(&self->receivers);
  RuntimeObject* list = self->boundList;
  self->boundList = nullptr;
  RuntimeUnlockObject(list);
  ReleaseStringRep(self->dataSource);
  self->dataSource = nullptr;
  ReleaseStringRep(self->dataField);
  self->dataField = nullptr;
}

}  // extern "C"
