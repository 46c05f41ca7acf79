#include "audio/water_ambience.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "audio/wave_file.h"

namespace {

class WaterAmbienceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { water_ = new audio::PcmSamples(audio::synthesize_water_ambience()); }
  static void TearDownTestSuite() {
    delete water_;
    water_ = nullptr;
  }
  static const audio::PcmSamples& water() { return *water_; }

 private:
  static audio::PcmSamples* water_;
};

audio::PcmSamples* WaterAmbienceTest::water_ = nullptr;

TEST_F(WaterAmbienceTest, TenSecondsOfStereo) {
  EXPECT_EQ(water().rate, 22050u);
  EXPECT_EQ(water().channels, 2);
  EXPECT_EQ(water().frames(), 220500u);
}

TEST_F(WaterAmbienceTest, QuietWithoutClipping) {
  double sum = 0.0;
  int peak = 0;
  for (int16_t s : water().samples) {
    sum += static_cast<double>(s) * s;
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  const double rms = std::sqrt(sum / static_cast<double>(water().samples.size())) / 32768.0;
  EXPECT_GT(rms, 0.02) << "audible";
  EXPECT_LT(rms, 0.08) << "quiet enough to listen to for an hour";
  EXPECT_LT(peak, 32767 * 7 / 10) << "well below full scale: nothing clips";
}

TEST_F(WaterAmbienceTest, TheLoopHasNoSeam) {
  const std::vector<int16_t>& s = water().samples;
  const std::size_t frames = water().frames();
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel);
    // The typical step between neighbouring samples of this channel.
    double mean_step = 0.0;
    for (std::size_t i = 1; i < frames; ++i)
      mean_step += std::abs(s[2 * i + channel] - s[2 * (i - 1) + channel]);
    mean_step /= static_cast<double>(frames - 1);
    const int seam = std::abs(s[channel] - s[2 * (frames - 1) + channel]);
    EXPECT_LT(seam, 4.0 * mean_step + 2.0) << "the last sample runs into the first like any other pair";
    // The level just before the end matches the level at the start.
    auto window_rms = [&](std::size_t first) {
      double sum = 0.0;
      for (std::size_t i = first; i < first + 2205; ++i)
        sum += static_cast<double>(s[2 * i + channel]) * s[2 * i + channel];
      return std::sqrt(sum / 2205.0);
    };
    EXPECT_NEAR(window_rms(frames - 2205) / window_rms(0), 1.0, 0.6);
  }
}

TEST_F(WaterAmbienceTest, TheSameSamplesEveryTimeAndAReadableFile) {
  EXPECT_EQ(audio::synthesize_water_ambience().samples, water().samples);
  audio::WaveFile wave;
  ASSERT_TRUE(wave.open_memory(audio::encode_wave_file(water().rate, water().channels, water().samples)));
  EXPECT_EQ(wave.data_size(), water().samples.size() * 2);
  EXPECT_EQ(wave.format().block_align, 4);
}

}  // namespace
