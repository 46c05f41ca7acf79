#include "platform/recording_device.h"

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
