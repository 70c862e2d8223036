// Volume and Pan of the Sound class: what reaches the mixer and what the properties keep.
#include <gtest/gtest.h>

#include "graphics/sound_class.h"
#include "graphics/support/sound_support.h"
#include "vorn/folder_item_api.h"
#include "vorn/sound_api.h"

namespace vorn::test {
namespace {

int32_t Word(int32_t left, int32_t right) { return left + right * 256; }

using SoundMixerTest = SoundTest;

TEST_F(SoundMixerTest, EntryPointsBindTheClassFunctions) {
  ExpectEntryPointsBound({
      {"RuntimeSoundConstructor", reinterpret_cast<void*>(&RuntimeSoundConstructor)},
      {"RuntimeSoundDestructor", reinterpret_cast<void*>(&RuntimeSoundDestructor)},
      {"soundPlay", reinterpret_cast<void*>(&soundPlay)},
      {"soundStop", reinterpret_cast<void*>(&soundStop)},
      {"soundPlayLooping", reinterpret_cast<void*>(&soundPlayLooping)},
      {"soundIsPlaying", reinterpret_cast<void*>(&soundIsPlaying)},
      {"SoundClone", reinterpret_cast<void*>(&SoundClone)},
      {"SoundPanGetter", reinterpret_cast<void*>(&SoundPanGetter)},
      {"SoundPanSetter", reinterpret_cast<void*>(&SoundPanSetter)},
      {"SoundVolumeGetter", reinterpret_cast<void*>(&SoundVolumeGetter)},
      {"SoundVolumeSetter", reinterpret_cast<void*>(&SoundVolumeSetter)},
      {"RuntimeGetSoundFromResourceManager", reinterpret_cast<void*>(&RuntimeGetSoundFromResourceManager)},
      {"FolderItemOpenSound", reinterpret_cast<void*>(&FolderItemOpenSound)},
  });
}

TEST_F(SoundMixerTest, NewSoundTakesTheLouderMixerChannelAsItsVolume) {
  // Levels run 0 to 100; bits beyond the two channels are not volume.
  const struct {
    int32_t word;
    int32_t volume;
  } cases[] = {{Word(64, 78) + 0x10000, 78}, {Word(100, 0), 100}, {Word(0xFF, 0xFF), 100}};
  for (const auto& c : cases) {
    audio->mixerWord = c.word;
    RuntimeObject* sound = New(GetSoundClassDefinition());
    EXPECT_EQ(SoundVolumeGetter(sound, 0), c.volume) << c.word;
    EXPECT_EQ(SoundPanGetter(sound, 0), 0);
  }

  // Without the OSS device the machine's mixer is not the sound's: it starts at full volume
  // and Volume and Pan leave the mixer alone.
  CloseMixer();
  audio->devices = {"/dev/mixer"};
  ASSERT_EQ(OpenDsp(2, 22050), -1);
  RuntimeObject* sound = New(GetSoundClassDefinition());
  EXPECT_EQ(SoundVolumeGetter(sound, 0), 100);
  SoundVolumeSetter(sound, 0, 30);
  SoundPanSetter(sound, 0, 30);
  EXPECT_TRUE(audio->mixerWrites.empty());
}

TEST_F(SoundMixerTest, VolumeIsClampedAndSetsBothChannels) {
  RuntimeObject* sound = New(GetSoundClassDefinition());
  SoundVolumeSetter(sound, 0, 40);
  SoundVolumeSetter(sound, 0, 150);
  EXPECT_EQ(SoundVolumeGetter(sound, 0), 100);
  SoundVolumeSetter(sound, 0, -20);
  EXPECT_EQ(SoundVolumeGetter(sound, 0), 0);
  EXPECT_EQ(audio->mixerWrites, (std::vector<int32_t>{Word(40, 40), Word(100, 100), 0}));

  // A negative volume that reaches the implementation must not borrow from the other channel.
  Imp(sound)->SetVolume(-20);
  EXPECT_EQ(Imp(sound)->GetVolume(), 0);
  EXPECT_EQ(audio->mixerWrites.back(), 0);
}

TEST_F(SoundMixerTest, PanLowersTheFarChannelOfTheVolume) {
  RuntimeObject* sound = New(GetSoundClassDefinition());
  SoundVolumeSetter(sound, 0, 100);
  audio->mixerWrites.clear();

  SoundPanSetter(sound, 0, -50);
  SoundPanSetter(sound, 0, -150);
  EXPECT_EQ(SoundPanGetter(sound, 0), -100);
  SoundPanSetter(sound, 0, 150);
  EXPECT_EQ(SoundPanGetter(sound, 0), 100);
  SoundVolumeSetter(sound, 0, 40);
  SoundPanSetter(sound, 0, 30);
  SoundPanSetter(sound, 0, 0);
  EXPECT_EQ(audio->mixerWrites,
            (std::vector<int32_t>{Word(100, 50), Word(100, 0), Word(0, 100), Word(0, 40), Word(28, 40),
                                  Word(40, 40)}));
  // Every setter gives the mixer back.
  EXPECT_EQ(std::count(audio->closed.begin(), audio->closed.end(), FakeAudio::kMixer), 7);
}

TEST_F(SoundMixerTest, MembersOfASoundWithoutImplementationDoNothing) {
  RuntimeObject* sound = New(GetSoundClassDefinition());
  RuntimeSoundDestructor(sound);
  for (VornRuntimeObject* object : {sound, static_cast<VornRuntimeObject*>(nullptr)}) {
    soundPlay(object);
    soundPlayLooping(object);
    soundStop(object);
    SoundVolumeSetter(object, 0, 50);
    SoundPanSetter(object, 0, 50);
    EXPECT_EQ(soundIsPlaying(object), 0);
    EXPECT_EQ(SoundVolumeGetter(object, 0), 0);
    EXPECT_EQ(SoundPanGetter(object, 0), 0);
    EXPECT_EQ(SoundClone(object), nullptr);
  }
  EXPECT_TRUE(audio->mixerWrites.empty());
}

}  // namespace
}  // namespace vorn::test
