#include "core/tray_item.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "core/support/core_object_test.h"
#include "objects/class_registry.h"
#include "graphics/picture_object.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;

int32_t sCause = -1;
void OnAction(RuntimeObject*, int32_t cause) { sCause = cause; }

TrayItemObject* Fields(RuntimeObject* item) { return reinterpret_cast<TrayItemObject*>(item); }
int32_t RefCount(RuntimeObject* object) { return object->refCount; }
std::string HelpTagOf(RuntimeObject* item) {
  StringRep* rep = stringGetter(item, static_cast<int32_t>(offsetof(TrayItemObject, helpTag)));
  std::string text(RepText(rep));
  ReleaseStringRep(rep);
  return text;
}

class TrayItemTest : public CoreObjectTest {
 protected:
  RuntimeObject* NewItem() { return CreateInstanceFromDefinition(GetTrayItemClassDefinition()); }
};

TEST_F(TrayItemTest, TheClassIsRegisteredWithItsMembersAndEntryPoints) {
  ASSERT_EQ(LookupIntrinsicClass(string("trayitem")), GetTrayItemClassDefinition());
  RuntimeClass* cls = RuntimeClassFromDefinition(GetTrayItemClassDefinition());
  ASSERT_EQ(cls->PropertyCount(), 2);
  EXPECT_EQ(RepText(cls->mAccessors[0].signature), "Icon%o<Picture>%");
  EXPECT_EQ(cls->mAccessors[0].param, static_cast<int32_t>(offsetof(TrayItemObject, icon)));
  EXPECT_EQ(RepText(cls->mAccessors[1].signature), "HelpTag%s%");
  ASSERT_EQ(cls->EventCount(), 1);
  EXPECT_EQ(RepText(cls->mEvents[0].name), "Action");
  test::ExpectEntryPointsBound({
      {"AddTrayItem", reinterpret_cast<void*>(&AddTrayItem)},
      {"RemoveTrayItem", reinterpret_cast<void*>(&RemoveTrayItem)},
      {"TrayItemInitializer", reinterpret_cast<void*>(&TrayItemInitializer)},
      {"TrayItemFinalizer", reinterpret_cast<void*>(&TrayItemFinalizer)},
      {"TrayItemSetPicture", reinterpret_cast<void*>(&TrayItemSetPicture)},
      {"TrayItemSetHelpTag", reinterpret_cast<void*>(&TrayItemSetHelpTag)},
  });
}

TEST_F(TrayItemTest, TheIconIsHeldUntilReplacedClearedOrTheItemGoes) {
  RuntimeObject* item = NewItem();
  EXPECT_EQ(Fields(item)->icon, nullptr);
  RuntimeObject* first = CreateInstanceFromDefinition(GetPictureClassDefinition());
  RuntimeObject* second = CreateInstanceFromDefinition(GetPictureClassDefinition());
  TrayItemSetPicture(item, 0, first);
  EXPECT_EQ(RefCount(first), 2);
  TrayItemSetPicture(item, 0, first);  // the same picture again keeps it alive
  EXPECT_EQ(RefCount(first), 2);
  TrayItemSetPicture(item, 0, second);
  EXPECT_EQ(RefCount(first), 1);
  EXPECT_EQ(RefCount(second), 2);
  TrayItemSetPicture(item, 0, nullptr);
  EXPECT_EQ(RefCount(second), 1);
  RuntimeObject* read = objGetter(item, static_cast<int32_t>(offsetof(TrayItemObject, icon)));
  EXPECT_EQ(read, nullptr);
  TrayItemSetPicture(item, 0, first);
  RuntimeUnlockObject(item);  // the finalizer lets go of the icon
  EXPECT_EQ(RefCount(first), 1);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
}

TEST_F(TrayItemTest, TheHelpTagStartsEmptyAndReadsBackWhatWasSet) {
  RuntimeObject* item = NewItem();
  EXPECT_EQ(HelpTagOf(item), "");
  TrayItemSetHelpTag(item, 0, string("Calculator").Rep());
  EXPECT_EQ(HelpTagOf(item), "Calculator");
  TrayItemSetHelpTag(item, 0, nullptr);
  EXPECT_EQ(HelpTagOf(item), "");
  TrayItemSetHelpTag(item, 0, string("kept until the item goes").Rep());
  RuntimeUnlockObject(item);
}

TEST_F(TrayItemTest, AddingReportsOnlyAnItemThatIsAlreadyInstalled) {
  RuntimeObject* item = NewItem();
  AddTrayItem(nullptr, item);
  AddTrayItem(nullptr, item);
  AddTrayItem(nullptr, nullptr);
  EXPECT_TRUE(Reports().empty()) << "nothing is installed, so the id stays 0";
  EXPECT_EQ(Fields(item)->mID, 0);
  Fields(item)->mID = 7;
  AddTrayItem(nullptr, item);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("item->mID == 0"), std::string::npos);
  EXPECT_NE(Reports()[0].find("../Common/TrayItem"), std::string::npos);
  EXPECT_NE(Reports()[0].find("wreak havoc with the system!  Make a new TrayItem please."), std::string::npos);
  Reports().clear();
  RuntimeUnlockObject(item);
}

TEST_F(TrayItemTest, TheTrayListHoldsItemsByIdAndRemovingAllOfAnEmptyListDoesNothing) {
  RemoveAllTrayItems();
  EXPECT_EQ(TrayListCount(), 0);
  RuntimeObject* a = NewItem();
  RuntimeObject* b = NewItem();
  Fields(a)->mID = 1;
  Fields(b)->mID = 2;
  AddToTrayList(a);
  AddToTrayList(b);
  EXPECT_EQ(RefCount(a), 2);
  EXPECT_EQ(FindTrayItem(2), b);
  EXPECT_EQ(FindTrayItem(3), nullptr);
  RemoveAllTrayItems();  // nothing is on the desktop to take down; the list is left as it was
  EXPECT_EQ(TrayListCount(), 2);
  RemoveFromTrayList(a);
  EXPECT_EQ(RefCount(a), 1);
  EXPECT_EQ(FindTrayItem(1), nullptr);
  EXPECT_EQ(FindTrayItem(2), b);
  RemoveFromTrayList(b);
  EXPECT_EQ(TrayListCount(), 0);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
}

TEST_F(TrayItemTest, ActionReachesTheHandlerWithItsCause) {
  RuntimeClass* cls = testing::MakeSubclass(
      "ClickedTrayItem", "TrayItem", sizeof(TrayItemObject),
      {{"#Action%%o<ClickedTrayItem>i4", reinterpret_cast<void*>(&OnAction), nullptr, 0}});
  RuntimeObject* item = RuntimeNewObject(cls);
  sCause = -1;
  FireTrayItemAction(item, 3);
  EXPECT_EQ(sCause, 3);
  RuntimeUnlockObject(item);
}

}  // namespace
}  // namespace vorn
