// Picture export without a display: the refusals before any dialog, and the utilities that
// this platform answers without doing anything.
#include "graphics/picture_export.h"

#include <gtest/gtest.h>

#include <string>

#include "graphics/drawable_page_provider.h"
#include "graphics/object2d.h"
#include "objects/exceptions.h"
#include "support/class_test.h"
#include "vorn/picture_api.h"

namespace vorn {
namespace {

class PictureExportTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    // The capture group lives until the program ends; make it before the objects are counted.
    if (!PictureCaptureGroup()) ResetPictureCapture();
    IntrinsicClassTest::SetUp();
  }
};

TEST_F(PictureExportTest, ExportingNoPictureRaisesNilObjectExceptionAndAsksNothing) {
  EXPECT_EQ(exportPicture(nullptr), 0);
  RuntimeObject* pending = TakePendingException();
  ASSERT_NE(pending, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(pending, GetNilObjectExceptionClassDefinition()));
  RuntimeUnlockObject(pending);
}

TEST_F(PictureExportTest, ResettingTheCaptureMakesANewEmptyGroupAndLetsTheOldOneGo) {
  RuntimeObject* before = PictureCaptureGroup();
  RuntimeLockObject(before);
  ResetPictureCapture();
  RuntimeObject* after = PictureCaptureGroup();
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(after, GetGroup2DClassDefinition()));
  EXPECT_EQ(before->refCount, 1) << "only this test still holds the old group";
  RuntimeUnlockObject(before);
}

TEST_F(PictureExportTest, ConvertingPictureFilesReportsNilArgumentsAndGivesNothing) {
  RuntimeObject* a = New(GetGroup2DClassDefinition());
  EXPECT_EQ(ConvertPictureFile(a, a), nullptr);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(ConvertPictureFile(nullptr, nullptr), nullptr);
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports()[0].find("Failure Condition: folderItem"), std::string::npos);
  EXPECT_NE(Reports()[1].find("Failure Condition: tempFile"), std::string::npos);
  Reports().clear();
}

TEST(PicturePageProviderTest, CountsItsPagesButRendersNone) {
  QT4DrawablePageProvider provider(3, string("scan.tiff"));
  DrawablePageProvider& pages = provider;
  EXPECT_EQ(pages.PageCount(), 3);
  EXPECT_EQ(pages.Page(0), nullptr);
  EXPECT_EQ(std::string(provider.Name().View()), "scan.tiff");
}

}  // namespace
}  // namespace vorn
