#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/isolated_environment.h"
#include "platform/sound_backend.h"

namespace {

using platform::PcmFormat;
using platform_test::ScopedVariable;

PcmFormat format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  return PcmFormat{tag, channels, rate, bits, static_cast<uint16_t>(channels * (bits / 8))};
}

class SdlSoundBackendTest : public ::testing::Test {
 protected:
  ScopedVariable driver_{"SDL_AUDIODRIVER", "dummy"};
  std::unique_ptr<platform::SoundBackend> backend_ = platform::create_sdl_sound_backend();
};

TEST_F(SdlSoundBackendTest, MakesBuffersForTheSampleFormatsItCanConvert) {
  ASSERT_TRUE(backend_->available());
  struct Case {
    PcmFormat format;
    bool playable;
  };
  const Case cases[] = {
      {format(PcmFormat::kPcm, 2, 22050, 16), true},
      {format(PcmFormat::kPcm, 1, 11025, 8), true},
      {format(PcmFormat::kPcm, 2, 48000, 32), true},
      {format(PcmFormat::kFloat, 1, 44100, 32), true},
      {format(PcmFormat::kPcm, 2, 44100, 24), false},
      {PcmFormat{2, 2, 22050, 4, 2048}, false},              // ADPCM: compressed
      {PcmFormat{PcmFormat::kPcm, 2, 22050, 16, 3}, false},  // inconsistent block align
      {format(PcmFormat::kPcm, 0, 22050, 16), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "tag " << c.format.tag << ", " << c.format.channels << " ch, "
                                    << c.format.bits << " bits");
    EXPECT_EQ(backend_->create_buffer(c.format, 4096) != nullptr, c.playable);
  }
  EXPECT_EQ(backend_->create_buffer(format(PcmFormat::kPcm, 2, 22050, 16), 0), nullptr) << "empty";
}

TEST_F(SdlSoundBackendTest, PlaysLoopingUntilStoppedAndOnceToItsEnd) {
  const PcmFormat mono = format(PcmFormat::kPcm, 1, 22050, 16);
  std::vector<uint8_t> samples(2 * 2205, 0x10);  // 0.1 s
  std::unique_ptr<platform::SoundBuffer> buffer =
      backend_->create_buffer(mono, static_cast<uint32_t>(samples.size()));
  ASSERT_NE(buffer, nullptr);
  EXPECT_FALSE(buffer->play(false)) << "nothing written yet";
  ASSERT_TRUE(buffer->write(samples));
  EXPECT_TRUE(buffer->set_volume(-1464));
  EXPECT_FALSE(buffer->lost());

  ASSERT_TRUE(buffer->play(true));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(buffer->playing()) << "three times its length later, still looping";
  buffer->stop();
  EXPECT_FALSE(buffer->playing());

  ASSERT_TRUE(buffer->play(false));
  for (int i = 0; i < 500 && buffer->playing(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(buffer->playing()) << "played once to its end";
}

}  // namespace
