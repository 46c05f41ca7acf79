#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/music_player.h"
#include "base/crt_random.h"

namespace base {
class UserSettings;
}
namespace platform {
class Dialogs;
class MessageQueue;
}  // namespace platform

namespace audio {

class PlaylistView;

struct PlaylistEntry {
  // What a failed measurement leaves as the entry's duration.
  enum Failure : int { kCannotOpen = -1, kUnsupported = -2, kOutOfMemory = -3, kOtherFailure = -4 };

  std::string path;
  // Whole seconds (a track shorter than a second has 0), or a failure code;
  // empty until measured.
  std::optional<int> duration;
};

// Texts of the interface by number; "" when there is none.
using TextLookup = std::function<std::string(int id)>;

// The music: an ordered list of files kept as "Musics.txt" in the user's
// data folder, and the player that plays its current entry. The list
// chooses the next track (in order, repeated or shuffled), grows from file
// and folder dialogs and imported lists, and keeps its place across a
// relaunch. Its settings live in the music block of the settings record.
class Playlist {
 public:
  // Interface texts the playlist shows.
  enum Text : int {
    kFolderDialogText = 1500,
    kAddFilesTitle = 1501,
    kFolderDialogTitle = 1502,
    kImportTitle = 1503,
    kSaveTitle = 1504,
    kCannotOpenText = 1510,  // to 1513, for the failure codes -1 to -4
  };

  Playlist(platform::MusicBackend& backend, platform::Dialogs& dialogs);
  ~Playlist();
  Playlist(const Playlist&) = delete;
  Playlist& operator=(const Playlist&) = delete;

  // Connects the player to the queue and its two messages and, unless the
  // music is locked (the preview), loads the list file.
  void init(platform::MessageQueue& queue, uint32_t event_message, uint32_t next_message,
            std::string list_file, base::UserSettings& settings);
  void set_texts(TextLookup texts) { texts_ = std::move(texts); }

  // Replaces the list with the file's lines; the entry at the stored index
  // becomes the current one. False when the file cannot be read (the list is
  // then empty).
  bool load(const std::string& path);
  // Writes the list to `path`, replacing it atomically.
  bool save(const std::string& path) const;
  // Asks where to save the list (a ".txt" file) and saves it there.
  bool save_as();
  // At the final clean-up: saves the list file when the list changed.
  void save_if_modified();

  // The entry with that path, added at the end (and to the view) when there
  // is none yet.
  PlaylistEntry& add(PlaylistView* view, const std::string& path);
  // The index of the entry with exactly that path, or -1.
  int find(const std::string& path) const;
  // Removes the entry (stopping it when it plays); the index, or -1.
  int remove(int index);
  void clear();
  // Reordering on the music page.
  bool swap(int a, int b);
  bool move(int from, int to);

  // Stops the player and starts the entry at `index`. False when there is no
  // such entry, its file is missing, or it cannot be played.
  bool play(int index);
  // Starts the next track (on the next-track message).
  void play_next();
  // Before a relaunch: stores the current entry's index and play position.
  void save_position();
  // Paused means stopped or paused; resuming applies the volume again.
  void set_paused(bool paused);
  // 0..100, stored in the settings and given to the player.
  void set_volume(int volume);

  // The dialogs of the music page; each adds what the user chose, starts it
  // when nothing is playing and updates the view. False when cancelled.
  bool add_files(PlaylistView* view);
  bool import_list(PlaylistView* view);
  bool add_folder(PlaylistView* view);

  // "name*mm:ss", or the failure text after the '*'. Measures the entry's
  // file the first time.
  std::string duration_text(PlaylistEntry& entry);

  // Activation of the program: unless the music keeps playing in the
  // background, it pauses while inactive and stays paused while off.
  void on_activate_app(bool active);
  // After the music-off flag changed (the music command, the music page):
  // pauses or resumes to match it.
  void apply_music_switch();

  // A fixed sequence of shuffled tracks, for tests.
  void seed_shuffle(uint32_t seed) { shuffle_random_.seed(seed); }

  std::size_t size() const { return entries_.size(); }
  PlaylistEntry& entry(std::size_t index) { return *entries_[index]; }
  const PlaylistEntry* current() const { return current_; }
  int current_index() const;
  bool modified() const { return modified_; }
  const std::string& list_file() const { return list_file_; }
  const std::string& last_folder() const { return last_folder_; }
  void set_last_folder(std::string folder) { last_folder_ = std::move(folder); }
  MusicPlayer& player() { return player_; }

 private:
  uint32_t music_flags() const;
  int stored_volume() const;
  int index_of(const PlaylistEntry* entry) const;
  std::string text(int id) const;
  // Starts the first of the new entries when nothing plays, then updates the
  // view.
  void after_adding(PlaylistView* view, int first_new);

  platform::Dialogs& dialogs_;
  MusicPlayer player_;
  base::UserSettings* settings_ = nullptr;
  TextLookup texts_;
  std::string list_file_;
  std::vector<std::unique_ptr<PlaylistEntry>> entries_;
  const PlaylistEntry* current_ = nullptr;
  std::string last_folder_;
  bool modified_ = false;
  // Shuffle draws from its own generator, never from the simulation's.
  base::CrtRandom shuffle_random_;
};

}  // namespace audio
