#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"
#include "platform/gfx_device.h"
#include "render/effect_file.h"
#include "render/shared_params.h"

namespace render {

// The rendering devices (one per monitor) and the one that per-device
// operations act on. Code that draws makes each device current in turn.
struct RenderDevices {
  std::vector<gfx::Device*> devices;
  std::size_t current = 0;

  gfx::Device* current_device() const { return current < devices.size() ? devices[current] : nullptr; }
};

// One device's effect pool: the values of the shared parameters, kept in
// memory and sent to the device's uniform buffer before a pass draws when
// they changed, and the water light-pattern texture.
class EffectPool {
 public:
  explicit EffectPool(gfx::Device& device);
  ~EffectPool();
  EffectPool(const EffectPool&) = delete;
  EffectPool& operator=(const EffectPool&) = delete;

  gfx::Device& device() const { return device_; }
  bool ok() const { return static_cast<bool>(buffer_); }

  // Writes values of a shared slot: count values of the slot's components
  // each (a float4 takes four floats); elements beyond the slot's are
  // dropped. Texture slots are set with set_texture.
  void write(int slot, std::span<const float> values);
  void write_int(int slot, std::int32_t value);
  void set_texture(gfx::TextureHandle texture) { water_texture_ = texture; }
  gfx::TextureHandle texture() const { return water_texture_; }
  // The first value set for a slot by any effect's defaults; later ones are
  // ignored.
  void seed(int slot, std::span<const float> defaults);
  // Sends changed values and binds the block and the water texture.
  void apply();
  // The block as the shaders see it.
  std::span<const std::uint8_t> bytes() const { return bytes_; }

 private:
  gfx::Device& device_;
  gfx::UniformBufferHandle buffer_;
  std::array<std::uint8_t, kSharedBlockBytes> bytes_{};
  std::array<bool, kSharedSlotCount> seeded_{};
  bool dirty_ = true;
  gfx::TextureHandle water_texture_;
};

// The pools of all devices, created before the first effect loads and
// released after the last effect made with them.
class EffectPools {
 public:
  void create(const RenderDevices& devices);
  void release() { pools_.clear(); }
  // The pool of a device, or nullptr.
  EffectPool* pool_for(const gfx::Device* device);

 private:
  std::vector<std::unique_ptr<EffectPool>> pools_;
};

// One effect file, made on every device. Parameters and techniques are
// reached through a table of handles by slot; a name the effect does not
// declare leaves an empty handle, and setting through an empty handle does
// nothing. Setters act on the current device.
class EffectSet {
 public:
  EffectSet(RenderDevices& devices, EffectPools& pools) : devices_(devices), pools_(pools) {}
  ~EffectSet() { release(); }
  EffectSet(const EffectSet&) = delete;
  EffectSet& operator=(const EffectSet&) = delete;

  // Releases what was loaded, then reads the file and makes the effect on
  // every device; a device whose programs do not build gets no instance.
  // Each instance starts with its first technique. The name is the file's
  // base name. Returns whether the current device has an instance.
  bool load(const std::string& path);
  // The same from the bytes of a file.
  bool load_bytes(std::span<const std::uint8_t> bytes, std::string name);
  void release();

  const std::string& name() const { return name_; }
  bool has_instance() const { return instance(devices_.current) != nullptr; }
  bool has_instance(std::size_t device) const { return instance(device) != nullptr; }
  // The compiler's or reader's complaint from the last load, for tests and
  // the forge.
  const std::string& error() const { return error_; }

  void allocate_slots(std::size_t count);
  void bind_parameter(std::size_t slot, std::string_view name);
  void bind_technique(std::size_t slot, std::string_view name);
  std::size_t append_parameter(std::string_view name);
  bool slot_bound(std::size_t slot) const;  // on the current device
  // Selects the slot's technique on every device (and remembers the slot)
  // or only on the current one; an empty handle changes nothing.
  void select_technique(std::size_t slot, bool all_devices);
  std::size_t current_technique_slot() const { return technique_slot_; }
  // The technique the current device draws with; empty without an instance.
  std::string_view technique_name() const;

  // Device loss needs nothing from GL programs; these exist for the device
  // code that calls them around a reset.
  void on_lost_device() {}
  void on_reset_device() {}

  void set_matrix(std::size_t slot, const base::Matrix& m);
  // Three values; w is sent as 0.
  void set_vector(std::size_t slot, const base::Vec3& v);
  void set_vector4(std::size_t slot, const base::Vec4& v);
  void set_float(std::size_t slot, float f);
  void set_float_array(std::size_t slot, const float* values, std::size_t count);
  void set_int(std::size_t slot, std::int32_t i);
  // At most the parameter's element count is taken (20 for the skinning
  // palette); the rest are dropped.
  void set_matrix_array(std::size_t slot, const base::Matrix* matrices, std::size_t count);
  void set_texture(std::size_t slot, gfx::TextureHandle texture);

  // Drawing on the current device with its technique: the number of passes
  // (0 without an instance), and a pass's program, render states, textures
  // and shared values made current.
  std::size_t pass_count() const;
  bool begin_pass(std::size_t pass);

 private:
  struct Param {
    EffectParam desc;
    int shared_slot = -1;                      // where a shared parameter lives in the pool
    std::vector<gfx::UniformHandle> uniforms;  // per program of the effect
    gfx::TextureHandle texture;
  };
  struct Pass {
    gfx::ProgramHandle program;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> states;
  };
  struct Technique {
    std::string name;
    std::vector<Pass> passes;
  };
  enum class HandleKind : std::uint8_t { None, Parameter, Technique };
  struct Handle {
    HandleKind kind = HandleKind::None;
    std::uint16_t index = 0;
  };
  struct Instance {
    gfx::Device* device = nullptr;
    EffectPool* pool = nullptr;
    std::vector<Param> params;
    std::vector<Technique> techniques;
    std::size_t technique = 0;
    std::vector<Handle> slots;
  };

  std::unique_ptr<Instance> make_instance(gfx::Device& device, const EffectFile& file);
  void release_instance(Instance& instance);
  Instance* instance(std::size_t device) const;
  // The parameter behind a slot on the current device, or nullptr.
  Param* param_at(std::size_t slot, Instance** owner);
  void set_floats(std::size_t slot, std::span<const float> values, EffectParamType type);
  static void send_values(gfx::Device& device, const Param& param, std::span<const float> values);

  RenderDevices& devices_;
  EffectPools& pools_;
  std::string name_;
  std::string error_;
  std::vector<std::unique_ptr<Instance>> instances_;  // by device index, null where absent
  std::size_t technique_slot_ = 0;
};

// The handle slots of an object effect.
enum ObjectEffectSlot : std::size_t {
  kObjDiffuseTexture = 0,
  kObjBumpmapTexture = 1,
  kObjTechniquePs00 = 2,
  kObjTechniquePs11 = 3,
  kObjTechniquePs14 = 4,
  kObjTechniquePs20 = 5,
  kObjTechniqueLine = 6,
};
inline constexpr std::size_t kObjectEffectSlots = 7;

// The technique slot an object effect draws with at a shader level: bump
// effects TE_PS20 at level 3, else TE_PS14; plain ones TE_PS11 from level 1,
// else TE_PS00.
std::size_t object_technique_slot(bool bump, int shader_level);

// The path of an effect: folder + "Shader/" + name (+ "Bump"), with the
// extension replaced by "fxo".
std::string effect_path(std::string_view program_folder, std::string_view name, bool bump);

// Loads "Shader/<name>[Bump].fxo" below program_folder, binds the object
// slots and selects the technique for the level on every device. Returns
// whether the current device has an instance.
bool load_object_effect(EffectSet& effect, std::string_view program_folder, std::string_view name, bool bump,
                        int shader_level);

// Loads "Shader/Shared.fxo" after creating the pools and binds the 28
// shared slots; false (start-up fails) when the current device has no
// instance.
bool load_shared_effect(EffectSet& shared, EffectPools& pools, const RenderDevices& devices,
                        std::string_view program_folder);

}  // namespace render
