// The pane of GroupBox: a GtkFrame whose label shows the caption, holding the controls laid
// over it. Clicks no handler takes go on to the panes beneath.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "graphics/text_style.h"
#include "windows/container_pane.h"

namespace vorn {

class GroupBox : public ContainerPane {
 public:
  GroupBox(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, const string& caption,
           const vorn::TextStyle& style);

  // The frame label's text (UTF-8), the empty string when the frame has none.
  virtual string GetCaption();
  virtual void SetCaption(const string& caption);
  virtual void SetTextStyle(const vorn::TextStyle& style);

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void DrawInto(Graphics* port) override;
  bool PassesClickThrough() override { return true; }

  void SetOwner(RuntimeObject* owner, const ControlMouseHooks* hooks);
  RuntimeObject* Owner() const { return mOwner; }
  const string& StoredCaption() const { return mCaption; }
  const vorn::TextStyle& Style() const { return mStyle; }

 private:
  NativeWidget LabelWidget() const;

  string mCaption;
  vorn::TextStyle mStyle;
  RuntimeObject* mOwner = nullptr;
  const ControlMouseHooks* mHooks = nullptr;
};

}  // namespace vorn
