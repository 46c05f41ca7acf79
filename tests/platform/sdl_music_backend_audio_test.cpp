#include <gtest/gtest.h>

#include <memory>

#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/music_backend.h"
#include "platform/tone_wave.h"

namespace {

using platform::MediaResult;
using platform::Message;
using platform_test::ScopedVariable;
using platform_test::TempFolder;

constexpr uint32_t kEndMessage = 0x8003;
constexpr int64_t kUnitsPerSecond = 10'000'000;
// Long enough for any end of a 0.3 s track on a loaded machine.
constexpr int kEndWaitMs = 5000;

class SdlMusicBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    ASSERT_TRUE(platform_test::write_bytes(short_track(), platform_test::tone_wave(0.3)));
    ASSERT_TRUE(platform_test::write_bytes(long_track(), platform_test::tone_wave(2.0)));
    ASSERT_TRUE(platform_test::write_bytes(folder_.path() + "notes.txt",
                                           std::vector<uint8_t>{'n', 'o', ' ', 's', 'o', 'u', 'n', 'd'}));
    backend_ = platform::create_sdl_music_backend();
    backend_->set_notification(&queue_, kEndMessage);
    backend_->set_volume(-10000);
  }

  std::string short_track() const { return folder_.path() + "short.wav"; }
  std::string long_track() const { return folder_.path() + "long.wav"; }

  bool end_arrives(int timeout_ms) {
    Message message;
    if (!queue_.wait(message, timeout_ms)) return false;
    EXPECT_EQ(message.id, kEndMessage);
    return true;
  }

  ScopedVariable driver_{"SDL_AUDIODRIVER", "dummy"};
  TempFolder folder_;
  platform::MessageQueue queue_;
  std::unique_ptr<platform::MusicBackend> backend_;
};

TEST_F(SdlMusicBackendTest, OpensWhatItCanPlayAndReportsWhyNot) {
  EXPECT_EQ(backend_->open(folder_.path() + "missing.wav"), MediaResult::CannotOpen);
  EXPECT_FALSE(backend_->is_open());
  EXPECT_EQ(backend_->open(folder_.path() + "notes.txt"), MediaResult::Unsupported);
  EXPECT_FALSE(backend_->is_open());

  ASSERT_EQ(backend_->open(short_track()), MediaResult::Ok);
  EXPECT_TRUE(backend_->is_open());
  EXPECT_NEAR(static_cast<double>(backend_->duration()), 0.3 * kUnitsPerSecond, 0.01 * kUnitsPerSecond);
  int64_t position = -1;
  ASSERT_TRUE(backend_->position(position));
  EXPECT_EQ(position, 0) << "opened media waits at its start";
}

TEST_F(SdlMusicBackendTest, TheEndOfATrackIsPostedAndCountedOnce) {
  ASSERT_EQ(backend_->open(short_track()), MediaResult::Ok);
  ASSERT_TRUE(backend_->run());
  ASSERT_TRUE(end_arrives(kEndWaitMs));
  EXPECT_TRUE(backend_->take_end_of_track());
  EXPECT_FALSE(backend_->take_end_of_track());
  int64_t position = 0;
  ASSERT_TRUE(backend_->position(position));
  EXPECT_EQ(position, backend_->duration()) << "an ended track stays at its end";

  // Seeking an ended, running track plays it again: the way to loop it.
  ASSERT_TRUE(backend_->seek(0));
  ASSERT_TRUE(end_arrives(kEndWaitMs));
  EXPECT_TRUE(backend_->take_end_of_track());
}

TEST_F(SdlMusicBackendTest, AHaltWeAskedForIsNoEndOfTrack) {
  ASSERT_EQ(backend_->open(long_track()), MediaResult::Ok);
  ASSERT_TRUE(backend_->run());
  // Replacing the playing track and closing it both halt the music.
  ASSERT_EQ(backend_->open(long_track()), MediaResult::Ok);
  ASSERT_TRUE(backend_->run());
  backend_->close();
  EXPECT_FALSE(end_arrives(300));
  EXPECT_FALSE(backend_->take_end_of_track());
}

TEST_F(SdlMusicBackendTest, APausedTrackDoesNotEndAndGoesOnWhenRunAgain) {
  ASSERT_EQ(backend_->open(short_track()), MediaResult::Ok);
  ASSERT_TRUE(backend_->run());
  ASSERT_TRUE(backend_->pause());
  int64_t paused_at = 0;
  ASSERT_TRUE(backend_->position(paused_at));
  EXPECT_FALSE(end_arrives(600)) << "twice the track's length, paused";
  int64_t still_at = 0;
  ASSERT_TRUE(backend_->position(still_at));
  EXPECT_EQ(still_at, paused_at);
  ASSERT_TRUE(backend_->run());
  EXPECT_TRUE(end_arrives(kEndWaitMs));
}

TEST_F(SdlMusicBackendTest, MeasuringAnotherFileLeavesThePlayingTrackAlone) {
  ASSERT_EQ(backend_->open(short_track()), MediaResult::Ok);
  ASSERT_TRUE(backend_->run());
  int64_t length = 0;
  EXPECT_EQ(backend_->measure(long_track(), length), MediaResult::Ok);
  EXPECT_NEAR(static_cast<double>(length), 2.0 * kUnitsPerSecond, 0.01 * kUnitsPerSecond);
  EXPECT_EQ(backend_->measure(folder_.path() + "notes.txt", length), MediaResult::Unsupported);
  EXPECT_EQ(backend_->measure(folder_.path() + "missing.mp3", length), MediaResult::CannotOpen);

  EXPECT_TRUE(backend_->is_open());
  EXPECT_NEAR(static_cast<double>(backend_->duration()), 0.3 * kUnitsPerSecond, 0.01 * kUnitsPerSecond);
  EXPECT_TRUE(end_arrives(kEndWaitMs)) << "the playing track still ends";
  EXPECT_TRUE(backend_->take_end_of_track());
}

TEST(GainOfMillibels, FollowsTenToTheLevelOverTwoThousand) {
  EXPECT_DOUBLE_EQ(platform::gain_of_millibels(0), 1.0);
  EXPECT_NEAR(platform::gain_of_millibels(-2000), 0.1, 1e-12);
  EXPECT_NEAR(platform::gain_of_millibels(-1464), 0.18535, 1e-4);
  EXPECT_DOUBLE_EQ(platform::gain_of_millibels(-10000), 0.0);
  EXPECT_DOUBLE_EQ(platform::gain_of_millibels(-12000), 0.0);
  EXPECT_DOUBLE_EQ(platform::gain_of_millibels(500), 1.0);
}

}  // namespace
