// The pane of StaticText: one caption on a GtkLabel with its alignment, wrapping, colour and
// text style. StaticText keeps the settings; StaticTextGeneric, the pane the runtime makes,
// also applies them to the label. Clicks no handler takes go on to the panes beneath.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "controls/data_aware.h"
#include "graphics/text_style.h"
#include "windows/sub_pane.h"

namespace vorn {

enum StaticTextAlign : int32_t { kStaticAlignLeft = 0, kStaticAlignCenter = 1, kStaticAlignRight = 2 };

struct StaticTextHooks {
  ControlMouseHooks mouse;
  const ObjectHook* acceleratorKey = nullptr;
};

class StaticText : public SubPane, public DataAwareClass {
 public:
  StaticText(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);
  ~StaticText() override;

  virtual void FireAcceleratorKey();
  void BindDataSource() override;
  void UnbindDataSource() override;
  virtual void SetAlignment(int32_t alignment);
  virtual void SetText(const string& caption);
  virtual void SetTextStyle(const vorn::TextStyle& style);
  virtual void SetMultiLine(bool multiLine);
  virtual void SetTextColor(uint32_t color);

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool GetFocusRingRect(Rect* r) override;
  bool PassesClickThrough() override { return true; }
  // The baseline of one line centred vertically, from the top of the pane.
  virtual int32_t GetBaseline();

  void SetOwner(RuntimeObject* owner, const StaticTextHooks* hooks);
  RuntimeObject* Owner() const { return mOwner; }
  const string& Caption() const { return mCaption; }
  int32_t Alignment() const { return mAlignment; }
  uint32_t TextColor() const { return mTextColor; }
  bool MultiLine() const { return mMultiLine; }
  const vorn::TextStyle& Style() const { return mStyle; }
  // Whether the last MouseDown handler asked for the drag and the release.
  bool MouseTracking() const { return mMouseTracking; }

 protected:
  RuntimeObject* mOwner = nullptr;
  const StaticTextHooks* mHooks = nullptr;
  string mCaption;
  int32_t mAlignment = 0;
  uint32_t mTextColor = 0;
  bool mMultiLine = false;
  vorn::TextStyle mStyle;
  bool mMouseTracking = false;
};

class StaticTextGeneric : public StaticText {
 public:
  StaticTextGeneric(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);

  void SetAlignment(int32_t alignment) override;
  void SetText(const string& caption) override;
  void SetTextStyle(const vorn::TextStyle& style) override;
  void SetMultiLine(bool multiLine) override;
  void SetTextColor(uint32_t color) override;
  // Paints the caption into a port (DrawInto, printing); on screen the label draws itself.
  void Draw(Graphics* port) override;

  // How often the label's text was replaced; lets tests see an unchanged caption skipped.
  int32_t LabelUpdates() const { return mLabelUpdates; }

 private:
  bool mColorApplied = false;
  int32_t mLabelUpdates = 0;
};

// The grey a disabled caption is drawn in: each 16-bit component c becomes (c + 0x18000) / 4.
uint16_t DisabledComponent(uint16_t component);

}  // namespace vorn
