// The ambient sound on SDL_mixer with SDL's "disk" driver, which writes what
// the device plays to a file: the levels are measured there.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "audio/ambient_sound.h"
#include "base/user_settings.h"
#include "platform/audio_output.h"
#include "platform/isolated_environment.h"
#include "platform/sound_backend.h"
#include "platform/tone_wave.h"

namespace {

using Settings = base::UserSettings;

class AmbientSoundAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    std::filesystem::create_directories(folder_.path() + "Sound");
    // One second of a steady tone loops without a seam, so its level is the
    // same wherever it is measured.
    ASSERT_TRUE(platform_test::write_bytes(folder_.path() + "Sound/Tone.wav",
                                           platform_test::tone_wave(1.0, 44100, 2, 441.0, 0.5)));
    settings_.set_u32(Settings::kSoundVolume, 100);
    settings_.set_text(Settings::kSoundName, 32, "Tone");
    backend_ = platform::create_sdl_sound_backend();
    ASSERT_TRUE(backend_->available());
    const std::optional<platform::AudioOutputFormat> format = platform::audio_output_format();
    ASSERT_TRUE(format.has_value());
    ASSERT_EQ(format->bits, 16);
    bytes_per_second_ = static_cast<std::uintmax_t>(format->rate) * format->channels * 2;
    sound_ = std::make_unique<audio::AmbientSound>(*backend_);
    ASSERT_TRUE(sound_->init(folder_.path() + "Sound/", settings_));
  }

  void TearDown() override {
    sound_.reset();
    backend_.reset();  // the last user closes the device
  }

  std::uintmax_t written() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(output_, error);
    return error ? 0 : size;
  }

  // Waits for the device to write `bytes` more; false when it stalls.
  bool wait_for(std::uintmax_t bytes) {
    const std::uintmax_t target = written() + bytes;
    for (int i = 0; i < 1000 && written() < target; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return written() >= target;
  }

  // The level of what the device plays from now on: what it had mixed
  // before is skipped, then a quarter of a second is measured.
  double level_now() {
    EXPECT_TRUE(wait_for(bytes_per_second_ / 4));
    const std::uintmax_t start = written() & ~std::uintmax_t{1};
    const std::uintmax_t length = (bytes_per_second_ / 4) & ~std::uintmax_t{1};
    EXPECT_TRUE(wait_for(length));
    std::ifstream in(output_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start));
    std::vector<char> bytes(length);
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    EXPECT_EQ(static_cast<std::uintmax_t>(in.gcount()), length);
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto sample =
          static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
      sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(bytes.size() / 2));
  }

  platform_test::TempFolder folder_;
  std::string output_ = folder_.path() + "played.raw";
  platform_test::ScopedVariable driver_{"SDL_AUDIODRIVER", "disk"};
  platform_test::ScopedVariable file_{"SDL_DISKAUDIOFILE", output_};
  Settings settings_;
  std::unique_ptr<platform::SoundBackend> backend_;
  std::unique_ptr<audio::AmbientSound> sound_;
  std::uintmax_t bytes_per_second_ = 0;
};

TEST_F(AmbientSoundAudioTest, VolumeFollowsTheSineCurveAndOffIsSilent) {
  sound_->load_and_start();
  ASSERT_NE(sound_->current(), nullptr);
  const double full = level_now();
  EXPECT_NEAR(full, 0.5 * 32767.0 / std::sqrt(2.0), 0.05 * full) << "the tone at full volume";

  sound_->set_volume(50);
  const double half = level_now();
  // -1464 millibels: a gain of 10^(-1464/2000) = 0.185 (the device steps
  // volumes in 1/128).
  EXPECT_NEAR(half / full, 0.185, 0.01);

  sound_->set_volume(0);
  EXPECT_EQ(level_now(), 0.0);

  sound_->set_volume(100);
  EXPECT_NEAR(level_now(), full, 0.05 * full);
  settings_.set_u32(Settings::kSoundFlags, Settings::kSoundOff);
  sound_->apply_sound_switch();
  EXPECT_EQ(level_now(), 0.0) << "sound off stops it";
  settings_.set_u32(Settings::kSoundFlags, 0);
  sound_->apply_sound_switch();
  EXPECT_NEAR(level_now(), full, 0.05 * full);
}

}  // namespace
