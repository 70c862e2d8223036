// The runtime's own drag of a drag item between its windows: an outline of the item's
// rectangles follows the pointer, the pane under it that accepts drops is highlighted, and
// the release delivers the item to that pane.
#pragma once

#include "objects/runtime_class.h"

namespace vorn {

// Runs the drag in a nested loop; only from the handler of a button press, and returns when
// the button is let go.
void TrackDrag(RuntimeObject* dragItem);
// Follows the pointer while a drag runs; nothing otherwise.
void UpdateDragTracking();

}  // namespace vorn
