/*
 * Menus as compiled code sees them: MenuItem objects and their entry points, the menu-bar
 * setters of windows and the application, menu handlers, the standard items and the
 * ContextualMenu control.
 *
 * Every entry point takes the MenuItem first; a nil item raises NilObjectException and
 * answers 0, nil or the empty string. String and object results carry one reference for the
 * caller. A menu handler is called as handler(owner, item's Index) and claims the item by
 * answering non-zero.
 */
#ifndef VORN_MENU_API_H
#define VORN_MENU_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* MenuItem and its subclasses (MenuBar, QuitMenuItem, PrefsMenuItem, AppleMenuItem).
 * Events, in event-table order: Action As Boolean, EnableMenu. */
typedef struct VornMenuItemObject {
  VornRuntimeObject header;
  void *imp; /* the native menu node */
} VornMenuItemObject;

#define VORN_MENU_NO_INDEX ((int32_t)0x80000000)

typedef uint8_t (*VornMenuHandler)(VornRuntimeObject *owner, int32_t index);

void MenuItemInitializer(VornRuntimeObject *item);
void MenuBarInitializer(VornRuntimeObject *item);
void MenuItemFinalizer(VornRuntimeObject *item);
void RuntimeMenuItemDefaultConstructor(VornRuntimeObject *item);
void MenuItemConstructor(VornRuntimeObject *item, VornStringRecord *text, VornRuntimeObject *tag);

VornStringRecord *RuntimeMenuItemNameGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemNameSetter(VornRuntimeObject *item, int32_t param, VornStringRecord *value);
int32_t RuntimeMenuItemIndexGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemIndexSetter(VornRuntimeObject *item, int32_t param, int32_t value);
VornRuntimeObject *RuntimeMenuItemTagGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemTagSetter(VornRuntimeObject *item, int32_t param, VornRuntimeObject *value);
VornStringRecord *RuntimeMenuItemBalloonHelpGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemBalloonHelpSetter(VornRuntimeObject *item, int32_t param, VornStringRecord *value);
VornStringRecord *RuntimeMenuItemDisabledHelpGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemDisabledHelpSetter(VornRuntimeObject *item, int32_t param, VornStringRecord *value);
VornStringRecord *RuntimeMenuItemTextGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemTextSetter(VornRuntimeObject *item, int32_t param, VornStringRecord *value);
uint8_t RuntimeMenuItemCheckedGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemCheckedSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
uint8_t RuntimeMenuItemEnabledGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemEnabledSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
uint8_t RuntimeMenuItemVisibleGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemVisibleSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
VornStringRecord *RuntimeMenuItemCommandKeyGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemCommandKeySetter(VornRuntimeObject *item, int32_t param, VornStringRecord *value);
uint8_t RuntimeMenuItemBoldGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemBoldSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
uint8_t RuntimeMenuItemItalicsGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemItalicsSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
uint8_t RuntimeMenuItemUnderlineGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemUnderlineSetter(VornRuntimeObject *item, int32_t param, uint8_t value);
uint8_t RuntimeMenuItemAutoEnableGetter(VornRuntimeObject *item, int32_t param);
void RuntimeMenuItemAutoEnableSetter(VornRuntimeObject *item, int32_t param, uint8_t value);

void RuntimeEnableMenu(VornRuntimeObject *item);
void RuntimeCloseMenuItem(VornRuntimeObject *item);
VornRuntimeObject *RuntimeMenuItemItem(VornRuntimeObject *item, int32_t index);
int32_t RuntimeMenuItemCount(VornRuntimeObject *item);
VornRuntimeObject *RuntimeMenuItemChild(VornRuntimeObject *item, VornStringRecord *name);
void RuntimeMenuItemAppend(VornRuntimeObject *item, VornRuntimeObject *child);
void RuntimeMenuItemInsert(VornRuntimeObject *item, int32_t index, VornRuntimeObject *child);
void RuntimeMenuItemRemoveIndex(VornRuntimeObject *item, int32_t index);
void RuntimeMenuItemRemoveItem(VornRuntimeObject *item, VornRuntimeObject *child);
void RuntimeMenuItemRemoveByName(VornRuntimeObject *item, VornStringRecord *name);
VornRuntimeObject *RuntimeMenuItemLookup(VornRuntimeObject *item, VornStringRecord *name);
VornRuntimeObject *RuntimeMenuItemLookupArray(VornRuntimeObject *item, VornStringRecord *name, int32_t index);
void RuntimeMenuItemSwap(VornRuntimeObject *item, VornStringRecord *name, VornRuntimeObject *swapWith);
VornRuntimeObject *RuntimeMenuItemPopUp(VornRuntimeObject *item, int32_t x, int32_t y);
VornRuntimeObject *RuntimeMenuItemPopUpByCursor(VornRuntimeObject *item);
void MenuBarInstallClone(VornRuntimeObject *menuBar, VornRuntimeObject *installThis);

/* Standard items: the inherited Action of QuitMenuItem and PrefsMenuItem. */
uint8_t QuitMenuAction(VornRuntimeObject *item);
uint8_t PrefsMenuAction(VornRuntimeObject *item);

/* Menu bars of windows and of the application; the menu item of the front window's bar. */
VornRuntimeObject *WindowMenuBarGetter(VornRuntimeObject *window, int32_t param);
void WindowMenuBarSetter(VornRuntimeObject *window, int32_t param, VornRuntimeObject *bar);
VornRuntimeObject *AppMenuBarGetter(VornRuntimeObject *app, int32_t param);
void AppMenuBarSetter(VornRuntimeObject *app, int32_t param, VornRuntimeObject *bar);
void ApplicationAddMenuHandler(VornRuntimeObject *app, VornStringRecord *name, void *handler);
VornRuntimeObject *RuntimeMenuReference(VornStringRecord *name);

/* ContextualMenu: a control without pane; event Action (item As String). */
void RuntimeContextualMenuDestructor(VornRuntimeObject *menu);
void contextualMenuResetContent(VornRuntimeObject *menu);
void contextualMenuAddRow(VornRuntimeObject *menu, VornStringRecord *text);
void contextualMenuAddSeparator(VornRuntimeObject *menu);
void contextualMenuOpen(VornRuntimeObject *menu);

#ifdef __cplusplus
}
#endif

#endif
