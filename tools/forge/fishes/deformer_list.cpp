#include "forge/fishes/deformer_list.h"

#include "base/byte_writer.h"

namespace forge::fishes {
namespace {

void vec3(base::ByteWriter& out, const base::Vec3& v) {
  out.f32(v.x);
  out.f32(v.y);
  out.f32(v.z);
}

}  // namespace

std::vector<std::uint8_t> encode_deformer_list(const std::vector<DeformerEntry>& entries) {
  base::ByteWriter out;
  out.u32(static_cast<std::uint32_t>(entries.size()));
  for (const DeformerEntry& entry : entries) {
    out.u8(static_cast<std::uint8_t>(entry.frame.size()));
    out.text(entry.frame, entry.frame.size());
    out.u8(static_cast<std::uint8_t>(entry.type));
    out.u8(entry.part);
    out.u32(static_cast<std::uint32_t>(entry.record.size()));
    out.bytes(entry.record);
  }
  return out.take();
}

std::vector<std::uint8_t> encode(const BoxWaveRecord& record) {
  base::ByteWriter out;
  out.f32(record.second_ratio);
  out.f32(record.falloff_ratio);
  out.f32(record.main_length);
  out.f32(record.wave_size);
  out.f32(record.speed);
  out.f32(record.frequency);
  out.u32(record.main_axis);
  out.u32(record.falloff_axis);
  out.u32(record.wave_axis);
  vec3(out, record.min);
  vec3(out, record.max);
  return out.take();
}

std::vector<std::uint8_t> encode(const HingeRecord& record) {
  base::ByteWriter out;
  out.u32(record.flags);
  out.f32(record.frequency);
  out.u32(record.axis);
  out.f32(record.wave_number);
  out.f32(record.up_rest);
  out.f32(record.down_rest);
  out.f32(record.up_full);
  out.f32(record.down_full);
  vec3(out, record.box_min);
  vec3(out, record.box_max);
  vec3(out, record.hinge);
  return out.take();
}

std::vector<std::uint8_t> encode(const MorphRecord& record) {
  base::ByteWriter out;
  out.u32(record.flags);
  out.f32(record.duration);
  out.f32(record.speed_min);
  out.f32(record.speed_max);
  out.f32(record.hold_min);
  out.f32(record.hold_max);
  return out.take();
}

std::vector<std::uint8_t> encode(const EyesRecord& record) {
  base::ByteWriter out;
  out.u32(record.flags);
  out.f32(record.max_turn);
  out.f32(record.max_tilt);
  out.f32(record.pause_min);
  out.f32(record.pause_max);
  vec3(out, record.left_centre);
  vec3(out, record.right_centre);
  return out.take();
}

}  // namespace forge::fishes
