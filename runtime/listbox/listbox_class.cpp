// The Listbox class definition, its properties and the making of its pane.
#include "listbox/listbox_class.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <cstddef>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "listbox/list_binding_parts.h"
#include "listbox/list_column_class.h"
#include "objects/class_registry.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"
#include "strings/text_case.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define LB_FIELD(member) FieldOffset(offsetof(ListboxObject, fields) + offsetof(VornListboxFields, member))

const PropertyRow kProperties[] = {
    {0, "TextFont", "s", Fn(&listTextFontGetter), "listTextFontGetter", Fn(&listTextFontSetter), "listTextFontSetter",
     LB_FIELD(textFont), 0},
    {0, "TextSize", "i4", Fn(&listTextSizeGetter), "listTextSizeGetter", Fn(&listTextSizeSetter), "listTextSizeSetter",
     LB_FIELD(textSize), 0},
    {0, "Bold", "b", Fn(&listBoldGetter), "listBoldGetter", Fn(&listBoldSetter), "listBoldSetter", LB_FIELD(bold), 0},
    {0, "Italic", "b", Fn(&listItalicGetter), "listItalicGetter", Fn(&listItalicSetter), "listItalicSetter", LB_FIELD(italic), 0},
    {0, "Underline", "b", Fn(&listUnderlineGetter), "listUnderlineGetter", Fn(&listUnderlineSetter), "listUnderlineSetter",
     LB_FIELD(underline), 0},
    {0, "ListCount", "i4", Fn(&listCountGetter), "listCountGetter", nullptr, nullptr, 0, 0},
    {0, "ListIndex", "i4", Fn(&listSelectionGetter), "listSelectionGetter", Fn(&listSelectionSetter),
     "listSelectionSetter", 0, 0},
    {0, "Text", "s", Fn(&listTextGetter), "listTextGetter", Fn(&listTextSetter), "listTextSetter", 0, 0},
    {0, "ColumnCount", "i4", Fn(&listColumnCountGetter), "listColumnCountGetter", Fn(&listColumnCountSetter),
     "listColumnCountSetter", 0, 0},
    {0, "ColumnWidths", "s", Fn(&listColumnWidthsGetter), "listColumnWidthsGetter", Fn(&listColumnWidthsSetter),
     "listColumnWidthsSetter", 0, 0},
    {0, "Hierarchical", "b", Fn(&boolGetter), "boolGetter", Fn(&listHierarchicalSetter), "listHierarchicalSetter",
     LB_FIELD(hierarchical), 0},
    {0, "LastIndex", "i4", Fn(&listLastIndexGetter), "listLastIndexGetter", nullptr, nullptr, 0, 0},
    {0, "EnableDrag", "b", Fn(&boolGetter), "boolGetter", Fn(&listEnableDragSetter), "listEnableDragSetter",
     LB_FIELD(enableDrag), 0},
    {0, "EnableDragReorder", "b", Fn(&boolGetter), "boolGetter", Fn(&ListEnableDragReorderSetter),
     "ListEnableDragReorderSetter", LB_FIELD(enableDragReorder), 0},
    {128, "SelectionType", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter", LB_FIELD(selectionType), 0},
    {1, "SelCount", "i4", Fn(&listSelCountGetter), "listSelCountGetter", nullptr, nullptr, 0, 0},
    {128, "InitialValue", "s", Fn(&stringGetter), "stringGetter", Fn(&RuntimeListInitialValueSetter),
     "RuntimeListInitialValueSetter", LB_FIELD(initialValue), 0},
    {0, "HasHeading", "b", Fn(&boolGetter), "boolGetter", Fn(&listHasHeadingSetter), "listHasHeadingSetter",
     LB_FIELD(hasHeading), 0},
    {0, "UseFocusRing", "b", Fn(&listboxUseFocusRingGetter), "listboxUseFocusRingGetter",
     Fn(&listboxUseFocusRingSetter), "listboxUseFocusRingSetter", LB_FIELD(useFocusRing), 0},
    {0, "HeadingIndex", "i4", Fn(&listSortedColumnGetter), "listSortedColumnGetter", Fn(&listHeadingIndexSetter),
     "listHeadingIndexSetter", 0, 0},
    {0, "ScrollPosition", "i4", Fn(&listScrollPositionGetter), "listScrollPositionGetter",
     Fn(&listScrollPositionSetter), "listScrollPositionSetter", 0, 0},
    {0, "ScrollPositionX", "i4", Fn(&listScrollPositionXGetter), "listScrollPositionXGetter",
     Fn(&listScrollPositionXSetter), "listScrollPositionXSetter", 0, 0},
    {0, "ScrollBarHorizontal", "b", Fn(&boolGetter), "boolGetter", Fn(&listHScrollBarSetter), "listHScrollBarSetter",
     LB_FIELD(scrollBarHorizontal), 0},
    {0, "ScrollBarVertical", "b", Fn(&boolGetter), "boolGetter", Fn(&listVScrollBarSetter), "listVScrollBarSetter",
     LB_FIELD(scrollBarVertical), 0},
    {0, "DataSource", "s", Fn(&ListboxDataSourceGetter), "ListboxDataSourceGetter", Fn(&ListboxDataSourceSetter),
     "ListboxDataSourceSetter", LB_FIELD(dataSource), 0},
    {0, "DataField", "s", Fn(&stringGetter), "stringGetter", Fn(&ListboxDataFieldSetter), "ListboxDataFieldSetter",
     LB_FIELD(dataField), 0},
    {0, "GridLinesHorizontal", "i4", Fn(&intGetter), "intGetter", Fn(&listHGridLinesSetter), "listHGridLinesSetter",
     LB_FIELD(gridLinesHorizontal), 0},
    {0, "GridLinesVertical", "i4", Fn(&intGetter), "intGetter", Fn(&listVGridLinesSetter), "listVGridLinesSetter",
     LB_FIELD(gridLinesVertical), 0},
    {0, "DefaultRowHeight", "i4", Fn(&intGetter), "intGetter", Fn(&listDefaultRowHeightSetter),
     "listDefaultRowHeightSetter", LB_FIELD(defaultRowHeight), 0},
    {1, "ActiveCell", "o<EditField>", Fn(&listActiveCellGetter), "listActiveCellGetter", nullptr, nullptr, 0, 0},
    {1, "SortedColumn", "i4", Fn(&listSortedColumnGetter), "listSortedColumnGetter", Fn(&listSortedColumnSetter),
     "listSortedColumnSetter", 0, 0},
    {2, "ColumnsResizable", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     LB_FIELD(columnsResizable), 0},
    {0, "RequiresSelection", "b", Fn(&boolGetter), "boolGetter", Fn(&listRequiresSelectionSetter),
     "listRequiresSelectionSetter", LB_FIELD(requiresSelection), 0},
};
#undef LB_FIELD

const EventRow kEvents[] = {
    {0, "Change", "", "", nullptr, 0},
    {0, "DoubleClick", "", "", nullptr, 0},
    {0, "KeyDown", "key As String", "Boolean", nullptr, 0},
    {32, "EnableMenuItems", "", "", nullptr, 0},
    {0, "ExpandRow", "row As Integer", "", nullptr, 0},
    {0, "CollapseRow", "row As Integer", "", nullptr, 0},
    {0, "DragRow", "drag As DragItem, row As Integer", "Boolean", nullptr, 0},
    {0, "SortColumn", "column As Integer", "Boolean", nullptr, 0},
    {0, "CellAction", "row As Integer, column As Integer", "", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "CellBackgroundPaint", "g As Graphics, row As Integer, column As Integer", "Boolean", nullptr, 0},
    {0, "CellTextPaint", "g As Graphics, row As Integer, column As Integer, x as Integer, y as Integer", "Boolean",
     nullptr, 0},
    {0, "CellClick", "row as Integer, column as Integer, x as Integer, y as Integer", "Boolean", nullptr, 0},
    {0, "CellKeyDown", "row as Integer, column as Integer, key as String", "Boolean", nullptr, 0},
    {0, "CellTextChange", "row as Integer, column as Integer", "", nullptr, 0},
    {0, "CellGotFocus", "row as Integer, column as Integer", "", nullptr, 0},
    {0, "CellLostFocus", "row as Integer, column as Integer", "", nullptr, 0},
    {0, "MouseDown", "x As Integer, y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "x As Integer, y As Integer", "", nullptr, 0},
    {0, "MouseUp", "x As Integer, y As Integer", "", nullptr, 0},
    {0, "CompareRows", "row1 as Integer, row2 as Integer, column as Integer, ByRef result as Integer", "Boolean",
     nullptr, 0},
    {0, "DragReorderRows", "newPosition as Integer, parentRow as Integer", "Boolean", nullptr, 0},
    {0, "HeaderPressed", "column as Integer", "Boolean", nullptr, 0},
};

const ParamRow kText[] = {{"Text", "s", 0, 0}};
const ParamRow kRowText[] = {{"row", "i4", 0, 0}, {"text", "s", 0, 0}, {"_indent", "i4", kParamHasDefault, 0}};
const ParamRow kIndex[] = {{"Index", "i4", 0, 0}};
const ParamRow kRowColumn[] = {{"row", "i4", 0, 0}, {"column", "i4", 0, 0}};
const ParamRow kXY[] = {{"X", "i4", 0, 0}, {"Y", "i4", 0, 0}};
const ParamRow kSelectionReceiver[] = {{"receiver", "o<listSelectionNotificationReceiver>", 0, 0}};
const ParamRow kListData[] = {{"data", "o<listDataProvider>", 0, 0}};
const ParamRow kRow[] = {{"v", "i4", 0, 0}};
const ParamRow kPartName[] = {{"Str", "s", 0, 0}};

#define METHOD(name, result, params, fn) \
  {name, result, params, RowCount(params), Fn(&fn), #fn, nullptr, nullptr, 0, 0}
#define ASSIGNABLE(name, result, params, getter, setter) \
  {name, result, params, RowCount(params), Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}
const MethodRow kMethods[] = {
    {"DeleteAllRows", "", nullptr, 0, Fn(&RuntimeListEmpty), "RuntimeListEmpty", nullptr, nullptr, 0, 0},
    METHOD("AddRow", "", kText, RuntimeListAddRow),
    METHOD("InsertRow", "", kRowText, RuntimeListInsertRow),
    METHOD("AddFolder", "", kText, RuntimeListAddParent),
    METHOD("InsertFolder", "", kRowText, RuntimeListInsertParent),
    METHOD("RemoveRow", "", kIndex, RuntimeRemoveRow),
    ASSIGNABLE("List", "s", kIndex, RuntimeGetRow, RuntimeSetRow),
    ASSIGNABLE("Cell", "s", kRowColumn, listGetCell, listSetCell),
    METHOD("EditCell", "", kRowColumn, listEditCell),
    ASSIGNABLE("CellCheck", "b", kRowColumn, listCellCheckGetter, listCellCheckSetter),
    ASSIGNABLE("CellType", "i4", kRowColumn, listCellTypeGetter, listCellTypeSetter),
    ASSIGNABLE("CellBold", "b", kRowColumn, listGetCellBold, listSetCellBold),
    ASSIGNABLE("CellItalic", "b", kRowColumn, listGetCellItalic, listSetCellItalic),
    ASSIGNABLE("CellUnderline", "b", kRowColumn, listGetCellUnderline, listSetCellUnderline),
    METHOD("InvalidateCell", "", kRowColumn, listInvalidateCell),
    ASSIGNABLE("RowPicture", "o<Picture>", kIndex, listGetRowPicture, listSetRowPicture),
    ASSIGNABLE("Selected", "b", kIndex, listGetSelected, listSetSelected),
    ASSIGNABLE("Expanded", "b", kIndex, listGetExpanded, listSetExpanded),
    ASSIGNABLE("Heading", "s", kIndex, listGetHeading, listSetHeading),
    METHOD("addListSelectionNotificationReceiver", "", kSelectionReceiver, listAddLSNR),
    METHOD("removeListSelectionNotificationReceiver", "", kSelectionReceiver, listRemoveLSNR),
    METHOD("BindList", "", kListData, listBind),
    METHOD("listDataInsertedRow", "", kRow, listListDataInsertedRow),
    METHOD("listDataRemovedRow", "", kRow, listListDataRemovedRow),
    {"listDataReload", "", nullptr, 0, Fn(&listListDataReload), "listListDataReload", nullptr, nullptr, 0, 0},
    ASSIGNABLE("ColumnType", "i4", kIndex, listColumnTypeGetter, listColumnTypeSetter),
    ASSIGNABLE("CellAlignment", "i4", kRowColumn, listCellAlignmentGetter, listCellAlignmentSetter),
    ASSIGNABLE("ColumnAlignment", "i4", kIndex, listColumnAlignmentGetter, listColumnAlignmentSetter),
    ASSIGNABLE("CellAlignmentOffset", "i4", kRowColumn, listCellAlignmentOffsetGetter, listCellAlignmentOffsetSetter),
    ASSIGNABLE("ColumnAlignmentOffset", "i4", kIndex, listColumnAlignmentOffsetGetter,
               listColumnAlignmentOffsetSetter),
    METHOD("getBoundPart", "o<Object>", kPartName, listGetBoundPart),
    ASSIGNABLE("CellBorderTop", "i4", kRowColumn, listGetCellBorderTop, listSetCellBorderTop),
    ASSIGNABLE("CellBorderLeft", "i4", kRowColumn, listGetCellBorderLeft, listSetCellBorderLeft),
    ASSIGNABLE("CellBorderBottom", "i4", kRowColumn, listGetCellBorderBottom, listSetCellBorderBottom),
    ASSIGNABLE("CellBorderRight", "i4", kRowColumn, listGetCellBorderRight, listSetCellBorderRight),
    ASSIGNABLE("ColumnSortDirection", "i4", kIndex, listColumnSortDirectionGetter, listColumnSortDirectionSetter),
    {"Sort", "", nullptr, 0, Fn(&RuntimeListResort), "RuntimeListResort", nullptr, nullptr, 0, 0},
    ASSIGNABLE("Column", "o<ListColumn>", kIndex, listColumnGetter, listColumnSetter),
    METHOD("PressHeader", "", kIndex, listColumnPressHeader),
    ASSIGNABLE("CellTag", "o<Variant>", kRowColumn, listGetCellTag, listSetCellTag),
    METHOD("RowFromXY", "i4", kXY, listRowFromXY),
    METHOD("ColumnFromXY", "i4", kXY, listColFromXY),
};
#undef METHOD
#undef ASSIGNABLE

const EventImplRow kImpl[] = {{"CreatePane", Fn(&ListboxCreatePane), "ListboxCreatePane"}};

constexpr int32_t kEventCount = RowCount(kEvents);
constexpr int32_t kPropertyCount = RowCount(kProperties);
constexpr int32_t kMethodCount = RowCount(kMethods);

// The older class offers the same members but for the point hit tests, keeps UseFocusRing
// as a plain field that never reaches the pane, and gives DragReorderRows one parameter.
struct ClassTables {
  EventRow events[kEventCount];
  PropertyRow properties[kPropertyCount];
  MethodRow methods[kMethodCount];
  int32_t methodCount = 0;
  ListboxHooks hooks;
};

ClassTables sListbox;
ClassTables sOldListbox;

void FillTables(ClassTables& t, bool old) {
  std::copy(std::begin(kEvents), std::end(kEvents), t.events);
  std::copy(std::begin(kProperties), std::end(kProperties), t.properties);
  for (const MethodRow& row : kMethods) {
    const std::string_view name = row.name;
    if (old && (name == "RowFromXY" || name == "ColumnFromXY")) continue;
    t.methods[t.methodCount++] = row;
  }
  if (!old) return;
  for (EventRow& row : t.events) {
    if (std::string_view(row.name) == "DragReorderRows") row.params = "newPosition as Integer";
  }
  for (PropertyRow& row : t.properties) {
    if (std::string_view(row.name) != "UseFocusRing") continue;
    row.flags = 128;
    row.getter = Fn(&boolGetter);
    row.getterName = "boolGetter";
    row.setter = Fn(&boolSetter);
    row.setterName = "boolSetter";
  }
}

ObjectDefinition* BuildDefinition(bool old) {
  ClassTables& t = old ? sOldListbox : sListbox;
  FillTables(t, old);
  EventRow* sEvents = t.events;
  ListboxHooks& sHooks = t.hooks;
  auto* definition = new ObjectDefinition();
  definition->mName = string(old ? "OldListbox" : "Listbox");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ListboxObject));
  definition->mInitializer = {Fn(&listboxConstructor), "listboxConstructor"};
  definition->mFinalizer = {Fn(&listboxDestructor), "listboxDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(t.properties, kPropertyCount));
  SetEventList(definition, sEvents, kEventCount);
  SetMethodList(definition, t.methods, t.methodCount);
  AddEventImplementations(definition, kImpl, RowCount(kImpl));
  // Listed as the class declares them; AddInterface puts each in front.
  definition->AddInterface(GetListInterfaceDefinition());
  definition->AddInterface(GetBindingPartInterfaceDefinition());
  definition->AddInterface(GetListDataNotificationReceiverInterfaceDefinition());
  definition->AddInterface(GetListSelectionNotifierInterfaceDefinition());
  sHooks.change = sEvents[0].hook;
  sHooks.doubleClick = sEvents[1].hook;
  sHooks.keyDown = sEvents[2].hook;
  sHooks.enableMenuItems = sEvents[3].hook;
  sHooks.expandRow = sEvents[4].hook;
  sHooks.collapseRow = sEvents[5].hook;
  sHooks.sortColumn = sEvents[7].hook;
  sHooks.gotFocus = sEvents[9].hook;
  sHooks.lostFocus = sEvents[10].hook;
  sHooks.compareRows = sEvents[21].hook;
  sHooks.headerPressed = sEvents[23].hook;
  sHooks.cellClick = sEvents[13].hook;
  sHooks.mouseDown = sEvents[18].hook;
  sHooks.mouseDrag = sEvents[19].hook;
  sHooks.mouseUp = sEvents[20].hook;
  sHooks.cellAction = sEvents[8].hook;
  sHooks.cellKeyDown = sEvents[14].hook;
  sHooks.cellTextChange = sEvents[15].hook;
  sHooks.cellGotFocus = sEvents[16].hook;
  sHooks.cellLostFocus = sEvents[17].hook;
  sHooks.cellBackgroundPaint = sEvents[11].hook;
  sHooks.cellTextPaint = sEvents[12].hook;
  sHooks.dragRow = sEvents[6].hook;
  sHooks.dragReorderRows = sEvents[22].hook;
  sHooks.reorderTakesPosition = old;
  return definition;
}

}  // namespace

vorn::TextStyle ListboxTextStyle(ListboxObject* list) {
  VornListboxFields& f = list->fields;
  return GetControlTextStyle({&f.textFont, &f.textSize, &f.bold, &f.italic, &f.underline});
}

ObjectDefinition* GetListboxClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition(false);
  return definition;
}

ObjectDefinition* GetOldListboxClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition(true);
  return definition;
}

const ListboxHooks* ListboxEventHooks(RuntimeObject* object) {
  if (object && RuntimeObjectIsaDefinition(object, GetOldListboxClassDefinition())) return &sOldListbox.hooks;
  GetListboxClassDefinition();
  return &sListbox.hooks;
}

ListboxObject* AsListboxObject(RuntimeObject* object) {
  return object && (RuntimeObjectIsaDefinition(object, GetListboxClassDefinition()) ||
                    RuntimeObjectIsaDefinition(object, GetOldListboxClassDefinition()))
             ? reinterpret_cast<ListboxObject*>(object)
             : nullptr;
}

RuntimeListbox* ListboxPane(RuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  return list ? dynamic_cast<RuntimeListbox*>(ControlPane(&list->base)) : nullptr;
}

void RegisterListboxClasses() {
  RegisterIntrinsicClass("Listbox", &GetListboxClassDefinition);
  RegisterIntrinsicClass("OldListbox", &GetOldListboxClassDefinition);
  RegisterIntrinsicClass("ListColumn", &GetListColumnClassDefinition);
  RegisterIntrinsicClass("listSelectionProvider", &GetListSelectionProviderClassDefinition);
  RegisterIntrinsicClass("Sys$ListboxAction", &GetListboxActionClassDefinition);
  RegisterIntrinsicClass("listColumnValueProvider", &GetListColumnValueProviderClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void listboxConstructor(VornRuntimeObject* object) {
  if (ListboxObject* list = AsListboxObject(object)) {
    list->fields.pendingColumnCount = 1;
    list->fields.pendingHeadingIndex = -1;
    list->fields.defaultRowHeight = -1;
  }
}

void listboxDestructor(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  if (!list) return;
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->UnbindDataSource();
    pane->SetOwner(nullptr, nullptr);
  }
  VornListboxFields& f = list->fields;
  ToggleReceiverLists* focus = ListFocusReceivers(list);
  RemoveAllNotificationReceivers(&focus->checked);
  RemoveAllNotificationReceivers(&focus->unchecked);
  RuntimeObject* provider = f.boundData;
  f.boundData = nullptr;
  RuntimeUnlockObject(provider);
  for (StringRep** field : {&f.textFont, &f.initialValue, &f.columnWidths, &f.dataSource, &f.dataField}) {
    ReleaseStringRep(*field);
    *field = nullptr;
  }
}

void ListboxCreatePane(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  if (!list || list->base.pane) return;
  VornListboxFields& f = list->fields;
  f.paneCreated = 1;
  ControlObject* c = &list->base;
  auto* pane = new RuntimeListbox(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c), f.selectionType != 0);
  AttachControlPane(c, pane);
  pane->SetOwner(object, ListboxEventHooks(object));
  ToggleReceiverLists* focus = ListFocusReceivers(list);
  pane->SetFocusReceivers(&focus->checked, &focus->unchecked);
  pane->SetListTextStyle(ListboxTextStyle(list));
  pane->SetHierarchical(f.hierarchical != 0);
  pane->SetHasHeading(f.hasHeading != 0);
  pane->Columns().SetAllColumnsResizable(f.columnsResizable != 0);
  pane->Columns().SetColumnCount(std::clamp(f.pendingColumnCount, 1, kMaxListColumns));
  pane->SetDefaultGridKinds(f.gridLinesHorizontal, f.gridLinesVertical);
  pane->SetDefaultRowHeight(f.defaultRowHeight);
  if (!c->enabled) pane->ChangeState(kPaneStateDisable);
  if (!c->visible) pane->ChangeState(kPaneStateHide);
  for (int32_t column = 0; column < kMaxListColumns; ++column) {
    pane->SetColumnType(column, f.columnTypes[column]);
    pane->Columns().SetColumnAlignment(column, f.columnAlignments[column], f.columnAlignmentOffsets[column]);
  }
  listColumnWidthsSetter(object, 0, f.columnWidths);
  if (f.initialValue) RuntimeListInitialValueSetter(object, 0, f.initialValue);
  if (f.pendingHeadingIndex >= 0) listHeadingIndexSetter(object, 0, f.pendingHeadingIndex);
  if (f.boundData) {
    LoadBoundRows(object);
    for (int32_t column = 0; column < kMaxListColumns; ++column) pane->SetSortDirection(column, 0);
  }
  pane->SetUseFocusRing(f.useFocusRing != 0);
  pane->SetEnableDrag(f.enableDrag != 0);
  pane->SetEnableDragReorder(f.enableDragReorder != 0);
  pane->SetDataSourceName(string::Share(f.dataSource));
  pane->SetScrollBarsOnlyWhenNeeded(f.autoHideScrollbars != 0);
  if (f.scrollBarVertical) pane->SetVerticalScrollBarWanted(true);
  pane->SetFirstVisibleRow(f.pendingScrollPosition);
  if (f.scrollBarHorizontal) pane->SetHorizontalScrollBarWanted(true);
  pane->SetScrollPositionX(f.pendingScrollPositionX);
  if (f.requiresSelection) {
    pane->Selection().HoldNotifications(true);
    listRequiresSelectionSetter(object, 0, 1);
    pane->Selection().HoldNotifications(false);
  }
  // Last, so the rows the data control selects among are all there.
  pane->BindDataSource();
}

}  // extern "C"
