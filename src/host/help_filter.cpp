#include "host/help_filter.h"

#include <algorithm>
#include <initializer_list>

namespace host {
namespace {

bool among(uint32_t entry, std::initializer_list<uint32_t> entries) {
  return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

}  // namespace

bool is_help_entry_locked(uint32_t entry, bool music_locked) { return entry == 8009 && music_locked; }

bool is_help_entry_hidden_in_mode(uint32_t entry, SaverMode mode) {
  switch (mode) {
    case SaverMode::FullScreenSaver:
      return among(entry, {8001, 8002, 8007, 8011, 8017});
    case SaverMode::Standalone:
      return among(entry, {8002, 8003, 8017});
    case SaverMode::ActiveDesktop:
      return among(entry, {8001, 8003, 8007, 8011});
    default:
      return false;
  }
}

}  // namespace host
