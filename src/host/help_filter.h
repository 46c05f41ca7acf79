#pragma once
#include <cstdint>

#include "host/saver_mode.h"

namespace host {

// Whether a help entry (8001..8017) is locked: the music entry while the
// music is locked.
bool is_help_entry_locked(uint32_t entry, bool music_locked);

// Whether a help entry is left out in a run mode because its key does
// nothing there.
bool is_help_entry_hidden_in_mode(uint32_t entry, SaverMode mode);

}  // namespace host
