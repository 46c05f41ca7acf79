#include "setup/saver_command.h"

#include <filesystem>
#include <system_error>

namespace setup {

namespace {

constexpr char kSaverLinkName[] = "pelorin-tessaly";

// Single quotes for the shell when the path needs them; a path holding a
// single quote itself is not used.
std::string quoted_for_shell(const std::string& path) {
  if (path.find_first_of(" \t\"\\$`") == std::string::npos) return path;
  return "'" + path + "'";
}

}  // namespace

std::string saver_command_for(const std::string& program_folder) {
  namespace fs = std::filesystem;
  std::string program = kSaverLinkName;
  if (!program_folder.empty()) {
    fs::path folder = fs::path(program_folder).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    fs::path installed = (folder.parent_path().parent_path() / "bin" / kSaverLinkName).lexically_normal();
    std::error_code error;
    if (installed.is_absolute() && fs::exists(installed, error) &&
        installed.string().find('\'') == std::string::npos) {
      program = quoted_for_shell(installed.string());
    }
  }
  return program + " -root";
}

}  // namespace setup
