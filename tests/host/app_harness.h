#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "base/feature_locks.h"
#include "base/runtime_state.h"
#include "base/user_settings.h"
#include "host/aquarium_application.h"
#include "platform/dialogs.h"
#include "platform/fake_instance_registry.h"
#include "platform/fake_music_backend.h"
#include "platform/fake_named_semaphore.h"
#include "platform/fake_process.h"
#include "platform/fake_registry_store.h"
#include "platform/fake_sound_backend.h"
#include "platform/fake_window_system.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/recording_device.h"
#include "platform/window_messages.h"

namespace host_test {

// The application object on fake services: no display, no GPU, no other
// processes. The process-wide records start clean for every harness.
class AppHarness {
 public:
  explicit AppHarness(const std::string& command_line)
      : services{queue,
                 windows,
                 dialogs,
                 instances,
                 semaphore,
                 processes,
                 registry,
                 music,
                 sound,
                 [this](platform::Window& window, const gfx::PresentParams& params, std::string*) {
                   auto device = std::make_unique<gfx::RecordingDevice>(params);
                   (void)window;
                   last_device = device.get();
                   return device;
                 },
                 [this] { return now; },
                 [](int) {},
                 command_line,
                 program_folder() + "Brinewick.scr",
                 environment.home()} {
    base::user_settings().bytes().fill(0);
    base::runtime_state() = base::RuntimeState{};
    base::feature_locks().word = 0;
    windows.foreign_windows[4242] = base::Rect{0, 0, 152, 112};
  }

  // The tests' own folder: the build's program folder, where the content
  // generator wrote the effects.
  static std::string program_folder() {
    return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
  }

  host::AquariumApplication& make() {
    app = std::make_unique<host::AquariumApplication>(services);
    return *app;
  }

  // Runs what the message loop would: every waiting message, in order.
  void drain() {
    platform::Message message{};
    while (app && !app->quit_requested() && queue.peek(message, true)) {
      app->window_procedure(message.id, message.wparam, message.lparam);
    }
  }

  platform::FakeWindow& window() { return *windows.last_window; }

  platform_test::IsolatedEnvironment environment;
  platform::MessageQueue queue;
  platform::FakeWindowSystem windows{queue};
  platform::FakeDialogs dialogs;
  platform::FakeInstanceRegistry instances{queue};
  platform::FakeSemaphoreTable semaphore_table;
  platform::FakeNamedSemaphore semaphore{semaphore_table};
  platform::FakeProcess processes;
  platform::FakeRegistryStore registry;
  platform::FakeMusicBackend music;
  platform::FakeSoundBackend sound;
  gfx::RecordingDevice* last_device = nullptr;
  double now = 100.0;
  host::AppServices services;
  std::unique_ptr<host::AquariumApplication> app;
};

}  // namespace host_test
