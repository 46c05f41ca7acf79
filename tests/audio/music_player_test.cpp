#include "audio/music_player.h"

#include <gtest/gtest.h>

#include "platform/fake_music_backend.h"
#include "platform/message_queue.h"

namespace {

using audio::MusicPlayer;
using platform::FakeMusicBackend;
using platform::MediaResult;

constexpr uint32_t kEvent = 0x8003;
constexpr uint32_t kNext = 0x8004;

class MusicPlayerTest : public ::testing::Test {
 protected:
  MusicPlayerTest() {
    backend_.tracks["/m/a.mp3"] = 1'800'000'000;
    backend_.failures["/m/broken.mp3"] = MediaResult::Failed;
    player_.init(&queue_, kEvent, kNext);
  }

  // The messages waiting in the queue, taken out.
  std::vector<uint32_t> posted() {
    std::vector<uint32_t> ids;
    platform::Message message;
    while (queue_.peek(message, true)) ids.push_back(message.id);
    return ids;
  }

  FakeMusicBackend backend_;
  platform::MessageQueue queue_;
  MusicPlayer player_{backend_};
};

TEST_F(MusicPlayerTest, OpeningRunsTheTrackAndFailuresLeaveNoMedia) {
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia);
  EXPECT_EQ(backend_.queue, &queue_);
  EXPECT_EQ(backend_.message, kEvent);

  EXPECT_TRUE(player_.open_and_run("/m/a.mp3"));
  EXPECT_EQ(player_.state(), MusicPlayer::kRunning);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Running);
  EXPECT_EQ(player_.duration(), 1'800'000'000);

  EXPECT_FALSE(player_.open_and_run("/m/notes.txt"));
  EXPECT_EQ(player_.last_error(), MediaResult::Unsupported);
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia);
  EXPECT_FALSE(player_.has_media()) << "the previous track was released first";
  EXPECT_FALSE(player_.open_and_run("/m/broken.mp3"));
  EXPECT_EQ(player_.last_error(), MediaResult::Failed);
}

TEST_F(MusicPlayerTest, PauseToggleAndRewind) {
  player_.toggle_pause();
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia) << "nothing without media";
  player_.stop_and_rewind();
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia);

  ASSERT_TRUE(player_.open_and_run("/m/a.mp3"));
  player_.toggle_pause();
  EXPECT_EQ(player_.state(), MusicPlayer::kPaused);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Paused);
  player_.toggle_pause();
  EXPECT_EQ(player_.state(), MusicPlayer::kRunning);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Running);

  backend_.set_position(50'000'000);
  EXPECT_EQ(player_.position(), 50'000'000);
  player_.stop_and_rewind();
  EXPECT_EQ(player_.state(), MusicPlayer::kPaused);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Paused);
  EXPECT_EQ(player_.position(), 0);

  player_.seek(70'000'000);
  EXPECT_EQ(player_.position(), 70'000'000);
  player_.release_media();
  EXPECT_EQ(player_.position(), 0);
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia);
}

TEST_F(MusicPlayerTest, VolumeFollowsTheMusicCurveOnlyWithMedia) {
  EXPECT_FALSE(player_.set_volume(0.5));
  EXPECT_EQ(backend_.volume_changes, 0);
  ASSERT_TRUE(player_.open_and_run("/m/a.mp3"));
  struct Case {
    double x;
    int32_t level;
  };
  for (const Case& c : {Case{1.0, 0}, Case{0.64, 0}, Case{0.5, -1073}, Case{0.1, -4214}, Case{0.0, -10000}}) {
    EXPECT_TRUE(player_.set_volume(c.x));
    EXPECT_EQ(backend_.volume, c.level) << c.x;
  }
}

TEST_F(MusicPlayerTest, TheEndOfATrackIsAnnouncedOrLooped) {
  ASSERT_TRUE(player_.open_and_run("/m/a.mp3"));
  backend_.finish_track();
  EXPECT_EQ(posted(), std::vector<uint32_t>{kEvent});
  player_.handle_events();
  EXPECT_EQ(posted(), std::vector<uint32_t>{kNext});
  player_.handle_events();
  EXPECT_TRUE(posted().empty()) << "each end is handled once";

  // With loop set the track starts again and nothing is announced.
  player_.set_loop(true);
  ASSERT_TRUE(player_.open_and_run("/m/a.mp3"));
  backend_.finish_track();
  posted();
  player_.handle_events();
  EXPECT_TRUE(posted().empty());
  EXPECT_EQ(player_.position(), 0);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Running);
  EXPECT_EQ(player_.state(), MusicPlayer::kRunning);

  // A track that cannot seek is stopped and run again instead.
  backend_.fail_seek = true;
  backend_.finish_track();
  player_.handle_events();
  EXPECT_EQ(player_.position(), 0);
  EXPECT_EQ(backend_.state, FakeMusicBackend::State::Running);
  EXPECT_EQ(posted(), std::vector<uint32_t>{kEvent}) << "only the backend's own event";
}

TEST_F(MusicPlayerTest, WithoutAnEndMessageTheTrackRewindsAndStops) {
  MusicPlayer quiet(backend_);
  quiet.init(&queue_, kEvent, 0);
  ASSERT_TRUE(quiet.open_and_run("/m/a.mp3"));
  backend_.finish_track();
  posted();
  quiet.handle_events();
  EXPECT_TRUE(posted().empty());
  EXPECT_EQ(quiet.state(), MusicPlayer::kPaused);
  EXPECT_EQ(quiet.position(), 0);
}

TEST_F(MusicPlayerTest, MeasuringGoesToTheBackend) {
  int64_t length = 0;
  EXPECT_EQ(player_.measure("/m/a.mp3", length), MediaResult::Ok);
  EXPECT_EQ(length, 1'800'000'000);
  EXPECT_EQ(player_.measure("/m/broken.mp3", length), MediaResult::Failed);
  EXPECT_EQ(backend_.measured, (std::vector<std::string>{"/m/a.mp3", "/m/broken.mp3"}));
  EXPECT_EQ(player_.state(), MusicPlayer::kNoMedia);
}

}  // namespace
