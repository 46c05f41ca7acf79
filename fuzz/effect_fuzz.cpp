// Reads the input as an effect file; what reads is written again (which must
// succeed, and read back to the same bytes once more), then made on a
// recording device and set through every slot.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/recording_device.h"
#include "render/effect_file.h"
#include "render/effect_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const std::optional<render::EffectFile> effect = render::parse_effect_file(file);
  if (!effect) return 0;
  const std::optional<std::vector<std::uint8_t>> again = render::encode_effect_file(*effect);
  if (!again) std::abort();
  const std::optional<render::EffectFile> reread = render::parse_effect_file(*again);
  if (!reread || render::encode_effect_file(*reread) != again) std::abort();

  gfx::RecordingDevice device;
  render::RenderDevices devices;
  devices.devices = {&device};
  render::EffectPools pools;
  pools.create(devices);
  render::EffectSet set(devices, pools);
  if (!set.load_bytes(file, "Fuzz")) return 0;
  set.allocate_slots(effect->parameters.size() + effect->techniques.size());
  std::size_t slot = 0;
  for (const render::EffectParam& param : effect->parameters) set.bind_parameter(slot++, param.name);
  for (const render::EffectTechnique& technique : effect->techniques)
    set.bind_technique(slot++, technique.name);
  const std::vector<base::Matrix> matrices(70, base::identity());
  for (std::size_t i = 0; i < slot; ++i) {
    set.set_matrix_array(i, matrices.data(), matrices.size());
    set.set_vector(i, {1, 2, 3});
    set.set_int(i, 7);
    set.set_texture(i, gfx::TextureHandle{1});
    set.select_technique(i, true);
    for (std::size_t pass = 0; pass < set.pass_count(); ++pass) set.begin_pass(pass);
  }
  return 0;
}
