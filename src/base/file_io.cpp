#include "base/file_io.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>

namespace base {

std::optional<std::vector<std::uint8_t>> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> data;
  char chunk[65536];
  while (in) {
    in.read(chunk, sizeof chunk);
    const std::streamsize got = in.gcount();
    data.insert(data.end(), chunk, chunk + got);
  }
  if (in.bad()) return std::nullopt;
  return data;
}

namespace {

// A name beside the target that no other writer in this or another process
// is likely to pick at the same moment.
std::filesystem::path temporary_name_for(const std::filesystem::path& path) {
  static std::atomic<std::uint64_t> counter{0};
  const auto ticks = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::string suffix = ".";
  suffix += std::to_string(ticks);
  suffix += '-';
  suffix += std::to_string(counter.fetch_add(1));
  suffix += ".tmp";
  std::filesystem::path tmp = path;
  tmp += suffix;
  return tmp;
}

}  // namespace

bool write_file_atomically(const std::filesystem::path& path, std::span<const std::uint8_t> data) {
  const std::filesystem::path tmp = temporary_name_for(path);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(tmp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(tmp, ignored);
    return false;
  }
  return true;
}

}  // namespace base
