#include <gtest/gtest.h>

#include <functional>

#include "render/hand_package.h"
#include "render/package_reader.h"

namespace {

using namespace render_test;
using render::PackageReader;

// Three entries, one of each block form; the package carries no name, so it
// opens under any file name.
HandPackage sample() {
  return make_package("", 0,
                      {{"a.txt", repetitive(600), Form::Deflated},
                       {"b.bin", noise(64, 2), Form::Plain},
                       {"c.dat", bytes_of("ccc"), Form::Stored}});
}

// The package with its directory records replaced.
Bytes with_directory(const HandPackage& package, const Bytes& records) {
  Bytes out = packed_block(records);
  out.insert(out.end(), package.bytes.begin() + static_cast<std::ptrdiff_t>(package.data_start),
             package.bytes.end());
  return out;
}

constexpr std::size_t kRecord = 40;

TEST(PackageMalformedTest, EveryTruncationFailsCleanly) {
  const HandPackage package = sample();
  const std::size_t total = package.bytes.size();
  std::vector<std::size_t> block_end(package.entry_positions.begin() + 1, package.entry_positions.end());
  block_end.push_back(total);
  TempFolder folder;
  const std::string path = folder.file("cut.vmf");

  for (std::size_t cut = 0; cut < total; ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const Bytes prefix(package.bytes.begin(), package.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    write_bytes(path, prefix);
    PackageReader from_memory;
    PackageReader from_file;
    const bool memory_open = from_memory.open_memory(prefix);
    const bool file_open = from_file.open_file(path.c_str(), false);
    ASSERT_EQ(memory_open, cut >= package.data_start);
    ASSERT_EQ(file_open, memory_open);
    if (!memory_open) continue;
    for (std::uint32_t index = 1; index <= 3; ++index) {
      const bool whole = block_end[index - 1] <= cut;
      EXPECT_EQ(from_memory.read(index) != nullptr, whole) << "entry " << index;
      EXPECT_EQ(from_file.read(index) != nullptr, whole) << "entry " << index;
    }
  }
}

TEST(PackageMalformedTest, ADamagedDirectoryIsRefused) {
  const HandPackage package = sample();
  const std::uint32_t stored = static_cast<std::uint32_t>(package.data_start - 9);
  const std::uint32_t raw = static_cast<std::uint32_t>(package.directory.size());
  const std::size_t remaining = package.bytes.size() - 9;
  struct Case {
    const char* what;
    std::function<Bytes()> make;
  };
  const Case cases[] = {
      {"empty input", [] { return Bytes{}; }},
      {"marker only", [] { return Bytes{0x50}; }},
      {"marker 0: no directory",
       [&] {
         Bytes b = package.bytes;
         b[0] = 0;
         return b;
       }},
      {"raw size 0xFFFFFFFF",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 1, 0xFFFFFFFF);
         return b;
       }},
      {"stored size 0xFFFFFFFF",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 5, 0xFFFFFFFF);
         return b;
       }},
      {"stored size one past the end",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 5, static_cast<std::uint32_t>(remaining + 1));
         return b;
       }},
      {"raw size one short: the stream yields more",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 1, raw - 1);
         return b;
       }},
      {"raw size one long: the stream ends early",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 1, raw + 1);
         return b;
       }},
      {"stream cut short",
       [&] {
         Bytes b = package.bytes;
         set_u32(b, 5, stored / 2);
         return b;
       }},
      {"stream of garbage",
       [&] {
         Bytes b = package.bytes;
         std::fill(b.begin() + 9, b.begin() + 9 + stored, std::uint8_t{0xFF});
         return b;
       }},
      {"count larger than the records",
       [&] {
         Bytes records = package.directory;
         set_u32(records, 24, 4);
         return with_directory(package, records);
       }},
      {"count smaller than the records",
       [&] {
         Bytes records = package.directory;
         set_u32(records, 24, 2);
         return with_directory(package, records);
       }},
      {"count 0xFFFFFFFF",
       [&] {
         Bytes records = package.directory;
         set_u32(records, 24, 0xFFFFFFFF);
         return with_directory(package, records);
       }},
      {"header record cut",
       [&] {
         return with_directory(package, Bytes(package.directory.begin(), package.directory.begin() + 39));
       }},
      {"no records at all", [&] { return with_directory(package, Bytes{}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes bytes = c.make();
    PackageReader reader;
    EXPECT_FALSE(reader.open_memory(bytes));
    EXPECT_FALSE(reader.is_open());
    EXPECT_EQ(reader.count(), 0u);
    EXPECT_EQ(reader.read(1), nullptr);
  }
}

TEST(PackageMalformedTest, ADamagedEntryFailsAloneAndThePackageStaysOpen) {
  const HandPackage package = sample();
  const std::size_t a = package.entry_positions[0];  // deflated
  const std::size_t b = package.entry_positions[1];  // plain
  const std::size_t c = package.entry_positions[2];  // stored in a packed block
  struct Case {
    const char* what;
    std::uint32_t broken;  // the entry that must fail
    std::function<Bytes()> make;
  };
  auto patched = [&](std::size_t at, std::uint32_t value) {
    Bytes bytes = package.bytes;
    set_u32(bytes, at, value);
    return bytes;
  };
  auto with_record = [&](std::uint32_t entry, std::size_t field, std::uint32_t value) {
    Bytes records = package.directory;
    set_u32(records, kRecord * entry + field, value);
    return with_directory(package, records);
  };
  const Case cases[] = {
      {"offset 0xFFFFFFFF", 2, [&] { return with_record(2, 28, 0xFFFFFFFF); }},
      {"offset at the very end", 3,
       [&] {
         return with_record(3, 28, static_cast<std::uint32_t>(package.bytes.size() - package.data_start));
       }},
      {"plain size 0xFFFFFFFF", 2, [&] { return patched(b, 0xFFFFFFFF); }},
      {"plain size one past the end", 2,
       [&] { return patched(b, static_cast<std::uint32_t>(package.bytes.size() - b - 4 + 1)); }},
      {"packed raw size 0xFFFFFFFF", 1, [&] { return patched(a + 1, 0xFFFFFFFF); }},
      {"packed stored size 0xFFFFFFFF", 1, [&] { return patched(a + 5, 0xFFFFFFFF); }},
      {"packed raw size one short", 1, [&] { return patched(a + 1, 599); }},
      {"packed raw size one long", 1, [&] { return patched(a + 1, 601); }},
      {"packed marker 0", 1,
       [&] {
         Bytes bytes = package.bytes;
         bytes[a] = 0;
         return bytes;
       }},
      {"deflate stream of garbage", 1,
       [&] {
         Bytes bytes = package.bytes;
         std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(a + 9),
                   bytes.begin() + static_cast<std::ptrdiff_t>(b), std::uint8_t{0xFF});
         return bytes;
       }},
      {"stored block past the end", 3,
       [&] {
         Bytes bytes = package.bytes;
         set_u32(bytes, c + 1, 4);
         set_u32(bytes, c + 5, 4);
         return bytes;
       }},
  };
  for (const Case& c_ : cases) {
    SCOPED_TRACE(c_.what);
    const Bytes bytes = c_.make();
    PackageReader reader;
    ASSERT_TRUE(reader.open_memory(bytes));
    for (std::uint32_t index = 1; index <= 3; ++index) {
      const render::Block* block = reader.read(index);
      if (index == c_.broken) {
        EXPECT_EQ(block, nullptr) << "entry " << index;
      } else {
        EXPECT_NE(block, nullptr) << "entry " << index;
      }
    }
    EXPECT_TRUE(reader.is_open());
  }
}

}  // namespace
