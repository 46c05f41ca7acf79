#pragma once
#include <optional>
#include <string>
#include <vector>

#include "host/saver_command_line.h"
#include "platform/instance_registry.h"
#include "platform/named_semaphore.h"
#include "platform/process.h"
#include "platform/registry_store.h"
#include "platform/termination_requests.h"

namespace stub {

// What the screen-saver stub works with.
struct StubServices {
  platform::InstanceRegistry& instances;
  platform::RegistryStore& registry;
  platform::Process& processes;
  platform::NamedSemaphore& semaphore;
  platform::TerminationRequests& termination;
  std::string own_folder;                      // the stub's folder, with a trailing '/'
  std::optional<std::string> window_variable;  // XSCREENSAVER_WINDOW, when set
};

// How long each step of a wait lasts before the stub looks at the program
// and at termination requests again.
inline constexpr int kWaitSliceMs = 100;

// What the stub waits for after starting the program.
enum class StubWait {
  None,           // nothing: it returns at once
  Program,        // the program to end
  PreviewWindow,  // the program's preview window (the semaphore), or its end
};

// The wait for a command line: a preview with a parent waits for its window;
// the saver (/s), any other switch with a window number and a start by the
// XScreenSaver daemon wait for the program; everything else does not wait.
StubWait wait_for(const host::ParsedCommandLine& command_line, bool under_daemon);

// The program to start: the default value of its App Paths key in the
// machine hive, else "Brinewick.scr" in the stub's own folder.
std::string program_path(const platform::RegistryStore& registry, const std::string& own_folder);

// The whole run: closes running instances, starts the program with the
// stub's own arguments (`argv`, program name first) unchanged and waits as
// wait_for says. While it waits, a termination request to the stub is passed
// on to the program. Returns the exit code, always 0.
int run_stub(StubServices& services, const std::vector<std::string>& argv);

}  // namespace stub
