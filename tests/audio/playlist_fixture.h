#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "audio/playlist.h"
#include "audio/playlist_view.h"
#include "base/feature_locks.h"
#include "base/user_settings.h"
#include "platform/dialogs.h"
#include "platform/fake_music_backend.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/tone_wave.h"

namespace audio_test {

constexpr uint32_t kEvent = 0x8003;
constexpr uint32_t kNext = 0x8004;
constexpr int64_t kSecond = 10'000'000;

// The list on the music page, as far as the playlist touches it.
struct FakeView : audio::PlaylistView {
  void append_row(const audio::PlaylistEntry& entry) override { rows.push_back(entry.path); }
  bool has_selection() const override { return selection; }
  void select_first_row() override {
    ++selects;
    selection = true;
  }
  void refresh() override { ++refreshes; }

  std::vector<std::string> rows;
  bool selection = false;
  int selects = 0;
  int refreshes = 0;
};

// A playlist on a fake player in a temporary user data folder, with the
// default music block (volume 100, no flags).
class PlaylistFixture : public ::testing::Test {
 protected:
  PlaylistFixture() {
    base::feature_locks().word = 0;
    settings_.set_u32(base::UserSettings::kMusicVolume, 100);
    playlist_.set_texts([](int id) { return "text " + std::to_string(id); });
    playlist_.seed_shuffle(1);
  }
  ~PlaylistFixture() override { base::feature_locks().word = 0; }

  std::string root() const { return folder_.path(); }
  std::string list_file() const { return root() + "Musics.txt"; }

  // A music file in the temporary folder that the fake player can play.
  std::string track(const std::string& name, int64_t duration = 180 * kSecond) {
    const std::string path = root() + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(platform_test::write_bytes(path, {'m', 'u', 's', 'i', 'c'}));
    backend_.tracks[path] = duration;
    return path;
  }

  // Writes "Musics.txt" and starts the playlist on it.
  void start_with(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    ASSERT_TRUE(platform_test::write_bytes(list_file(), std::vector<uint8_t>(text.begin(), text.end())));
    playlist_.init(queue_, kEvent, kNext, list_file(), settings_);
  }

  // Paths of the entries, in order.
  std::vector<std::string> paths() {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < playlist_.size(); ++i) out.push_back(playlist_.entry(i).path);
    return out;
  }

  uint32_t music_flags() const { return settings_.u32(base::UserSettings::kMusicFlags); }
  void set_music_flags(uint32_t flags) { settings_.set_u32(base::UserSettings::kMusicFlags, flags); }

  platform_test::TempFolder folder_;
  platform::FakeMusicBackend backend_;
  platform::FakeDialogs dialogs_;
  platform::MessageQueue queue_;
  base::UserSettings settings_;
  audio::Playlist playlist_{backend_, dialogs_};
};

}  // namespace audio_test
