/*
 * Entry points of the data-binding binders and of the PopupMenu and ComboBox controls, as
 * compiled code calls them. Objects come first; a string or object result carries one
 * reference for the caller; string arguments are borrowed.
 */
#ifndef VORN_POPUP_API_H
#define VORN_POPUP_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- binders ----------------------------------------------------------------------------- */

void enablingBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void enablingBinderReload(VornRuntimeObject *binder);
void actionBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void stringBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);
void stringBinderReload(VornRuntimeObject *binder);
void listBinderBind(VornRuntimeObject *binder, VornRuntimeObject *source, VornRuntimeObject *dest);

/* --- PopupMenu and ComboBox ------------------------------------------------------------- */

/* Property accessors take (object, the property row's parameter word[, value]). */
void PopupMenuCreatePane(VornRuntimeObject *popup);
void popupMenuDestructor(VornRuntimeObject *popup);

void RuntimeComboBoxEmpty(VornRuntimeObject *popup);
void RuntimeComboBoxAddRow(VornRuntimeObject *popup, VornStringRecord *text);
void RuntimeComboBoxAddSeparator(VornRuntimeObject *popup);
void RuntimeComboBoxRemoveRow(VornRuntimeObject *popup, int32_t index);
VornStringRecord *RuntimeComboBoxGetRow(VornRuntimeObject *popup, int32_t index);
void RuntimeComboBoxInsertRow(VornRuntimeObject *popup, int32_t row, VornStringRecord *text);
VornStringRecord *RuntimeComboBoxGetString(VornRuntimeObject *popup);
VornRuntimeObject *getPopupRowTag(VornRuntimeObject *popup, int32_t index);
void setPopupRowTag(VornRuntimeObject *popup, int32_t index, VornRuntimeObject *tag);

int32_t RuntimeComboBoxCountGetter(VornRuntimeObject *popup, int32_t param);
int32_t RuntimeComboBoxSelectionGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxSelectionSetter(VornRuntimeObject *popup, int32_t param, int32_t index);
VornStringRecord *RuntimeComboBoxTextGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxTextSetter(VornRuntimeObject *popup, int32_t param, VornStringRecord *text);
VornStringRecord *RuntimeComboBoxTextFontGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxTextFontSetter(VornRuntimeObject *popup, int32_t param, VornStringRecord *font);
int32_t RuntimeComboBoxTextSizeGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxTextSizeSetter(VornRuntimeObject *popup, int32_t param, int32_t size);
uint8_t RuntimeComboBoxBoldGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxBoldSetter(VornRuntimeObject *popup, int32_t param, uint8_t value);
uint8_t RuntimeComboBoxItalicGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxItalicSetter(VornRuntimeObject *popup, int32_t param, uint8_t value);
uint8_t RuntimeComboBoxUnderlineGetter(VornRuntimeObject *popup, int32_t param);
void RuntimeComboBoxUnderlineSetter(VornRuntimeObject *popup, int32_t param, uint8_t value);
void RuntimeComboBoxAutoCompleteSetter(VornRuntimeObject *combo, int32_t param, uint8_t value);
int32_t RuntimeComboBoxSelStartGetter(VornRuntimeObject *combo, int32_t param);
void RuntimeComboBoxSelStartSetter(VornRuntimeObject *combo, int32_t param, int32_t start);
int32_t RuntimeComboBoxSelLengthGetter(VornRuntimeObject *combo, int32_t param);
void RuntimeComboBoxSelLengthSetter(VornRuntimeObject *combo, int32_t param, int32_t length);

/* Data binding of popups. */
VornStringRecord *PopupDataSourceGetter(VornRuntimeObject *popup, int32_t param);
void PopupDataSourceSetter(VornRuntimeObject *popup, int32_t param, VornStringRecord *name);
void PopupDataFieldSetter(VornRuntimeObject *popup, int32_t param, VornStringRecord *name);
void popupAddDNR(VornRuntimeObject *popup, VornRuntimeObject *receiver);
void popupRemoveDNR(VornRuntimeObject *popup, VornRuntimeObject *receiver);
uint8_t popupDataAvailable(VornRuntimeObject *popup);
void popupBindList(VornRuntimeObject *popup, VornRuntimeObject *data);
VornRuntimeObject *popupGetBoundPart(VornRuntimeObject *popup, VornStringRecord *name);

void popupRowTagDestructor(VornRuntimeObject *rowTag);
VornStringRecord *popupRowTagGetString(VornRuntimeObject *rowTag);
void popupRowTagAddDNR(VornRuntimeObject *rowTag, VornRuntimeObject *receiver);
void popupRowTagRemoveDNR(VornRuntimeObject *rowTag, VornRuntimeObject *receiver);
uint8_t popupRowTagDataAvailable(VornRuntimeObject *rowTag);
void popupRowTagDataChanged(VornRuntimeObject *rowTag);

#ifdef __cplusplus
}
#endif

#endif
