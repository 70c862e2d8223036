// RuntimeMedia, the pane of a MoviePlayer: an empty widget that takes part in layout, focus and
// clicks like other controls and leaves drawing to the movie layer, so on screen it shows
// nothing of its own. Drawn into another port it shows a blue box with a black frame.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"
#include "windows/sub_pane.h"

namespace vorn {

class RuntimeMedia : public SubPane {
 public:
  // `player` is the MoviePlayer object (not held: the object owns the pane); `shown` is its
  // Visible at creation.
  RuntimeMedia(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* player, bool shown);

  RuntimeObject* Player() const { return mPlayer; }
  // The player let go of its pane: the pane must not read it again.
  void ForgetPlayer() { mPlayer = nullptr; }
  bool Shown() const { return mShown; }
  // The area an Invalidate redraws: the bounds, one pixel wider on every side with a border.
  Rect InvalidArea() const;

  void Draw(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool CanFocus() override;
  void SetBounds(const Rect& r, bool redraw) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  int32_t ChangeState(int32_t code) override;
  bool AdjustCursor(int32_t x, int32_t y) override;
  void Invalidate(bool flag = true) override;
  void DrawInto(Graphics* port) override;

 private:
  RuntimeObject* mPlayer;
  bool mShown;
};

}  // namespace vorn
