#include "platform/recording_device.h"

#include <algorithm>
#include <cstdio>

namespace gfx {

RecordingDevice::RecordingDevice(const PresentParams& params) : params_(params) {
  viewport_ = Viewport{0, 0, params.width, params.height, 0.0f, 1.0f};
}

bool RecordingDevice::reset(const PresentParams& params) {
  calls.push_back("reset " + std::to_string(params.width) + "x" + std::to_string(params.height) +
                  (params.vsync ? " vsync" : ""));
  if (fail_reset) return false;
  params_ = params;
  viewport_ = Viewport{0, 0, params.width, params.height, 0.0f, 1.0f};
  return true;
}

void RecordingDevice::set_viewport(const Viewport& viewport) {
  viewport_ = viewport;
  calls.push_back("viewport " + std::to_string(viewport.x) + " " + std::to_string(viewport.y) + " " +
                  std::to_string(viewport.width) + " " + std::to_string(viewport.height));
}

void RecordingDevice::clear(uint32_t flags, uint32_t color, float, uint32_t) {
  char line[48];
  std::snprintf(line, sizeof line, "clear %u %08X", flags, color);
  calls.emplace_back(line);
  if (flags & kClearTarget) clear_color_ = color;
}

bool RecordingDevice::present() {
  calls.emplace_back("present");
  ++presents;
  return !lose_on_present;
}

Image RecordingDevice::read_back() {
  Image image;
  image.width = params_.width;
  image.height = params_.height;
  image.rgba.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4);
  for (size_t at = 0; at < image.rgba.size(); at += 4) {
    image.rgba[at] = static_cast<uint8_t>(clear_color_ >> 16);
    image.rgba[at + 1] = static_cast<uint8_t>(clear_color_ >> 8);
    image.rgba[at + 2] = static_cast<uint8_t>(clear_color_);
    image.rgba[at + 3] = static_cast<uint8_t>(clear_color_ >> 24);
  }
  return image;
}

}  // namespace gfx

namespace gfx {

namespace {

std::string line(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

bool write_into(std::map<std::uint32_t, std::vector<std::uint8_t>>& buffers, std::uint32_t id,
                std::uint32_t offset, std::span<const std::uint8_t> bytes) {
  auto found = buffers.find(id);
  if (found == buffers.end()) return false;
  std::vector<std::uint8_t>& buffer = found->second;
  if (offset > buffer.size() || bytes.size() > buffer.size() - offset) return false;
  std::copy(bytes.begin(), bytes.end(), buffer.begin() + offset);
  return true;
}

}  // namespace

int RecordingDevice::count_calls(std::string_view prefix) const {
  int count = 0;
  for (const std::string& call : calls) count += call.starts_with(prefix) ? 1 : 0;
  return count;
}

VertexBufferHandle RecordingDevice::create_vertex_buffer(std::uint32_t bytes) {
  if (fail_creation || bytes == 0) return {};
  const std::uint32_t id = next_id_++;
  vertex_buffers[id].assign(bytes, 0);
  calls.push_back(line("create_vertex_buffer %u %u", id, bytes));
  return VertexBufferHandle{id};
}

bool RecordingDevice::update_vertex_buffer(VertexBufferHandle buffer, std::uint32_t offset,
                                           std::span<const std::uint8_t> bytes) {
  calls.push_back(line("update_vertex_buffer %u %u %zu", buffer.id, offset, bytes.size()));
  return write_into(vertex_buffers, buffer.id, offset, bytes);
}

void RecordingDevice::release_vertex_buffer(VertexBufferHandle buffer) {
  if (!buffer) return;
  calls.push_back(line("release_vertex_buffer %u", buffer.id));
  vertex_buffers.erase(buffer.id);
}

IndexBufferHandle RecordingDevice::create_index_buffer(std::uint32_t bytes) {
  if (fail_creation || bytes == 0) return {};
  const std::uint32_t id = next_id_++;
  index_buffers[id].assign(bytes, 0);
  calls.push_back(line("create_index_buffer %u %u", id, bytes));
  return IndexBufferHandle{id};
}

bool RecordingDevice::update_index_buffer(IndexBufferHandle buffer, std::uint32_t offset,
                                          std::span<const std::uint8_t> bytes) {
  calls.push_back(line("update_index_buffer %u %u %zu", buffer.id, offset, bytes.size()));
  return write_into(index_buffers, buffer.id, offset, bytes);
}

void RecordingDevice::release_index_buffer(IndexBufferHandle buffer) {
  if (!buffer) return;
  calls.push_back(line("release_index_buffer %u", buffer.id));
  index_buffers.erase(buffer.id);
}

TextureHandle RecordingDevice::create_texture(const TextureDesc& desc, PixelOrder,
                                              std::span<const std::uint8_t> pixels) {
  if (fail_creation || desc.width <= 0 || desc.height <= 0) return {};
  if (!pixels.empty() && pixels.size() != static_cast<std::size_t>(desc.width) * desc.height * 4) return {};
  const std::uint32_t id = next_id_++;
  textures[id] = desc;
  calls.push_back(line("create_texture %u %dx%d %d", id, desc.width, desc.height, desc.levels));
  return TextureHandle{id};
}

bool RecordingDevice::update_texture(TextureHandle texture, int level, int x, int y, int width, int height,
                                     PixelOrder, std::span<const std::uint8_t> pixels) {
  calls.push_back(line("update_texture %u %d %d %d %d %d", texture.id, level, x, y, width, height));
  return textures.contains(texture.id) && pixels.size() == static_cast<std::size_t>(width) * height * 4;
}

void RecordingDevice::release_texture(TextureHandle texture) {
  if (!texture) return;
  calls.push_back(line("release_texture %u", texture.id));
  textures.erase(texture.id);
}

void RecordingDevice::set_texture(int stage, TextureHandle texture) {
  calls.push_back(line("set_texture %d %u", stage, texture.id));
}

ProgramHandle RecordingDevice::create_program(std::string_view, std::string_view, std::string* error) {
  if (fail_creation) {
    if (error != nullptr) *error = "recording device: creation fails";
    return {};
  }
  const std::uint32_t id = next_id_++;
  calls.push_back(line("create_program %u", id));
  return ProgramHandle{id};
}

void RecordingDevice::release_program(ProgramHandle program) {
  if (program) calls.push_back(line("release_program %u", program.id));
}

void RecordingDevice::set_program(ProgramHandle program) { calls.push_back(line("set_program %u", program.id)); }

UniformHandle RecordingDevice::find_uniform(ProgramHandle program, std::string_view name) {
  if (!program || name.empty()) return {};
  for (std::size_t i = 0; i < uniform_names_.size(); ++i) {
    if (uniform_names_[i] == name) return UniformHandle{static_cast<std::uint32_t>(i + 1)};
  }
  uniform_names_.emplace_back(name);
  return UniformHandle{static_cast<std::uint32_t>(uniform_names_.size())};
}

void RecordingDevice::set_uniform(UniformHandle uniform, std::span<const float> values) {
  if (!uniform || uniform.id > uniform_names_.size()) return;
  const std::string& name = uniform_names_[uniform.id - 1];
  calls.push_back("uniform " + name);
  uniforms[name].assign(values.begin(), values.end());
}

void RecordingDevice::set_uniform(UniformHandle uniform, std::span<const std::int32_t> values) {
  std::vector<float> floats(values.begin(), values.end());
  set_uniform(uniform, std::span<const float>(floats));
}

void RecordingDevice::set_uniform(UniformHandle uniform, std::span<const base::Vec4> values) {
  set_uniform(uniform, std::span<const float>(&values.data()->x, values.size() * 4));
}

void RecordingDevice::set_uniform(UniformHandle uniform, std::span<const base::Matrix> values) {
  set_uniform(uniform, std::span<const float>(&values.data()->m[0][0], values.size() * 16));
}

UniformBufferHandle RecordingDevice::create_uniform_buffer(std::uint32_t bytes) {
  if (fail_creation || bytes == 0) return {};
  const std::uint32_t id = next_id_++;
  uniform_buffers[id].assign(bytes, 0);
  calls.push_back(line("create_uniform_buffer %u %u", id, bytes));
  return UniformBufferHandle{id};
}

bool RecordingDevice::update_uniform_buffer(UniformBufferHandle buffer, std::uint32_t offset,
                                            std::span<const std::uint8_t> bytes) {
  calls.push_back(line("update_uniform_buffer %u %u %zu", buffer.id, offset, bytes.size()));
  return write_into(uniform_buffers, buffer.id, offset, bytes);
}

void RecordingDevice::release_uniform_buffer(UniformBufferHandle buffer) {
  if (!buffer) return;
  calls.push_back(line("release_uniform_buffer %u", buffer.id));
  uniform_buffers.erase(buffer.id);
}

bool RecordingDevice::bind_uniform_block(ProgramHandle program, std::string_view block_name, int binding) {
  calls.push_back(line("bind_uniform_block %u %d ", program.id, binding) + std::string(block_name));
  return program && binding >= 0 && binding < kUniformBufferBindings;
}

void RecordingDevice::set_uniform_buffer(int binding, UniformBufferHandle buffer) {
  calls.push_back(line("set_uniform_buffer %d %u", binding, buffer.id));
}

void RecordingDevice::set_render_state(RenderState state, std::uint32_t value) {
  calls.push_back(line("render_state %u %u", static_cast<std::uint32_t>(state), value));
  render_states_[static_cast<std::uint32_t>(state)] = value;
}

std::uint32_t RecordingDevice::render_state(RenderState state) const {
  auto found = render_states_.find(static_cast<std::uint32_t>(state));
  return found != render_states_.end() ? found->second : default_render_state(state);
}

void RecordingDevice::set_vertex_format(std::uint32_t fvf) { calls.push_back(line("vertex_format %X", fvf)); }

void RecordingDevice::set_vertex_buffer(VertexBufferHandle buffer) {
  calls.push_back(line("vertex_buffer %u", buffer.id));
}

void RecordingDevice::set_index_buffer(IndexBufferHandle buffer) {
  calls.push_back(line("index_buffer %u", buffer.id));
}

void RecordingDevice::draw_indexed(PrimitiveType type, std::int32_t base_vertex, std::uint32_t first_index,
                                   std::uint32_t primitive_count) {
  calls.push_back(line("draw_indexed %u %d %u %u", static_cast<std::uint32_t>(type), base_vertex, first_index,
                       primitive_count));
}

void RecordingDevice::draw(PrimitiveType type, std::uint32_t first_vertex, std::uint32_t primitive_count) {
  calls.push_back(line("draw %u %u %u", static_cast<std::uint32_t>(type), first_vertex, primitive_count));
}

}  // namespace gfx
