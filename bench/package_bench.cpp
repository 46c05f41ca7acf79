// Reading a large package: every entry of a package of 200 entries, 64 MiB
// in all, half of them deflated and half stored plain, written once into a
// temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

constexpr int kEntries = 200;
constexpr std::size_t kTotalBytes = 64u << 20;

// Texture-like data: smooth rows with a little noise, which deflate packs to
// roughly a third.
std::vector<std::uint8_t> entry_data(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> data(size);
  for (std::size_t i = 0; i < size; ++i) {
    data[i] = static_cast<std::uint8_t>((i / 64 + (i % 256)) / 2 + (random() & 7));
  }
  return data;
}

class LargePackage {
 public:
  LargePackage() {
    folder_ =
        std::filesystem::temp_directory_path() / ("package-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "Large.vmf").string();
    render::PackageBuilder builder;
    const std::size_t size = kTotalBytes / kEntries;
    for (int i = 0; i < kEntries; ++i) {
      builder.add(entry_data(size, static_cast<std::uint32_t>(i)), "entry" + std::to_string(i) + ".raw",
                  i % 2 == 0);
      bytes_ += size;
    }
    if (!builder.write(path_.c_str(), true, false)) path_.clear();
  }
  ~LargePackage() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::string& path() const { return path_; }
  std::uint64_t bytes() const { return bytes_; }

 private:
  std::filesystem::path folder_;
  std::string path_;
  std::uint64_t bytes_ = 0;
};

const LargePackage& large_package() {
  static LargePackage package;
  return package;
}

void read_every_entry(benchmark::State& state) {
  const LargePackage& package = large_package();
  if (package.path().empty()) {
    state.SkipWithError("cannot write the package");
    return;
  }
  for (auto _ : state) {
    render::PackageReader reader;
    if (!reader.open_file(package.path().c_str(), false)) {
      state.SkipWithError("cannot open the package");
      return;
    }
    for (std::uint32_t index = 1; index <= reader.count(); ++index) {
      const render::Block* block = reader.read(index);
      if (block == nullptr) {
        state.SkipWithError("cannot read an entry");
        return;
      }
      benchmark::DoNotOptimize(block->data());
    }
  }
  const double bytes = static_cast<double>(package.bytes());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(package.bytes()));
  state.counters["MB"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["entries"] = kEntries;
}

BENCHMARK(read_every_entry)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
