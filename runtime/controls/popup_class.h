// The language's PopupMenu control and its editable subclass ComboBox: the object layout, the
// class definitions, and the hidden row-tag class that provides the selected row's tag as a
// string to binders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/binding_receivers.h"
#include "controls/combo_box.h"
#include "vorn/control_api.h"
#include "vorn/popup_api.h"

namespace vorn {

class PopupMenu;

// Rows code adds before the window opens (directly or from a bound list), kept for CreatePane.
struct PendingPopupRow {
  string text;
  RuntimeObject* tag = nullptr;  // held
  bool separator = false;
};
using PendingPopupRows = std::vector<PendingPopupRow>;

struct PopupMenuObject {
  VornControlObject base;
  StringRep* dataSource;
  StringRep* dataField;
  StringRep* textFont;  // the style fields serve until there is a pane
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  uint8_t inChange;  // set while Change and its data notifications run
  StringRep* initialValue;  // rows of the window's design, consumed by CreatePane
  NotificationReceiverList receivers;
  RuntimeObject* boundList;  // held
  int32_t pendingIndex;      // list index to select at CreatePane; -1 none
  uint8_t autoComplete;
  uint8_t useFocusRing;
  PendingPopupRows* pendingRows;  // nil until a row is added before the pane exists
};

struct PopupRowTagObject {
  RuntimeObject header;
  RuntimeObject* owner;  // the popup; not held, cleared when the popup goes
  NotificationReceiverList receivers;
};

ObjectDefinition* GetPopupMenuClassDefinition();
ObjectDefinition* GetComboBoxClassDefinition();
ObjectDefinition* GetPopupRowTagClassDefinition();
// Registers PopupMenu, ComboBox and sys$popupRowTag, after the Control classes.
void RegisterPopupClasses();

// The object's popup fields; nil for nil or an object of another class.
PopupMenuObject* AsPopup(RuntimeObject* object);
// The popup's pane, nil before CreatePane and after the control closed.
PopupMenu* PopupPaneOf(RuntimeObject* object);
// The rows waiting for the pane, made on first use; ReleasePendingRows frees them.
PendingPopupRows& PendingRows(RuntimeObject* object);
void ReleasePendingRows(RuntimeObject* object);
// The events the pane raises on PopupMenu and ComboBox objects.
ComboBoxEvents* PopupEvents();
// Row-tag objects of the popup lose their owner (the popup is being destroyed).
void ForgetPopupRowTagOwner(RuntimeObject* popup);
// Row-tag objects alive (for tests).
int32_t LivePopupRowTagCount();

}  // namespace vorn
