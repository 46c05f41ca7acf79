#pragma once

#include "base/user_settings.h"

namespace host {

// The window size given to a stored window that does not fit the screen.
inline constexpr int kDefaultWindowWidth = 800;
inline constexpr int kDefaultWindowHeight = 450;

// Flag bits that describe the aquarium rather than this computer: the only
// ones an import or a reset may change.
inline constexpr uint32_t kTransferableFlags = 0x01C00780;

// Zeroes the record and writes every default; the window is centred on a
// screen of the given size.
void reset_to_defaults(base::UserSettings& settings, int screen_width, int screen_height);

// After an import or a reset: takes back from `previous` everything that
// describes this computer (display mode, window, view aspect, zoom direction,
// layout, and every flag outside kTransferableFlags).
void restore_user_settings(base::UserSettings& settings, const base::UserSettings& previous);

// Keeps a stored window usable: negative corners become 0; a window of an
// impossible size becomes 800 x 450 at its corner, and when that corner is
// off the screen the window is centred instead.
void validate_window_rect(base::UserSettings& settings, int screen_width, int screen_height);

// Mends what a damaged or foreign record could hold: every name ends with a
// NUL within its field, and counts, volumes, rates, positions and choices
// are brought into their ranges. Values that are already valid stay as they
// are.
void repair_settings_fields(base::UserSettings& settings);

}  // namespace host
