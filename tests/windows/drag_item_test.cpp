// The drag item model: items and their rectangles, the values of the current item, typed data
// under four-character types, the drop rectangle, and drops from other programs turned into
// drag items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "graphics/picture_object.h"
#include "support/class_test.h"
#include "windows/drag_item.h"
#include "windows/gtk_drops.h"
#include "windows/sub_pane.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }
// The strings live as long as the test program, as literals of compiled code do.
StringRep* S(const char* text) {
  static std::vector<string> kept;
  kept.emplace_back(text);
  return kept.back().Rep();
}

class DragItemTest : public test::IntrinsicClassTest {
 protected:
  RuntimeObject* NewItem(int32_t left = 10, int32_t top = 20, int32_t width = 30, int32_t height = 40) {
    return Keep(NewDragItemForRect(left, top, width, height));
  }
  RuntimeObject* NewFolderItem(const char* path) {
    return Keep(NewFolderItemWithImp(nullptr, FolderItemImpForNativePath(string(path), false)));
  }
};

TEST_F(DragItemTest, EveryMemberBindsItsEntryPoint) {
  test::ExpectEntryPointsBound({
      {"DragItemInitializer", Fn(&DragItemInitializer)},
      {"DragItemFinalizer", Fn(&DragItemFinalizer)},
      {"DragItemTextAvailable", Fn(&DragItemTextAvailable)},
      {"DragItemPictureAvailable", Fn(&DragItemPictureAvailable)},
      {"DragItemDrag", Fn(&DragItemDrag)},
      {"DragItemFolderItemAvailable", Fn(&DragItemFolderItemAvailable)},
      {"DragItemMacDataAvailable", Fn(&DragItemMacDataAvailable)},
      {"DragItemGetMacData", Fn(&DragItemGetMacData)},
      {"DragItemSetMacData", Fn(&DragItemSetMacData)},
      {"DragItemSetPrivateMacData", Fn(&DragItemSetPrivateMacData)},
      {"DragItemNextItem", Fn(&DragItemNextItem)},
      {"DragItemAddItem", Fn(&DragItemAddItem)},
      {"dragItemTextGetter", Fn(&dragItemTextGetter)},
      {"dragItemTextSetter", Fn(&dragItemTextSetter)},
      {"dragItemPictureGetter", Fn(&dragItemPictureGetter)},
      {"dragItemPictureSetter", Fn(&dragItemPictureSetter)},
      {"dragItemFolderItemGetter", Fn(&dragItemFolderItemGetter)},
      {"dragItemFolderItemSetter", Fn(&dragItemFolderItemSetter)},
      {"dragItemDropLeft", Fn(&dragItemDropLeft)},
      {"dragItemDropTop", Fn(&dragItemDropTop)},
      {"dragItemDropWidth", Fn(&dragItemDropWidth)},
      {"dragItemDropHeight", Fn(&dragItemDropHeight)},
      {"dragItemGetHandle", Fn(&dragItemGetHandle)},
      {"controlNewDragItem", Fn(&controlNewDragItem)},
      {"formNewDragItem", Fn(&formNewDragItem)},
  });
}

TEST_F(DragItemTest, ANewItemHoldsOneItemAndAddedItemsTakeTheValues) {
  RuntimeObject* d = NewItem();
  EXPECT_EQ(DragItemNextItem(d), 0) << "one item: nothing follows";
  dragItemTextSetter(d, 0, S("first"));
  DragItemAddItem(d, 0, 0, 5, 5);
  DragItemAddItem(d, 0, 0, 5, 5);
  DragItemObject* fields = DragItemFields(d);
  EXPECT_EQ(fields->itemCount, 3);
  EXPECT_EQ(fields->currentItem, 2);
  EXPECT_EQ(DragItemTextAvailable(d), 0) << "the new item has no text yet";
  dragItemTextSetter(d, 0, S("third"));

  // A receiver walks from the first item.
  MarkDragItemDropped(d, 0, 0);
  std::vector<std::string> texts;
  do {
    texts.push_back(DragItemTextAvailable(d) ? Take(dragItemTextGetter(d, 0)) : "-");
  } while (DragItemNextItem(d));
  EXPECT_EQ(texts, (std::vector<std::string>{"first", "-", "third"}));

  // An item added while an earlier one is current still goes after the last.
  fields->currentItem = 0;
  DragItemAddItem(d, 0, 0, 5, 5);
  EXPECT_EQ(fields->currentItem, 3);
  EXPECT_EQ(fields->itemCount, 4);
  fields->currentItem = 1;
  EXPECT_EQ(DragItemTextAvailable(d), 0) << "item 1 did not gain the new item's values";
}

TEST_F(DragItemTest, TypedDataIsKeptUnderItsFourCharacterType) {
  RuntimeObject* d = NewItem();
  EXPECT_EQ(DragItemMacDataAvailable(d, S("abcd")), 0);
  EXPECT_EQ(DragItemGetMacData(d, S("abcd")), nullptr);
  DragItemSetMacData(d, S("abcd"), S("xyz"));
  EXPECT_EQ(Take(DragItemGetMacData(d, S("abcd"))), "xyz");
  EXPECT_EQ(Take(DragItemGetMacData(d, S("ABCD"))), "xyz") << "types ignore letter case";
  EXPECT_EQ(DragItemGetMacData(d, S("abc")), nullptr);
  EXPECT_EQ(DragItemMacDataAvailable(d, S("abc")), 0);
  EXPECT_EQ(DragItemMacDataAvailable(d, S("")), 1) << "an empty type asks for any typed data";

  DragItemSetPrivateMacData(d, S("abcd"), S("new"));
  EXPECT_EQ(Take(DragItemGetMacData(d, S("abcd"))), "new") << "the same record is replaced";
  DragItemSetMacData(d, S("ab"), S("short"));
  EXPECT_EQ(Take(DragItemGetMacData(d, S("ab"))), "short") << "a short type is read back";
  EXPECT_EQ(Take(DragItemGetMacData(d, S("ab  "))), "short");
  DragItemSetMacData(d, S("wxyz-long"), S("long"));
  EXPECT_EQ(Take(DragItemGetMacData(d, S("wxyz"))), "long");
  EXPECT_EQ(DragItemFields(d)->content->values.size(), 3u);

  // Binary data keeps its bytes and encoding.
  const char bytes[] = {'\0', '\xff', 'a'};
  string binary(bytes, 3, kEncodingUnknown);
  DragItemSetMacData(d, S("BIN "), binary.Rep());
  string back = string::Adopt(DragItemGetMacData(d, S("bin")));
  EXPECT_EQ(back.CompareBinary(binary), 0);
  EXPECT_EQ(back.Encoding(), kEncodingUnknown);
}

TEST_F(DragItemTest, TheDropRectangleIsTargetRelativeOnceDropped) {
  RuntimeObject* d = NewItem(10, 20, 30, 40);
  EXPECT_EQ(dragItemDropLeft(d, 0), 0) << "not delivered yet";
  EXPECT_EQ(dragItemDropWidth(d, 0), 0);
  DragItemAddItem(d, 100, 100, 0, -5);
  MarkDragItemDropped(d, 4, 5);
  EXPECT_EQ(dragItemDropLeft(d, 0), 6);
  EXPECT_EQ(dragItemDropTop(d, 0), 15);
  EXPECT_EQ(dragItemDropWidth(d, 0), 30);
  EXPECT_EQ(dragItemDropHeight(d, 0), 40);
  OffsetDragItemRects(d, 50, 60);
  EXPECT_EQ(dragItemDropLeft(d, 0), 56);
  EXPECT_EQ(dragItemDropTop(d, 0), 75);
  ASSERT_EQ(DragItemNextItem(d), 1);
  EXPECT_EQ(dragItemDropWidth(d, 0), 0) << "no width";
  EXPECT_EQ(dragItemDropHeight(d, 0), 0) << "negative height";
  EXPECT_EQ(dragItemGetHandle(d, 0), 0);
  EXPECT_EQ(objGetter(d, static_cast<int32_t>(offsetof(DragItemObject, destination))), nullptr);
}

TEST_F(DragItemTest, SizesFromCompiledCodeAreClampedNotWrapped) {
  RuntimeObject* d = NewItem(INT32_MAX - 1, 0, INT32_MAX, 10);
  MarkDragItemDropped(d, 0, 0);
  EXPECT_GE(dragItemDropLeft(d, 0), 0);
  EXPECT_EQ(dragItemDropWidth(d, 0), 0) << "both edges clamp to the same coordinate";
  EXPECT_EQ(dragItemDropHeight(d, 0), 10);
}

TEST_F(DragItemTest, PicturesAndFolderItemsAreHeldOnlyWhenUsable) {
  RuntimeObject* d = NewItem();
  dragItemPictureSetter(d, 0, nullptr);
  RuntimeObject* vector = New(GetPictureClassDefinition());
  dragItemPictureSetter(d, 0, vector);
  EXPECT_EQ(DragItemPictureAvailable(d), 0) << "a picture without an image is ignored";
  EXPECT_EQ(dragItemPictureGetter(d, 0), nullptr);

  dragItemFolderItemSetter(d, 0, nullptr);
  dragItemFolderItemSetter(d, 0, vector);
  EXPECT_EQ(DragItemFolderItemAvailable(d), 0);
  RuntimeObject* file = NewFolderItem("/tmp");
  ASSERT_NE(file, nullptr);
  const int32_t before = file->refCount;
  dragItemFolderItemSetter(d, 0, file);
  EXPECT_EQ(file->refCount, before + 1) << "the item holds the folder item";
  EXPECT_EQ(DragItemFolderItemAvailable(d), 1);
  RuntimeObject* got = Keep(dragItemFolderItemGetter(d, 0));
  EXPECT_EQ(got, file);
  dragItemFolderItemSetter(d, 0, file);
  EXPECT_EQ(file->refCount, before + 2) << "setting the same item again takes no second hold";
}

TEST_F(DragItemTest, TheCursorAndValuesAreReleasedWithTheItem) {
  RuntimeObject* file = NewFolderItem("/tmp");
  RuntimeObject* d = NewDragItemForRect(0, 0, 1, 1);
  dragItemFolderItemSetter(d, 0, file);
  RuntimeObject* cursor = New(GetDragItemClassDefinition());  // any object serves as a held value
  objSetter(d, static_cast<int32_t>(offsetof(DragItemObject, mouseCursor)), cursor);
  const int32_t fileRefs = file->refCount;
  const int32_t cursorRefs = cursor->refCount;
  RuntimeUnlockObject(d);
  EXPECT_EQ(file->refCount, fileRefs - 1);
  EXPECT_EQ(cursor->refCount, cursorRefs - 1);
}

TEST_F(DragItemTest, NilItemsAnswerNothing) {
  EXPECT_EQ(DragItemNextItem(nullptr), 0);
  EXPECT_EQ(dragItemTextGetter(nullptr, 0), nullptr);
  DragItemAddItem(nullptr, 0, 0, 1, 1);
  DragItemSetMacData(nullptr, S("abcd"), S("x"));
  EXPECT_EQ(dragItemDropLeft(nullptr, 0), 0);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(dragItemGetHandle(nullptr, 0), 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("obj"), std::string::npos);
}

// A pane that reads the item it is given the way a DropObject handler does.
class ReadingPane : public SubPane {
 public:
  ReadingPane() : SubPane(nullptr, 0, Rect()) {}
  void DropObject(DragItem*, int32_t, int32_t) override {
    RuntimeObject* d = DragItemObjectOf(GetCurrentDragItem());
    ++drops;
    do {
      if (DragItemTextAvailable(d)) texts.push_back(Take(dragItemTextGetter(d, 0)));
      if (RuntimeObject* file = dragItemFolderItemGetter(d, 0)) {
        paths.emplace_back(FolderItemImpOf(file)->GetAbsolutePath().View());
        RuntimeUnlockObject(file);
      }
    } while (DragItemNextItem(d));
  }
  int drops = 0;
  std::vector<std::string> texts;
  std::vector<std::string> paths;
};

TEST_F(DragItemTest, DroppedFilesBecomeOneItemEachAndTextOneItem) {
  ReadingPane pane;
  DeliverDrop(&pane, ParseURIListDrop("file:///tmp/a%20b\r\nfile:///etc/hosts\r\n"), 3, 4);
  EXPECT_EQ(pane.drops, 1);
  EXPECT_EQ(pane.paths, (std::vector<std::string>{"/tmp/a b", "/etc/hosts"})) << "the receiver sees every file";
  EXPECT_TRUE(pane.texts.empty());
  EXPECT_EQ(GetCurrentDragItem(), nullptr) << "the item is current only during the delivery";

  DropPayload text;
  text.text = string("hello", kEncodingUTF8);
  DeliverDrop(&pane, text, 0, 0);
  EXPECT_EQ(pane.texts, (std::vector<std::string>{"hello"}));
}

}  // namespace
}  // namespace vorn
