#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Message box styles and answers, with the numbers the program uses.
enum : uint32_t {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// One line of a file dialog's type list: "Playlists (*.m3u)" with the
// patterns "*.m3u".
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
  friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

struct FileDialogRequest {
  bool save = false;  // a name to save under, else an existing file to open
  std::string title;
  std::vector<FileFilter> filters;  // the first one is selected
  std::string folder;               // where the dialog starts
  std::string file_name;            // the proposed name
};

struct FolderDialogRequest {
  std::string title;
  std::string text;    // a line of explanation, where the dialog can show one
  std::string folder;  // where the dialog starts
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message box and returns the answer. When no box can be shown
  // (no display, no dialog program) it returns the answer of the first button.
  virtual int message_box(const std::string& text, const std::string& caption, uint32_t style) = 0;
  // Asks for a file; the chosen path, or nothing when the user cancelled or
  // no dialog can be shown.
  virtual std::optional<std::string> choose_file(const FileDialogRequest& request) = 0;
  // Asks for one or more existing files to open; their paths in the order
  // the dialog gives them, or none when cancelled. Without a dialog of its
  // own for this, one file is asked for with choose_file.
  virtual std::vector<std::string> choose_files(const FileDialogRequest& request);
  // Asks for an existing folder; its path, or nothing when cancelled.
  virtual std::optional<std::string> choose_folder(const FolderDialogRequest& request) = 0;
};

class Process;

// Uses zenity when it is installed and a display is there, else SDL's own
// message box; file dialogs need zenity.
std::unique_ptr<Dialogs> create_system_dialogs(Process& process);

// A scripted stand-in for tests: answers in order (then IDOK), chosen files
// and folders in order (then cancelled), and records every box and dialog it
// was asked to show.
class FakeDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    uint32_t style;
  };
  int message_box(const std::string& text, const std::string& caption, uint32_t style) override;
  std::optional<std::string> choose_file(const FileDialogRequest& request) override;
  std::vector<std::string> choose_files(const FileDialogRequest& request) override;
  std::optional<std::string> choose_folder(const FolderDialogRequest& request) override;

  std::vector<int> answers;
  std::vector<Shown> shown;
  std::vector<std::optional<std::string>> chosen_files;  // nullopt: cancelled
  std::vector<FileDialogRequest> file_requests;
  // Answers of choose_files, in order; when none is left it asks
  // choose_file for one file.
  std::vector<std::vector<std::string>> chosen_file_lists;
  std::vector<std::optional<std::string>> chosen_folders;  // then cancelled
  std::vector<FolderDialogRequest> folder_requests;
};

}  // namespace platform
