// The root of the native view hierarchy: bounds, text settings for drawing, one delegate, the
// current pane and the notice sent when a pane dies. No toolkit behaviour lives here.
#pragma once

#include <cstdint>

#include "strings/vstring.h"
#include "windows/native_types.h"
#include "windows/rect.h"

namespace vorn {

class Pane;

// Implemented by whoever owns a pane (the runtime window and control classes) to hear about it.
class PaneDelegate {
 public:
  virtual ~PaneDelegate() = default;
  virtual void PaneDied(Pane* pane);
  virtual void DropObject(Pane* pane, DragItem* item, int32_t x, int32_t y);
  virtual bool BecomeCurrent();
  virtual bool ResignCurrent();
  // Lets a control report a hit rectangle other than its bounds; `bounds` comes in as the
  // pane's bounds.
  virtual void AdjustBounds(Pane* pane, Rect* bounds);
  // A pane that is to contain the delegate's pane whatever the geometry says; nil by default.
  virtual Pane* GetContainingPane();
};

class PaneDeathNotificationReceiver {
 public:
  PaneDeathNotificationReceiver();
  virtual ~PaneDeathNotificationReceiver();
  virtual void PaneDied(Pane* pane) = 0;
};

// How drawing ports are made for panes; the drawing-port layer registers these. Without them
// a pane has no port and drawing through it does nothing.
struct PanePortHooks {
  Graphics* (*newGraphics)(Pane* pane) = nullptr;
  void (*disposeGraphics)(Graphics* port) = nullptr;
  void (*setTextFont)(Graphics* port, const string& font) = nullptr;
  void (*setTextSize)(Graphics* port, int32_t size) = nullptr;
  void (*setTextStyle)(Graphics* port, uint8_t style) = nullptr;
  void (*setClipRect)(Graphics* port, const Rect& clip) = nullptr;
  Rect (*getClipRect)(Graphics* port) = nullptr;
  void (*clearRect)(Graphics* port, const Rect& r) = nullptr;
  // Ends the port registered as the one currently drawing, if any, and clears the registration.
  void (*endCurrentPort)() = nullptr;
};
void SetPanePortHooks(const PanePortHooks& hooks);
const PanePortHooks& GetPanePortHooks();
// NewGraphics/DisposeGraphics through the hooks; nil when no port layer is registered.
Graphics* NewPaneGraphics(Pane* pane);
void DisposePaneGraphics(Graphics* port);

class Pane {
 public:
  explicit Pane(const Rect& bounds);
  Pane(const Pane&) = delete;
  Pane& operator=(const Pane&) = delete;

  virtual void SetTextSize(int32_t size);
  virtual ~Pane();
  virtual bool BecomeCurrent();
  virtual void DidBecomeCurrent();
  virtual bool ResignCurrent();
  virtual void Draw(Graphics* port);
  virtual void Redraw();
  virtual bool MouseDown(int32_t x, int32_t y, int32_t modifiers);
  virtual bool ContextualClick(int32_t x, int32_t y, int32_t modifiers);
  virtual void MouseDrag(int32_t x, int32_t y);
  virtual void MouseMove(int32_t x, int32_t y);
  virtual void MouseUp(int32_t x, int32_t y);
  virtual void MouseEnter();
  virtual void MouseExit();
  // The caller disposes of the port.
  virtual Graphics* GetGraphics();
  virtual void Erase();
  virtual void Validate();
  virtual void ValidateRect(const Rect& r);
  virtual NativeGC NewGC();
  virtual void DisposeGC();
  virtual NativeDrawable GetGdkDrawable();

  // A pane takes one delegate; a second one is reported and then stored all the same.
  void SetDelegate(PaneDelegate* delegate);
  PaneDelegate* GetDelegate() const { return mDelegate; }
  // For a delegate that is going away while the pane may still live on (locked by an event).
  void ClearDelegate() { mDelegate = nullptr; }

  const Rect& Bounds() const { return mBounds; }
  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }
  int32_t TextSize() const { return mTextSize; }
  const string& TextFont() const { return mTextFont; }
  uint8_t TextStyle() const { return mTextStyle; }
  void SetTextFont(const string& font) { mTextFont = font; }
  void SetTextStyle(uint8_t style) { mTextStyle = style; }
  bool MouseInside() const { return mMouseInside; }

  // The bounds as the delegate reports them for hit tests.
  Rect AdjustedBounds();

 protected:
  void StoreBounds(const Rect& r);

  int32_t mTextSize = 12;
  PaneDelegate* mDelegate = nullptr;
  Rect mBounds;
  Rect mOldBounds;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
  string mTextFont;
  uint8_t mTextStyle = 0;
  bool mMouseInside = false;

  friend class SubPane;
};

// The pane drawing is focused on.
Pane* GetCurrentPane();
void SetCurrentPane(Pane* pane);
void ClearCurrentPane();

// Sends the death notice to every registered receiver.
void SendPaneDeathNotice(Pane* pane);

}  // namespace vorn
