#include "model/device_buffer.h"

#include <algorithm>
#include <limits>
#include <span>
#include <utility>

namespace model {

DeviceBuffer& DeviceBuffer::operator=(const DeviceBuffer& other) {
  if (this != &other) {
    release_all();
    kind_ = other.kind_;
    bytes_ = other.bytes_;
  }
  return *this;
}

DeviceBuffer::DeviceBuffer(DeviceBuffer&& other) noexcept
    : kind_(other.kind_), bytes_(std::move(other.bytes_)), copies_(std::move(other.copies_)) {
  other.copies_.clear();
  other.bytes_.clear();
}

DeviceBuffer& DeviceBuffer::operator=(DeviceBuffer&& other) noexcept {
  if (this != &other) {
    release_all();
    kind_ = other.kind_;
    bytes_ = std::move(other.bytes_);
    copies_ = std::move(other.copies_);
    other.copies_.clear();
    other.bytes_.clear();
  }
  return *this;
}

void DeviceBuffer::assign(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  changed();
}

void DeviceBuffer::changed(std::size_t offset, std::size_t length) {
  if (offset >= bytes_.size() || length == 0) return;
  const std::size_t end = offset + std::min(length, bytes_.size() - offset);
  for (Copy& copy : copies_) {
    if (copy.dirty_begin == copy.dirty_end) {
      copy.dirty_begin = offset;
      copy.dirty_end = end;
    } else {
      copy.dirty_begin = std::min(copy.dirty_begin, offset);
      copy.dirty_end = std::max(copy.dirty_end, end);
    }
  }
}

std::uint32_t DeviceBuffer::handle_for(gfx::Device& device) const {
  if (bytes_.empty() || bytes_.size() > std::numeric_limits<std::uint32_t>::max()) return 0;
  auto found = std::find_if(copies_.begin(), copies_.end(), [&](const Copy& c) { return c.device == &device; });
  if (found != copies_.end() && found->size != bytes_.size()) {
    release(*found);
    copies_.erase(found);
    found = copies_.end();
  }
  if (found == copies_.end()) {
    Copy copy;
    copy.device = &device;
    copy.size = bytes_.size();
    const auto size = static_cast<std::uint32_t>(bytes_.size());
    copy.id = kind_ == Kind::Vertex ? device.create_vertex_buffer(size).id : device.create_index_buffer(size).id;
    if (copy.id == 0) return 0;
    copy.dirty_begin = 0;
    copy.dirty_end = bytes_.size();
    copies_.push_back(copy);
    found = copies_.end() - 1;
  }
  Copy& copy = *found;
  if (copy.dirty_begin < copy.dirty_end) {
    const std::span<const std::uint8_t> part(bytes_.data() + copy.dirty_begin, copy.dirty_end - copy.dirty_begin);
    const auto offset = static_cast<std::uint32_t>(copy.dirty_begin);
    const bool ok = kind_ == Kind::Vertex ? device.update_vertex_buffer(gfx::VertexBufferHandle{copy.id}, offset, part)
                                          : device.update_index_buffer(gfx::IndexBufferHandle{copy.id}, offset, part);
    if (!ok) return 0;
    copy.dirty_begin = copy.dirty_end = 0;
  }
  return copy.id;
}

void DeviceBuffer::release(Copy& copy) const {
  if (copy.device == nullptr || copy.id == 0) return;
  if (kind_ == Kind::Vertex) {
    copy.device->release_vertex_buffer(gfx::VertexBufferHandle{copy.id});
  } else {
    copy.device->release_index_buffer(gfx::IndexBufferHandle{copy.id});
  }
  copy.id = 0;
}

void DeviceBuffer::release_device(gfx::Device& device) {
  std::erase_if(copies_, [&](Copy& copy) {
    if (copy.device != &device) return false;
    release(copy);
    return true;
  });
}

void DeviceBuffer::release_all() {
  for (Copy& copy : copies_) release(copy);
  copies_.clear();
}

}  // namespace model
