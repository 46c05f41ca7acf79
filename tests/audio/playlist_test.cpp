#include "audio/playlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "audio/playlist_fixture.h"
#include "base/crt_random.h"
#include "base/file_io.h"

namespace {

using audio::MusicPlayer;
using audio_test::kSecond;
using audio_test::PlaylistFixture;
using Settings = base::UserSettings;

class PlaylistTest : public PlaylistFixture {};

TEST_F(PlaylistTest, LoadingTakesTheStoredIndexWhenItIsInTheList) {
  struct Case {
    int32_t stored;
    int current;
  };
  for (const Case& c :
       {Case{0, 0}, Case{2, 2}, Case{3, -1}, Case{-1, -1}, Case{-7, -1}, Case{INT32_MAX, -1}}) {
    SCOPED_TRACE(c.stored);
    settings_.set_i32(Settings::kMusicTrack, c.stored);
    start_with({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    EXPECT_EQ(playlist_.size(), 3u);
    EXPECT_EQ(playlist_.current_index(), c.current);
    EXPECT_FALSE(playlist_.modified());
  }
}

TEST_F(PlaylistTest, LoadingReplacesTheListAndTakesTheRepeatFlag) {
  set_music_flags(Settings::kRepeat);
  start_with({"/m/a.mp3", "ab", "/m/b.mp3"});
  EXPECT_EQ(paths(), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
  EXPECT_TRUE(playlist_.player().loop());

  EXPECT_FALSE(playlist_.load(root() + "missing.txt"));
  EXPECT_EQ(playlist_.size(), 0u);
  EXPECT_EQ(playlist_.current(), nullptr);
}

TEST_F(PlaylistTest, ThePreviewNeitherLoadsNorSaves) {
  base::feature_locks().word = base::FeatureLocks::kMusicLocked;
  start_with({"/m/a.mp3"});
  EXPECT_EQ(playlist_.size(), 0u);
  playlist_.add(nullptr, "/m/new.mp3");
  playlist_.save_if_modified();
  EXPECT_EQ(base::read_file(list_file()),
            (std::vector<uint8_t>{'/', 'm', '/', 'a', '.', 'm', 'p', '3', '\n'}));
}

TEST_F(PlaylistTest, OnlyAChangedListIsSavedAndThenWhole) {
  start_with({"/m/a.mp3", "/m/b.mp3"});
  std::filesystem::remove(list_file());
  playlist_.save_if_modified();
  EXPECT_FALSE(std::filesystem::exists(list_file())) << "unchanged: not written";

  playlist_.add(nullptr, "/m/c d.mp3");
  EXPECT_TRUE(playlist_.modified());
  playlist_.save_if_modified();
  EXPECT_FALSE(playlist_.modified());
  const std::string expected = "/m/a.mp3\n/m/b.mp3\n/m/c d.mp3\n";
  EXPECT_EQ(base::read_file(list_file()), std::vector<uint8_t>(expected.begin(), expected.end()));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root())) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "Musics.txt") << "no temporary file is left behind";
  }
  EXPECT_EQ(files, 1);
}

TEST_F(PlaylistTest, EntriesAreFoundByTheirExactPath) {
  start_with({});
  audio_test::FakeView view;
  audio::PlaylistEntry& first = playlist_.add(&view, "/m/a.mp3");
  EXPECT_EQ(&playlist_.add(&view, "/m/a.mp3"), &first);
  playlist_.add(&view, "/m/A.mp3");
  EXPECT_EQ(paths(), (std::vector<std::string>{"/m/a.mp3", "/m/A.mp3"})) << "file names differ by case here";
  EXPECT_EQ(view.rows, paths()) << "a row for each new entry only";
  EXPECT_EQ(playlist_.find("/m/A.mp3"), 1);
  EXPECT_EQ(playlist_.find("/m/a.MP3"), -1);
}

TEST_F(PlaylistTest, RemovingTheCurrentEntryStopsIt) {
  const std::string a = track("a.mp3");
  const std::string b = track("b.mp3");
  start_with({a, b});
  ASSERT_TRUE(playlist_.play(1));
  EXPECT_EQ(playlist_.remove(5), -1);
  EXPECT_EQ(playlist_.remove(0), 0);
  EXPECT_EQ(playlist_.current_index(), 0) << "the current entry moved up";
  EXPECT_TRUE(backend_.is_open());
  EXPECT_EQ(playlist_.remove(0), 0);
  EXPECT_EQ(playlist_.current(), nullptr);
  EXPECT_FALSE(backend_.is_open());
  EXPECT_TRUE(playlist_.modified());

  start_with({a, b});
  ASSERT_TRUE(playlist_.play(0));
  playlist_.clear();
  EXPECT_EQ(playlist_.size(), 0u);
  EXPECT_FALSE(backend_.is_open());
  EXPECT_TRUE(playlist_.modified());
}

TEST_F(PlaylistTest, ReorderingKeepsTheCurrentEntry) {
  const std::string a = track("a.mp3");
  start_with({a, "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"});
  ASSERT_TRUE(playlist_.play(0));
  EXPECT_TRUE(playlist_.swap(0, 1));
  EXPECT_TRUE(playlist_.modified());
  EXPECT_EQ(playlist_.current_index(), 1);
  EXPECT_TRUE(playlist_.move(1, 3));
  EXPECT_EQ(paths(), (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3", "/m/d.mp3", a}));
  EXPECT_TRUE(playlist_.move(3, 0));
  EXPECT_EQ(paths(), (std::vector<std::string>{a, "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"}));
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_FALSE(playlist_.swap(0, 4));
  EXPECT_FALSE(playlist_.move(-1, 2));
}

TEST_F(PlaylistTest, PlayingStartsTheEntryAtTheStoredVolume) {
  const std::string a = track("a.mp3");
  const std::string text = root() + "notes.txt";
  ASSERT_TRUE(platform_test::write_bytes(text, {'x'}));  // exists, but no music
  start_with({a, text, root() + "missing.mp3"});
  settings_.set_u32(Settings::kMusicVolume, 50);

  ASSERT_TRUE(playlist_.play(0));
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_EQ(backend_.open_path, a);
  EXPECT_EQ(backend_.volume, -1073);
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);

  EXPECT_FALSE(playlist_.play(1)) << "a file that cannot be played is a failure";
  EXPECT_EQ(playlist_.current(), nullptr);
  EXPECT_FALSE(playlist_.play(2));
  EXPECT_FALSE(playlist_.play(3));
  EXPECT_FALSE(backend_.is_open());

  set_music_flags(Settings::kMusicOff);
  ASSERT_TRUE(playlist_.play(0));
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kPaused) << "music off: opened but paused";
}

TEST_F(PlaylistTest, PlayNextChoosesTheFollowingPlayableEntry) {
  struct Case {
    const char* name;
    int count;
    uint32_t flags;
    int32_t stored;            // index at load: the current entry
    std::set<int> missing;     // files that are not there
    std::set<int> unplayable;  // files that are there but cannot be played
    int played;                // -1: nothing plays
  };
  const Case cases[] = {
      {"in order", 2, 0, 0, {}, {}, 1},
      {"repeat plays the current entry again", 2, Settings::kRepeat, 0, {}, {}, 0},
      {"the end wraps to the start", 3, 0, 2, {}, {}, 0},
      {"without a current entry the first", 3, 0, -1, {}, {}, 0},
      {"repeat without a current entry: the first", 3, Settings::kRepeat, 9, {}, {}, 0},
      {"one entry", 1, 0, 0, {}, {}, 0},
      {"no entries", 0, 0, 0, {}, {}, -1},
      {"a missing file is skipped", 3, 0, 0, {1}, {}, 2},
      {"skipping wraps around to the current entry", 3, 0, 0, {1, 2}, {}, 0},
      {"an unplayable file is skipped", 3, 0, 0, {}, {1}, 2},
      {"every file missing: one round, then silence", 3, 0, 1, {0, 1, 2}, {}, -1},
      {"the only entry missing", 1, 0, 0, {0}, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines;
    for (int i = 0; i < c.count; ++i) {
      const std::string name = std::string(c.name).substr(0, 3) + std::to_string(i) + ".mp3";
      if (c.missing.count(i) != 0) {
        lines.push_back(root() + "gone-" + name);
      } else if (c.unplayable.count(i) != 0) {
        lines.push_back(root() + "bad-" + name);
        ASSERT_TRUE(platform_test::write_bytes(lines.back(), {'x'}));
      } else {
        lines.push_back(track(name));
      }
    }
    set_music_flags(c.flags);
    settings_.set_i32(Settings::kMusicTrack, c.stored);
    start_with(lines);
    backend_.opened.clear();
    playlist_.play_next();
    EXPECT_EQ(playlist_.current_index(), c.played);
    if (c.played >= 0) {
      EXPECT_EQ(backend_.open_path, lines[c.played]);
      EXPECT_EQ(backend_.opened.size(), 1u);
    } else {
      EXPECT_FALSE(backend_.is_open());
    }
  }
}

TEST_F(PlaylistTest, ConsecutiveTracksFollowTheListAndRepeatHoldsOne) {
  const std::vector<std::string> lines = {track("a.mp3"), track("b.mp3"), track("c.mp3")};
  settings_.set_i32(Settings::kMusicTrack, -1);
  start_with(lines);
  std::vector<int> order;
  for (int i = 0; i < 4; ++i) {
    playlist_.play_next();
    order.push_back(playlist_.current_index());
  }
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 0}));
  set_music_flags(Settings::kRepeat);
  playlist_.play_next();
  playlist_.play_next();
  EXPECT_EQ(playlist_.current_index(), 0);
}

// The pick of shuffle for a generator in this state: truncate(r / 32767 * n).
int shuffle_pick(base::CrtRandom random, int count) {
  return std::min(static_cast<int>(static_cast<double>(random.next()) * (1.0 / 32767.0) * count), count - 1);
}

TEST_F(PlaylistTest, ShuffleDrawsFromItsOwnGeneratorAndNeverRepeatsTheCurrentTrack) {
  const std::vector<std::string> lines = {track("a.mp3"), track("b.mp3"), track("c.mp3")};
  set_music_flags(Settings::kShuffle);
  settings_.set_i32(Settings::kMusicTrack, 1);
  // Seeds whose first pick is the current entry (1) and the last one (2).
  uint32_t picks_current = 0;
  uint32_t picks_last = 0;
  for (uint32_t seed = 1; seed < 10'000'000 && (picks_current == 0 || picks_last == 0); seed += 4099) {
    const int pick = shuffle_pick(base::CrtRandom(seed), 3);
    if (pick == 1 && picks_current == 0) picks_current = seed;
    if (pick == 2 && picks_last == 0) picks_last = seed;
  }
  ASSERT_NE(picks_current, 0u);
  ASSERT_NE(picks_last, 0u);

  base::crt_rand().seed(77);
  const base::CrtRandom simulation = base::crt_rand();

  start_with(lines);
  playlist_.seed_shuffle(picks_current);
  playlist_.play_next();
  EXPECT_EQ(playlist_.current_index(), 2) << "the pick equals the current entry: the following one";

  settings_.set_i32(Settings::kMusicTrack, 2);
  start_with(lines);
  playlist_.seed_shuffle(picks_last);
  playlist_.play_next();
  EXPECT_EQ(playlist_.current_index(), 0) << "the following one of the last entry wraps";

  // The largest draw (32767) picks the last entry, not one past the end,
  // which would wrap to the current first entry and repeat it.
  uint32_t draws_max = 1;
  while (base::CrtRandom(draws_max).next() != base::CrtRandom::kMax) ++draws_max;
  settings_.set_i32(Settings::kMusicTrack, 0);
  start_with(lines);
  playlist_.seed_shuffle(draws_max);
  playlist_.play_next();
  EXPECT_EQ(playlist_.current_index(), 2);

  for (int i = 0; i < 20; ++i) {
    const int before = playlist_.current_index();
    playlist_.play_next();
    EXPECT_NE(playlist_.current_index(), before);
  }
  base::CrtRandom expected = simulation;
  EXPECT_EQ(base::crt_rand().next(), expected.next()) << "the simulation's sequence is untouched";
}

TEST_F(PlaylistTest, AfterARelaunchTheStoredTrackResumesWhereItWas) {
  const std::vector<std::string> lines = {track("a.mp3"), track("b.mp3"), track("c.mp3")};
  start_with(lines);
  ASSERT_TRUE(playlist_.play(1));
  backend_.set_position(95 * kSecond);
  playlist_.save_position();
  EXPECT_EQ(settings_.i32(Settings::kMusicTrack), 1);
  EXPECT_EQ(settings_.i64(Settings::kMusicPosition), 95 * kSecond);

  // The new process: same settings, a fresh playlist and player.
  platform::FakeMusicBackend backend;
  backend.tracks = backend_.tracks;
  audio::Playlist relaunched(backend, dialogs_);
  relaunched.init(queue_, audio_test::kEvent, audio_test::kNext, list_file(), settings_);
  relaunched.play_next();
  EXPECT_EQ(relaunched.current_index(), 1);
  int64_t position = 0;
  ASSERT_TRUE(backend.position(position));
  EXPECT_EQ(position, 95 * kSecond);
  EXPECT_EQ(settings_.i64(Settings::kMusicPosition), 0) << "used once";
  relaunched.play_next();
  EXPECT_EQ(relaunched.current_index(), 2);
  ASSERT_TRUE(backend.position(position));
  EXPECT_EQ(position, 0);
}

TEST_F(PlaylistTest, AMissingStoredTrackGivesUpItsPosition) {
  const std::vector<std::string> lines = {track("a.mp3"), root() + "gone.mp3", track("c.mp3")};
  settings_.set_i32(Settings::kMusicTrack, 1);
  settings_.set_i64(Settings::kMusicPosition, 40 * kSecond);
  start_with(lines);
  playlist_.play_next();
  EXPECT_EQ(playlist_.current_index(), 2);
  int64_t position = -1;
  ASSERT_TRUE(backend_.position(position));
  EXPECT_EQ(position, 0) << "another track does not start at the stored track's position";
  EXPECT_EQ(settings_.i64(Settings::kMusicPosition), 0);

  playlist_.play(-1);
  playlist_.save_position();
  EXPECT_EQ(settings_.i32(Settings::kMusicTrack), -1);
  EXPECT_EQ(settings_.i64(Settings::kMusicPosition), 0);
}

TEST_F(PlaylistTest, ActivationAndTheMusicSwitchPauseAndResume) {
  struct Case {
    const char* name;
    uint32_t flags;
    bool active;
    MusicPlayer::State state;
  };
  const Case cases[] = {
      {"deactivated: paused", 0, false, MusicPlayer::kPaused},
      {"activated: running", 0, true, MusicPlayer::kRunning},
      {"keeps playing in the background", Settings::kKeepPlaying, false, MusicPlayer::kRunning},
      {"music off stays paused when activated", Settings::kMusicOff, true, MusicPlayer::kPaused},
  };
  const std::string a = track("a.mp3");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    set_music_flags(0);
    start_with({a});
    ASSERT_TRUE(playlist_.play(0));
    set_music_flags(c.flags);
    playlist_.on_activate_app(c.active);
    EXPECT_EQ(playlist_.player().state(), c.state);
  }

  set_music_flags(0);
  start_with({a});
  ASSERT_TRUE(playlist_.play(0));
  playlist_.set_volume(50);
  set_music_flags(Settings::kMusicOff);
  playlist_.apply_music_switch();
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kPaused);
  playlist_.apply_music_switch();
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kPaused) << "applying twice changes nothing";
  backend_.set_volume(0);
  set_music_flags(0);
  playlist_.apply_music_switch();
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kRunning);
  EXPECT_EQ(backend_.volume, -1073) << "resuming applies the volume again";
}

TEST_F(PlaylistTest, VolumeIsClampedAndStored) {
  const std::string a = track("a.mp3");
  start_with({a});
  struct Case {
    int given;
    uint32_t stored;
    int32_t level;
  };
  ASSERT_TRUE(playlist_.play(0));
  for (const Case& c : {Case{150, 100, 0}, Case{-5, 0, -10000}, Case{10, 10, -4214}}) {
    playlist_.set_volume(c.given);
    EXPECT_EQ(settings_.u32(Settings::kMusicVolume), c.stored) << c.given;
    EXPECT_EQ(backend_.volume, c.level) << c.given;
  }
  settings_.set_u32(Settings::kMusicVolume, 4000000000u);
  ASSERT_TRUE(playlist_.play(0));
  EXPECT_EQ(backend_.volume, 0) << "a damaged stored volume counts as 100";
}

TEST_F(PlaylistTest, DurationTextsMeasureOnceAndNameFailures) {
  struct Case {
    std::string path;
    const char* text;
  };
  const std::string gone = root() + "gone.mp3";
  const std::string unsupported = root() + "notes.mid";
  const std::string no_memory = root() + "huge.flac";
  const std::string failing = root() + "odd.wav";
  for (const std::string& path : {unsupported, no_memory, failing}) {
    ASSERT_TRUE(platform_test::write_bytes(path, {'x'}));
  }
  backend_.failures[no_memory] = platform::MediaResult::OutOfMemory;
  backend_.failures[failing] = platform::MediaResult::Failed;
  const Case cases[] = {
      {track("minute.mp3", 65 * kSecond + 9'999'999), "minute.mp3*01:05"},
      {track("hour.ogg", 3725 * kSecond), "hour.ogg*01:02:05"},
      {track("blip.wav", 4'000'000), "blip.wav*00:00"},
      {gone, "gone.mp3*text 1510"},
      {unsupported, "notes.mid*text 1511"},
      {no_memory, "huge.flac*text 1512"},
      {failing, "odd.wav*text 1513"},
  };
  start_with({});
  for (const Case& c : cases) playlist_.add(nullptr, c.path);
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < playlist_.size(); ++i) {
      EXPECT_EQ(playlist_.duration_text(playlist_.entry(i)), cases[i].text);
    }
  }
  EXPECT_EQ(backend_.measured.size(), 6u)
      << "each file measured once, a sub-second one too; a missing one never";
  EXPECT_EQ(playlist_.entry(2).duration, 0);
  EXPECT_EQ(playlist_.entry(3).duration, audio::PlaylistEntry::kCannotOpen);
}

}  // namespace
