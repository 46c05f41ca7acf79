#pragma once
#include <string>

#include "base/user_settings.h"
#include "platform/dialogs.h"
#include "render/package_reader.h"
#include "render/text_table.h"

namespace host {

// Ids in the "System" text table.
inline constexpr int kTextLoadSettingsTitle = 9991;
inline constexpr int kTextSaveSettingsTitle = 9992;
inline constexpr int kTextReplaceFileQuestion = 9993;  // one "%s" for the file name

// What importing, exporting and resetting the settings ask of the rest of
// the aquarium. Every operation does nothing by default.
class SettingsEvents {
 public:
  virtual ~SettingsEvents() = default;
  // Around every file dialog and message box (a full-screen run shows them
  // in a window).
  virtual void begin_modal() {}
  virtual void end_modal() {}
  // Removes every fish; with empty_slots the record's fish slots become 0,
  // otherwise they are kept.
  virtual void clear_fish_population(bool /*empty_slots*/) {}
  // Empties the tank cycle list in memory.
  virtual void reset_tank_list() {}
  // After an import: the fish follow the record again and the tank cycle
  // list is read from "CycleTanks.txt".
  virtual void reload_fish_and_tank_list() {}
  virtual void select_tank(const std::string& /*name*/, bool /*initial*/) {}
  // Before an export: the tank cycle list goes to "CycleTanks.txt", and the
  // colour block and the random-fish pool into the record.
  virtual void store_scene_state() {}
};

// Everything one settings operation works on.
struct SettingsContext {
  base::UserSettings& settings;
  platform::Dialogs& dialogs;
  SettingsEvents& events;
  const render::TextTable& system_texts;
  std::string user_data_folder;
  int screen_width = 0;
  int screen_height = 0;
};

// Settings packages ("*.cf"): a package holding the entries "UserSet" and
// "CycleTanks.txt". Remembers the folder last used for them.
class SettingsTransfer {
 public:
  // Asks for a settings package and takes it over: true when it was read.
  // Only the two entries above are written into the user data folder; every
  // other entry of the package is ignored. Settings that describe this
  // computer rather than the aquarium stay as they were.
  bool import_settings(const SettingsContext& context);
  // The same without the dialog; the last folder is not changed.
  bool import_package(const SettingsContext& context, const std::string& path);
  // Asks for a file name and writes the current settings there: true when
  // the package was written. An existing file is replaced only when the
  // user answers Yes.
  bool export_settings(const SettingsContext& context);
  // Back to the defaults: deletes "UserSet" and "CycleTanks.txt", keeps the
  // settings that describe this computer.
  void reset_settings(const SettingsContext& context);

  // Where the file dialogs start: the last folder used, else the user data
  // folder.
  std::string dialog_folder(const SettingsContext& context) const;
  const std::string& last_folder() const { return last_folder_; }

 private:
  // Writes the package's two settings entries into the user data folder and
  // reloads; false when it holds neither.
  bool take_over(const SettingsContext& context, render::PackageReader& package);
  void reload_after_import(const SettingsContext& context);

  std::string last_folder_;
};

// The question asked before an existing file is replaced: `text` with its
// first "%s" replaced by `file_name`. Any other '%' stays as it is.
std::string replace_question(const char* text, const std::string& file_name);

}  // namespace host
