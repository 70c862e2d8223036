// Pictures stored in database columns as JPEG: through a DatabaseRecord into a row, and read
// and edited through a RecordSet's field.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/sql_database.h"
#include "vorn/picture_api.h"

namespace vorn {
namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

class DatabaseJpegTest : public dbtest::SqlDatabaseTest {
 protected:
  void SetUp() override {
    SqlDatabaseTest::SetUp();
    if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no display";
  }

  RuntimeObject* Filled(uint32_t colour) {
    RuntimeObject* picture = Keep(newPicture(8, 6, 32));
    RuntimeObject* surface = Keep(pictureRGBSurfaceGetter(picture, 0));
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 8; ++x) rgbSurfaceSetPixel(surface, x, y, colour);
    return picture;
  }

  // The picture's size and its middle pixel, each channel within JPEG's loss of the colour.
  void ExpectPicture(RuntimeObject* picture, uint32_t colour) {
    ASSERT_NE(picture, nullptr);
    Keep(picture);
    EXPECT_EQ(pictureWidthGetter(picture, 0), 8);
    EXPECT_EQ(pictureHeightGetter(picture, 0), 6);
    const uint32_t pixel = rgbSurfaceGetPixel(Keep(pictureRGBSurfaceGetter(picture, 0)), 4, 3);
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(static_cast<int>((pixel >> shift) & 0xFF), static_cast<int>((colour >> shift) & 0xFF), 40)
          << std::hex << pixel;
    }
  }
};

TEST_F(DatabaseJpegTest, PicturesGoInAsJpegAndComeBack) {
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  const string photo("photo");
  setDatabaseRecordJPEGColumn(record, photo.Rep(), nullptr);
  EXPECT_EQ(getDatabaseRecordFieldCount(record), 0) << "a nil picture sets nothing";
  setDatabaseRecordJPEGColumn(record, photo.Rep(), Filled(kRed));
  ASSERT_EQ(getDatabaseRecordFieldCount(record), 1);
  const std::string bytes(string::Adopt(getDatabaseRecordColumn(record, photo.Rep())).View());
  ASSERT_GT(bytes.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(bytes[1]), 0xD8) << "JPEG bytes";
  ExpectPicture(getDatabaseRecordJPEGColumn(record, photo.Rep()), kRed);

  Exec("create table p (id integer, name varchar(9), photo long varbinary)");
  setDatabaseRecordIntegerColumn(record, string("id").Rep(), 1);
  setDatabaseRecordColumn(record, string("name").Rep(), string("red").Rep());
  databaseInsertRecord(db, string("p").Rep(), record);
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();

  RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select photo, name from p").Rep()));
  ASSERT_NE(rs, nullptr) << ErrorMessage();
  RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1));
  ExpectPicture(cursorFieldJPEGGetter(field, 0), kRed);
  EXPECT_EQ(cursorFieldJPEGGetter(Keep(cursorGetFieldByIndex(rs, 2)), 0), nullptr) << "text is no picture";

  cursorEdit(rs);
  cursorFieldJPEGSetter(field, 0, Filled(kBlue));
  ExpectPicture(cursorFieldJPEGGetter(field, 0), kBlue);
  cursorUpdate(rs);
  CursorMoveFirst(rs);
  ExpectPicture(cursorFieldJPEGGetter(field, 0), kBlue);
}

}  // namespace
}  // namespace vorn
