#pragma once

#include <string>

namespace platform {

// Folders of the user and the program. Every folder is returned with a
// trailing '/'.

// $HOME, else the home folder of the user's account.
std::string home_folder();

// $XDG_CONFIG_HOME, else ~/.config.
std::string config_home_folder();

// The first folder of $XDG_CONFIG_DIRS, else /etc/xdg.
std::string config_system_folder();

// XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs with $HOME expanded,
// else ~/Documents. The folder is not created.
std::string documents_folder();

// The private folder where running instances publish their sockets:
// $XDG_RUNTIME_DIR/pelorin-tessaly/ when that can be used, else
// /tmp/pelorin-tessaly-<uid>/. It is created with mode 0700; a folder owned by
// another user, or a link, is refused. Returns "" when neither is usable.
std::string runtime_folder();

// The folder of the running executable.
std::string executable_folder();

// Creates `path` and every missing parent. True when it is a folder afterwards.
bool make_directories(const std::string& path);

}  // namespace platform
