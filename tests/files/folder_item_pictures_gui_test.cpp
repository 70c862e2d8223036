// Pictures in files through folder items (pictures need the display): BMP written and read
// back through the runtime's own coder, whatever the file is called; PNG through gdk-pixbuf
// by its extension in any case; the formats that are refused.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "files/folder_item_class.h"
#include "files/folder_item_imp_unix.h"
#include "files/support/child_run.h"
#include "files/support/temp_folder.h"
#include "graphics/drawable_pane.h"
#include "graphics/picture_object.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "support/gui_support.h"
#include "support/process_locale.h"
#include "vorn/array_abi.h"
#include "vorn/folder_item_api.h"
#include "vorn/picture_api.h"
#include "windows/mouse_cursor_class.h"

namespace vorn::testing {
namespace {

// Red, green, blue on the top row; white, black, grey below.
constexpr uint32_t kColors[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x808080}};

class FolderItemPicturesTest : public TempFolderTest {
 protected:
  // The converter's folders go into the shared /tmp, where the tests count them: one test at
  // a time, also across programs run side by side.
  void SetUp() override {
    mConversions = open("/tmp/vorn-test-pict.lock", O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(mConversions, 0);
    ASSERT_EQ(flock(mConversions, LOCK_EX), 0);
    ASSERT_TRUE(test::EnsureDisplay());
    TempFolderTest::SetUp();
  }
  void TearDown() override {
    TempFolderTest::TearDown();
    if (mConversions >= 0) close(mConversions);
  }
  int mConversions = -1;

  static RuntimeObject* SixColours() {
    RuntimeObject* picture = newPicture(3, 2, 32);
    DrawablePane* bitmap = PictureBitmap(picture);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 3; ++x) bitmap->SetPixel(x, y, kColors[y][x]);
    return picture;
  }

  static void ExpectSixColours(RuntimeObject* picture) {
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(pictureWidthGetter(picture, 0), 3);
    EXPECT_EQ(pictureHeightGetter(picture, 0), 2);
    DrawablePane* bitmap = PictureBitmap(picture);
    ASSERT_NE(bitmap, nullptr);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(BitmapPixel(bitmap, x, y), kColors[y][x]) << x << "," << y;
  }

  static std::string TakePendingMessage() {
    RuntimeObject* pending = TakePendingException();
    if (!pending) return "";
    std::string message(ExceptionMessage(pending).View());
    RuntimeUnlockObject(pending);
    return message;
  }

  static uint32_t LE32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
  }
};

TEST_F(FolderItemPicturesTest, ABmpIsWrittenWithPaddedBottomUpRowsAndReadBackByItsFirstBytes) {
  RuntimeObject* picture = SixColours();
  auto item = Item(PathOf("picture.dat"));
  ASSERT_TRUE(item->SaveAsPicture(picture, kSaveAsMostCompatible));
  const std::string file = ReadFile("picture.dat");
  ASSERT_EQ(file.size(), 78u) << "54 bytes of header and two rows of 12";
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(LE32(file, 2), 78u) << "the size field is the file's length";
  EXPECT_EQ(LE32(file, 10), 54u);
  EXPECT_EQ(LE32(file, 18), 3u);
  EXPECT_EQ(LE32(file, 22), 2u);
  EXPECT_EQ(LE32(file, 38), 2834u) << "72 dots per inch in pixels per metre";
  // The bottom row comes first, blue-green-red, then three bytes of padding.
  EXPECT_EQ(file.substr(54, 12), std::string("\xFF\xFF\xFF\0\0\0\x80\x80\x80\0\0\0", 12));
  EXPECT_EQ(file.substr(66, 3), std::string("\0\0\xFF", 3)) << "red of the top row";

  EXPECT_EQ(PictureFormatOfFile(item.get()), kPictureFormatBMP);
  RuntimeObject* back = item->OpenAsPicture(false);
  ExpectSixColours(back);
  RuntimeUnlockObject(back);

  // The same through the FolderItem class's members; format 350 writes a BMP too.
  RuntimeObject* object = NewFolderItemWithImp(nullptr, Item(PathOf("copy.bmp")).release());
  ASSERT_NE(object, nullptr);
  FolderItemSaveAsPicture(object, picture, kPictureFormatBMP);
  EXPECT_EQ(ReadFile("copy.bmp"), file);
  RuntimeObject* again = FolderItemOpenImage(object);
  ExpectSixColours(again);
  RuntimeUnlockObject(again);
  RuntimeUnlockObject(object);
  RuntimeUnlockObject(picture);
}

TEST_F(FolderItemPicturesTest, PngGoesByItsExtensionInAnyCase) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3, 2);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c) pixels[y * stride + 3 * x + c] = static_cast<guchar>(kColors[y][x] >> (16 - 8 * c));
  ASSERT_TRUE(gdk_pixbuf_save(pixbuf, PathOf("photo.PNG").c_str(), "png", nullptr, nullptr));
  ASSERT_TRUE(gdk_pixbuf_save(pixbuf, PathOf("photo.dat").c_str(), "png", nullptr, nullptr));
  g_object_unref(pixbuf);

  auto png = Item(PathOf("photo.PNG"));
  EXPECT_EQ(PictureFormatOfFile(png.get()), kPictureFormatPNG);
  RuntimeObject* picture = png->OpenAsPicture(false);
  ExpectSixColours(picture);
  RuntimeUnlockObject(picture);

  auto unnamed = Item(PathOf("photo.dat"));
  EXPECT_EQ(PictureFormatOfFile(unnamed.get()), kPictureFormatNone);
  EXPECT_EQ(unnamed->OpenAsPicture(false), nullptr) << "a PNG without its extension is not a picture";
  EXPECT_EQ(Item(PathOf("missing.bmp"))->OpenAsPicture(false), nullptr);
  WriteFile("broken.bmp", "BM not really");
  EXPECT_EQ(Item(PathOf("broken.bmp"))->OpenAsPicture(false), nullptr) << "a file the decoder refuses";
}

// Converter output left in the temporary folder.
int LeftoverConversions() {
  return std::stoi(test::Shell("ls -d /tmp/vorn-pict-* 2>/dev/null | wc -l"));
}

TEST_F(FolderItemPicturesTest, PictFilesAreReadThroughTheConverterWhichLeavesNothingBehind) {
  RuntimeObject* picture = SixColours();
  ASSERT_TRUE(Item(PathOf("six.bmp"))->SaveAsPicture(picture, kSaveAsMostCompatible));
  RuntimeUnlockObject(picture);
  // A name the shell would act on if it ever saw it.
  const std::string name = "it's $(touch gotcha) six.PCT";
  test::PictureTool("convert " + PathOf("six.bmp") + " PICT:" + PathOf("six.pct"));
  ASSERT_EQ(std::rename(PathOf("six.pct").c_str(), PathOf(name).c_str()), 0);
  ASSERT_TRUE(PathExists(name));
  const int before = LeftoverConversions();
  RuntimeObject* object = NewFolderItemWithImp(nullptr, Item(PathOf(name)).release());
  RuntimeObject* read = nullptr;
  {
    // A user in Turkey: the converter still reads "PICT:" as the format it names.
    const test::ScopedEnvironment turkish(test::LocaleEnvironment("tr_TR.UTF-8"));
    read = FolderItemOpenImage(object);
  }
  ExpectSixColours(read);
  if (read) RuntimeUnlockObject(read);
  EXPECT_FALSE(PathExists("gotcha"));
  EXPECT_EQ(LeftoverConversions(), before);

  WriteFile("junk.pict", "not a picture at all");
  RuntimeObject* junk = NewFolderItemWithImp(nullptr, Item(PathOf("junk.pict")).release());
  EXPECT_EQ(FolderItemOpenImage(junk), nullptr);
  EXPECT_EQ(FolderItemGetLastError(junk, 0), EINVAL);
  EXPECT_EQ(LeftoverConversions(), before) << "nothing is left after a failed conversion either";

  // Without the converter the program is told so.
  const std::string path = getenv("PATH");
  setenv("PATH", PathOf("").c_str(), 1);
  EXPECT_EQ(FolderItemOpenImage(object), nullptr);
  EXPECT_EQ(FolderItemGetLastError(object, 0), ENOENT);
  // One that fails is not believed, whatever it leaves.
  WriteFile("convert", "#!/bin/sh\n/bin/cp " + PathOf("six.bmp") + " \"${2#BMP3:}\"; exit 1\n");
  chmod(PathOf("convert").c_str(), 0755);
  EXPECT_EQ(FolderItemOpenImage(object), nullptr);
  EXPECT_EQ(FolderItemGetLastError(object, 0), EINVAL);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(LeftoverConversions(), before);
  RuntimeUnlockObject(junk);
  RuntimeUnlockObject(object);
}

TEST_F(FolderItemPicturesTest, AConverterPastItsTimeLimitIsKilledWithWhatItStarted) {
  RuntimeObject* picture = SixColours();
  ASSERT_TRUE(Item(PathOf("six.bmp"))->SaveAsPicture(picture, kSaveAsMostCompatible));
  RuntimeUnlockObject(picture);
  WriteFile("in.pict", "whatever the converter is shown");
  const std::string pids = PathOf("pids");
  const std::pair<const char*, std::string> cases[] = {
      {"one that never ends", "sleep 60 & echo $! >> " + pids + "; echo $$ >> " + pids + "; wait\n"},
      {"one that writes the picture and goes on",
       "echo $$ >> " + pids + "; /bin/cp " + PathOf("six.bmp") + " \"${2#BMP3:}\"; exec sleep 60\n"},
  };
  const std::string path = getenv("PATH");
  setenv("PATH", (Root() + ":" + path).c_str(), 1);
  SetPictureConverterTimeLimit(300);
  const int before = LeftoverConversions();
  for (const auto& [name, script] : cases) {
    SCOPED_TRACE(name);
    WriteFile("pids", "");
    WriteFile("convert", "#!/bin/sh\n" + script);
    chmod(PathOf("convert").c_str(), 0755);
    RuntimeObject* item = NewFolderItemWithImp(nullptr, Item(PathOf("in.pict")).release());
    EXPECT_EQ(FolderItemOpenImage(item), nullptr);
    EXPECT_EQ(FolderItemGetLastError(item, 0), ETIMEDOUT);
    RuntimeUnlockObject(item);
    EXPECT_EQ(LeftoverConversions(), before);
    std::istringstream started(ReadFile("pids"));
    int count = 0;
    for (std::string pid; started >> pid; ++count) EXPECT_FALSE(ProcessRuns(pid)) << pid;
    EXPECT_GT(count, 0);
  }
  SetPictureConverterTimeLimit(0);
  setenv("PATH", path.c_str(), 1);
}

TEST_F(FolderItemPicturesTest, VectorPicturesAndOtherFormatsAreRefused) {
  auto item = Item(PathOf("out.bmp"));
  EXPECT_EQ(item->OpenAsPicture(true), nullptr);
  EXPECT_EQ(TakePendingMessage(), "OpenAsPicture doesn't support format 1 in Linux");
  RuntimeObject* picture = SixColours();
  EXPECT_FALSE(item->SaveAsPicture(picture, 2));
  EXPECT_EQ(TakePendingMessage(), "SaveAsPicture doesn't support format 2 in Linux.");
  EXPECT_FALSE(PathExists("out.bmp")) << "nothing is written for a refused format";
  EXPECT_FALSE(item->SaveAsPicture(nullptr, 0));
  RuntimeObject* empty = newPicture(0, 4, 32);
  EXPECT_FALSE(item->SaveAsPicture(empty, kSaveAsMostCompatible)) << "no pixels, no picture file";
  EXPECT_FALSE(PathExists("out.bmp"));
  if (empty) RuntimeUnlockObject(empty);
  EXPECT_TRUE(item->SaveAsPicture(picture, kSaveAsDefaultRaster));
  EXPECT_EQ(ReadFile("out.bmp").size(), 78u);
  RuntimeUnlockObject(picture);
}

TEST_F(FolderItemPicturesTest, AJpegIsWrittenThroughGdkPixbufOrNothingIsWritten) {
  RuntimeObject* picture = SixColours();
  auto item = Item(PathOf("photo.jpg"));
  item->SaveAsJPEG(picture);
  std::string bytes = ReadFile("photo.jpg");
  ASSERT_GT(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
  RuntimeObject* back = item->OpenAsPicture(false);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(pictureWidthGetter(back, 0), 3);
  RuntimeUnlockObject(back);

  // A folder that refuses writing, a name far past the system's limit, a nil picture.
  MakeFolder("locked");
  ASSERT_EQ(chmod(PathOf("locked").c_str(), 0500), 0);
  auto locked = Item(PathOf("locked/photo.jpg"));
  locked->SaveAsJPEG(picture);
  if (geteuid() != 0) {
    EXPECT_EQ(locked->mLastError, EACCES);
    EXPECT_FALSE(PathExists("locked/photo.jpg"));
  }
  chmod(PathOf("locked").c_str(), 0700);
  auto deep = Item(PathOf(std::string(10000, 'x') + ".jpg"));
  deep->SaveAsJPEG(picture);
  EXPECT_EQ(deep->mLastError, ENAMETOOLONG);
  RuntimeObject* object = FolderItemFromPath(PathOf("nil.jpg").c_str());
  FolderItemSaveAsJPEG(object, nullptr);
  EXPECT_EQ(TakePendingMessage(), "") << "NilObjectException carries no message";
  EXPECT_FALSE(PathExists("nil.jpg"));
  RuntimeUnlockObject(object);
  RuntimeUnlockObject(picture);
}

TEST_F(FolderItemPicturesTest, APictureFileOpensAsOneIconAndAsACursor) {
  RuntimeObject* picture = SixColours();
  auto png = Item(PathOf("icon.bmp"));
  ASSERT_TRUE(png->SaveAsPicture(picture, kSaveAsMostCompatible));
  std::vector<VornRuntimeObject*> icons;
  png->OpenAsIcons(icons);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(pictureWidthGetter(icons[0], 0), 3);
  RuntimeUnlockObject(icons[0]);
  void* cursor = png->OpenAsCursor();
  EXPECT_NE(cursor, nullptr);
  if (cursor) gdk_cursor_unref(static_cast<GdkCursor*>(cursor));

  // What compiled code gets: an array of one Picture, a MouseCursor.
  GetMouseCursorClassDefinition();
  RuntimeObject* item = FolderItemFromPath(PathOf("icon.bmp").c_str());
  VornArray* array = FolderItemOpenAsIcons(item);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(RuntimeUBound(array), 0);
  RuntimeUnlockArray(array);
  RuntimeObject* mouseCursor = FolderItemOpenAsCursor(item);
  EXPECT_NE(MouseCursorRecordOf(mouseCursor), nullptr);
  RuntimeUnlockObject(mouseCursor);
  RuntimeUnlockObject(item);

  WriteFile("notes.txt", "words");
  auto text = Item(PathOf("notes.txt"));
  icons.clear();
  text->OpenAsIcons(icons);
  EXPECT_TRUE(icons.empty());
  EXPECT_EQ(text->OpenAsCursor(), nullptr);
  RuntimeUnlockObject(picture);
}

}  // namespace
}  // namespace vorn::testing
