// The language objects of PagePanel and TabPanel, as their panes and entry points see them.
#pragma once

#include <cstdint>

#include "windows/control.h"

namespace vorn {

class TabPanelDelegate;

struct PagePanelObject {
  VornControlObject base;
  int32_t panelCount;
  int32_t value;  // 0-based page as last set
};

struct TabPanelObject {
  PagePanelObject page;
  StringRep* tabDefinition;
  TabPanelDelegate* router;  // owned
  StringRep* textFont;
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  uint8_t smallTabs;
  int32_t facing;
};

// The object as a PagePanel (a TabPanel is one too) or TabPanel; nil for anything else.
PagePanelObject* AsPagePanelObject(RuntimeObject* object);
TabPanelObject* AsTabPanelObject(RuntimeObject* object);

}  // namespace vorn
