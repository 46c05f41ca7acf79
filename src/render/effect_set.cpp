#include "render/effect_set.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "base/file_io.h"

namespace render {
namespace {

// Four-byte values per element, and the distance between elements in the
// std140 block.
std::size_t block_stride(const SharedParamInfo& info) {
  const std::size_t components = effect_param_components(info.type);
  if (info.type == EffectParamType::Matrix) return 64;
  if (info.type == EffectParamType::Float4 || info.elements > 1) return 16;
  return components * 4;
}

// How many whole elements `count` values make, at most `elements`; a
// shorter run of values still sets the first element.
std::size_t element_count(std::size_t count, std::size_t components, std::size_t elements) {
  if (components == 0 || count == 0) return 0;
  return std::min(elements, std::max<std::size_t>(1, count / components));
}

}  // namespace

EffectPool::EffectPool(gfx::Device& device) : device_(device) {
  buffer_ = device_.create_uniform_buffer(kSharedBlockBytes);
}

EffectPool::~EffectPool() { device_.release_uniform_buffer(buffer_); }

void EffectPool::write(int slot, std::span<const float> values) {
  const SharedParamInfo* info = shared_param(slot);
  if (info == nullptr || info->type == EffectParamType::Texture) return;
  const std::size_t components = effect_param_components(info->type);
  const std::size_t stride = block_stride(*info);
  const std::size_t elements = element_count(values.size(), components, info->elements);
  for (std::size_t e = 0; e < elements; ++e) {
    std::uint8_t* at = bytes_.data() + info->offset + e * stride;
    for (std::size_t c = 0; c < components; ++c) {
      const std::size_t index = e * components + c;
      const float value = index < values.size() ? values[index] : 0.0f;
      if (info->type == EffectParamType::Int) {
        const std::int32_t whole = static_cast<std::int32_t>(value);
        std::memcpy(at + c * 4, &whole, 4);
      } else {
        std::memcpy(at + c * 4, &value, 4);
      }
    }
  }
  if (elements > 0) dirty_ = true;
}

void EffectPool::write_int(int slot, std::int32_t value) {
  const SharedParamInfo* info = shared_param(slot);
  if (info == nullptr || info->type == EffectParamType::Texture) return;
  if (info->type != EffectParamType::Int) {
    const float as_float = static_cast<float>(value);
    write(slot, std::span(&as_float, 1));
    return;
  }
  std::memcpy(bytes_.data() + info->offset, &value, 4);
  dirty_ = true;
}

void EffectPool::seed(int slot, std::span<const float> defaults) {
  if (slot < 0 || slot >= kSharedSlotCount || seeded_[static_cast<std::size_t>(slot)]) return;
  seeded_[static_cast<std::size_t>(slot)] = true;
  write(slot, defaults);
}

void EffectPool::apply() {
  if (dirty_ && device_.update_uniform_buffer(buffer_, 0, bytes_)) dirty_ = false;
  device_.set_uniform_buffer(kSharedBlockBinding, buffer_);
  device_.set_texture(kWaterShadowStage, water_texture_);
}

void EffectPools::create(const RenderDevices& devices) {
  pools_.clear();
  for (gfx::Device* device : devices.devices) {
    if (device != nullptr) pools_.push_back(std::make_unique<EffectPool>(*device));
  }
}

EffectPool* EffectPools::pool_for(const gfx::Device* device) {
  for (auto& pool : pools_) {
    if (&pool->device() == device && pool->ok()) return pool.get();
  }
  return nullptr;
}

bool EffectSet::load(const std::string& path) {
  release();
  std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  if (!bytes) {
    error_ = "cannot read " + path;
    return false;
  }
  return load_bytes(*bytes, std::filesystem::path(path).stem().string());
}

bool EffectSet::load_bytes(std::span<const std::uint8_t> bytes, std::string name) {
  release();
  name_ = std::move(name);
  error_.clear();
  std::optional<EffectFile> file = parse_effect_file(bytes, &error_);
  if (!file) return false;
  instances_.resize(devices_.devices.size());
  for (std::size_t i = 0; i < devices_.devices.size(); ++i) {
    if (devices_.devices[i] != nullptr) instances_[i] = make_instance(*devices_.devices[i], *file);
  }
  return has_instance();
}

std::unique_ptr<EffectSet::Instance> EffectSet::make_instance(gfx::Device& device, const EffectFile& file) {
  auto made = std::make_unique<Instance>();
  made->device = &device;
  made->pool = pools_.pool_for(&device);
  std::vector<gfx::ProgramHandle> programs;
  for (const EffectTechnique& technique : file.techniques) {
    Technique& built = made->techniques.emplace_back();
    built.name = technique.name;
    for (const EffectPass& pass : technique.passes) {
      std::string log;
      gfx::ProgramHandle program = device.create_program(pass.vertex_source, pass.fragment_source, &log);
      if (!program) {
        error_ = technique.name + "/" + pass.name + ": " + log;
        release_instance(*made);
        return nullptr;
      }
      device.bind_uniform_block(program, kSharedBlockName, kSharedBlockBinding);
      built.passes.push_back(Pass{program, pass.states});
      programs.push_back(program);
    }
  }
  for (const EffectParam& desc : file.parameters) {
    Param param;
    param.desc = desc;
    if (desc.shared) {
      const int slot = shared_slot_of(desc.name);
      const SharedParamInfo* info = shared_param(slot);
      // A shared parameter the pool does not hold as declared is left out,
      // so its handles stay empty.
      if (info == nullptr || info->type != desc.type || info->elements != desc.elements) continue;
      param.shared_slot = slot;
      if (made->pool != nullptr) made->pool->seed(slot, desc.defaults);
    } else if (desc.type != EffectParamType::Texture) {
      for (gfx::ProgramHandle program : programs) {
        gfx::UniformHandle uniform = device.find_uniform(program, desc.name);
        if (uniform) param.uniforms.push_back(uniform);
      }
    }
    made->params.push_back(std::move(param));
  }
  // Defaults of the effect's own parameters.
  for (Param& param : made->params) {
    if (param.shared_slot < 0) send_values(device, param, param.desc.defaults);
  }
  return made;
}

void EffectSet::release_instance(Instance& instance) {
  for (Technique& technique : instance.techniques) {
    for (Pass& pass : technique.passes) instance.device->release_program(pass.program);
  }
  instance.techniques.clear();
  instance.params.clear();
  instance.slots.clear();
}

void EffectSet::release() {
  for (auto& instance : instances_) {
    if (instance) release_instance(*instance);
  }
  instances_.clear();
  technique_slot_ = 0;
}

EffectSet::Instance* EffectSet::instance(std::size_t device) const {
  return device < instances_.size() ? instances_[device].get() : nullptr;
}

void EffectSet::allocate_slots(std::size_t count) {
  for (auto& instance : instances_) {
    if (instance) instance->slots.assign(count, Handle{});
  }
}

void EffectSet::bind_parameter(std::size_t slot, std::string_view name) {
  for (auto& instance : instances_) {
    if (!instance || slot >= instance->slots.size()) continue;
    Handle handle;
    for (std::size_t i = 0; i < instance->params.size(); ++i) {
      if (instance->params[i].desc.name == name)
        handle = Handle{HandleKind::Parameter, static_cast<std::uint16_t>(i)};
    }
    instance->slots[slot] = handle;
  }
}

void EffectSet::bind_technique(std::size_t slot, std::string_view name) {
  for (auto& instance : instances_) {
    if (!instance || slot >= instance->slots.size()) continue;
    Handle handle;
    for (std::size_t i = 0; i < instance->techniques.size(); ++i) {
      if (instance->techniques[i].name == name) {
        handle = Handle{HandleKind::Technique, static_cast<std::uint16_t>(i)};
      }
    }
    instance->slots[slot] = handle;
  }
}

std::size_t EffectSet::append_parameter(std::string_view name) {
  std::size_t slot = 0;
  for (auto& instance : instances_) {
    if (instance) slot = std::max(slot, instance->slots.size());
  }
  for (auto& instance : instances_) {
    if (instance) instance->slots.resize(slot + 1);
  }
  bind_parameter(slot, name);
  return slot;
}

bool EffectSet::slot_bound(std::size_t slot) const {
  const Instance* current = instance(devices_.current);
  return current != nullptr && slot < current->slots.size() && current->slots[slot].kind != HandleKind::None;
}

void EffectSet::select_technique(std::size_t slot, bool all_devices) {
  if (all_devices) technique_slot_ = slot;
  for (std::size_t i = 0; i < instances_.size(); ++i) {
    Instance* target = instances_[i].get();
    if (target == nullptr || (!all_devices && i != devices_.current)) continue;
    if (slot >= target->slots.size() || target->slots[slot].kind != HandleKind::Technique) continue;
    target->technique = target->slots[slot].index;
  }
}

std::string_view EffectSet::technique_name() const {
  const Instance* current = instance(devices_.current);
  if (current == nullptr || current->technique >= current->techniques.size()) return {};
  return current->techniques[current->technique].name;
}

EffectSet::Param* EffectSet::param_at(std::size_t slot, Instance** owner) {
  Instance* current = instance(devices_.current);
  if (current == nullptr || slot >= current->slots.size()) return nullptr;
  const Handle handle = current->slots[slot];
  if (handle.kind != HandleKind::Parameter || handle.index >= current->params.size()) return nullptr;
  *owner = current;
  return &current->params[handle.index];
}

void EffectSet::set_floats(std::size_t slot, std::span<const float> values, EffectParamType) {
  Instance* owner = nullptr;
  Param* param = param_at(slot, &owner);
  if (param == nullptr || param->desc.type == EffectParamType::Texture) return;
  if (param->shared_slot >= 0) {
    if (owner->pool != nullptr) owner->pool->write(param->shared_slot, values);
    return;
  }
  send_values(*owner->device, *param, values);
}

void EffectSet::send_values(gfx::Device& device, const Param& param, std::span<const float> values) {
  const std::size_t components = effect_param_components(param.desc.type);
  const std::size_t elements = element_count(values.size(), components, param.desc.elements);
  if (elements == 0 || param.uniforms.empty()) return;
  const std::size_t count = elements * components;
  auto value = [&](std::size_t i) { return i < values.size() ? values[i] : 0.0f; };
  // Room for the largest parameter, so setting allocates nothing.
  static thread_local std::array<float, kMaxEffectElements> floats;
  static thread_local std::array<std::int32_t, kMaxEffectElements> ints;
  static thread_local std::array<base::Vec4, kMaxEffectElements> vectors;
  static thread_local std::array<base::Matrix, kMaxEffectElements> matrices;
  for (gfx::UniformHandle uniform : param.uniforms) {
    switch (param.desc.type) {
      case EffectParamType::Float:
        for (std::size_t i = 0; i < count; ++i) floats[i] = value(i);
        device.set_uniform(uniform, std::span<const float>(floats.data(), count));
        break;
      case EffectParamType::Int:
        for (std::size_t i = 0; i < count; ++i) ints[i] = static_cast<std::int32_t>(value(i));
        device.set_uniform(uniform, std::span<const std::int32_t>(ints.data(), count));
        break;
      case EffectParamType::Float4:
        for (std::size_t e = 0; e < elements; ++e) {
          vectors[e] = base::Vec4{value(e * 4), value(e * 4 + 1), value(e * 4 + 2), value(e * 4 + 3)};
        }
        device.set_uniform(uniform, std::span<const base::Vec4>(vectors.data(), elements));
        break;
      case EffectParamType::Matrix:
        for (std::size_t e = 0; e < elements; ++e) {
          for (std::size_t i = 0; i < 16; ++i) matrices[e].m[i / 4][i % 4] = value(e * 16 + i);
        }
        device.set_uniform(uniform, std::span<const base::Matrix>(matrices.data(), elements));
        break;
      case EffectParamType::Texture:
        break;
    }
  }
}

void EffectSet::set_matrix(std::size_t slot, const base::Matrix& m) {
  set_floats(slot, std::span<const float>(&m.m[0][0], 16), EffectParamType::Matrix);
}

void EffectSet::set_vector(std::size_t slot, const base::Vec3& v) {
  const float values[4] = {v.x, v.y, v.z, 0.0f};
  set_floats(slot, values, EffectParamType::Float4);
}

void EffectSet::set_vector4(std::size_t slot, const base::Vec4& v) {
  const float values[4] = {v.x, v.y, v.z, v.w};
  set_floats(slot, values, EffectParamType::Float4);
}

void EffectSet::set_float(std::size_t slot, float f) {
  set_floats(slot, std::span(&f, 1), EffectParamType::Float);
}

void EffectSet::set_float_array(std::size_t slot, const float* values, std::size_t count) {
  if (values == nullptr) return;
  set_floats(slot, std::span(values, count), EffectParamType::Float);
}

void EffectSet::set_int(std::size_t slot, std::int32_t i) {
  Instance* owner = nullptr;
  Param* param = param_at(slot, &owner);
  if (param == nullptr) return;
  if (param->shared_slot >= 0) {
    if (owner->pool != nullptr) owner->pool->write_int(param->shared_slot, i);
    return;
  }
  const float value = static_cast<float>(i);
  set_floats(slot, std::span(&value, 1), EffectParamType::Int);
}

void EffectSet::set_matrix_array(std::size_t slot, const base::Matrix* matrices, std::size_t count) {
  if (matrices == nullptr) return;
  // Whole matrices only; set_floats drops those beyond the parameter's size.
  set_floats(slot, std::span<const float>(&matrices->m[0][0], count * 16), EffectParamType::Matrix);
}

void EffectSet::set_texture(std::size_t slot, gfx::TextureHandle texture) {
  Instance* owner = nullptr;
  Param* param = param_at(slot, &owner);
  if (param == nullptr || param->desc.type != EffectParamType::Texture) return;
  if (param->shared_slot >= 0) {
    if (owner->pool != nullptr) owner->pool->set_texture(texture);
    return;
  }
  param->texture = texture;
}

std::size_t EffectSet::pass_count() const {
  const Instance* current = instance(devices_.current);
  if (current == nullptr || current->technique >= current->techniques.size()) return 0;
  return current->techniques[current->technique].passes.size();
}

bool EffectSet::begin_pass(std::size_t pass) {
  Instance* current = instance(devices_.current);
  if (current == nullptr || current->technique >= current->techniques.size()) return false;
  const Technique& technique = current->techniques[current->technique];
  if (pass >= technique.passes.size()) return false;
  gfx::Device& device = *current->device;
  device.set_program(technique.passes[pass].program);
  for (const auto& [state, value] : technique.passes[pass].states) {
    device.set_render_state(static_cast<gfx::RenderState>(state), value);
  }
  for (const Param& param : current->params) {
    if (param.desc.type == EffectParamType::Texture && param.shared_slot < 0) {
      device.set_texture(param.desc.stage, param.texture);
    }
  }
  if (current->pool != nullptr) current->pool->apply();
  return true;
}

std::size_t object_technique_slot(bool bump, int shader_level) {
  if (bump) return shader_level == 3 ? kObjTechniquePs20 : kObjTechniquePs14;
  return shader_level >= 1 ? kObjTechniquePs11 : kObjTechniquePs00;
}

std::string effect_path(std::string_view program_folder, std::string_view name, bool bump) {
  std::string path(program_folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += "Shader/";
  // The extension is forced: whatever follows the last dot of the name is
  // replaced (before "Bump" is added, so "X.fx" with bump is "XBump.fxo").
  std::string file(name);
  const std::size_t dot = file.find_last_of('.');
  if (dot != std::string::npos && dot > 0 && file.find('/', dot) == std::string::npos) file.resize(dot);
  if (bump) file += "Bump";
  return path + file + ".fxo";
}

bool load_object_effect(EffectSet& effect, std::string_view program_folder, std::string_view name, bool bump,
                        int shader_level) {
  if (!effect.load(effect_path(program_folder, name, bump))) return false;
  effect.allocate_slots(kObjectEffectSlots);
  effect.bind_parameter(kObjDiffuseTexture, "DiffuseTexture");
  effect.bind_technique(kObjTechniqueLine, "TE_LINE");
  if (bump) {
    effect.bind_parameter(kObjBumpmapTexture, "BumpmapTexture");
    effect.bind_technique(kObjTechniquePs14, "TE_PS14");
    effect.bind_technique(kObjTechniquePs20, "TE_PS20");
  } else {
    effect.bind_technique(kObjTechniquePs11, "TE_PS11");
    effect.bind_technique(kObjTechniquePs00, "TE_PS00");
  }
  effect.select_technique(object_technique_slot(bump, shader_level), true);
  return effect.has_instance();
}

bool load_shared_effect(EffectSet& shared, EffectPools& pools, const RenderDevices& devices,
                        std::string_view program_folder) {
  pools.create(devices);
  if (!shared.load(effect_path(program_folder, "Shared", false))) return false;
  shared.allocate_slots(kSharedSlotCount);
  for (int slot = 0; slot < kSharedSlotCount; ++slot) {
    if (const SharedParamInfo* info = shared_param(slot))
      shared.bind_parameter(static_cast<std::size_t>(slot), info->name);
  }
  return shared.has_instance();
}

}  // namespace render
