// Drops from other programs become drag items: a list of files gives one item per file, any
// other drop one item with its text.
#include "files/folder_item_class.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "windows/drag_item.h"
#include "windows/gtk_drops.h"

namespace vorn {

namespace {

class DragItemDropMaker : public DropItemMaker {
 public:
  DragItem* MakeDroppedItem(const DropPayload& payload) override {
    RuntimeObject* item = NewDragItemForRect(0, 0, 0, 0);
    if (!DragItemFields(item)) {
      RuntimeUnlockObject(item);
      return nullptr;
    }
    MarkDragItemDropped(item, 0, 0);
    if (!payload.isFileList) {
      dragItemTextSetter(item, 0, payload.text.Rep());
      return AsDragItem(item);
    }
    bool first = true;
    for (const string& path : payload.filePaths) {
      RuntimeObject* file = NewFolderItemWithImp(nullptr, FolderItemImpForNativePath(path, true));
      if (!file) continue;
      if (!first) DragItemAddItem(item, 0, 0, 0, 0);
      first = false;
      dragItemFolderItemSetter(item, 0, file);
      RuntimeUnlockObject(file);
    }
    // The receiver walks the items from the first.
    DragItemFields(item)->currentItem = 0;
    return AsDragItem(item);
  }

  void ReleaseItem(DragItem* item) override { RuntimeUnlockObject(DragItemObjectOf(item)); }
};

}  // namespace

void RegisterDragItemClass() {
  RegisterIntrinsicClass("DragItem", &GetDragItemClassDefinition);
  static DragItemDropMaker maker;
  SetDropItemMaker(&maker);
}

}  // namespace vorn
