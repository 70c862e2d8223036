// What windows need of the control layer until that layer exists in full: the fields of a
// control object, the Control and RectControl classes with their events and the few
// properties windows read, the _PaneChild interface, and a native push button for dialogs.
// Everything here is the least the window code uses; the control layer proper replaces it.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/rect.h"
#include "strings/string_map.h"
#include "windows/container_pane.h"

namespace vorn {

class Window;

// Index of a control that is not a member of a control array.
constexpr int32_t kNoControlIndex = INT32_MIN;

struct ControlObject {
  RuntimeObject header;
  RuntimeObject* initialParent;  // not retained
  SubPane* pane;                 // nil until created and after close
  StringRep* name;
  int32_t index;
  int32_t tabPanelIndex;  // 1-based
  uint8_t visible;
  uint8_t enabled;
  uint8_t autoDeactivate;
  uint8_t lockLeft;
  uint8_t lockTop;
  uint8_t lockRight;
  uint8_t lockBottom;
  Rect bounds;
  RuntimeObject* window;  // the holding window, not retained; nil after close
  RuntimeObject* mouseCursor;
  StringRep* balloonHelp;
  StringRep* disabledBalloonHelp;
  StringRep* helpTag;
  StringMap<void*>* menuHandlers;
  RuntimeObject* peer;  // not retained
};

inline ControlObject* AsControlFields(RuntimeObject* object) {
  return reinterpret_cast<ControlObject*>(object);
}

enum ControlEvent : int32_t {
  kControlCreatePane,
  kControlOpen,
  kControlClose,
  kControlMouseMove,
  kControlMouseEnter,
  kControlMouseExit,
  kControlDropObject,
  kControlMouseWheel,
  kControlConstructContextualMenu,
  kControlContextualMenuAction,
  kControlEventCount
};

ObjectDefinition* GetControlClassDefinition();
ObjectDefinition* GetRectControlClassDefinition();
ObjectDefinition* GetPaneChildInterfaceDefinition();
const ObjectHook* ControlEventHook(ControlEvent event);
bool IsControlObject(RuntimeObject* object);
// Registers Control, RectControl and _PaneChild with the intrinsic class map.
void RegisterWindowControlClasses();

// --- push buttons ------------------------------------------------------------------------

class PushButtonDelegate {
 public:
  virtual ~PushButtonDelegate() = default;
  virtual void Action(SubPane* button) = 0;
};

// A native push button in a window; Return presses the default button, Escape the cancel one.
class PushButtonPane : public ContainerPane {
 public:
  PushButtonPane(PushButtonDelegate* delegate, const vorn::TextStyle& style, Window* parent, const Rect& bounds,
                 const string& caption);
  void SetDefault(bool value);
  void SetCancel(bool value);
  bool IsDefault() const { return mDefault; }
  bool IsCancel() const { return mCancel; }
  const string& Caption() const { return mCaption; }

  SubPane* FindDefaultButton() override;
  SubPane* FindCancelButton() override;
  void Press() override;
  bool CanFocus() override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool PassesClickThrough() override { return false; }

  // The GTK "clicked" signal.
  void HandleClicked();

 private:
  PushButtonDelegate* mButtonDelegate;
  string mCaption;
  bool mDefault = false;
  bool mCancel = false;
};

PushButtonPane* NewPushButton(PushButtonDelegate* delegate, const TextStyle& style, Window* parent, int32_t unused,
                              const Rect& bounds, const string& caption);

}  // namespace vorn
