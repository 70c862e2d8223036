// Drops from other programs ("text/uri-list", "text/plain", "STRING") and the state of the
// runtime's own drag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "strings/vstring.h"
#include "windows/native_types.h"

namespace vorn {

class SubPane;

// What arrived with a drop, before it becomes the language's drag item.
struct DropPayload {
  bool isFileList = false;
  std::vector<string> filePaths;  // UTF-8 POSIX paths, when isFileList
  string text;                    // UTF-8, otherwise
};

// The drag-item layer turns payloads into its drag items; without it drops are not delivered.
class DropItemMaker {
 public:
  virtual ~DropItemMaker() = default;
  // A new item marked as dropped, with one reference for the caller.
  virtual DragItem* MakeDroppedItem(const DropPayload& payload) = 0;
  virtual void ReleaseItem(DragItem* item) = 0;
};
void SetDropItemMaker(DropItemMaker* maker);

void InstallFileDropTarget(SubPane* pane);
void InstallTextDropTarget(SubPane* pane);

// Builds the payload of a "text/uri-list" drop: each line on its own, "#" lines skipped, local
// file URIs (file:/path, file:///path, file://localhost/path) decoded into paths, other
// schemes ignored. A list without any file gives a text payload of the whole text.
DropPayload ParseURIListDrop(std::string_view text);
// "%" and two hex digits become that byte; a "%" without them stays.
std::string PercentDecodeURI(std::string_view text);

// Delivers a payload to the pane as a drop at (x, y) in the pane's widget.
void DeliverDrop(SubPane* pane, const DropPayload& payload, int32_t x, int32_t y);

// The item of the drop or drag in progress, nil otherwise.
DragItem* GetCurrentDragItem();
void SetCurrentDragItem(DragItem* item);
// Set while the runtime's own drag loop runs; a button release ends it.
bool IsDragTracking();
void SetDragTracking(bool tracking);
void EndDragTracking();

}  // namespace vorn
