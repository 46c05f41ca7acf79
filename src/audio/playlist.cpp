#include "audio/playlist.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <system_error>

#include "audio/music_folder.h"
#include "audio/playlist_text.h"
#include "audio/playlist_view.h"
#include "base/feature_locks.h"
#include "base/file_io.h"
#include "base/user_settings.h"
#include "platform/dialogs.h"

namespace audio {

namespace {

using Settings = base::UserSettings;

constexpr int64_t kUnitsPerSecond = 10'000'000;

// A regular file we may read.
bool readable_file(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

std::string with_txt_extension(const std::string& path) {
  const std::size_t name = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
  const std::size_t dot = path.rfind('.');
  const std::string stem = (dot != std::string::npos && dot >= name) ? path.substr(0, dot) : path;
  return stem + ".txt";
}

std::vector<std::string> audio_patterns() {
  std::vector<std::string> patterns;
  for (const char* extension : kMusicExtensions) {
    const std::string_view ext = extension;
    if (ext != "mid" && ext != "midi" && ext != "rmi") patterns.push_back("*." + std::string(ext));
  }
  return patterns;
}

std::string pattern_list(const std::vector<std::string>& patterns) {
  std::string text;
  for (const std::string& pattern : patterns) text += (text.empty() ? "" : "; ") + pattern;
  return text;
}

int failure_code(platform::MediaResult result) {
  switch (result) {
    case platform::MediaResult::CannotOpen:
      return PlaylistEntry::kCannotOpen;
    case platform::MediaResult::Unsupported:
      return PlaylistEntry::kUnsupported;
    case platform::MediaResult::OutOfMemory:
      return PlaylistEntry::kOutOfMemory;
    default:
      return PlaylistEntry::kOtherFailure;
  }
}

}  // namespace

Playlist::Playlist(platform::MusicBackend& backend, platform::Dialogs& dialogs)
    : dialogs_(dialogs),
      player_(backend),
      shuffle_random_(static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now().time_since_epoch())
                                                .count())) {}

Playlist::~Playlist() = default;

void Playlist::init(platform::MessageQueue& queue, uint32_t event_message, uint32_t next_message,
                    std::string list_file, Settings& settings) {
  settings_ = &settings;
  list_file_ = std::move(list_file);
  player_.init(&queue, event_message, next_message);
  if (!base::feature_locks().music_locked()) load(list_file_);
}

uint32_t Playlist::music_flags() const {
  return settings_ != nullptr ? settings_->u32(Settings::kMusicFlags) : 0;
}

int Playlist::stored_volume() const {
  if (settings_ == nullptr) return 100;
  return static_cast<int>(std::min<uint32_t>(settings_->u32(Settings::kMusicVolume), 100));
}

std::string Playlist::text(int id) const { return texts_ ? texts_(id) : std::string(); }

int Playlist::index_of(const PlaylistEntry* entry) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].get() == entry) return static_cast<int>(i);
  }
  return -1;
}

int Playlist::current_index() const { return current_ != nullptr ? index_of(current_) : -1; }

bool Playlist::load(const std::string& path) {
  player_.release_media();
  entries_.clear();
  current_ = nullptr;
  const std::optional<std::vector<uint8_t>> bytes = base::read_file(path);
  if (bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    for (std::string& line : list_lines(text)) {
      entries_.push_back(std::make_unique<PlaylistEntry>(PlaylistEntry{std::move(line), std::nullopt}));
    }
  }
  modified_ = false;
  const int32_t stored = settings_ != nullptr ? settings_->i32(Settings::kMusicTrack) : 0;
  if (stored >= 0 && static_cast<std::size_t>(stored) < entries_.size()) current_ = entries_[stored].get();
  player_.set_loop((music_flags() & Settings::kRepeat) != 0);
  return bytes.has_value();
}

bool Playlist::save(const std::string& path) const {
  std::vector<std::string> paths;
  paths.reserve(entries_.size());
  for (const auto& entry : entries_) paths.push_back(entry->path);
  const std::string text = music_list_text(paths);
  return base::write_file_atomically(path,
                                     std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool Playlist::save_as() {
  platform::FileDialogRequest request;
  request.save = true;
  request.title = text(kSaveTitle);
  request.filters = {{"TXT Playlist (*.txt)", {"*.txt"}}};
  request.folder = last_folder_;
  request.file_name = list_file_;
  const std::optional<std::string> chosen = dialogs_.choose_file(request);
  if (!chosen || chosen->empty()) return false;
  const std::string path = with_txt_extension(*chosen);
  last_folder_ = folder_of(path);
  return save(path);
}

void Playlist::save_if_modified() {
  if (base::feature_locks().music_locked() || !modified_) return;
  save(list_file_);
  modified_ = false;
}

PlaylistEntry& Playlist::add(PlaylistView* view, const std::string& path) {
  const int existing = find(path);
  if (existing >= 0) return *entries_[existing];
  entries_.push_back(std::make_unique<PlaylistEntry>(PlaylistEntry{path, std::nullopt}));
  PlaylistEntry& entry = *entries_.back();
  if (view != nullptr) view->append_row(entry);
  modified_ = true;
  return entry;
}

int Playlist::find(const std::string& path) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->path == path) return static_cast<int>(i);
  }
  return -1;
}

int Playlist::remove(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return -1;
  if (entries_[index].get() == current_) {
    play(-1);
    current_ = nullptr;
  }
  entries_.erase(entries_.begin() + index);
  modified_ = true;
  return index;
}

void Playlist::clear() {
  player_.release_media();
  entries_.clear();
  current_ = nullptr;
  modified_ = true;
}

bool Playlist::swap(int a, int b) {
  const int count = static_cast<int>(entries_.size());
  if (a < 0 || b < 0 || a >= count || b >= count) return false;
  std::swap(entries_[a], entries_[b]);
  modified_ = true;
  return true;
}

bool Playlist::move(int from, int to) {
  const int count = static_cast<int>(entries_.size());
  if (from < 0 || to < 0 || from >= count || to >= count) return false;
  if (from < to) {
    std::rotate(entries_.begin() + from, entries_.begin() + from + 1, entries_.begin() + to + 1);
  } else {
    std::rotate(entries_.begin() + to, entries_.begin() + from, entries_.begin() + from + 1);
  }
  modified_ = true;
  return true;
}

bool Playlist::play(int index) {
  player_.release_media();
  current_ = nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return false;
  PlaylistEntry& entry = *entries_[index];
  if (!readable_file(entry.path)) return false;
  // A file that exists but cannot be played counts as a failure, so that
  // play_next goes on to the following entry.
  const bool started = player_.open_and_run(entry.path);
  if (started) {
    current_ = &entry;
    set_volume(stored_volume());
  }
  set_paused((music_flags() & Settings::kMusicOff) != 0);
  return started;
}

void Playlist::play_next() {
  const int count = static_cast<int>(entries_.size());
  if (count == 0) {
    play(-1);
    return;
  }
  const uint32_t flags = music_flags();
  const int64_t saved_position = settings_ != nullptr ? settings_->i64(Settings::kMusicPosition) : 0;
  int a = current_index();
  // After a relaunch the stored entry itself resumes where it was.
  const int resume = saved_position != 0 ? a : -1;
  if (count > 1) {
    int step = 1;
    if (resume >= 0) {
      step = 0;
    } else if ((flags & Settings::kShuffle) != 0) {
      // The largest draw would pick one past the end; it takes the last entry.
      const int b = std::min(
          static_cast<int>(static_cast<double>(shuffle_random_.next()) * (1.0 / 32767.0) * count), count - 1);
      step = b == a ? 1 : 0;
      a = b;
    } else if ((flags & Settings::kRepeat) != 0) {
      step = 0;
    }
    a += step;
    if (a >= count || a < 0) a = 0;
  } else {
    a = 0;
  }
  for (int tried = 0; tried < count; ++tried) {
    if (play((a + tried) % count)) break;
  }
  if (saved_position != 0) {
    if (resume >= 0 && current_index() == resume) player_.seek(saved_position);
    settings_->set_i64(Settings::kMusicPosition, 0);
  }
}

void Playlist::save_position() {
  if (settings_ == nullptr) return;
  settings_->set_i32(Settings::kMusicTrack, current_index());
  settings_->set_i64(Settings::kMusicPosition, player_.has_media() ? player_.position() : 0);
}

void Playlist::set_paused(bool paused) {
  const MusicPlayer::State state = player_.state();
  const bool player_paused = state == MusicPlayer::kStopped || state == MusicPlayer::kPaused;
  if (paused == player_paused) return;
  player_.toggle_pause();
  if (!paused) set_volume(stored_volume());
}

void Playlist::set_volume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (settings_ != nullptr) settings_->set_u32(Settings::kMusicVolume, static_cast<uint32_t>(volume));
  player_.set_volume(volume * 0.01);
}

void Playlist::after_adding(PlaylistView* view, int first_new) {
  // Nothing new (all cancelled or already listed) leaves the player alone.
  if (first_new >= 0 && player_.state() != MusicPlayer::kRunning) play(first_new);
  if (view == nullptr) return;
  if (!view->has_selection()) view->select_first_row();
  view->refresh();
}

bool Playlist::add_files(PlaylistView* view) {
  platform::FileDialogRequest request;
  request.title = text(kAddFilesTitle);
  const std::vector<std::string> patterns = audio_patterns();
  request.filters = {{"Audio Files (" + pattern_list(patterns) + ")", patterns},
                     {"MIDI Files (*.mid; *.midi; *.rmi)", {"*.mid", "*.midi", "*.rmi"}}};
  request.folder = last_folder_;
  const std::vector<std::string> chosen = dialogs_.choose_files(request);
  if (chosen.empty()) return false;
  last_folder_ = folder_of(chosen.front());
  // The first file that was not listed yet starts; when all were, the first
  // chosen one.
  const std::size_t before = entries_.size();
  const int first_chosen = index_of(&add(view, chosen.front()));
  for (std::size_t i = 1; i < chosen.size(); ++i) add(view, chosen[i]);
  after_adding(view, entries_.size() > before ? static_cast<int>(before) : first_chosen);
  return true;
}

bool Playlist::import_list(PlaylistView* view) {
  platform::FileDialogRequest request;
  request.title = text(kImportTitle);
  request.filters = {{"TXT Playlist (*.txt)", {"*.txt"}},
                     {"M3U Playlist (*.m3u)", {"*.m3u"}},
                     {"PLS Playlist (*.pls)", {"*.pls"}}};
  request.folder = last_folder_;
  const std::optional<std::string> chosen = dialogs_.choose_file(request);
  if (!chosen || chosen->empty()) return false;
  last_folder_ = folder_of(*chosen);
  const std::size_t before = entries_.size();
  if (const std::optional<std::vector<uint8_t>> bytes = base::read_file(*chosen)) {
    const std::string_view list(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    for (const std::string& name : list_entry_names(list, list_kind_of(*chosen))) {
      for (const std::string& candidate : candidate_paths(name, last_folder_)) {
        if (!readable_file(candidate)) continue;
        add(view, candidate);
        break;
      }
    }
  }
  after_adding(view, entries_.size() > before ? static_cast<int>(before) : -1);
  return true;
}

bool Playlist::add_folder(PlaylistView* view) {
  platform::FolderDialogRequest request;
  request.title = text(kFolderDialogTitle);
  request.text = text(kFolderDialogText);
  request.folder = last_folder_;
  const std::optional<std::string> chosen = dialogs_.choose_folder(request);
  if (!chosen || chosen->empty()) return false;
  last_folder_ = *chosen;
  if (last_folder_.back() != '/') last_folder_ += '/';
  const std::size_t before = entries_.size();
  for (const std::string& path : music_files_in_folder(last_folder_)) add(view, path);
  after_adding(view, entries_.size() > before ? static_cast<int>(before) : -1);
  return true;
}

std::string Playlist::duration_text(PlaylistEntry& entry) {
  if (!entry.duration) {
    if (!readable_file(entry.path)) {
      entry.duration = PlaylistEntry::kCannotOpen;
    } else {
      int64_t length = 0;
      const platform::MediaResult result = player_.measure(entry.path, length);
      entry.duration = result == platform::MediaResult::Ok
                           ? static_cast<int>(std::clamp<int64_t>(length / kUnitsPerSecond, 0, INT32_MAX))
                           : failure_code(result);
    }
  }
  std::string shown(file_name_of(entry.path));
  shown += '*';
  if (*entry.duration < 0) {
    shown += text(kCannotOpenText - 1 - *entry.duration);
  } else {
    shown += format_duration(*entry.duration);
  }
  return shown;
}

void Playlist::on_activate_app(bool active) {
  const uint32_t flags = music_flags();
  if ((flags & Settings::kKeepPlaying) != 0) return;
  set_paused(!active || (flags & Settings::kMusicOff) != 0);
}

void Playlist::apply_music_switch() { set_paused((music_flags() & Settings::kMusicOff) != 0); }

}  // namespace audio
