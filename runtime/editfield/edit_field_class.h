// The language's EditField class: every setting is kept in the object, so properties can be
// set before the pane exists; EditCreatePane copies them into an EditControlGTK whose router
// fires the object's events.
#pragma once

#include <cstdint>

#include "editfield/edit_control.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

class RuntimeEditRouter;

struct EditFieldObject {
  VornControlObject base;
  StringRep* dataSource;
  StringRep* dataField;
  // The text style in the order the shared style accessors read it.
  StringRep* textFont;
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  RuntimeEditRouter* router;  // owned
  uint8_t border;
  uint8_t multiLine;
  uint8_t scrollBarHorizontal;
  uint8_t scrollBarVertical;
  uint8_t readOnly;
  // Text while there is no pane; the unformatted text while a Format is displayed.
  StringRep* text;
  int32_t limitText;
  uint32_t backColor;
  uint32_t textColor;
  uint8_t inTextChange;  // guards: set while the event runs or the runtime replaces the text
  uint8_t inSelChange;
  uint8_t password;
  uint8_t styled;
  uint8_t acceptTabs;
  uint8_t liveUpdate;
  uint8_t useFocusRing;
  // The pane shows formattedText, made from text: reading it back would take the rounded,
  // grouped number for the one typed. In the padding before the pointer, so that the
  // instance keeps the size compiled subclasses were laid out after.
  uint8_t formatShown;
  RuntimeObject* dataNotifier;  // held
  int32_t alignment;
  int32_t savedSelStart;
  int32_t savedSelEnd;
  StringRep* format;
  StringRep* formattedText;
  StringRep* mask;
  RuntimeObject* styledText;
};

ObjectDefinition* GetEditFieldClassDefinition();
// The object as an EditField; nil for anything else.
EditFieldObject* AsEditFieldObject(RuntimeObject* object);
// The field's pane, nil while it has none.
EditControl* EditFieldPane(EditFieldObject* field);
// Lets FolderItem.OpenStyledEditField and SaveStyledEditField reach fields' panes.
void InstallStyledFieldFileHooks();

// Replaces the field's StyledText with a new one over the pane's text (none for a nil pane);
// the one it held before is detached.
void AttachEditFieldStyledText(EditFieldObject* field, EditControl* pane);
// Detaches the StyledText of the field that owns a closing pane.
void DetachEditFieldStyledText(RuntimeObject* owner);

// Shows the Format in a field that does not have the focus: the formatted number becomes the
// displayed text while the object keeps the text as typed. A pane that already shows the
// format is formatted again from the text it keeps, never from what it shows.
void DisplayEditFormat(EditFieldObject* field);

}  // namespace vorn
