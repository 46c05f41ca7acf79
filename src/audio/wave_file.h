#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace audio {

// The format chunk of a WAV file.
struct WaveFormat {
  static constexpr uint16_t kPcm = 1;
  static constexpr uint16_t kFloat = 3;
  static constexpr uint16_t kExtensible = 0xFFFE;

  uint16_t tag = kPcm;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint32_t bytes_per_second = 0;
  uint16_t block_align = 0;
  uint16_t bits = 0;
  // The bytes after the 18-byte header of a non-PCM format; PCM has none.
  std::vector<uint8_t> extra;

  // The tag of the samples: the sub-format's for an extensible format.
  uint16_t sample_tag() const;
  friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// Reads a RIFF/WAVE file: the "fmt " and "data" chunks inside the "RIFF"
// chunk of form "WAVE". Every size is checked against the bytes that are
// there; a chunk that claims more is cut to what the file holds, and the
// data to whole sample frames. The format must describe samples: channels,
// rate, bits and block align non-zero, and for PCM and float samples a block
// align that matches channels and bits.
class WaveFile {
 public:
  bool open(const std::string& path);
  bool open_memory(std::vector<uint8_t> bytes);
  void close();
  bool is_open() const { return open_; }

  const WaveFormat& format() const { return format_; }
  // The bytes of sample data.
  uint32_t data_size() const { return static_cast<uint32_t>(data_size_); }

  // Back to the start of the data.
  void reset() { read_position_ = 0; }
  // Copies the next bytes of data into `out`; how many (fewer at the end).
  std::size_t read(std::span<uint8_t> out);

 private:
  bool parse();

  std::vector<uint8_t> bytes_;
  WaveFormat format_;
  std::size_t data_offset_ = 0;
  std::size_t data_size_ = 0;
  std::size_t read_position_ = 0;
  bool open_ = false;
};

// A WAV file of these samples: a "fmt " chunk of 16 bytes for PCM (18 plus
// the extra bytes otherwise) and a "data" chunk.
std::vector<uint8_t> encode_wave_file(const WaveFormat& format, std::span<const uint8_t> data);
// Interleaved 16-bit samples.
std::vector<uint8_t> encode_wave_file(uint32_t rate, uint16_t channels, std::span<const int16_t> samples);

}  // namespace audio
