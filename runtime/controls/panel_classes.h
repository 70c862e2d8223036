// The language's PagePanel and TabPanel classes and the router that turns the tab panel
// pane's happenings into TabPanel events.
#pragma once

#include "controls/panel_objects.h"
#include "controls/panel_panes.h"
#include "objects/object_definition.h"

namespace vorn {

ObjectDefinition* GetPagePanelClassDefinition();
ObjectDefinition* GetTabPanelClassDefinition();
void RegisterPanelClasses();

class RuntimeTabPanelRouter final : public TabPanelDelegate {
 public:
  explicit RuntimeTabPanelRouter(RuntimeObject* control) : mControl(control) {}
  void Change(SubPane* pane) override;
  void GotFocus(SubPane* pane) override;
  void LostFocus(SubPane* pane) override;
  bool MouseDown(SubPane* pane, int32_t x, int32_t y) override;

 private:
  RuntimeObject* mControl;  // not held: the control owns the router
};

}  // namespace vorn
