#include "graphics/drawable.h"

#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"

namespace vorn {

Drawable::~Drawable() {
  if (mMask) mMask->Release();
  if (mSource) mSource->Release();
}

void Drawable::SetSource(Drawable* source) {
  if (source == mSource) return;
  if (source) source->Retain();
  if (mSource) mSource->Release();
  mSource = source;
}

void Drawable::Release() {
  if (mCount == 0) return;
  if (--mCount == 0) {
    WillDelete();
    delete this;
  }
}

void Drawable::GetDescription(DrawableDescription* description) {
  Retain();
  *description = DrawableDescription{};
  GetSize(&description->width, &description->height);
}

bool Drawable::GetDescriptionOfKind(DrawableDescription* description, int32_t) {
  GetDescription(description);
  return true;
}

void Drawable::CopyTo(Graphics*, const Rect&, const Rect&, bool, bool) {}

DrawablePane* Drawable::GetMask() {
  if (!mMask) {
    int32_t width = 0, height = 0;
    GetSize(&width, &height);
    mMask = new DrawablePane(MakeRect(0, 0, width, height), 32);
  }
  return mMask;
}

void Drawable::DrawAt(Graphics* port, const Rect& destination, bool maskFlag) {
  DrawInto(port, MakeRect(0, 0, RectWidth(destination), RectHeight(destination)), destination, maskFlag);
}

void Drawable::DrawInto(Graphics* port, const Rect& source, const Rect& destination, bool maskFlag) {
  if (!port) return;
  GraphicsTarget* target = port->Target();
  const bool inWindow = target && target->Placement() != TargetPlacement::kOffscreen;
  CopyTo(port, source, destination, inWindow, maskFlag);
}

DrawablePiece::DrawablePiece(Drawable* parent, int32_t left, int32_t top, int32_t width, int32_t height)
    : mParent(parent), mLeft(left), mTop(top), mWidth(width), mHeight(height) {
  if (mParent) {
    mParent->Retain();
    mDepth = mParent->GetDepth();
  }
}

DrawablePiece::~DrawablePiece() {
  if (mParent) mParent->Release();
}

void DrawablePiece::GetSize(int32_t* width, int32_t* height) const {
  *width = mWidth;
  *height = mHeight;
}

void DrawablePiece::DrawWhole(Graphics* port, const Rect& destination, bool maskFlag) {
  DrawInto(port, MakeRect(0, 0, mWidth, mHeight), destination, maskFlag);
}

// The source is the piece's own rectangle: it is moved into the parent and kept inside the
// piece, scaling the destination with any part cut off on the right or bottom.
void DrawablePiece::CopyTo(Graphics* port, const Rect& source, const Rect& destination, bool inWindow,
                           bool maskFlag) {
  if (!mParent) return;
  const int32_t sw = RectWidth(source);
  const int32_t sh = RectHeight(source);
  if (sw < 1 || sh < 1 || source.left < 0 || source.top < 0) return;
  const int32_t keptW = source.left + sw > mWidth ? mWidth - source.left : sw;
  const int32_t keptH = source.top + sh > mHeight ? mHeight - source.top : sh;
  if (keptW < 1 || keptH < 1) return;
  const int32_t dw = static_cast<int32_t>(int64_t{RectWidth(destination)} * keptW / sw);
  const int32_t dh = static_cast<int32_t>(int64_t{RectHeight(destination)} * keptH / sh);
  const Rect inParent =
      MakeRect(mLeft + source.left, mTop + source.top, mLeft + source.left + keptW, mTop + source.top + keptH);
  const Rect to = MakeRect(destination.left, destination.top, destination.left + dw, destination.top + dh);
  mParent->CopyTo(port, inParent, to, inWindow, maskFlag);
}

}  // namespace vorn
