// The pane of Canvas and of container controls: a GtkFixed without a window of its own over
// which compiled code draws in the Paint event on every expose. It shows an optional backdrop
// picture, scrolls its pixels and its child panes, takes keys and focus when asked, and
// passes clicks no handler takes to the panes beneath.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "windows/container_pane.h"

namespace vorn {

// The Canvas fields a pane reads, in the order the Canvas object keeps them.
struct CanvasFields {
  RuntimeObject* backdrop;  // Picture, locked while held
  RuntimeObject* graphics;  // the cached Graphics object, locked
  int32_t backdropImage;    // refreshed from the backdrop's native image on every drawing
  uint8_t acceptFocus;
  uint8_t acceptTabs;
  uint8_t useFocusRing;
  uint8_t eraseBackground;
};

struct CanvasHooks {
  const ObjectHook* paint = nullptr;  // (g As Graphics)
  const ObjectHook* gotFocus = nullptr;
  const ObjectHook* lostFocus = nullptr;
  const ObjectHook* keyDown = nullptr;  // (Key As String) As Boolean
  ControlMouseHooks mouse;
  const ObjectHook* enableMenuItems = nullptr;
};

// What the canvas needs of the language's Graphics and Picture classes. The Graphics class
// is there from the start; without a backdrop drawer a canvas shows no backdrop.
struct CanvasGraphicsServices {
  // A new Graphics object (one reference for the caller) that owns the port.
  RuntimeObject* (*newGraphicsObject)(Graphics* port) = nullptr;
  // Takes the port back from the object without disposing of it.
  Graphics* (*detachGraphicsPort)(RuntimeObject* graphics) = nullptr;
  // The port the object draws through.
  Graphics* (*graphicsPort)(RuntimeObject* graphics) = nullptr;
  // Draws the picture's top-left part, at most width x height, at (h, v) of the port;
  // answers the word the canvas keeps from the picture's native image, 0 when it has none.
  int32_t (*drawBackdrop)(Graphics* port, RuntimeObject* picture, int32_t h, int32_t v,
                          int32_t width, int32_t height) = nullptr;
};
void SetCanvasGraphicsServices(const CanvasGraphicsServices& services);
const CanvasGraphicsServices& GetCanvasGraphicsServices();

// The template window of a container control, as its canvas pane needs it. Nil for a plain
// canvas.
class CanvasTemplate {
 public:
  virtual ~CanvasTemplate() = default;
  virtual bool HasBackColor() = 0;
  virtual uint32_t BackColor() = 0;
  // The canvas's bounds changed: the template's bottom and right follow the new size.
  virtual void FollowBounds(const Rect& bounds) = 0;
  virtual void Moved() = 0;
  virtual void Resized(bool live) = 0;
  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
};

class RuntimeCanvas : public ContainerPane {
 public:
  RuntimeCanvas(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool shown);

  void SetOwner(RuntimeObject* owner, const CanvasHooks* hooks, CanvasFields* fields);
  void SetTemplate(CanvasTemplate* templateWindow) { mTemplate = templateWindow; }
  RuntimeObject* Owner() const { return mOwner; }
  bool Shown() const { return mShown; }

  void Draw(Graphics* port) override;
  void DrawInto(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  bool TypeChar(int32_t character, int32_t keyCode, int32_t modifiers) override;
  void GotFocus() override;
  void LostFocus() override;
  bool CanFocus() override;
  bool GetFocusRingRect(Rect* r) override;
  int32_t ChangeState(int32_t code) override;
  void EnableMenuItems() override;
  bool BecomeCurrent() override;
  void Activate() override;
  void Deactivate() override;
  void SetBounds(const Rect& r, bool redraw) override;
  void MoveTo(const Rect& r, bool redraw) override;
  bool PassesClickThrough() override { return true; }

  // Scrolls the pixels of (x, y, width, height) of the canvas by (dx, dy) and, when asked,
  // moves the child panes with them. -10000 for width or height means the canvas's own.
  void Scroll(int32_t dx, int32_t dy, int32_t x, int32_t y, int32_t width, int32_t height,
              bool moveControls);

  // How many Paint events this pane fired (tests and the chart's frame counter).
  int32_t PaintCount() const { return mPaintCount; }

 private:
  void FirePaint(Graphics* port);
  void DrawBackdrop(Graphics* port, int32_t h, int32_t v);
  bool FireKey(const string& key);
  void FireSimple(const ObjectHook* hook);

  RuntimeObject* mOwner = nullptr;
  bool mShown;
  const CanvasHooks* mHooks = nullptr;
  CanvasFields* mFields = nullptr;
  CanvasTemplate* mTemplate = nullptr;
  int32_t mPaintCount = 0;
};

// The Graphics object a canvas hands out for drawing outside Paint: made on first use over a
// port of the pane and kept in the fields, clipped to the pane on every call, returned with
// one reference for the caller. Nil without a pane.
RuntimeObject* CanvasGraphicsObject(RuntimeCanvas* pane, CanvasFields* fields);

// Set while a right click goes to a canvas's MouseDown, so the event can tell.
bool IsContextualClickInProgress();

}  // namespace vorn
