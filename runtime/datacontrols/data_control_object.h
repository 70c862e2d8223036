// The language's DataControl object: a RectControl browsing one query's rows through its
// navigation pane, with the controls bound to it.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"

namespace vorn {

class DataControlDelegate;

// One control bound to a data control; the list runs from the newest binding to the first.
struct BoundControlEntry {
  BoundControlEntry* next;
  RuntimeObject* control;  // held
  int32_t kind;            // BoundControlKind
};

struct DataControlObject {
  VornControlObject base;
  DataControlDelegate* delegate;  // owned; made with the pane
  StringRep* caption;
  StringRep* tableName;
  StringRep* sqlQuery;
  RuntimeObject* database;  // held
  StringRep* textFont;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  int16_t textSize;
  BoundControlEntry* boundControls;
  int16_t textAlign;
  uint32_t textColor;  // 0x00RRGGBB
  uint8_t readOnly;
  uint8_t commit;
  RuntimeObject* encoding;  // a held TextEncoding
};

ObjectDefinition* GetDataControlClassDefinition();
ObjectDefinition* GetDataControlActionClassDefinition();
DataControlObject* AsDataControlObject(RuntimeObject* object);
// Lets data-aware controls find DataControls by name and bind to them.
void InstallDataControlHooks();

// The events the pane raises on its owner, in the order of the class's event list.
enum DataControlEvent : int32_t {
  kDataControlMoveNext,
  kDataControlMovePrevious,
  kDataControlMoveFirst,
  kDataControlMoveLast,
  kDataControlReposition,
  kDataControlValidate,
  kDataControlInsert,
  kDataControlUpdate,
  kDataControlDelete,
};

// Raises the event on the DataControl; false when it has no handler. `argument` goes to
// Reposition and Validate.
bool RaiseDataControlEvent(RuntimeObject* owner, DataControlEvent event, int32_t argument = 0);

// The receiver of the pane's notifications: raises the owner's events.
class DataControlDelegate {
 public:
  virtual ~DataControlDelegate() = default;
  virtual bool Insert(RuntimeObject* owner) { return RaiseDataControlEvent(owner, kDataControlInsert); }
  virtual void Delete(RuntimeObject* owner) { RaiseDataControlEvent(owner, kDataControlDelete); }
  virtual bool MoveFirst(RuntimeObject* owner) { return RaiseDataControlEvent(owner, kDataControlMoveFirst); }
  virtual bool MoveLast(RuntimeObject* owner) { return RaiseDataControlEvent(owner, kDataControlMoveLast); }
  virtual bool MoveNext(RuntimeObject* owner) { return RaiseDataControlEvent(owner, kDataControlMoveNext); }
  virtual bool MovePrevious(RuntimeObject* owner) { return RaiseDataControlEvent(owner, kDataControlMovePrevious); }
  virtual void Reposition(RuntimeObject* owner, int32_t row) {
    RaiseDataControlEvent(owner, kDataControlReposition, row + 1);
  }
  virtual void Update(RuntimeObject* owner) { RaiseDataControlEvent(owner, kDataControlUpdate); }
  virtual bool Validate(RuntimeObject* owner, int32_t action) {
    return RaiseDataControlEvent(owner, kDataControlValidate, action);
  }
};

}  // namespace vorn
