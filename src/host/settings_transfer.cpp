#include "host/settings_transfer.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/file_io.h"
#include "host/settings_file.h"
#include "host/settings_record.h"
#include "render/file_dialog.h"
#include "render/file_path.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace host {
namespace {

constexpr char kSettingsFilter[] = "Setting File(*.cf)\0*.cf\0";
constexpr char kSettingsExtension[] = "cf";
// Used when the "System" table lacks the question.
constexpr char kFallbackReplaceQuestion[] = "%s already exists. Do you want to replace it?";
constexpr char kFallbackCaption[] = "Pelorin Tessaly";

// The only entries a settings package may put into the user data folder.
constexpr const char* kPackageEntries[] = {kSettingsFileName, kTankCycleFileName};

// begin_modal on construction, end_modal on destruction.
class ModalScope {
 public:
  explicit ModalScope(SettingsEvents& events) : events_(events) { events_.begin_modal(); }
  ~ModalScope() { events_.end_modal(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  SettingsEvents& events_;
};

std::filesystem::path in_folder(const std::string& folder, const char* name) {
  return std::filesystem::path(folder) / name;
}

std::string folder_of(const std::string& path) {
  render::FilePath file(path);
  return file.folder();
}

}  // namespace

std::string replace_question(const char* text, const std::string& file_name) {
  std::string out = text != nullptr ? text : kFallbackReplaceQuestion;
  const std::size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, file_name);
  return out;
}

std::string SettingsTransfer::dialog_folder(const SettingsContext& context) const {
  return last_folder_.empty() ? context.user_data_folder : last_folder_;
}

bool SettingsTransfer::import_settings(const SettingsContext& context) {
  ModalScope modal(context.events);
  render::FilePath chosen;
  const std::string folder = dialog_folder(context);
  if (!render::choose_file(context.dialogs, chosen, false, kSettingsFilter, kSettingsExtension,
                           context.system_texts.text(kTextLoadSettingsTitle), folder.c_str())) {
    return false;
  }
  render::PackageReader package;
  if (!package.open_file(chosen.c_str(), false)) return false;
  last_folder_ = folder_of(chosen.str());
  return take_over(context, package);
}

bool SettingsTransfer::import_package(const SettingsContext& context, const std::string& path) {
  render::PackageReader package;
  return package.open_file(path.c_str(), false) && take_over(context, package);
}

bool SettingsTransfer::take_over(const SettingsContext& context, render::PackageReader& package) {
  // Both entries are read before anything is written, so that a package
  // with neither changes nothing. Entries are looked up by these names
  // only: whatever else the package holds, and wherever its names would
  // point, never reaches the disk.
  struct Found {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Found> found;
  for (const char* name : kPackageEntries) {
    if (const render::Block* block = package.read(std::string_view(name))) {
      found.push_back(Found{name, std::vector<uint8_t>(block->bytes().begin(), block->bytes().end())});
    }
  }
  if (found.empty()) return false;
  for (const Found& entry : found) {
    const bool written =
        base::write_file_atomically(in_folder(context.user_data_folder, entry.name), entry.bytes);
    // "UserSet" comes first: when it cannot be written, nothing has changed
    // yet and the import stops.
    if (!written && entry.name == kPackageEntries[0]) return false;
  }
  reload_after_import(context);
  return true;
}

void SettingsTransfer::reload_after_import(const SettingsContext& context) {
  const base::UserSettings previous = context.settings;
  context.events.clear_fish_population(false);
  context.events.reset_tank_list();
  load_settings(context.settings, context.user_data_folder, context.screen_width, context.screen_height,
                true);
  restore_user_settings(context.settings, previous);
  context.events.reload_fish_and_tank_list();
  context.events.select_tank(
      context.settings.text(base::UserSettings::kTankName, base::UserSettings::kTankNameSize), true);
}

bool SettingsTransfer::export_settings(const SettingsContext& context) {
  ModalScope modal(context.events);
  render::FilePath chosen;
  const std::string folder = dialog_folder(context);
  const char* title = context.system_texts.text(kTextSaveSettingsTitle);
  if (!render::choose_file(context.dialogs, chosen, true, kSettingsFilter, kSettingsExtension, title,
                           folder.c_str())) {
    return false;
  }
  const std::string path = chosen.str();
  last_folder_ = folder_of(path);

  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    const std::string question = replace_question(context.system_texts.text(kTextReplaceFileQuestion),
                                                  std::filesystem::path(path).filename().string());
    const int answer = context.dialogs.message_box(question, title != nullptr ? title : kFallbackCaption,
                                                   platform::MB_ICONWARNING | platform::MB_YESNO);
    if (answer != platform::IDYES) return false;
  }

  context.events.store_scene_state();
  save_settings(context.settings, context.user_data_folder);
  render::PackageBuilder builder;
  // The record goes in as it is in memory, so the package is right even
  // when "UserSet" could not be written.
  builder.add(context.settings.bytes(), kSettingsFileName, true);
  const std::string cycle = in_folder(context.user_data_folder, kTankCycleFileName).string();
  if (std::filesystem::exists(cycle, error)) builder.add_file(cycle.c_str(), kTankCycleFileName, true);
  return builder.write(path.c_str(), false, false);
}

void SettingsTransfer::reset_settings(const SettingsContext& context) {
  const base::UserSettings previous = context.settings;
  reset_to_defaults(context.settings, context.screen_width, context.screen_height);
  std::error_code error;
  std::filesystem::remove(in_folder(context.user_data_folder, kSettingsFileName), error);
  std::filesystem::remove(in_folder(context.user_data_folder, kTankCycleFileName), error);
  context.events.clear_fish_population(true);
  context.events.reset_tank_list();
  restore_user_settings(context.settings, previous);
  context.events.select_tank(
      context.settings.text(base::UserSettings::kTankName, base::UserSettings::kTankNameSize), true);
}

}  // namespace host
