// ListColumn and the Column method of the Listbox class.
#include "listbox/list_column_class.h"

#include <cstddef>

#include "listbox/listbox_class.h"
#include "objects/exceptions.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kProperties[] = {
    {0, "UserResizable", "b", Fn(&listColUserResizableGetter), "listColUserResizableGetter",
     Fn(&listColUserResizableSetter), "listColUserResizableSetter", 0, 0},
    {0, "WidthExpression", "s", Fn(&listColWidthExpressionGetter), "listColWidthExpressionGetter",
     Fn(&listColWidthExpressionSetter), "listColWidthExpressionSetter", kColumnWidth, 0},
    {0, "MinWidthExpression", "s", Fn(&listColWidthExpressionGetter), "listColWidthExpressionGetter",
     Fn(&listColWidthExpressionSetter), "listColWidthExpressionSetter", kColumnMinWidth, 0},
    {0, "MaxWidthExpression", "s", Fn(&listColWidthExpressionGetter), "listColWidthExpressionGetter",
     Fn(&listColWidthExpressionSetter), "listColWidthExpressionSetter", kColumnMaxWidth, 0},
    {0, "WidthActual", "i4", Fn(&listColWidthActualGetter), "listColWidthActualGetter", Fn(&listColWidthActualSetter),
     "listColWidthActualSetter", kColumnWidth, 0},
    {0, "MinWidthActual", "i4", Fn(&listColWidthActualGetter), "listColWidthActualGetter",
     Fn(&listColWidthActualSetter), "listColWidthActualSetter", kColumnMinWidth, 0},
    {0, "MaxWidthActual", "i4", Fn(&listColWidthActualGetter), "listColWidthActualGetter",
     Fn(&listColWidthActualSetter), "listColWidthActualSetter", kColumnMaxWidth, 0},
};

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("ListColumn");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ListColumnObject));
  definition->mInitializer = {Fn(&RuntimeListColumnConstructor), "RuntimeListColumnConstructor"};
  definition->mFinalizer = {Fn(&RuntimeListColumnDestructor), "RuntimeListColumnDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  return definition;
}

ListColumnObject* AsListColumn(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetListColumnClassDefinition())
             ? reinterpret_cast<ListColumnObject*>(object)
             : nullptr;
}

StringRep** ExpressionField(ListColumnObject* self, int32_t selector) {
  switch (selector) {
    case kColumnMinWidth: return &self->minWidthExpression;
    case kColumnMaxWidth: return &self->maxWidthExpression;
    default: return &self->widthExpression;
  }
}

int32_t* ActualField(ListColumnObject* self, int32_t selector) {
  switch (selector) {
    case kColumnMinWidth: return &self->minWidthActual;
    case kColumnMaxWidth: return &self->maxWidthActual;
    default: return &self->widthActual;
  }
}

// The columns a setter reaches: [first, last). Out-of-range indexes raise OutOfBoundsException
// and reach none.
bool TargetColumns(RuntimeListbox* pane, int32_t column, bool allowAll, int32_t& first, int32_t& last) {
  const int32_t count = pane->Columns().ColumnCount();
  if (column == -1 && allowAll) {
    first = 0;
    last = count;
    return true;
  }
  if (column < 0 || column >= count) {
    RuntimeRaiseOutOfBoundsException();
    return false;
  }
  first = column;
  last = column + 1;
  return true;
}

string ReadExpression(ListColumns& columns, int32_t column, int32_t selector) {
  switch (selector) {
    case kColumnMinWidth: return columns.GetMinWidthExpression(column);
    case kColumnMaxWidth: return columns.GetMaxWidthExpression(column);
    default: return columns.GetWidthExpression(column);
  }
}

bool WriteExpression(ListColumns& columns, int32_t column, int32_t selector, const string& text) {
  switch (selector) {
    case kColumnMinWidth: return columns.SetMinWidthExpression(column, text);
    case kColumnMaxWidth: return columns.SetMaxWidthExpression(column, text);
    default: return columns.SetWidthExpression(column, text);
  }
}

int32_t ReadActual(const ListColumns& columns, int32_t column, int32_t selector) {
  switch (selector) {
    case kColumnMinWidth: return columns.GetColumnMinWidth(column);
    case kColumnMaxWidth: return columns.GetColumnMaxWidth(column);
    default: return columns.GetColumnWidth(column);
  }
}

void WriteActual(ListColumns& columns, int32_t column, int32_t selector, int32_t pixels) {
  switch (selector) {
    case kColumnMinWidth: columns.SetColumnMinWidth(column, pixels); break;
    case kColumnMaxWidth: columns.SetColumnMaxWidth(column, pixels); break;
    default: columns.SetColumnWidth(column, pixels); break;
  }
}

// The new edges reach the heading and the rows.
void ColumnsChanged(RuntimeListbox* pane) {
  pane->Columns().UpdateColumnPositions();
  pane->Invalidate(true);
}

// Applies every setting of a snapshot to one column, stopping at an unrecognized expression
// (its exception is then pending).
bool ApplySnapshot(RuntimeListbox* pane, int32_t column, ListColumnObject* settings) {
  ListColumns& columns = pane->Columns();
  columns.SetColumnResizable(column, settings->userResizable != 0);
  for (int32_t selector : {kColumnWidth, kColumnMinWidth, kColumnMaxWidth}) {
    if (!WriteExpression(columns, column, selector, string::Share(*ExpressionField(settings, selector))))
      return false;
  }
  for (int32_t selector : {kColumnWidth, kColumnMinWidth, kColumnMaxWidth})
    WriteActual(columns, column, selector, *ActualField(settings, selector));
  return true;
}

}  // namespace

ObjectDefinition* GetListColumnClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeListColumnConstructor(VornRuntimeObject* object) {
  if (ListColumnObject* self = AsListColumn(object)) self->list = nullptr;
}

void RuntimeListColumnDestructor(VornRuntimeObject* object) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return;
  for (int32_t selector : {kColumnWidth, kColumnMinWidth, kColumnMaxWidth}) {
    ReleaseStringRep(*ExpressionField(self, selector));
    *ExpressionField(self, selector) = nullptr;
  }
  RuntimeObject* list = self->list;
  self->list = nullptr;
  RuntimeUnlockObject(list);
}

VornRuntimeObject* listColumnGetter(VornRuntimeObject* list, int32_t column) {
  RuntimeListbox* pane = ListboxPane(list);
  if (!pane) return nullptr;
  if (column < -1 || column >= pane->Columns().ColumnCount()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeObject* object = CreateInstanceFromDefinition(GetListColumnClassDefinition());
  ListColumnObject* self = AsListColumn(object);
  if (!self) return object;
  RuntimeLockObject(list);
  self->list = list;
  self->column = column;
  if (column == -1) {
    self->maxWidthActual = -1;
    return object;
  }
  ListColumns& columns = pane->Columns();
  self->userResizable = columns.IsColumnResizable(column) ? 1 : 0;
  for (int32_t selector : {kColumnWidth, kColumnMinWidth, kColumnMaxWidth}) {
    *ExpressionField(self, selector) = ReadExpression(columns, column, selector).GetRetainedRep();
    *ActualField(self, selector) = ReadActual(columns, column, selector);
  }
  return object;
}

void listColumnSetter(VornRuntimeObject* list, int32_t column, VornRuntimeObject* settings) {
  RuntimeListbox* pane = ListboxPane(list);
  ListColumnObject* snapshot = AsListColumn(settings);
  if (!pane || !snapshot) return;
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, column, true, first, last)) return;
  for (int32_t i = first; i < last; ++i) {
    if (!ApplySnapshot(pane, i, snapshot)) break;
  }
  ColumnsChanged(pane);
}

uint8_t listColUserResizableGetter(VornRuntimeObject* object, int32_t) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return 0;
  RuntimeListbox* pane = ListboxPane(self->list);
  if (!pane) return self->userResizable;
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, self->column, false, first, last)) return 0;
  return pane->Columns().IsColumnResizable(first) ? 1 : 0;
}

void listColUserResizableSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return;
  self->userResizable = value != 0;
  RuntimeListbox* pane = ListboxPane(self->list);
  int32_t first = 0;
  int32_t last = 0;
  if (!pane || !TargetColumns(pane, self->column, true, first, last)) return;
  for (int32_t i = first; i < last; ++i) pane->Columns().SetColumnResizable(i, value != 0);
}

VornStringRecord* listColWidthExpressionGetter(VornRuntimeObject* object, int32_t selector) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return nullptr;
  RuntimeListbox* pane = ListboxPane(self->list);
  if (!pane) return string::Share(*ExpressionField(self, selector)).GetRetainedRep();
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, self->column, false, first, last)) return nullptr;
  return ReadExpression(pane->Columns(), first, selector).GetRetainedRep();
}

void listColWidthExpressionSetter(VornRuntimeObject* object, int32_t selector, VornStringRecord* text) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return;
  RuntimeListbox* pane = ListboxPane(self->list);
  if (!pane) {
    ReplaceStringRep(*ExpressionField(self, selector), text);
    return;
  }
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, self->column, true, first, last)) return;
  for (int32_t i = first; i < last; ++i) {
    if (!WriteExpression(pane->Columns(), i, selector, string::Share(text))) break;
  }
  ColumnsChanged(pane);
}

int32_t listColWidthActualGetter(VornRuntimeObject* object, int32_t selector) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return 0;
  RuntimeListbox* pane = ListboxPane(self->list);
  if (!pane) return *ActualField(self, selector);
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, self->column, false, first, last)) return 0;
  return ReadActual(pane->Columns(), first, selector);
}

void listColWidthActualSetter(VornRuntimeObject* object, int32_t selector, int32_t pixels) {
  ListColumnObject* self = AsListColumn(object);
  if (!self) return;
  RuntimeListbox* pane = ListboxPane(self->list);
  if (!pane) {
    *ActualField(self, selector) = pixels;
    return;
  }
  int32_t first = 0;
  int32_t last = 0;
  if (!TargetColumns(pane, self->column, true, first, last)) return;
  for (int32_t i = first; i < last; ++i) WriteActual(pane->Columns(), i, selector, pixels);
  ColumnsChanged(pane);
}

}  // extern "C"
