#pragma once
#include <string>
#include <string_view>

#include "platform/instance_registry.h"
#include "platform/registry_store.h"

namespace setup {

// What the setup tool works with.
struct SetupServices {
  platform::InstanceRegistry& instances;
  platform::RegistryStore& registry;
  // The folder of the installed programs, with a trailing '/'. It stands in
  // for the system folder where the screen saver is registered from.
  std::string program_folder;
  std::string home_folder;       // with a trailing '/'
  std::string documents_folder;  // with a trailing '/'
  // What XScreenSaver runs to start the aquarium as its saver.
  std::string saver_command;
};

enum class SetupAction { DeleteSaved, DefaultSaver, CloseInstances };

// The action for the whole argument text, compared ignoring case:
// "DeleteSaved", "DefaultSaver", and anything else (nothing included) closes
// the running instances.
SetupAction action_for(std::string_view command_word);

// The short (8.3) name of a file: the name without its extension, cut to 6
// characters and "~1" when it is longer than 8, then ".scr".
std::string short_file_name(std::string_view file_name);

// Registers the screen saver: "SCRNSAVE.EXE" under "Control Panel\Desktop"
// in the user's hive names the screen-saver program by its short name in the
// program folder; a user of XScreenSaver also gets the aquarium selected
// there. Returns whether the registry value was written.
bool make_default_saver(const SetupServices& services);

enum class DeleteResult {
  Refused,  // the folder is not one that may be emptied (see delete_user_data)
  Kept,     // the program's files are gone; other things keep the folder
  Removed,  // the folder is gone
};

// Deletes what the program saves in the user data folder ("Pelorin
// Tessaly/" in the documents folder, created when missing, as the program
// does): the settings record, the music list and the tank cycle, then the
// folder when nothing else is left in it. Links are removed, never followed.
// A folder that is relative, a link, the root, the home folder or the
// program folder is refused.
DeleteResult delete_user_data(const std::string& documents_folder, const std::string& home_folder,
                              const std::string& program_folder);

// Tells every running instance of the aquarium to close.
void close_instances(platform::InstanceRegistry& instances);

// The whole run for the argument text; returns the exit code, always 0.
int run_setup(const SetupServices& services, std::string_view command_word);

}  // namespace setup
