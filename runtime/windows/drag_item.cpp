#include "windows/drag_item.h"

#include <cstddef>

#include "files/folder_item_class.h"
#include "graphics/picture_object.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "strings/pinned_int.h"
#include "windows/control.h"
#include "windows/control_containment.h"
#include "windows/pane_assert.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const ParamRow kTypeParam[] = {{"type", "s", 0, 0}};
const ParamRow kRectParams[] = {
    {"left", "i4", 0, 0}, {"top", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};

const PropertyRow kDragItemProperties[] = {
    {0, "Text", "s", Fn(&dragItemTextGetter), "dragItemTextGetter", Fn(&dragItemTextSetter), "dragItemTextSetter",
     0, 0},
    {0, "Picture", "o<Picture>", Fn(&dragItemPictureGetter), "dragItemPictureGetter", Fn(&dragItemPictureSetter),
     "dragItemPictureSetter", 0, 0},
    {0, "FolderItem", "o<FolderItem>", Fn(&dragItemFolderItemGetter), "dragItemFolderItemGetter",
     Fn(&dragItemFolderItemSetter), "dragItemFolderItemSetter", 0, 0},
    {0, "MouseCursor", "o<MouseCursor>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     Offset(offsetof(DragItemObject, mouseCursor)), 0},
    {0, "DropLeft", "i4", Fn(&dragItemDropLeft), "dragItemDropLeft", nullptr, nullptr, 0, 0},
    {0, "DropTop", "i4", Fn(&dragItemDropTop), "dragItemDropTop", nullptr, nullptr, 0, 0},
    {0, "DropWidth", "i4", Fn(&dragItemDropWidth), "dragItemDropWidth", nullptr, nullptr, 0, 0},
    {0, "DropHeight", "i4", Fn(&dragItemDropHeight), "dragItemDropHeight", nullptr, nullptr, 0, 0},
    {0, "Destination", "o<Object>", Fn(&objGetter), "objGetter", nullptr, nullptr,
     Offset(offsetof(DragItemObject, destination)), 0},
    {0, "Handle", "i4", Fn(&dragItemGetHandle), "dragItemGetHandle", nullptr, nullptr, 0, 0},
};

#define VORN_METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define VORN_ASSIGNABLE(name, params, function, setter) \
  {name, "s", params, 1, Fn(&function), #function, Fn(&setter), #setter, 0, 0}

const MethodRow kDragItemMethods[] = {
    VORN_METHOD("TextAvailable", "b", nullptr, 0, DragItemTextAvailable),
    VORN_METHOD("PictureAvailable", "b", nullptr, 0, DragItemPictureAvailable),
    VORN_METHOD("Drag", "", nullptr, 0, DragItemDrag),
    VORN_METHOD("FolderItemAvailable", "b", nullptr, 0, DragItemFolderItemAvailable),
    VORN_METHOD("MacDataAvailable", "b", kTypeParam, 1, DragItemMacDataAvailable),
    VORN_METHOD("RawDataAvailable", "b", kTypeParam, 1, DragItemMacDataAvailable),
    VORN_ASSIGNABLE("MacData", kTypeParam, DragItemGetMacData, DragItemSetMacData),
    VORN_ASSIGNABLE("RawData", kTypeParam, DragItemGetMacData, DragItemSetMacData),
    VORN_ASSIGNABLE("PrivateMacData", kTypeParam, DragItemGetMacData, DragItemSetPrivateMacData),
    VORN_ASSIGNABLE("PrivateRawData", kTypeParam, DragItemGetMacData, DragItemSetPrivateMacData),
    VORN_METHOD("NextItem", "b", nullptr, 0, DragItemNextItem),
    VORN_METHOD("AddItem", "", kRectParams, 4, DragItemAddItem),
};

#undef VORN_METHOD
#undef VORN_ASSIGNABLE

ObjectDefinition* BuildDragItemDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DragItem");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DragItemObject));
  definition->mInitializer = {Fn(&DragItemInitializer), "DragItemInitializer"};
  definition->mFinalizer = {Fn(&DragItemFinalizer), "DragItemFinalizer"};
  definition->SetInstanceVariables(BuildPropertyList(kDragItemProperties, RowCount(kDragItemProperties)));
  SetMethodList(definition, kDragItemMethods, RowCount(kDragItemMethods));
  return definition;
}

// Sums from compiled code are not trusted to stay in range.
Rect RectFromSize(int64_t left, int64_t top, int64_t width, int64_t height) {
  return MakeRect(PinToInt32(left), PinToInt32(top), PinToInt32(left + width), PinToInt32(top + height));
}

// Typed-data types are four-character codes: shorter ones padded with blanks, longer ones cut.
string FourCharacterType(const string& type) {
  if (type.IsEmpty()) return type;
  string code = type.Left(4);
  while (code.Length() < 4) code.Append(string(" "));
  return code;
}

DragItemValue* FindValue(DragItemObject* d, uint32_t kind, bool create, const string& type = string()) {
  std::vector<DragItemValue>& values = d->content->values;
  const string code = FourCharacterType(type);
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    if (it->item != d->currentItem || it->kind != kind) continue;
    if (kind == kDragValueTypedData && !code.IsEmpty() && it->type.Compare(code) != 0) continue;
    return &*it;
  }
  if (!create) return nullptr;
  values.push_back({d->currentItem, kind, code, string(), nullptr});
  return &values.back();
}

RuntimeObject* HeldObject(RuntimeObject* d, uint32_t kind) {
  DragItemObject* fields = DragItemFields(d);
  DragItemValue* value = fields ? FindValue(fields, kind, false) : nullptr;
  if (!value || !value->object) return nullptr;
  RuntimeLockObject(value->object);
  return value->object;
}

void HoldObject(RuntimeObject* d, uint32_t kind, RuntimeObject* object) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields) return;
  DragItemValue* value = FindValue(fields, kind, true);
  RuntimeLockObject(object);
  RuntimeObject* old = value->object;
  value->object = object;
  RuntimeUnlockObject(old);
}

uint8_t HasValue(RuntimeObject* d, uint32_t kind) {
  DragItemObject* fields = DragItemFields(d);
  return fields && FindValue(fields, kind, false) ? 1 : 0;
}

const DragItemRect* CurrentRect(const DragItemObject* d) {
  for (const DragItemRect& r : d->content->rects) {
    if (r.item == d->currentItem) return &r;
  }
  return nullptr;
}

RuntimeObject* NewDragItemInWindow(RuntimeObject* window, int32_t left, int32_t top, int32_t width, int32_t height) {
  int32_t dh = 0, dv = 0;
  EmbeddedWindowOffset(window, &dh, &dv);
  return NewDragItemForRect(static_cast<int32_t>(int64_t{left} + dh), static_cast<int32_t>(int64_t{top} + dv), width,
                            height);
}

}  // namespace

DragItemContent::~DragItemContent() {
  for (DragItemValue& value : values) RuntimeUnlockObject(value.object);
}

ObjectDefinition* GetDragItemClassDefinition() {
  static ObjectDefinition* definition = BuildDragItemDefinition();
  return definition;
}

DragItemObject* DragItemFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDragItemClassDefinition())) return nullptr;
  auto* fields = reinterpret_cast<DragItemObject*>(object);
  return fields->content ? fields : nullptr;
}

RuntimeObject* NewDragItemForRect(int32_t left, int32_t top, int32_t width, int32_t height) {
  RuntimeObject* item = CreateInstanceFromDefinition(GetDragItemClassDefinition());
  DragItemObject* fields = DragItemFields(item);
  if (!fields) return item;
  const Rect rect = RectFromSize(left, top, width, height);
  fields->content->rects.push_back({0, rect, Rect()});
  fields->currentRect = rect;
  return item;
}

void MarkDragItemDropped(RuntimeObject* item, int32_t targetLeft, int32_t targetTop) {
  DragItemObject* fields = DragItemFields(item);
  if (!fields) return;
  fields->dropped = 1;
  fields->currentItem = 0;
  fields->dropOffsetX = -targetLeft;
  fields->dropOffsetY = -targetTop;
}

std::vector<Rect> DragItemRects(RuntimeObject* item) {
  std::vector<Rect> rects;
  if (DragItemObject* fields = DragItemFields(item)) {
    for (const DragItemRect& r : fields->content->rects) rects.push_back(r.rect);
  }
  return rects;
}

void OffsetDragItemRects(RuntimeObject* item, int32_t dh, int32_t dv) {
  DragItemObject* fields = DragItemFields(item);
  if (!fields) return;
  for (DragItemRect& r : fields->content->rects) OffsetRect(r.rect, dh, dv);
  OffsetRect(fields->currentRect, dh, dv);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void DragItemInitializer(VornRuntimeObject* d) {
  if (!d || !RuntimeObjectIsaDefinition(d, GetDragItemClassDefinition())) return;
  auto* fields = reinterpret_cast<DragItemObject*>(d);
  fields->content = new DragItemContent();
  fields->currentItem = 0;
  fields->itemCount = 1;
}

void DragItemFinalizer(VornRuntimeObject* d) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields) return;
  RuntimeObject* cursor = fields->mouseCursor;
  fields->mouseCursor = nullptr;
  RuntimeUnlockObject(cursor);
  delete fields->content;
  fields->content = nullptr;
}

VornRuntimeObject* controlNewDragItem(VornRuntimeObject* ctl, int32_t left, int32_t top, int32_t width,
                                      int32_t height) {
  ControlObject* control = AsControl(ctl);
  return NewDragItemInWindow(control ? control->window : nullptr, left, top, width, height);
}

VornRuntimeObject* formNewDragItem(VornRuntimeObject* window, int32_t left, int32_t top, int32_t width,
                                   int32_t height) {
  return NewDragItemInWindow(window, left, top, width, height);
}

VornStringRecord* dragItemTextGetter(VornRuntimeObject* d, int32_t) {
  DragItemObject* fields = DragItemFields(d);
  DragItemValue* value = fields ? FindValue(fields, kDragValueText, false) : nullptr;
  return value ? value->text.GetRetainedRep() : nullptr;
}

void dragItemTextSetter(VornRuntimeObject* d, int32_t, VornStringRecord* text) {
  if (DragItemObject* fields = DragItemFields(d)) FindValue(fields, kDragValueText, true)->text = string::Share(text);
}

uint8_t DragItemTextAvailable(VornRuntimeObject* d) { return HasValue(d, kDragValueText); }

VornRuntimeObject* dragItemPictureGetter(VornRuntimeObject* d, int32_t) { return HeldObject(d, kDragValuePicture); }

void dragItemPictureSetter(VornRuntimeObject* d, int32_t, VornRuntimeObject* picture) {
  if (!PictureFields(picture) || !PictureDrawable(picture)) return;
  HoldObject(d, kDragValuePicture, picture);
}

uint8_t DragItemPictureAvailable(VornRuntimeObject* d) { return HasValue(d, kDragValuePicture); }

VornRuntimeObject* dragItemFolderItemGetter(VornRuntimeObject* d, int32_t) { return HeldObject(d, kDragValueFolder); }

void dragItemFolderItemSetter(VornRuntimeObject* d, int32_t, VornRuntimeObject* item) {
  // A receiver told that a folder item is there must be able to use it.
  if (!IsFolderItem(item)) return;
  HoldObject(d, kDragValueFolder, item);
}

uint8_t DragItemFolderItemAvailable(VornRuntimeObject* d) { return HasValue(d, kDragValueFolder); }

uint8_t DragItemMacDataAvailable(VornRuntimeObject* d, VornStringRecord* type) {
  DragItemObject* fields = DragItemFields(d);
  return fields && FindValue(fields, kDragValueTypedData, false, string::Share(type)) ? 1 : 0;
}

VornStringRecord* DragItemGetMacData(VornRuntimeObject* d, VornStringRecord* type) {
  DragItemObject* fields = DragItemFields(d);
  DragItemValue* value = fields ? FindValue(fields, kDragValueTypedData, false, string::Share(type)) : nullptr;
  return value ? value->text.GetRetainedRep() : nullptr;
}

void DragItemSetMacData(VornRuntimeObject* d, VornStringRecord* type, VornStringRecord* data) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields) return;
  FindValue(fields, kDragValueTypedData, true, string::Share(type))->text = string::Share(data);
}

void DragItemSetPrivateMacData(VornRuntimeObject* d, VornStringRecord* type, VornStringRecord* data) {
  DragItemSetMacData(d, type, data);
}

uint8_t DragItemNextItem(VornRuntimeObject* d) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields || fields->currentItem + 1 >= fields->itemCount) return 0;
  ++fields->currentItem;
  return 1;
}

void DragItemAddItem(VornRuntimeObject* d, int32_t left, int32_t top, int32_t width, int32_t height) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields) return;
  const Rect rect = RectFromSize(int64_t{left} + fields->dropOffsetX, int64_t{top} + fields->dropOffsetY, width, height);
  // The new item goes after the last one even while an earlier item is current, so that no
  // two items share a number.
  const int32_t item = fields->itemCount;
  fields->content->rects.push_back({item, rect, fields->currentRect});
  fields->currentItem = item;
  ++fields->itemCount;
  fields->currentRect = rect;
}

int32_t dragItemDropLeft(VornRuntimeObject* d, int32_t) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields || !fields->dropped) return 0;
  const DragItemRect* r = CurrentRect(fields);
  return r ? r->rect.left + fields->dropOffsetX : 0;
}

int32_t dragItemDropTop(VornRuntimeObject* d, int32_t) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields || !fields->dropped) return 0;
  const DragItemRect* r = CurrentRect(fields);
  return r ? r->rect.top + fields->dropOffsetY : 0;
}

int32_t dragItemDropWidth(VornRuntimeObject* d, int32_t) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields || !fields->dropped) return 0;
  const DragItemRect* r = CurrentRect(fields);
  return r && r->rect.Width() >= 1 ? r->rect.Width() : 0;
}

int32_t dragItemDropHeight(VornRuntimeObject* d, int32_t) {
  DragItemObject* fields = DragItemFields(d);
  if (!fields || !fields->dropped) return 0;
  const DragItemRect* r = CurrentRect(fields);
  return r && r->rect.Height() >= 1 ? r->rect.Height() : 0;
}

int32_t dragItemGetHandle(VornRuntimeObject* d, int32_t) {
  if (!d) ReportPaneAssertion("../Common/DragItem", __LINE__, "obj");
  return 0;
}

}  // extern "C"
