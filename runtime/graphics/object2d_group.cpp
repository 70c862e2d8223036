// Group2D and FigureShape: an ordered list of members, each held by one reference. The same
// object may stand in a list more than once.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "graphics/object2d.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/memory.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

constexpr int32_t kMinimumGrowth = 16;

void Grow(ObjectList* list) {
  int32_t by = list->step > 0 ? list->step : list->capacity;
  by = std::max(by, kMinimumGrowth);
  const int32_t capacity = list->capacity + by;
  auto* items = static_cast<RuntimeObject**>(AllocClearedMemory(sizeof(RuntimeObject*) * capacity));
  if (list->count > 0) std::memcpy(items, list->items, sizeof(RuntimeObject*) * list->count);
  FreeMemory(list->items);
  list->items = items;
  list->capacity = capacity;
}

void Reallocate(ObjectList* list, int32_t capacity) {
  RuntimeObject** items = nullptr;
  if (capacity > 0) {
    items = static_cast<RuntimeObject**>(AllocClearedMemory(sizeof(RuntimeObject*) * capacity));
    if (list->count > 0) std::memcpy(items, list->items, sizeof(RuntimeObject*) * list->count);
  }
  FreeMemory(list->items);
  list->items = items;
  list->capacity = capacity;
}

ObjectList* ListOf(RuntimeObject* group) {
  Object2DFields* fields = Object2DOf(group);
  if (!fields || !IsGroupTag(fields->tag)) return nullptr;
  return &reinterpret_cast<Group2DFields*>(fields)->list;
}

bool InRange(const ObjectList* list, int32_t index) { return index >= 0 && index < list->count; }

// The groups each group stands in, once per occurrence. A group holds its members, so an entry
// lasts while its parent does; leaf shapes are not recorded, as they can contain nothing.
std::unordered_map<RuntimeObject*, std::vector<RuntimeObject*>>& ParentsOfGroups() {
  static auto* parents = new std::unordered_map<RuntimeObject*, std::vector<RuntimeObject*>>();
  return *parents;
}

void NoteMember(RuntimeObject* group, RuntimeObject* member) {
  if (ListOf(member)) ParentsOfGroups()[member].push_back(group);
}

void ForgetMember(RuntimeObject* group, RuntimeObject* member) {
  if (!ListOf(member)) return;
  auto& parents = ParentsOfGroups();
  auto it = parents.find(member);
  if (it == parents.end()) return;
  auto at = std::find(it->second.begin(), it->second.end(), group);
  if (at != it->second.end()) it->second.erase(at);
  if (it->second.empty()) parents.erase(it);
}

// True when putting object into group would make the group contain itself, at any depth: such
// a group would have no end when moved and drawn. That is so when the object is the group or
// one of the groups it stands in, directly or further up. The walk up from the group and the
// walk down from the object take turns and the first to finish answers, so a deep nest costs
// little whether it is built from the inside out (short walks up) or from the outside in (short
// walks down). Each group is looked at once.
bool WouldContainItself(RuntimeObject* group, RuntimeObject* object) {
  if (group == object) return true;
  if (!ListOf(object)) return false;
  auto& parents = ParentsOfGroups();
  std::vector<RuntimeObject*> up{group}, down{object};
  std::unordered_set<RuntimeObject*> seenUp{group}, seenDown{object};
  while (!up.empty() && !down.empty()) {
    RuntimeObject* above = up.back();
    up.pop_back();
    if (auto it = parents.find(above); it != parents.end()) {
      for (RuntimeObject* parent : it->second) {
        if (parent == object) return true;
        if (seenUp.insert(parent).second) up.push_back(parent);
      }
    }
    RuntimeObject* below = down.back();
    down.pop_back();
    if (ObjectList* list = ListOf(below)) {
      for (int32_t i = 0; i < list->count; ++i) {
        RuntimeObject* member = list->items[i];
        if (member == group) return true;
        if (ListOf(member) && seenDown.insert(member).second) down.push_back(member);
      }
    }
  }
  return false;
}

// Refuses a member that would make the group contain itself; true when refused.
bool RefuseSelfContainment(RuntimeObject* group, RuntimeObject* object) {
  if (!WouldContainItself(group, object)) return false;
  RuntimeRaiseExceptionWithMessage(GetInvalidParentExceptionClassDefinition(),
                                   string("A group cannot contain itself"));
  return true;
}

}  // namespace

void ObjectListAppend(ObjectList* list, RuntimeObject* object) {
  RuntimeLockObject(object);
  if (list->count >= list->capacity) Grow(list);
  list->items[list->count++] = object;
}

bool ObjectListInsert(ObjectList* list, int32_t index, RuntimeObject* object) {
  if (index < 0 || index > list->count) return false;
  RuntimeLockObject(object);
  if (list->count >= list->capacity) Grow(list);
  std::memmove(list->items + index + 1, list->items + index, sizeof(RuntimeObject*) * (list->count - index));
  list->items[index] = object;
  ++list->count;
  return true;
}

void ObjectListShrink(ObjectList* list) {
  const int32_t g = list->step;
  if (g > 0) {
    if (list->capacity - list->count > 2 * g) Reallocate(list, (list->count / g + 1) * g);
  } else if (list->capacity - list->count > 2 * list->count) {
    Reallocate(list, (list->count / 16) * 16 + 16);
  }
}

void ObjectListRemoveAt(ObjectList* list, int32_t index) {
  RuntimeObject* item = list->items[index];
  std::memmove(list->items + index, list->items + index + 1, sizeof(RuntimeObject*) * (list->count - index - 1));
  --list->count;
  RuntimeUnlockObject(item);
  ObjectListShrink(list);
}

}  // namespace vorn

using vorn::ListOf;
using vorn::ObjectList;

namespace {

void Construct(VornRuntimeObject* object, uint32_t tag) {
  auto* fields = reinterpret_cast<vorn::Group2DFields*>(object);
  if (!fields) return;
  fields->base.tag = tag;
  fields->list.step = 16;
}

// A new curve of the order appended to the figure; the figure keeps the only reference.
vorn::CurveShapeFields* AddCurve(VornRuntimeObject* figure, int32_t order, float x1, float y1, float x2, float y2) {
  ObjectList* list = ListOf(figure);
  if (!list) return nullptr;
  VornRuntimeObject* curve = vorn::CreateInstanceFromDefinition(vorn::GetCurveShapeClassDefinition());
  if (!curve) return nullptr;
  auto* fields = reinterpret_cast<vorn::CurveShapeFields*>(curve);
  fields->order = order;
  fields->base.x = x1;
  fields->base.y = y1;
  fields->x2 = x2;
  fields->y2 = y2;
  vorn::ObjectListAppend(list, curve);
  RuntimeUnlockObject(curve);
  return fields;
}

}  // namespace

extern "C" {

void Group2DConstructor(VornRuntimeObject* object) { Construct(object, vorn::kTagGroup); }
void FigureShapeConstructor(VornRuntimeObject* object) { Construct(object, vorn::kTagFigure); }

// Releasing a member may end it, and a group that ends releases its own members: done by
// nested calls, a deep nest would run out of stack. The outermost destructor releases what the
// inner ones hand it, one after another.
void Group2DDestructor(VornRuntimeObject* object) {
  if (!object) return;
  static std::vector<VornRuntimeObject*>* releasing = nullptr;
  ObjectList* list = &reinterpret_cast<vorn::Group2DFields*>(object)->list;
  VornRuntimeObject** items = list->items;
  const int32_t count = list->count;
  list->items = nullptr;
  list->count = list->capacity = 0;
  for (int32_t i = 0; i < count; ++i) vorn::ForgetMember(object, items[i]);
  if (releasing) {
    releasing->insert(releasing->end(), items, items + count);
    vorn::FreeMemory(items);
    return;
  }
  std::vector<VornRuntimeObject*> pending(items, items + count);
  vorn::FreeMemory(items);
  releasing = &pending;
  for (size_t i = 0; i < pending.size(); ++i) RuntimeUnlockObject(pending[i]);
  releasing = nullptr;
}

void FigureShapeDestructor(VornRuntimeObject* object) { Group2DDestructor(object); }

int32_t Group2DCount(VornRuntimeObject* group, int32_t) {
  ObjectList* list = ListOf(group);
  return list ? list->count : 0;
}

void Group2DAppend(VornRuntimeObject* group, VornRuntimeObject* object) {
  ObjectList* list = ListOf(group);
  if (!list || vorn::RefuseSelfContainment(group, object)) return;
  vorn::ObjectListAppend(list, object);
  vorn::NoteMember(group, object);
}

void Group2DInsert(VornRuntimeObject* group, int32_t index, VornRuntimeObject* object) {
  ObjectList* list = ListOf(group);
  if (!list || vorn::RefuseSelfContainment(group, object)) return;
  if (!vorn::ObjectListInsert(list, index, object)) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  vorn::NoteMember(group, object);
}

VornRuntimeObject* Group2DGetItem(VornRuntimeObject* group, int32_t index) {
  ObjectList* list = ListOf(group);
  if (!list) return nullptr;
  if (!vorn::InRange(list, index)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeLockObject(list->items[index]);
  return list->items[index];
}

void Group2DSetItem(VornRuntimeObject* group, int32_t index, VornRuntimeObject* object) {
  ObjectList* list = ListOf(group);
  if (!list) return;
  if (!vorn::InRange(list, index)) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  if (vorn::RefuseSelfContainment(group, object)) return;
  vorn::ForgetMember(group, list->items[index]);
  vorn::NoteMember(group, object);
  RuntimeLockUnlockObjects(object, list->items[index]);
  list->items[index] = object;
}

void Group2DRemoveByObject(VornRuntimeObject* group, VornRuntimeObject* object) {
  ObjectList* list = ListOf(group);
  if (!list) return;
  for (int32_t i = 0; i < list->count; ++i) {
    if (list->items[i] == object) {
      vorn::ForgetMember(group, object);
      vorn::ObjectListRemoveAt(list, i);
      return;
    }
  }
}

void Group2DRemoveByIndex(VornRuntimeObject* group, int32_t index) {
  ObjectList* list = ListOf(group);
  if (!list) return;
  if (!vorn::InRange(list, index)) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  vorn::ForgetMember(group, list->items[index]);
  vorn::ObjectListRemoveAt(list, index);
}

void FigureShapeAddLine(VornRuntimeObject* figure, float x1, float y1, float x2, float y2) {
  AddCurve(figure, 0, x1, y1, x2, y2);
}

void FigureShapeAddQuad(VornRuntimeObject* figure, float x1, float y1, float x2, float y2, float cx1, float cy1) {
  if (vorn::CurveShapeFields* curve = AddCurve(figure, 1, x1, y1, x2, y2)) {
    curve->control[0][0] = cx1;
    curve->control[0][1] = cy1;
  }
}

void FigureShapeAddCubic(VornRuntimeObject* figure, float x1, float y1, float x2, float y2, float cx1, float cy1,
                         float cx2, float cy2) {
  if (vorn::CurveShapeFields* curve = AddCurve(figure, 2, x1, y1, x2, y2)) {
    curve->control[0][0] = cx1;
    curve->control[0][1] = cy1;
    curve->control[1][0] = cx2;
    curve->control[1][1] = cy2;
  }
}

}  // extern "C"
