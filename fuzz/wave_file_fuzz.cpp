// Opens the input as a WAV file and reads its data in pieces of changing
// size, then once more from the start.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  audio::WaveFile wave;
  if (!wave.open_memory(std::vector<std::uint8_t>(data, data + size))) return 0;
  wave.format().sample_tag();
  std::vector<std::uint8_t> buffer(wave.data_size() + 16);
  std::size_t total = 0;
  for (std::size_t piece = 1; piece < buffer.size(); piece *= 3) {
    const std::size_t got = wave.read(std::span(buffer.data(), piece));
    total += got;
    if (got < piece) break;
  }
  if (total > wave.data_size()) __builtin_trap();
  wave.reset();
  if (wave.read(buffer) != wave.data_size()) __builtin_trap();
  return 0;
}
