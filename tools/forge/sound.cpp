// The ambient sounds of the "Sound/" folder.
#include "audio/water_ambience.h"
#include "audio/wave_file.h"
#include "forge/generator.h"

namespace {

bool write_sounds(const forge::Output& output) {
  const audio::PcmSamples water = audio::synthesize_water_ambience();
  return output.write("Sound/Water.wav", audio::encode_wave_file(water.rate, water.channels, water.samples));
}

}  // namespace

FORGE_GENERATOR("sound", write_sounds);
