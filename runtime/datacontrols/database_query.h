// DatabaseQuery: a query on a Database without a pane, run on demand, whose rows reach lists
// through the data-binding interfaces and whose "%1" marker takes a parameter text.
#pragma once

#include <cstdint>

#include "controls/binding_receivers.h"
#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

struct DatabaseQueryObject {
  VornRuntimeObject header;
  RuntimeObject* database;  // held
  StringRep* sqlQuery;
  uint16_t queryRan;
  uint16_t countDepth;  // above 0 while GetCount runs the query itself
  RuntimeObject* cursor;  // a held ScrollableCursor, or nil
  NotificationReceiverList receivers;
  StringRep* parameter;
};

ObjectDefinition* GetDatabaseQueryClassDefinition();

}  // namespace vorn

extern "C" {
void databaseQueryDestructor(VornRuntimeObject* self);
int32_t databaseQueryGetCount(VornRuntimeObject* self);
VornRuntimeObject* databaseQueryGetRow(VornRuntimeObject* self, int32_t row);
void databaseQueryRunQuery(VornRuntimeObject* self);
void databaseQueryAddLDNR(VornRuntimeObject* self, VornRuntimeObject* receiver);
void databaseQueryRemoveLDNR(VornRuntimeObject* self, VornRuntimeObject* receiver);
void databaseQuerySetParameter(VornRuntimeObject* self, VornStringRecord* text);
}
