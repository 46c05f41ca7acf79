#include "forge/scenery/anemone_data.h"

#include "base/byte_writer.h"

namespace forge::scenery {

std::vector<std::uint8_t> encode_anemone_data(const AnemoneData& data) {
  base::ByteWriter out;
  out.u32(data.bones_per_vertex);
  for (float word :
       {data.bone_reach, data.root_height, data.buoyancy, data.particle_mass, data.slack, data.unused_word6,
        data.stiffness, data.damping, data.time_step, data.current, data.side_spread}) {
    out.f32(word);
  }
  out.zeros(12 * 4);  // words 12 to 23
  for (const auto& range : {data.height_scale, data.width_scale, data.shade_scale}) {
    out.f32(range[0]);
    out.f32(range[1]);
  }
  out.u32(data.base_colour);
  out.u32(data.glow_colour);
  for (float height : data.node_heights) out.f32(height);
  out.u32(static_cast<std::uint32_t>(data.roots.size()));
  for (const TentacleRoot& root : data.roots) {
    out.f32(root.position.x);
    out.f32(root.position.y);
    out.f32(root.position.z);
  }
  for (const TentacleRoot& root : data.roots) {
    out.f32(root.direction.x);
    out.f32(root.direction.y);
    out.f32(root.direction.z);
  }
  return out.take();
}

}  // namespace forge::scenery
