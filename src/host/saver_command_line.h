#pragma once
#include <cstdint>
#include <string_view>

#include "host/saver_mode.h"

namespace host {

struct ParsedCommandLine {
  SaverMode mode = SaverMode::Standalone;
  uint64_t number = 0;  // the window id after the switch, 0 when absent
};

// Reads the run mode from a whole command line (the program name first). The
// stub and the setup tool read their command lines with the same rules.
ParsedCommandLine parse_command_line(std::string_view text);

}  // namespace host
