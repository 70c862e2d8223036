// Resource forks do not exist here: the class binds and every member answers nothing.
#include "files/resource_fork_class.h"

#include <string>

#include "startup/class_registration.h"
#include "base/reloc_entry.h"
#include "files/folder_item_class.h"
#include "files/support/folder_item_test.h"
#include "objects/runtime_object.h"
#include "vorn/folder_item_api.h"
#include "vorn/resource_fork_api.h"

namespace vorn::testing {
namespace {

using ResourceForkTest = FolderItemTest;

TEST_F(ResourceForkTest, FolderItemsHaveNoForkToOpenOrCreate) {
  RuntimeObject* item = FolderItemFromPath("/tmp");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(folderOpenResourceFork(item), nullptr);
  string type("rsrc");
  EXPECT_EQ(folderCreateResourceFork(item, type.Rep()), nullptr);
  RuntimeUnlockObject(item);
}

TEST_F(ResourceForkTest, FolderItemListsItsForkMembersForTheClassicFileSystemOnly) {
  int found = 0;
  for (const ObjectMethod& method : GetFolderItemClassDefinition()->mMethods) {
    std::string name(method.name.View());
    if (name != "OpenResourceFork" && name != "CreateResourceFork") {
      EXPECT_EQ(method.extra, 0) << name;
      continue;
    }
    ++found;
    EXPECT_EQ(method.extra, -9) << name;
    EXPECT_EQ(method.result, "o<ResourceFork>");
    EXPECT_EQ(LookupRelocEntry(string(method.entryName))->code, method.function) << name;
  }
  EXPECT_EQ(found, 2);
}

TEST_F(ResourceForkTest, AnAttributeSetReadsBackFalseAndEveryQueryIsEmpty) {
  RuntimeObject* fork = CreateInstanceFromDefinition(GetResourceForkClassDefinition());
  ASSERT_NE(fork, nullptr);
  string type("PICT"), name("chart");
  resourceForkSetLocked(fork, type.Rep(), 128, 1);
  resourceForkSetSysHeap(fork, type.Rep(), 128, 1);
  EXPECT_EQ(resourceForkGetLocked(fork, type.Rep(), 128), 0);
  EXPECT_EQ(resourceForkGetSysHeap(fork, type.Rep(), 128), 0);
  resourceForkAddResource(fork, name.Rep(), type.Rep(), 128, name.Rep());
  EXPECT_EQ(resourceForkResourceCount(fork, type.Rep()), 0);
  EXPECT_EQ(resourceForkGetResource(fork, type.Rep(), 128), nullptr);
  EXPECT_EQ(resourceForkGetNamedResource(fork, type.Rep(), name.Rep()), nullptr);
  EXPECT_EQ(resourceForkResourceName(fork, type.Rep(), 128), nullptr);
  EXPECT_EQ(resourceForkGetPicture(fork, 128), nullptr);
  EXPECT_EQ(resourceForkGetHandle(fork, type.Rep(), 128), 0);
  EXPECT_EQ(resourceForkTypeCount(fork), 0);
  // The destructor closes the fork, which has nothing to close.
  RuntimeUnlockObject(fork);
}

TEST_F(ResourceForkTest, TheClassListsEveryMemberWithItsEntryPoint) {
  ObjectDefinition* definition = GetResourceForkClassDefinition();
  EXPECT_EQ(std::string(definition->mName.View()), "ResourceFork");
  ASSERT_EQ(definition->mMethods.size(), 24u);
  int assignable = 0;
  for (const ObjectMethod& method : definition->mMethods) {
    RelocEntry* entry = LookupRelocEntry(string(method.entryName));
    ASSERT_NE(entry, nullptr) << method.entryName;
    EXPECT_EQ(entry->code, method.function) << method.entryName;
    if (method.setterFunction) {
      ++assignable;
      EXPECT_EQ(LookupRelocEntry(string(method.setterName))->code, method.setterFunction);
    }
  }
  EXPECT_EQ(assignable, 5);
  EXPECT_EQ(LookupRelocEntry(string("ResourceForkDestructor"))->code, definition->mFinalizer.function);
}

}  // namespace
}  // namespace vorn::testing
