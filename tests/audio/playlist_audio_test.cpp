// The playlist on SDL_mixer with SDL's "dummy" driver: tracks play in real
// time, and their ends come back through the message queue.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "audio/playlist.h"
#include "base/feature_locks.h"
#include "base/user_settings.h"
#include "platform/dialogs.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/music_backend.h"
#include "platform/tone_wave.h"

namespace {

using audio::MusicPlayer;
using Settings = base::UserSettings;

constexpr uint32_t kEvent = 0x8003;
constexpr uint32_t kNext = 0x8004;
// Far longer than any 0.3 s track takes, even on a loaded machine.
constexpr auto kPatience = std::chrono::seconds(10);

class PlaylistAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base::feature_locks().word = 0;
    ASSERT_FALSE(folder_.path().empty());
    const std::string first = folder_.path() + "first.wav";
    const std::string second = folder_.path() + "second.wav";
    ASSERT_TRUE(platform_test::write_bytes(first, platform_test::tone_wave(0.3, 22050, 2, 440.0)));
    ASSERT_TRUE(platform_test::write_bytes(second, platform_test::tone_wave(0.3, 22050, 2, 660.0)));
    const std::string list = first + "\n" + second + "\n";
    ASSERT_TRUE(platform_test::write_bytes(folder_.path() + "Musics.txt",
                                           std::vector<uint8_t>(list.begin(), list.end())));
    settings_.set_u32(Settings::kMusicVolume, 100);
    settings_.set_i32(Settings::kMusicTrack, -1);  // the first play_next starts the first entry
  }

  void start(uint32_t flags) {
    settings_.set_u32(Settings::kMusicFlags, flags);
    playlist_.init(queue_, kEvent, kNext, folder_.path() + "Musics.txt", settings_);
    ASSERT_EQ(playlist_.size(), 2u);
  }

  // Handles messages as the host does until `done` holds or `limit` passes;
  // whether it came to hold.
  bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      platform::Message message;
      if (!queue_.wait(message, static_cast<int>(left.count()))) return done();
      if (message.id == kEvent) ++events_;
      if (message.id == kNext) ++nexts_;
      if (message.id == kEvent) playlist_.player().handle_events();
      if (message.id == kNext) playlist_.play_next();
    }
    return true;
  }

  platform_test::ScopedVariable driver_{"SDL_AUDIODRIVER", "dummy"};
  platform_test::TempFolder folder_;
  platform::MessageQueue queue_;
  platform::FakeDialogs dialogs_;
  Settings settings_;
  std::unique_ptr<platform::MusicBackend> backend_ = platform::create_sdl_music_backend();
  audio::Playlist playlist_{*backend_, dialogs_};
  int events_ = 0;
  int nexts_ = 0;
};

TEST_F(PlaylistAudioTest, WhenATrackEndsTheNextOneStarts) {
  start(0);
  queue_.post(platform::Message{kNext, 0, 0, 0});  // as on_started does
  ASSERT_TRUE(pump_until([&] { return playlist_.current_index() == 0; }, kPatience));
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);
  ASSERT_TRUE(pump_until([&] { return playlist_.current_index() == 1; }, kPatience));
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);
  ASSERT_TRUE(pump_until([&] { return playlist_.current_index() == 0; }, kPatience)) << "and round again";
}

TEST_F(PlaylistAudioTest, WithRepeatTheTrackStartsAgain) {
  start(Settings::kRepeat);
  playlist_.play_next();
  ASSERT_EQ(playlist_.current_index(), 0);
  ASSERT_TRUE(pump_until([&] { return events_ >= 3; }, kPatience));
  EXPECT_EQ(nexts_, 0) << "looping announces no next track";
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);
}

TEST_F(PlaylistAudioTest, PauseAndResumeFollowActivation) {
  start(0);
  playlist_.play_next();
  ASSERT_EQ(playlist_.current_index(), 0);
  playlist_.on_activate_app(false);
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kPaused);
  const int64_t paused_at = playlist_.player().position();
  EXPECT_FALSE(pump_until([&] { return events_ > 0; }, std::chrono::milliseconds(800)))
      << "a paused track does not end";
  EXPECT_EQ(playlist_.player().position(), paused_at);

  playlist_.on_activate_app(true);
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);
  ASSERT_TRUE(pump_until([&] { return playlist_.current_index() == 1; }, kPatience));
}

}  // namespace
