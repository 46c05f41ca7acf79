#include "audio/ambient_sound.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/volume_curves.h"
#include "audio/wave_builder.h"
#include "base/user_settings.h"
#include "platform/fake_sound_backend.h"
#include "platform/isolated_environment.h"
#include "platform/tone_wave.h"

namespace {

using audio::AmbientSound;
using platform::FakeSoundBackend;
using platform::FakeSoundRecord;
using Settings = base::UserSettings;

class AmbientSoundTest : public ::testing::Test {
 protected:
  AmbientSoundTest() {
    std::filesystem::create_directories(sound_folder());
    EXPECT_TRUE(
        platform_test::write_bytes(sound_folder() + "Water.wav", platform_test::tone_wave(0.1, 22050)));
    // The defaults of the sound block.
    settings_.set_u32(Settings::kSoundVolume, 100);
    settings_.set_text(Settings::kSoundName, 32, "Water");
  }

  std::string sound_folder() const { return folder_.path() + "Sound/"; }
  void start() {
    ASSERT_TRUE(sound_.init(sound_folder(), settings_));
    sound_.load_and_start();
  }
  FakeSoundRecord& buffer() { return *backend_.buffers.at(0); }
  std::string name() const { return settings_.text(Settings::kSoundName, 32); }

  platform_test::TempFolder folder_;
  Settings settings_;
  FakeSoundBackend backend_;
  AmbientSound sound_{backend_};
};

TEST_F(AmbientSoundTest, TheDefaultsLoopTheWaterAtFullVolume) {
  start();
  ASSERT_NE(sound_.current(), nullptr);
  EXPECT_EQ(sound_.current()->path(), sound_folder() + "Water.wav");
  ASSERT_EQ(backend_.buffers.size(), 1u);
  EXPECT_EQ(buffer().format.channels, 2);
  EXPECT_EQ(buffer().format.rate, 22050u);
  EXPECT_EQ(buffer().format.bits, 16);
  EXPECT_EQ(buffer().size, 2205u * 4u);
  EXPECT_EQ(buffer().data.size(), 2205u * 4u) << "the whole data went into the buffer";
  EXPECT_TRUE(buffer().playing);
  EXPECT_TRUE(buffer().looping);
  EXPECT_EQ(buffer().volume, 0);
}

TEST_F(AmbientSoundTest, SoundOffLoadsWithoutPlayingAndTheSwitchStartsIt) {
  settings_.set_u32(Settings::kSoundFlags, Settings::kSoundOff);
  start();
  ASSERT_NE(sound_.current(), nullptr);
  EXPECT_FALSE(buffer().playing);
  settings_.set_u32(Settings::kSoundFlags, 0);
  sound_.apply_sound_switch();
  EXPECT_TRUE(buffer().playing);
  EXPECT_TRUE(buffer().looping);
  EXPECT_EQ(buffer().volume, 0);
  settings_.set_u32(Settings::kSoundFlags, Settings::kSoundOff);
  sound_.apply_sound_switch();
  EXPECT_FALSE(buffer().playing);
}

TEST_F(AmbientSoundTest, AFileThatCannotBeReadEmptiesTheStoredName) {
  struct Case {
    const char* name;
    audio_test::Bytes file;  // empty: no file at all
  };
  const Case cases[] = {
      {"missing", {}},
      {"format chunk of 14 bytes", audio_test::riff({audio_test::chunk("fmt ", audio_test::Bytes(14, 1)),
                                                     audio_test::chunk("data", {1, 2})})},
      {"no data", audio_test::riff({audio_test::pcm16_stereo_fmt(), audio_test::chunk("data", {})})},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.file.empty()) {
      ASSERT_TRUE(platform_test::write_bytes(sound_folder() + "Other.wav", c.file));
    }
    settings_.set_text(Settings::kSoundName, 32, "Other");
    start();
    EXPECT_EQ(sound_.current(), nullptr);
    EXPECT_EQ(name(), "");
    sound_.set_volume(20);
    EXPECT_EQ(settings_.u32(Settings::kSoundVolume), 100u) << "no sound: the volume is left alone";
  }
  EXPECT_TRUE(backend_.buffers.empty());
}

TEST_F(AmbientSoundTest, ACompressedWaveGoesToTheDeviceWithItsFormat) {
  audio_test::Bytes extra;
  audio_test::put16(extra, 32);
  extra.resize(34, 7);
  ASSERT_TRUE(platform_test::write_bytes(
      sound_folder() + "Adpcm.wav",
      audio_test::riff({audio_test::chunk("fmt ", audio_test::fmt_body(2, 2, 22050, 2048, 4, extra)),
                        audio_test::chunk("data", audio_test::Bytes(4096, 3))})));
  settings_.set_text(Settings::kSoundName, 32, "Adpcm");
  start();
  ASSERT_NE(sound_.current(), nullptr);
  EXPECT_EQ(buffer().format.tag, 2);
  EXPECT_EQ(buffer().format.block_align, 2048);

  // A device that refuses the format leaves no sound.
  backend_.refuse_buffers = true;
  sound_.release();
  start();
  EXPECT_EQ(sound_.current(), nullptr);
  EXPECT_EQ(name(), "");
}

TEST_F(AmbientSoundTest, VolumeFollowsTheAmbientCurveAndIsStored) {
  start();
  struct Case {
    int given;
    uint32_t stored;
    int32_t level;
  };
  for (const Case& c : {Case{50, 50, -1464}, Case{10, 10, -4217}, Case{0, 0, -10000}, Case{250, 100, 0},
                        Case{-4, 0, -10000}}) {
    sound_.set_volume(c.given);
    EXPECT_EQ(settings_.u32(Settings::kSoundVolume), c.stored) << c.given;
    EXPECT_EQ(buffer().volume, c.level) << c.given;
  }
  settings_.set_u32(Settings::kSoundVolume, 30);
  sound_.apply();
  EXPECT_EQ(buffer().volume, audio::ambient_volume_level(0.3));
}

TEST_F(AmbientSoundTest, ActivationStopsAndResumesUnlessTheSoundKeepsPlaying) {
  struct Case {
    const char* name;
    uint32_t flags;
    bool active;
    bool playing;
  };
  const Case cases[] = {
      {"deactivated: stopped", 0, false, false},
      {"activated: playing", 0, true, true},
      {"keeps playing in the background", Settings::kKeepPlaying, false, true},
      {"sound off stays off when activated", Settings::kSoundOff, true, false},
  };
  start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    settings_.set_u32(Settings::kSoundFlags, 0);
    sound_.set_enabled(true);
    settings_.set_u32(Settings::kSoundFlags, c.flags);
    sound_.on_activate_app(c.active);
    EXPECT_EQ(buffer().playing, c.playing);
  }
}

TEST_F(AmbientSoundTest, ALostBufferIsRestoredAndRefilledAWhileOnly) {
  start();
  FakeSoundRecord& record = buffer();
  const int writes = record.writes;
  record.lost = true;
  record.restore_failures = 2;
  sound_.set_enabled(true);
  EXPECT_EQ(record.restores, 3);
  EXPECT_EQ(record.writes, writes + 1);
  EXPECT_TRUE(record.playing);

  // A device that never gives the buffer back: the sound stays silent, and
  // the attempts end.
  record.lost = true;
  record.restores = 0;
  record.restore_failures = 1'000'000;
  record.playing = false;
  sound_.set_enabled(true);
  EXPECT_EQ(record.restores, audio::Sound::kRestoreAttempts);
  EXPECT_FALSE(record.playing);
}

TEST_F(AmbientSoundTest, LoadedSoundsAreReusedAndReleasedAtTheEnd) {
  start();
  ASSERT_TRUE(sound_.init(sound_folder(), settings_));
  audio::Sound* first = sound_.current();
  EXPECT_EQ(sound_.create_sound(sound_folder() + "Water.wav"), first);
  sound_.load_and_start();
  EXPECT_EQ(sound_.current(), first);
  EXPECT_EQ(backend_.buffers.size(), 1u);
  sound_.release();
  EXPECT_EQ(sound_.current(), nullptr);
  EXPECT_TRUE(buffer().released);
}

TEST_F(AmbientSoundTest, WithoutADeviceNothingIsLoadedOrForgotten) {
  backend_.device_present = false;
  EXPECT_FALSE(sound_.init(sound_folder(), settings_));
  sound_.load_and_start();
  sound_.apply_sound_switch();
  EXPECT_EQ(sound_.current(), nullptr);
  EXPECT_EQ(name(), "Water");
}

}  // namespace
