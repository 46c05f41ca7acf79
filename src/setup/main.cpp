// saversetup: run by an installer with one command word. "DefaultSaver"
// registers the aquarium as the screen saver, "DeleteSaved" deletes the
// user's saved data, anything else closes running instances.
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/file_registry_store.h"
#include "platform/folders.h"
#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "setup/saver_command.h"
#include "setup/setup_tool.h"

int main(int argc, char** argv) {
  platform::MessageQueue queue;
  platform::PosixInstanceRegistry instances(queue);
  platform::FileRegistryStore registry;
  const std::string program_folder = platform::executable_folder();
  setup::SetupServices services{instances,
                                registry,
                                program_folder,
                                platform::home_folder(),
                                platform::documents_folder(),
                                setup::saver_command_for(program_folder)};
  // The command word is the whole argument text, as one line.
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return setup::run_setup(services, platform::join_command_line(arguments));
}
