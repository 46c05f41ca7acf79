#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx_device.h"

namespace model {

// Vertex or index bytes kept in memory (picking, smoothing and deformers read
// and write them there) together with their copies on the devices that drew
// them. Each copy is made on first use and brought up to date before the
// next draw after the bytes changed; only the changed range is uploaded.
//
// The device copies must be released (release_device) before a device is
// destroyed; copying a DeviceBuffer copies the bytes, not the device copies.
class DeviceBuffer {
 public:
  enum class Kind { Vertex, Index };

  explicit DeviceBuffer(Kind kind) : kind_(kind) {}
  ~DeviceBuffer() { release_all(); }
  DeviceBuffer(const DeviceBuffer& other) : kind_(other.kind_), bytes_(other.bytes_) {}
  DeviceBuffer& operator=(const DeviceBuffer& other);
  DeviceBuffer(DeviceBuffer&& other) noexcept;
  DeviceBuffer& operator=(DeviceBuffer&& other) noexcept;

  Kind kind() const { return kind_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

  // Replaces the bytes; device copies of another size are made anew.
  void assign(std::vector<std::uint8_t> bytes);
  // Writable bytes; say what was written with changed().
  std::uint8_t* data() { return bytes_.data(); }
  void changed(std::size_t offset, std::size_t length);
  void changed() { changed(0, bytes_.size()); }

  // The buffer's handle on this device, created and uploaded as needed; id
  // 0 when the buffer is empty or the device cannot make it.
  std::uint32_t handle_for(gfx::Device& device) const;
  gfx::VertexBufferHandle vertex_buffer(gfx::Device& device) const {
    return gfx::VertexBufferHandle{kind_ == Kind::Vertex ? handle_for(device) : 0};
  }
  gfx::IndexBufferHandle index_buffer(gfx::Device& device) const {
    return gfx::IndexBufferHandle{kind_ == Kind::Index ? handle_for(device) : 0};
  }

  void release_device(gfx::Device& device);
  void release_all();

 private:
  struct Copy {
    gfx::Device* device = nullptr;
    std::uint32_t id = 0;
    std::size_t size = 0;
    std::size_t dirty_begin = 0;  // bytes not yet uploaded: [begin, end)
    std::size_t dirty_end = 0;
  };
  void release(Copy& copy) const;

  Kind kind_;
  std::vector<std::uint8_t> bytes_;
  mutable std::vector<Copy> copies_;
};

}  // namespace model
