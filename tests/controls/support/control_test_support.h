// Shared pieces of the control tests: a language class whose objects own test panes and carry
// compiled-style handlers, and the display helpers every GUI test uses.
#pragma once

#include <cstdint>
#include <string>

#include "controls/canvas_pane.h"
#include "controls/scroller_router.h"
#include "controls/static_text_pane.h"
#include "objects/runtime_object.h"
#include "support/gui_support.h"

namespace vorn::test {

// A pane beneath others that counts the clicks reaching it.
class ClickCounter : public SubPane {
 public:
  ClickCounter(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {}
  bool MouseDown(int32_t, int32_t, int32_t) override {
    ++clicks;
    return true;
  }
  int clicks = 0;
};

// The test class: every event the control panes fire, and the canvas fields after the header.
struct TestControlObject {
  RuntimeObject header;
  CanvasFields canvas;
  ScrollerFields scroller;
};

ObjectDefinition* GetTestControlClassDefinition();
const ScrollerEventHooks* TestScrollerHooks();
const StaticTextHooks* TestStaticTextHooks();
const CanvasHooks* TestCanvasHooks();
const ControlMouseHooks* TestMouseHooks();

enum TestEvent : int32_t {
  kEvValueChanged, kEvGotFocus, kEvLostFocus, kEvMouseDown, kEvMouseDrag, kEvMouseUp,
  kEvMouseWheel, kEvPaint, kEvKeyDown, kEvEnableMenuItems, kEvAcceleratorKey, kEvCount
};

RuntimeObject* NewTestControl();
// Installs a handler for one event on this object only.
void SetHandler(RuntimeObject* object, TestEvent event, void* function);

}  // namespace vorn::test

namespace vorn::test {

// A white offscreen pixmap to draw panes into, read back pixel by pixel (&hRRGGBB).
class PixmapPort {
 public:
  PixmapPort(int32_t width, int32_t height);
  ~PixmapPort();
  Graphics* Port() const { return mPort; }
  uint32_t PixelAt(int32_t x, int32_t y);
  // Pixels of the rectangle that are not white.
  int32_t InkIn(const Rect& r);
  bool SavePNG(const std::string& path);

 private:
  class Target;
  Target* mTarget;
  Graphics* mPort;
};

}  // namespace vorn::test

namespace vorn::test {

// A stand-in for the language's Graphics class: an object owning one port. Installs itself
// as the canvases' graphics services.
void InstallTestGraphicsServices();
Graphics* TestGraphicsPort(RuntimeObject* graphics);
int32_t LiveTestGraphicsObjects();

}  // namespace vorn::test
