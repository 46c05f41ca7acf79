#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/gfx_device.h"

namespace gfx {

// A device that draws nothing and records every call as one line of text,
// so tests can check the order of rendering work. It keeps the bytes
// written to its buffers and the values set through uniforms, so tests can
// check what would reach the GPU. read_back returns the last clear colour
// over the whole back buffer.
class RecordingDevice final : public Device {
 public:
  explicit RecordingDevice(const PresentParams& params = PresentParams{800, 600, false, 0});

  bool reset(const PresentParams& params) override;
  PresentParams params() const override { return params_; }
  DeviceInfo info() const override { return DeviceInfo{"recording", "3.3", 8192, 4}; }
  void set_viewport(const Viewport& viewport) override;
  Viewport viewport() const override { return viewport_; }
  void clear(uint32_t flags, uint32_t color, float depth, uint32_t stencil) override;
  bool present() override;
  Image read_back() override;

  VertexBufferHandle create_vertex_buffer(std::uint32_t bytes) override;
  bool update_vertex_buffer(VertexBufferHandle buffer, std::uint32_t offset,
                            std::span<const std::uint8_t> bytes) override;
  void release_vertex_buffer(VertexBufferHandle buffer) override;
  IndexBufferHandle create_index_buffer(std::uint32_t bytes) override;
  bool update_index_buffer(IndexBufferHandle buffer, std::uint32_t offset,
                           std::span<const std::uint8_t> bytes) override;
  void release_index_buffer(IndexBufferHandle buffer) override;
  TextureHandle create_texture(const TextureDesc& desc, PixelOrder order,
                               std::span<const std::uint8_t> pixels) override;
  bool update_texture(TextureHandle texture, int level, int x, int y, int width, int height, PixelOrder order,
                      std::span<const std::uint8_t> pixels) override;
  void release_texture(TextureHandle texture) override;
  void set_texture(int stage, TextureHandle texture) override;
  ProgramHandle create_program(std::string_view vertex_source, std::string_view fragment_source,
                               std::string* error) override;
  void release_program(ProgramHandle program) override;
  void set_program(ProgramHandle program) override;
  UniformHandle find_uniform(ProgramHandle program, std::string_view name) override;
  void set_uniform(UniformHandle uniform, std::span<const float> values) override;
  void set_uniform(UniformHandle uniform, std::span<const std::int32_t> values) override;
  void set_uniform(UniformHandle uniform, std::span<const base::Vec4> values) override;
  void set_uniform(UniformHandle uniform, std::span<const base::Matrix> values) override;
  UniformBufferHandle create_uniform_buffer(std::uint32_t bytes) override;
  bool update_uniform_buffer(UniformBufferHandle buffer, std::uint32_t offset,
                             std::span<const std::uint8_t> bytes) override;
  void release_uniform_buffer(UniformBufferHandle buffer) override;
  bool bind_uniform_block(ProgramHandle program, std::string_view block_name, int binding) override;
  void set_uniform_buffer(int binding, UniformBufferHandle buffer) override;
  void set_render_state(RenderState state, std::uint32_t value) override;
  std::uint32_t render_state(RenderState state) const override;
  void set_vertex_format(std::uint32_t fvf) override;
  void set_vertex_buffer(VertexBufferHandle buffer) override;
  void set_index_buffer(IndexBufferHandle buffer) override;
  void draw_indexed(PrimitiveType type, std::int32_t base_vertex, std::uint32_t first_index,
                    std::uint32_t primitive_count) override;
  void draw(PrimitiveType type, std::uint32_t first_vertex, std::uint32_t primitive_count) override;

  // Drops the recorded calls but keeps the device objects.
  void clear_calls() { calls.clear(); }
  // How many recorded calls start with prefix.
  int count_calls(std::string_view prefix) const;

  std::vector<std::string> calls;
  // Contents of the live buffers, by handle id.
  std::map<std::uint32_t, std::vector<std::uint8_t>> vertex_buffers;
  std::map<std::uint32_t, std::vector<std::uint8_t>> index_buffers;
  std::map<std::uint32_t, TextureDesc> textures;
  std::map<std::uint32_t, std::vector<std::uint8_t>> uniform_buffers;
  // The last values set through each uniform name, as floats (of any program).
  std::map<std::string, std::vector<float>, std::less<>> uniforms;
  // Makes every create_ call fail.
  bool fail_creation = false;
  bool fail_reset = false;
  bool lose_on_present = false;
  int presents = 0;

 private:
  PresentParams params_;
  Viewport viewport_;
  uint32_t clear_color_ = 0;
  std::uint32_t next_id_ = 1;
  std::vector<std::string> uniform_names_;  // by uniform handle id - 1
  std::map<std::uint32_t, std::uint32_t> render_states_;
};

}  // namespace gfx
