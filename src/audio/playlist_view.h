#pragma once

namespace audio {

struct PlaylistEntry;

// The list on the music page, as the playlist's dialogs keep it up to date.
class PlaylistView {
 public:
  virtual ~PlaylistView() = default;
  virtual void append_row(const PlaylistEntry& entry) = 0;
  virtual bool has_selection() const = 0;
  virtual void select_first_row() = 0;
  virtual void refresh() = 0;
};

}  // namespace audio
