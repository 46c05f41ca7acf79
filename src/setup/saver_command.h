#pragma once
#include <string>

namespace setup {

// The command XScreenSaver runs for the aquarium: the screen-saver program
// by the name it is installed under in the bin folder beside the program
// folder (<prefix>/bin/pelorin-tessaly for <prefix>/lib/pelorin-tessaly/),
// by its full path when it is there, else by name alone from the PATH,
// followed by "-root".
std::string saver_command_for(const std::string& program_folder);

}  // namespace setup
