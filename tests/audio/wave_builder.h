#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds RIFF files chunk by chunk for the WAV tests, including broken ones.
namespace audio_test {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A chunk: its id, the size its header claims and its body (padded to even
// length on output).
inline Bytes chunk(const std::string& id, const Bytes& body, int64_t claimed_size = -1) {
  Bytes out(id.begin(), id.end());
  put32(out, claimed_size >= 0 ? static_cast<uint32_t>(claimed_size) : static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) out.push_back(0);
  return out;
}

// The 16 bytes of a format chunk, then any more bytes.
inline Bytes fmt_body(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t block_align, uint16_t bits,
                      const Bytes& more = {}) {
  Bytes out;
  put16(out, tag);
  put16(out, channels);
  put32(out, rate);
  put32(out, rate * block_align);
  put16(out, block_align);
  put16(out, bits);
  out.insert(out.end(), more.begin(), more.end());
  return out;
}

// "RIFF", the size (claimed or true), form type, then the chunks.
inline Bytes riff(const std::vector<Bytes>& chunks, const std::string& form = "WAVE",
                  int64_t claimed_size = -1) {
  Bytes body(form.begin(), form.end());
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes out{'R', 'I', 'F', 'F'};
  put32(out, claimed_size >= 0 ? static_cast<uint32_t>(claimed_size) : static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes pcm16_stereo_fmt() { return chunk("fmt ", fmt_body(1, 2, 22050, 4, 16)); }

}  // namespace audio_test
