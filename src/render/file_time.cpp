#include "render/file_time.h"

namespace render {

std::uint64_t file_time_from_unix(std::int64_t seconds, std::uint32_t nanoseconds) {
  if (seconds < -kSecondsFrom1601To1970) return 0;
  const auto since_1601 = static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970);
  return since_1601 * kFileTimeTicksPerSecond + nanoseconds / 100;
}

std::int64_t unix_from_file_time(std::uint64_t ticks) {
  const auto seconds = static_cast<std::int64_t>(ticks / kFileTimeTicksPerSecond);
  return seconds - kSecondsFrom1601To1970;
}

std::uint64_t file_time_from_system(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto since_epoch = duration_cast<nanoseconds>(time.time_since_epoch());
  const auto seconds = floor<std::chrono::seconds>(since_epoch);
  const auto rest = static_cast<std::uint32_t>((since_epoch - seconds).count());
  return file_time_from_unix(seconds.count(), rest);
}

std::uint64_t file_time_now() { return file_time_from_system(std::chrono::system_clock::now()); }

}  // namespace render
