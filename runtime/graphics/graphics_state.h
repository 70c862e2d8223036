// Saving and restoring a port's drawing state and clip around nested drawing.
#pragma once

#include <cstdint>

#include "graphics/graphics.h"

namespace vorn {

// Keeps the port's clip for the life of the saver and gives it back when it ends.
class ClipSaver {
 public:
  explicit ClipSaver(Graphics* port);
  ~ClipSaver();
  ClipSaver(const ClipSaver&) = delete;
  ClipSaver& operator=(const ClipSaver&) = delete;

 private:
  Graphics* mPort;
  Rect* mClip = nullptr;
};

// Fore colour, opacity, font, size, style, pen size, mode value and origin of a port.
class GraphicsState {
 public:
  GraphicsState() = default;
  // Copies the fields from the port; nothing for a nil port.
  void Save(Graphics* port);
  // Puts the saved fields back once; nothing unless saved.
  void Restore();
  // Forgets the saved fields.
  void Clear() { mSaved = false; }
  bool IsSaved() const { return mSaved; }

 private:
  Graphics* mPort = nullptr;
  bool mSaved = false;
  RGB48 mForeColor;
  float mOpacity = 1.0f;
  string mFont;
  int32_t mTextSize = 0;
  uint8_t mStyle = 0;
  int32_t mPenWidth = 1;
  int32_t mPenHeight = 1;
  int32_t mModeValue = 0;
  int32_t mOriginH = 0;
  int32_t mOriginV = 0;
};

}  // namespace vorn
