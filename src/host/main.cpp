// The aquarium program: builds the application object on the real platform
// services and runs it in the mode its command line asks for.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/feature_locks.h"
#include "host/aquarium_application.h"
#include "host/snapshot_options.h"
#include "host/xscreensaver_options.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/file_registry_store.h"
#include "platform/gfx_device.h"
#include "platform/message_queue.h"
#include "platform/music_backend.h"
#include "platform/own_process.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_named_semaphore.h"
#include "platform/posix_process.h"
#include "platform/sound_backend.h"
#include "platform/window_system.h"

int main(int argc, char** argv) {
  base::feature_locks().word |= base::FeatureLocks::kPreferLooseTables;
  // A screen-saver daemon's options come out first: "-root" and
  // "-window-id" would otherwise read as switches.
  const char* daemon_window = std::getenv("XSCREENSAVER_WINDOW");
  host::DaemonOptions daemon = host::take_xscreensaver_options(
      std::vector<std::string>(argv, argv + argc),
      daemon_window != nullptr ? std::optional<std::string_view>(daemon_window) : std::nullopt);
  host::ArgumentSplit split = host::take_snapshot_options(daemon.arguments);
  if (!daemon.error.empty() || !split.error.empty()) {
    std::fprintf(stderr, "Brinewick.scr: %s\n", (daemon.error.empty() ? split.error : daemon.error).c_str());
    return 2;
  }

  platform::MessageQueue queue;
  platform::PosixProcess processes;
  platform::PosixNamedSemaphore semaphore;
  platform::FileRegistryStore registry;
  // The audio backends outlive the application object that plays on them.
  auto music = platform::create_sdl_music_backend();
  auto sound = platform::create_sdl_sound_backend();
  int code = 0;
  {
    platform::PosixInstanceRegistry instances(queue);
    auto dialogs = platform::create_system_dialogs(processes);
    std::string error;
    auto windows = platform::create_sdl_window_system(queue, &error);
    if (!windows) {
      std::fprintf(stderr, "Brinewick.scr: cannot open the display: %s\n", error.c_str());
      semaphore.open_and_release(host::kSemaphoreName);
      return 1;
    }
    std::error_code ignored;
    host::AppServices services{
        queue,
        *windows,
        *dialogs,
        instances,
        semaphore,
        processes,
        registry,
        *music,
        *sound,
        gfx::create_gl_device,
        host::steady_seconds,
        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
        platform::join_command_line(split.arguments),
        platform::current_executable_path(),
        std::filesystem::current_path(ignored).string(),
    };
    host::AquariumApplication app(services);
    if (split.snapshot) app.set_snapshot(*split.snapshot);
    if (daemon.under_daemon) app.set_daemon_window(daemon.window_id);
    if (app.create_application()) {
      code = app.run();
      app.launch_after_exit();
    }
    if (split.snapshot && !app.snapshot_written()) {
      std::fprintf(stderr, "Brinewick.scr: no picture was written to %s\n", split.snapshot->path.c_str());
      code = 1;
    }
  }
  // The stub of a preview waits for this; release it in every case.
  semaphore.open_and_release(host::kSemaphoreName);
  return code;
}
