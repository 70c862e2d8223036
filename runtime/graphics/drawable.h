// The images behind pictures. A Drawable is a reference-counted, purgeable record with a
// resolution, a depth and an optional mask that can report its size and copy itself into a
// drawing port; DrawablePane is the bitmap kind, an offscreen pixmap that ports draw into;
// DrawablePiece is a rectangle of another drawable.
#pragma once

#include <cstdint>

#include "graphics/rect.h"
#include "objects/purgable_object.h"

namespace vorn {

class DrawablePane;
class Graphics;

// What a drawable tells about itself: its rectangle, and for a bitmap the kind of native image
// and its handle.
struct DrawableDescription {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t kind = 0;
  void* handle = nullptr;
};

// The one native image kind a bitmap drawable hands out: its GdkPixmap.
constexpr int32_t kDrawablePixmapKind = 6;

class Drawable : public purgableObject {
 public:
  Drawable() = default;

  void Retain() { ++mCount; }
  // One reference less; at none the drawable says goodbye (WillDelete) and is deleted.
  virtual void Release();
  uint32_t Count() const { return mCount; }
  // A drawable made from another keeps it alive (one reference, taken here and given back
  // when this one goes) and passes purges on to it.
  Drawable* Source() const { return mSource; }
  void SetSource(Drawable* source);
  bool Purge() override { return mSource ? mSource->Purge() : false; }

  // Retains the drawable for the caller (who releases it) and fills in its rectangle.
  virtual void GetDescription(DrawableDescription* description);
  // As GetDescription when the drawable can give that kind of native image; else false and
  // nothing retained.
  virtual bool GetDescriptionOfKind(DrawableDescription* description, int32_t kind);

  virtual void WillDelete() {}
  // Called before something draws into the drawable: drops cached copies of its pixels.
  virtual void PrepareToDraw() {}
  virtual bool IsDrawablePane() const { return false; }
  virtual DrawablePane* AsDrawablePane() { return nullptr; }
  virtual void GetSize(int32_t* width, int32_t* height) const = 0;
  // The whole drawable into the destination (port coordinates, origin removed).
  virtual void DrawWhole(Graphics* port, const Rect& destination, bool maskFlag) = 0;
  // source and destination in port coordinates with the origin removed. With the mask flag
  // and no mask drawable, white pixels are left out.
  virtual void CopyTo(Graphics* port, const Rect& source, const Rect& destination, bool inWindow,
                      bool maskFlag);
  // A new port drawing into the drawable; nil for drawables one cannot draw into.
  virtual Graphics* NewGraphics() { return nullptr; }
  // The word the canvas keeps from its backdrop's native image.
  virtual int32_t NativeWord() const { return 0; }

  int32_t GetHRes() const { return mHRes; }
  int32_t GetVRes() const { return mVRes; }
  void SetHRes(int32_t resolution) { mHRes = resolution; }
  void SetVRes(int32_t resolution) { mVRes = resolution; }
  int32_t GetDepth() const { return mDepth; }
  DrawablePane* Mask() const { return mMask; }
  // The mask, made on first use: a white (fully transparent) pane of the drawable's size.
  DrawablePane* GetMask();

  // source (width x height from its top-left) scaled into destination.
  void DrawAt(Graphics* port, const Rect& destination, bool maskFlag);
  void DrawInto(Graphics* port, const Rect& source, const Rect& destination, bool maskFlag);

 protected:
  ~Drawable() override;

  int32_t mDepth = 0;

 private:
  // Wide enough that no count of live references a program can make wraps it.
  uint32_t mCount = 1;
  Drawable* mSource = nullptr;
  int32_t mHRes = 72;
  int32_t mVRes = 72;
  DrawablePane* mMask = nullptr;
};

// A rectangle of a parent drawable, which it keeps alive.
class DrawablePiece : public Drawable {
 public:
  DrawablePiece(Drawable* parent, int32_t left, int32_t top, int32_t width, int32_t height);

  void GetSize(int32_t* width, int32_t* height) const override;
  void DrawWhole(Graphics* port, const Rect& destination, bool maskFlag) override;
  void CopyTo(Graphics* port, const Rect& source, const Rect& destination, bool inWindow,
              bool maskFlag) override;

 protected:
  ~DrawablePiece() override;

 private:
  Drawable* mParent;
  int32_t mLeft, mTop, mWidth, mHeight;
};

}  // namespace vorn
