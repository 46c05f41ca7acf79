#include "audio/wave_file.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/file_io.h"

namespace audio {

namespace {

constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kBasicFormat = 16;  // the PCM format without cbSize
constexpr std::size_t kFullFormat = 18;   // with cbSize

struct Chunk {
  std::size_t body = 0;  // offset of its data
  std::size_t size = 0;  // its data, cut to what is there
};

bool id_is(std::span<const uint8_t> bytes, std::size_t at, const char* id) {
  return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, id, 4) == 0;
}

// The first chunk named `id` among the chunks in [begin, end).
std::optional<Chunk> find_chunk(std::span<const uint8_t> bytes, std::size_t begin, std::size_t end,
                                const char* id) {
  std::size_t at = begin;
  while (at + kChunkHeader <= end) {
    base::ByteReader reader(bytes.subspan(at + 4, 4));
    const uint64_t size = reader.u32();
    const std::size_t body = at + kChunkHeader;
    const std::size_t available = end - body;
    if (id_is(bytes, at, id))
      return Chunk{body, static_cast<std::size_t>(std::min<uint64_t>(size, available))};
    const uint64_t next = body + size + (size & 1);  // chunks are padded to even sizes
    if (next > end) break;
    at = static_cast<std::size_t>(next);
  }
  return std::nullopt;
}

bool has_sample_layout(uint16_t tag) { return tag == WaveFormat::kPcm || tag == WaveFormat::kFloat; }

bool valid(const WaveFormat& format) {
  if (format.channels == 0 || format.rate == 0 || format.bits == 0 || format.block_align == 0) return false;
  if (!has_sample_layout(format.sample_tag())) return true;
  const uint32_t bytes_per_sample = (format.bits + 7u) / 8u;
  return format.block_align == format.channels * bytes_per_sample;
}

}  // namespace

uint16_t WaveFormat::sample_tag() const {
  // WAVEFORMATEXTENSIBLE: valid bits, channel mask, then the sub-format GUID
  // whose first two bytes are the tag.
  if (tag != kExtensible || extra.size() < 8) return tag;
  return static_cast<uint16_t>(extra[6] | (extra[7] << 8));
}

bool WaveFile::open(const std::string& path) {
  std::optional<std::vector<uint8_t>> bytes = base::read_file(path);
  if (!bytes) {
    close();
    return false;
  }
  return open_memory(std::move(*bytes));
}

bool WaveFile::open_memory(std::vector<uint8_t> bytes) {
  close();
  bytes_ = std::move(bytes);
  open_ = parse();
  if (!open_) close();
  return open_;
}

void WaveFile::close() {
  bytes_.clear();
  format_ = WaveFormat{};
  data_offset_ = data_size_ = read_position_ = 0;
  open_ = false;
}

bool WaveFile::parse() {
  const std::span<const uint8_t> bytes(bytes_);
  if (bytes.size() < 12 || !id_is(bytes, 0, "RIFF") || !id_is(bytes, 8, "WAVE")) return false;
  base::ByteReader header(bytes.subspan(4, 4));
  const uint64_t riff_size = header.u32();
  const std::size_t riff_end = static_cast<std::size_t>(std::min<uint64_t>(8 + riff_size, bytes.size()));
  if (riff_end < 12) return false;

  const std::optional<Chunk> fmt = find_chunk(bytes, 12, riff_end, "fmt ");
  if (!fmt || fmt->size < kBasicFormat) return false;
  base::ByteReader reader(bytes.subspan(fmt->body, fmt->size));
  format_.tag = reader.u16();
  format_.channels = reader.u16();
  format_.rate = reader.u32();
  format_.bytes_per_second = reader.u32();
  format_.block_align = reader.u16();
  format_.bits = reader.u16();
  // PCM has no extra bytes; another format without room for the extra size
  // has none either.
  if (format_.tag != WaveFormat::kPcm && fmt->size >= kFullFormat) {
    const uint16_t extra_size = reader.u16();
    std::span<const uint8_t> extra = reader.bytes(extra_size);
    if (!reader.ok()) return false;
    format_.extra.assign(extra.begin(), extra.end());
  }
  if (!reader.ok() || !valid(format_)) return false;

  const std::optional<Chunk> data = find_chunk(bytes, 12, riff_end, "data");
  if (!data) return false;
  data_offset_ = data->body;
  data_size_ = data->size - data->size % format_.block_align;
  read_position_ = 0;
  return true;
}

std::size_t WaveFile::read(std::span<uint8_t> out) {
  const std::size_t count = std::min(out.size(), data_size_ - read_position_);
  if (count > 0) std::memcpy(out.data(), bytes_.data() + data_offset_ + read_position_, count);
  read_position_ += count;
  return count;
}

std::vector<uint8_t> encode_wave_file(const WaveFormat& format, std::span<const uint8_t> data) {
  const bool pcm = format.tag == WaveFormat::kPcm;
  const uint32_t fmt_size = pcm ? kBasicFormat : static_cast<uint32_t>(kFullFormat + format.extra.size());
  const uint32_t data_size = static_cast<uint32_t>(data.size());
  base::ByteWriter out;
  out.bytes(std::span(reinterpret_cast<const uint8_t*>("RIFF"), 4));
  out.u32(4 + 8 + fmt_size + (fmt_size & 1) + 8 + data_size + (data_size & 1));
  out.bytes(std::span(reinterpret_cast<const uint8_t*>("WAVEfmt "), 8));
  out.u32(fmt_size);
  out.u16(format.tag);
  out.u16(format.channels);
  out.u32(format.rate);
  out.u32(format.bytes_per_second);
  out.u16(format.block_align);
  out.u16(format.bits);
  if (!pcm) {
    out.u16(static_cast<uint16_t>(format.extra.size()));
    out.bytes(format.extra);
    if (fmt_size & 1) out.u8(0);
  }
  out.bytes(std::span(reinterpret_cast<const uint8_t*>("data"), 4));
  out.u32(data_size);
  out.bytes(data);
  if (data_size & 1) out.u8(0);
  return out.take();
}

std::vector<uint8_t> encode_wave_file(uint32_t rate, uint16_t channels, std::span<const int16_t> samples) {
  WaveFormat format;
  format.tag = WaveFormat::kPcm;
  format.channels = channels;
  format.rate = rate;
  format.bits = 16;
  format.block_align = static_cast<uint16_t>(channels * 2);
  format.bytes_per_second = rate * format.block_align;
  std::vector<uint8_t> data(samples.size() * 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const auto value = static_cast<uint16_t>(samples[i]);
    data[2 * i] = static_cast<uint8_t>(value & 0xFF);
    data[2 * i + 1] = static_cast<uint8_t>(value >> 8);
  }
  return encode_wave_file(format, data);
}

}  // namespace audio
