/*
 * PushButton, CheckBox and RadioButton as compiled code calls them.
 *
 * Each class derives from RectControl; its own properties begin at property index 26
 * (kVornControlFirstOwnProperty) in the order of its rows:
 *   PushButton:  26 Caption, 27 Default, 28 Cancel, 29 TextFont, 30 TextSize, 31 Bold,
 *                32 Italic, 33 Underline
 *   CheckBox:    26 Caption, 27 Value, 28 State (the same as Value), 29 TextFont, 30 TextSize,
 *                31 Bold, 32 Italic, 33 Underline, 34 DataSource, 35 DataField
 *   RadioButton: 26 Caption, 27 Value, 28 TextFont, 29 TextSize, 30 Bold, 31 Italic,
 *                32 Underline
 *
 * Event handlers the runtime calls (the object first):
 *   Action, GotFocus, LostFocus: void (self)
 *   MouseDown, MouseUp: uint8_t (self, int32_t x, int32_t y), relative to the button; a
 *   MouseDown answering true keeps the press from the button and gets the release.
 * PushButton fires Action for a release inside it after an untaken press, for keyboard
 * activation, for Push, and for Return / Escape when it is its window's default / cancel
 * button; its action receivers hear before the handler. CheckBox fires Action whenever its
 * state changes (never at creation, never from inside its own Action). RadioButton fires it
 * when it becomes selected.
 *
 * Accessors take (object, parameter word[, value]) and ignore the word. String results carry
 * one reference for the caller and are nil when empty; arguments stay the caller's.
 */
#ifndef VORN_BUTTONS_API_H
#define VORN_BUTTONS_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The caption and the five text-style properties of one family. */
#define VORN_DECLARE_BUTTON_TEXT_ACCESSORS(prefix)                                       \
  VornStringRecord *prefix##TitleGetter(VornRuntimeObject *ctl, int32_t param);          \
  void prefix##TitleSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *v);  \
  VornStringRecord *prefix##TextFontGetter(VornRuntimeObject *ctl, int32_t param);       \
  void prefix##TextFontSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *v); \
  int32_t prefix##TextSizeGetter(VornRuntimeObject *ctl, int32_t param);                 \
  void prefix##TextSizeSetter(VornRuntimeObject *ctl, int32_t param, int32_t v);         \
  uint8_t prefix##BoldGetter(VornRuntimeObject *ctl, int32_t param);                     \
  void prefix##BoldSetter(VornRuntimeObject *ctl, int32_t param, uint8_t v);             \
  uint8_t prefix##ItalicGetter(VornRuntimeObject *ctl, int32_t param);                   \
  void prefix##ItalicSetter(VornRuntimeObject *ctl, int32_t param, uint8_t v);           \
  uint8_t prefix##UnderlineGetter(VornRuntimeObject *ctl, int32_t param);                \
  void prefix##UnderlineSetter(VornRuntimeObject *ctl, int32_t param, uint8_t v);

/* --- PushButton ---------------------------------------------------------------------------- */

VORN_DECLARE_BUTTON_TEXT_ACCESSORS(pushButton)
uint8_t pushButtonDefaultGetter(VornRuntimeObject *ctl, int32_t param);
void pushButtonDefaultSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t pushButtonCancelGetter(VornRuntimeObject *ctl, int32_t param);
void pushButtonCancelSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
/* Fires Action (also on a disabled button); nothing before the button has its pane. */
void pushButtonPush(VornRuntimeObject *ctl);
void pbAddActionNotificationReceiver(VornRuntimeObject *ctl, VornRuntimeObject *receiver);
void pbRemoveActionNotificationReceiver(VornRuntimeObject *ctl, VornRuntimeObject *receiver);
void PushButtonCreatePane(VornRuntimeObject *ctl);
void PushButtonDestructor(VornRuntimeObject *ctl);

/* --- CheckBox ------------------------------------------------------------------------------ */

VORN_DECLARE_BUTTON_TEXT_ACCESSORS(checkBox)
uint8_t checkBoxValueGetter(VornRuntimeObject *ctl, int32_t param);
/* May run the Action sequence before it returns when the state changes. */
void checkBoxValueSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
uint8_t checkBoxGetBoolean(VornRuntimeObject *ctl);
void checkBoxSetBoolean(VornRuntimeObject *ctl, uint8_t value);
VornStringRecord *CheckBoxDataSourceGetter(VornRuntimeObject *ctl, int32_t param);
void CheckBoxDataSourceSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void CheckBoxDataFieldSetter(VornRuntimeObject *ctl, int32_t param, VornStringRecord *name);
void checkBoxAddDataNotificationReceiver(VornRuntimeObject *ctl, VornRuntimeObject *receiver);
void checkBoxRemoveDataNotificationReceiver(VornRuntimeObject *ctl, VornRuntimeObject *receiver);
/* "getCheckedAction" / "getUncheckedAction" (letter case ignored): a new action source over the
 * box, one reference for the caller; nil for any other text. */
VornRuntimeObject *checkBoxGetBoundPart(VornRuntimeObject *ctl, VornStringRecord *part);
void cbaAddActionNotificationReceiver(VornRuntimeObject *action, VornRuntimeObject *receiver);
void cbaRemoveActionNotificationReceiver(VornRuntimeObject *action, VornRuntimeObject *receiver);
void checkBoxActionDestructor(VornRuntimeObject *action);
void CheckBoxCreatePane(VornRuntimeObject *ctl);
void checkBoxDestructor(VornRuntimeObject *ctl);

/* --- RadioButton --------------------------------------------------------------------------- */

VORN_DECLARE_BUTTON_TEXT_ACCESSORS(radio)
/* Read from the pane while it exists. False on the selected button turns its group off. */
uint8_t radioValueGetter(VornRuntimeObject *ctl, int32_t param);
void radioValueSetter(VornRuntimeObject *ctl, int32_t param, uint8_t value);
VornRuntimeObject *radioGetBoundPart(VornRuntimeObject *ctl, VornStringRecord *part);
void vnaAddActionNotificationReceiver(VornRuntimeObject *action, VornRuntimeObject *receiver);
void vnaRemoveActionNotificationReceiver(VornRuntimeObject *action, VornRuntimeObject *receiver);
void radioButtonActionDestructor(VornRuntimeObject *action);
void RadioCreatePane(VornRuntimeObject *ctl);
void radioDestructor(VornRuntimeObject *ctl);

#undef VORN_DECLARE_BUTTON_TEXT_ACCESSORS

#ifdef __cplusplus
}
#endif

#endif
