// "Pelorin Tessaly.scr": the screen-saver program that the system, or the
// XScreenSaver daemon, starts. It hands its command line to the aquarium
// program and lives as long as a screen saver is expected to.
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_registry_store.h"
#include "platform/folders.h"
#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_named_semaphore.h"
#include "platform/posix_process.h"
#include "platform/posix_termination_requests.h"
#include "stub/saver_stub.h"

int main(int argc, char** argv) {
  platform::MessageQueue queue;
  platform::PosixInstanceRegistry instances(queue);
  platform::FileRegistryStore registry;
  platform::PosixProcess processes;
  platform::PosixNamedSemaphore semaphore;
  platform::PosixTerminationRequests termination;
  std::optional<std::string> window_variable;
  if (const char* value = std::getenv("XSCREENSAVER_WINDOW")) window_variable = value;

  stub::StubServices services{
      instances, registry, processes, semaphore, termination, platform::executable_folder(), window_variable};
  return stub::run_stub(services, std::vector<std::string>(argv, argv + argc));
}
