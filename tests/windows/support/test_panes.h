// Panes with real GTK widgets that record what reaches them, for the window tests.
#pragma once

#include <cstdint>
#include <vector>

#include "support/gui_support.h"
#include "windows/container_pane.h"
#include "windows/edit_control_queries.h"

namespace vorn::test {

// A push button pane; the default button answers FindDefaultButton with itself.
class TestButton : public ContainerPane {
 public:
  TestButton(SubPane* parent, const Rect& bounds, const char* caption, bool isDefault = false);
  SubPane* FindDefaultButton() override;
  void Press() override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool PassesClickThrough() override { return false; }

  bool isDefault;
  int presses = 0;
  int mouseDowns = 0;
};

// A one-line edit field pane.
class TestEntry : public SubPane, public EditControlQueries {
 public:
  TestEntry(SubPane* parent, const Rect& bounds);
  bool IsReadOnly() const override { return readOnly; }
  bool AcceptsTab() const override { return acceptsTab; }
  void GotFocus() override { ++gotFocus; }
  bool readOnly = false;
  bool acceptsTab = false;
  int gotFocus = 0;
};

// A pane filled with one colour (0xRRGGBB): a GTK event box of that background.
class SwatchPane : public SubPane {
 public:
  SwatchPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, uint32_t rgb);
};

// A pane without widget that takes clicks itself (a canvas, say).
class TestClickPane : public SubPane {
 public:
  TestClickPane(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {}
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  struct Click {
    int32_t x, y, modifiers;
  };
  std::vector<Click> clicks;
  std::vector<int32_t> wheel;
};

}  // namespace vorn::test
