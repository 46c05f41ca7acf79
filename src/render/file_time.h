#pragma once

#include <chrono>
#include <cstdint>

namespace render {

// Time stamps in package directories count 100-nanosecond ticks since
// 1601-01-01 00:00 UTC.
inline constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
inline constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// Ticks for a Unix time; times before 1601 give 0.
std::uint64_t file_time_from_unix(std::int64_t seconds, std::uint32_t nanoseconds = 0);
// Whole Unix seconds of a time stamp (ticks below a second are dropped,
// rounding toward earlier times).
std::int64_t unix_from_file_time(std::uint64_t ticks);

std::uint64_t file_time_from_system(std::chrono::system_clock::time_point time);
std::uint64_t file_time_now();

}  // namespace render
