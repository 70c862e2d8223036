// Which controls enclose which: the enclosing relation (a control encloses another when its
// pane contains the other's pane, or when it shows an embedded window whose controls they
// are), and what travels along it: enabling, visibility, tab panel numbers, moves and closing.
#pragma once

#include <cstdint>
#include <vector>

#include "windows/control.h"
#include "windows/control_window_hooks.h"

namespace vorn {

// Nesting of embedded windows and controls is followed at most this deep; deeper structures
// are malformed and the walk stops there.
constexpr int32_t kMaxControlNesting = 64;

struct ControlMapView {
  ControlMap* map = nullptr;
  // Every control of the map counts as enclosed (the map of an embedded window).
  bool allEnclosed = false;
};

// For an embedded-window control the map of its template window, else its holding window's.
ControlMapView GetControlMap(ControlObject* ctl);

// Whether `other` (a control with a pane, not ctl itself) is enclosed by ctl in that view.
bool ControlEncloses(ControlObject* ctl, const ControlMapView& view, ControlObject* other);

// The controls of the map enclosed by ctl that have panes, in map order.
std::vector<ControlObject*> EnclosedControls(ControlObject* ctl);

// Hands the state code (5 enable, 6 disable, 7 show, 8 hide) to every enclosed control's pane,
// each keeping its own Enabled or Visible wish.
void PropagateControlState(ControlObject* ctl, int32_t code);

// The one rule of enabling and showing, for a control whose pane (ctl's) has just landed where it
// is (made, or given a new Parent or page number): enabled when its own Enabled is True and the
// pane it lies in hears input, shown when its own Visible is True and every pane it lies in is
// visible. The panes below follow through ChangeState, each keeping its own wish.
void SettleControlState(ControlObject* ctl, SubPane* pane);

// The sum of the origins of the window levels that sit in a containing window.
void EmbeddedWindowOffset(RuntimeObject* window, int32_t* left, int32_t* top);

// The map key of a control: its name, or name$index for a member of a control array.
string ControlMapKey(const string& name, int32_t index);

}  // namespace vorn
