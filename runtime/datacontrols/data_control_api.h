// The entry points of the DataControl and DataControlAction classes, as compiled code calls them.
#pragma once

#include <cstdint>

#include "vorn/object_abi.h"

extern "C" {
void DataControlConstructor(VornRuntimeObject* self);
void DataControlDestructor(VornRuntimeObject* self);
void DataControlCreatePane(VornRuntimeObject* self);
void DataControlCaptionSetter(VornRuntimeObject* self, int32_t, VornStringRecord* value);
void DataControlTableNameSetter(VornRuntimeObject* self, int32_t, VornStringRecord* value);
void DataControlQuerySetter(VornRuntimeObject* self, int32_t, VornStringRecord* value);
VornRuntimeObject* DataControlDBGetter(VornRuntimeObject* self, int32_t);
void DataControlDBSetter(VornRuntimeObject* self, int32_t, VornRuntimeObject* value);
void DataControlAlignSetter(VornRuntimeObject* self, int32_t, int32_t value);
void DataControlColorSetter(VornRuntimeObject* self, int32_t, int32_t value);
void DataControlFontSetter(VornRuntimeObject* self, int32_t, VornStringRecord* value);
void DataControlSizeSetter(VornRuntimeObject* self, int32_t, int32_t value);
void DataControlAttributeSetter(VornRuntimeObject* self, int32_t offset, uint8_t value);
void DataControlControlBindSetter(VornRuntimeObject* self, int32_t, int32_t value);
void DataControlReadOnlySetter(VornRuntimeObject* self, int32_t, uint8_t value);
int32_t DataControlGetConstant(VornRuntimeObject* self, int32_t value);
uint8_t DataControlRecordLockedGetter(VornRuntimeObject* self, int32_t);
VornRuntimeObject* DataControlEncodingGetter(VornRuntimeObject* self, int32_t);
void DataControlEncodingSetter(VornRuntimeObject* self, int32_t, VornRuntimeObject* value);
VornStringRecord* DataControlGetField(VornRuntimeObject* self, int32_t index);
int32_t DataControlFieldCount(VornRuntimeObject* self);
VornRuntimeObject* DataControlGetCursor(VornRuntimeObject* self);
void DataControlMoveNext(VornRuntimeObject* self);
void DataControlMovePrev(VornRuntimeObject* self);
void DataControlMoveFirst(VornRuntimeObject* self);
void DataControlMoveLast(VornRuntimeObject* self);
void DataControlMoveTo(VornRuntimeObject* self, int32_t row);
int32_t DataControlRowCount(VornRuntimeObject* self);
int32_t DataControlRow(VornRuntimeObject* self);
void DataControlRunQuery(VornRuntimeObject* self);
void DataControlAddNewRecord(VornRuntimeObject* self);
void DataControlDeleteRecord(VornRuntimeObject* self);
void DataControlUpdateRecord(VornRuntimeObject* self);
VornRuntimeObject* DataControlGetBoundPart(VornRuntimeObject* self, VornStringRecord* name);
void DataControlClearBoundControls(VornRuntimeObject* self);
void DataControlNewRecord(VornRuntimeObject* self);
void DataControlActionDestructor(VornRuntimeObject* self);
void DataControlActionPerformAction(VornRuntimeObject* self);
}
