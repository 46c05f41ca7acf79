#pragma once
#include <functional>
#include <memory>
#include <string>

#include "host/frame_timer.h"
#include "platform/dialogs.h"
#include "platform/gfx_device.h"
#include "platform/instance_registry.h"
#include "platform/message_queue.h"
#include "platform/music_backend.h"
#include "platform/named_semaphore.h"
#include "platform/process.h"
#include "platform/registry_store.h"
#include "platform/sound_backend.h"
#include "platform/window_system.h"
#include "render/device_caps.h"

namespace host {

// What the device enumeration learns about the displays; null means the one
// built from the displays and the OpenGL context.
using CapsProviderFactory =
    std::function<std::unique_ptr<render::CapsProvider>(const std::vector<platform::DisplayInfo>& displays)>;

using DeviceFactory = std::function<std::unique_ptr<gfx::Device>(
    platform::Window& window, const gfx::PresentParams& params, std::string* error)>;

// Everything the application object needs from the machine. The program
// fills it with the real services, the tests with fakes.
struct AppServices {
  platform::MessageQueue& queue;
  platform::WindowSystem& windows;
  platform::Dialogs& dialogs;
  platform::InstanceRegistry& instances;
  platform::NamedSemaphore& semaphore;
  platform::Process& processes;
  platform::RegistryStore& registry;
  platform::MusicBackend& music;
  platform::SoundBackend& sound;
  DeviceFactory create_device;
  FrameTimer::Clock clock = steady_seconds;
  std::function<void(int milliseconds)> sleep;
  std::string command_line;     // the whole command line, program name first
  std::string executable_path;  // the running program
  std::string current_directory;
  CapsProviderFactory caps_provider = nullptr;
};

}  // namespace host
