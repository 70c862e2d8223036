// Fixture of the folder-item tests: a fresh folder under /tmp for each test, removed with
// everything in it afterwards, and the runtime's error reports collected.
#pragma once

#include <memory>
#include <string>

#include "files/folder_item_imp_unix.h"
#include "files/support/store_test.h"

namespace vorn::testing {

class TempFolderTest : public StoreTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The folder, ending with "/".
  const std::string& Root() const { return mRoot; }
  std::string PathOf(const std::string& relative) const { return mRoot + relative; }

  void WriteFile(const std::string& relative, const std::string& contents);
  // The file's bytes, or "<missing>".
  std::string ReadFile(const std::string& relative) const;
  void MakeFolder(const std::string& relative);
  bool PathExists(const std::string& relative) const;

  static std::unique_ptr<FolderItemImpUnix> Item(const std::string& path);
  static std::string Text(const string& s) { return std::string(s.View()); }

 private:
  std::string mRoot;
};

}  // namespace vorn::testing
