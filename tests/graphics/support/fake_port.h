// A drawing port that measures text with fixed widths and records what it is asked to draw,
// and a target that only has bounds; enough to check the port logic without a display.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/graphics.h"

namespace vorn::testing {

class FakeTarget : public GraphicsTarget {
 public:
  explicit FakeTarget(Rect bounds = MakeRect(0, 0, 200, 100), bool* deleted = nullptr)
      : mBounds(bounds), mDeleted(deleted) {}
  ~FakeTarget() override {
    if (mDeleted) *mDeleted = true;
  }
  _GdkDrawable* GetGdkDrawable() override { return nullptr; }
  _GdkGC* NewGC() override { return nullptr; }
  Rect GetPaneBounds() const override { return mBounds; }
  void Erase() override { ++mErased; }

  Rect mBounds;
  bool* mDeleted;
  int mErased = 0;
};

struct DrawnText {
  std::string text;
  int32_t h;
  int32_t v;
  uint8_t style;
};

// Every character is `mCharWidth` wide (`mCondensedWidth` while the condense bit is set),
// unless `mWidths` names it; UTF-8 continuation bytes add nothing.
class FakePort : public Graphics {
 public:
  explicit FakePort(GraphicsTarget* target) : Graphics(target) {}

  int32_t StringWidth(const string& text) override {
    ++mMeasured;
    int32_t width = 0;
    for (int32_t i = 0; i < text.Length(); ++i) {
      const uint8_t byte = text.Byte(i);
      if ((byte & 0xC0) == 0x80) continue;
      auto named = mWidths.find(static_cast<char>(byte));
      if (named != mWidths.end()) {
        width += named->second;
      } else {
        width += (mTextStyle & kStyleCondense) ? mCondensedWidth : mCharWidth;
      }
    }
    return width;
  }
  void DrawText(const string& text, int32_t h, int32_t v, int32_t) override {
    mDrawn.push_back({std::string(text.View()), h, v, mTextStyle});
  }
  int32_t FontAscent() override { return 8; }
  int32_t TextHeight() override { return 12; }
  void RestoreClip(const Rect* clip) override {
    mRestoredClips.push_back(clip ? *clip : Rect{-1, -1, -1, -1});
  }
  const Rect* GetClipRect() const override { return mClip ? &*mClipStore : nullptr; }
  bool HasClip() override { return mClip; }
  void SetClipRect(const Rect& rect) override {
    mClip = true;
    *mClipStore = rect;
  }

  int32_t mCharWidth = 10;
  int32_t mCondensedWidth = 10;
  std::map<char, int32_t> mWidths;
  std::vector<DrawnText> mDrawn;
  std::vector<Rect> mRestoredClips;
  int mMeasured = 0;
  bool mClip = false;
  std::unique_ptr<Rect> mClipStore = std::make_unique<Rect>();
};

}  // namespace vorn::testing
