#pragma once

#include <string>

namespace platform {

// The absolute path of the running executable, "" when it cannot be read.
std::string current_executable_path();

// The process's own command line as one text, the program name first, as
// join_command_line builds it from argv.
std::string current_command_line(int argc, const char* const* argv);

}  // namespace platform
