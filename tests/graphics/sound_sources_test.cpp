// Where sounds come from: files opened as sounds and the application's 'WAVE' resources.
#include <gtest/gtest.h>

#include <memory>

#include "base/resource_manager.h"
#include "files/folder_item_imp_unix.h"
#include "files/temp_file_shutdown_task.h"
#include "files/temporary_items.h"
#include "files/unix_path_text.h"
#include "graphics/sound_class.h"
#include "graphics/support/sound_support.h"
#include "vorn/image_format.h"
#include "vorn/sound_api.h"

namespace vorn::test {
namespace {

using SoundSourcesTest = SoundTest;

RuntimeObject* OpenAsSound(const std::string& path) {
  std::unique_ptr<FolderItemImpUnix> item(NewFolderItemImpFromPath(PathString(path, kFileSystemEncoding)));
  return item->OpenAsSound();
}

TEST_F(SoundSourcesTest, OnlyWaveAndAiffFilesOpenAsSounds) {
  EXPECT_NE(Keep(OpenAsSound(WriteTestFile({'F', 'O', 'R', 'M', 0, 0}, "form.aiff"))), nullptr);
  EXPECT_EQ(OpenAsSound(WriteTestFile({'R', 'I', 'F'}, "short.wav")), nullptr);
  EXPECT_EQ(OpenAsSound(WriteTestFile({'B', 'M', 0, 0, 0, 0}, "picture.bmp")), nullptr);

  SKIP_WITHOUT_SNDFILE();
  const std::vector<int16_t> samples = {1, 2, 3, -3, -2, -1};
  RuntimeObject* sound = Keep(OpenAsSound(WriteTestFile(PcmWave(1, 8000, samples), "opened.wav")));
  ASSERT_NE(sound, nullptr);
  soundPlay(sound);
  PlayToEnd(sound);
  EXPECT_EQ(audio->samples, samples);
}

TEST_F(SoundSourcesTest, WaveResourcePlaysFromATemporaryCopy) {
  SKIP_WITHOUT_SNDFILE();
  constexpr uint16_t kId = 0x7A51;
  static const std::vector<int16_t> samples = {9, 8, 7, 6, 5, 4, 3, 2};
  static const std::vector<uint8_t> wave = PcmWave(2, 44100, samples);
  EXPECT_EQ(RuntimeGetSoundFromResourceManager(kId), nullptr);
  GetResourceManager().AddResource(image::kTypeSound, kId, wave.data(), static_cast<uint32_t>(wave.size()), 0);

  const int32_t temporaryItems = TemporaryItemsTask().mItems.Count();
  // Only the low 16 bits of the id count.
  RuntimeObject* sound = Keep(RuntimeGetSoundFromResourceManager(0x10000 + kId));
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(TemporaryItemsTask().mItems.Count(), temporaryItems + 1);
  soundPlay(sound);
  PlayToEnd(sound);
  EXPECT_EQ(audio->samples, samples);
  delete &TemporaryItemsTask();  // as the program's end would
}

}  // namespace
}  // namespace vorn::test
