#include "setup/setup_tool.h"

#include <filesystem>
#include <system_error>

#include "host/close_instances.h"
#include "host/instance_check.h"
#include "platform/ascii.h"
#include "render/data_folders.h"
#include "render/file_path.h"
#include "setup/xscreensaver_preferences.h"

namespace setup {

namespace {

namespace fs = std::filesystem;

constexpr char kStubFileName[] = "Pelorin Tessaly.scr";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kSaverValue[] = "SCRNSAVE.EXE";

// Everything the program writes into the user data folder.
constexpr const char* kSavedFiles[] = {"UserSet", "Musics.txt", "CycleTanks.txt"};

// The folder as an absolute path without a trailing '/', for comparing.
fs::path normal_folder(const std::string& folder) {
  fs::path path = fs::path(folder).lexically_normal();
  if (path.has_filename() || path == path.root_path()) return path;
  return path.parent_path();
}

bool same_folder(const fs::path& a, const std::string& b) {
  if (b.empty()) return false;
  fs::path other = normal_folder(b);
  if (a == other) return true;
  std::error_code error;
  return fs::equivalent(a, other, error);
}

}  // namespace

SetupAction action_for(std::string_view command_word) {
  if (platform::equals_ignore_ascii_case(command_word, "DeleteSaved")) return SetupAction::DeleteSaved;
  if (platform::equals_ignore_ascii_case(command_word, "DefaultSaver")) return SetupAction::DefaultSaver;
  return SetupAction::CloseInstances;
}

std::string short_file_name(std::string_view file_name) {
  std::string_view base = file_name.substr(0, file_name.rfind('.'));
  std::string result(base);
  if (result.size() > 8) result = result.substr(0, 6) + "~1";
  return result + ".scr";
}

bool make_default_saver(const SetupServices& services) {
  const std::string path = services.program_folder + short_file_name(kStubFileName);
  bool written = services.registry.write_string(platform::Hive::User, kDesktopKey, kSaverValue, path);
  update_preferences_file(services.home_folder, services.saver_command);
  return written;
}

DeleteResult delete_user_data(const std::string& documents_folder, const std::string& home_folder,
                              const std::string& program_folder) {
  // Checked before anything is created: an empty documents folder would put
  // the folder below the current one.
  if (!fs::path(documents_folder).is_absolute()) return DeleteResult::Refused;
  render::FilePath found;
  if (!render::find_user_data_folder(found, documents_folder, render::kUserDataFolderName)) {
    return DeleteResult::Refused;
  }
  const fs::path folder = normal_folder(found.str());
  if (!folder.is_absolute() || folder == folder.root_path() || same_folder(folder, home_folder) ||
      same_folder(folder, program_folder)) {
    return DeleteResult::Refused;
  }
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(folder, error))) return DeleteResult::Refused;

  for (const char* name : kSavedFiles) {
    const fs::path file = folder / name;
    fs::file_status status = fs::symlink_status(file, error);
    // A link goes, whatever it points at; its target stays.
    if (fs::is_regular_file(status) || fs::is_symlink(status)) fs::remove(file, error);
  }
  if (!fs::is_empty(folder, error) || error) return DeleteResult::Kept;
  return fs::remove(folder, error) ? DeleteResult::Removed : DeleteResult::Kept;
}

void close_instances(platform::InstanceRegistry& instances) {
  host::close_running_instances(instances, host::kCloseInstanceTimeoutMs);
  // The desktop item of the original system has no counterpart here.
}

int run_setup(const SetupServices& services, std::string_view command_word) {
  switch (action_for(command_word)) {
    case SetupAction::DeleteSaved:
      delete_user_data(services.documents_folder, services.home_folder, services.program_folder);
      break;
    case SetupAction::DefaultSaver:
      make_default_saver(services);
      break;
    case SetupAction::CloseInstances:
      close_instances(services.instances);
      break;
  }
  return 0;
}

}  // namespace setup
