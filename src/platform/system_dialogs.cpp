#include <SDL2/SDL.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/dialogs.h"
#include "platform/folders.h"
#include "platform/process.h"

namespace platform {
namespace {

int first_answer(uint32_t style) {
  switch (style & 0xF) {
    case MB_YESNO:
      return IDYES;
    default:
      return IDOK;
  }
}

std::string find_on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string folders = path;
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::filesystem::path candidate = std::filesystem::path(folders.substr(start, end - start)) / name;
    std::error_code error;
    if (end > start && std::filesystem::is_regular_file(candidate, error)) return candidate.string();
    start = end + 1;
  }
  return {};
}

bool have_display() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// zenity's filter syntax is "Name | *.a *.b"; Windows-style "*.*" means every
// file.
std::string zenity_filter(const FileFilter& filter) {
  std::string description = filter.description;
  for (char& c : description) {
    if (c == '|') c = '/';
  }
  std::string text = "--file-filter=" + description + " |";
  if (filter.patterns.empty()) text += " *";
  for (const std::string& pattern : filter.patterns) {
    text += " " + (pattern == "*.*" ? std::string("*") : pattern);
  }
  return text;
}

std::string initial_file_name(const FileDialogRequest& request) {
  if (!request.file_name.empty() && request.file_name.front() == '/') return request.file_name;
  std::string folder = request.folder.empty() ? std::string(".") : request.folder;
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (!error) folder = absolute.string();
  if (folder.back() != '/') folder += '/';
  return folder + request.file_name;
}

class SystemDialogs final : public Dialogs {
 public:
  explicit SystemDialogs(Process& process) : process_(process) {}

  int message_box(const std::string& text, const std::string& caption, uint32_t style) override {
    if (have_display()) {
      std::string zenity = find_on_path("zenity");
      if (!zenity.empty()) {
        if (auto answer = with_zenity(zenity, text, caption, style)) return *answer;
      }
    }
    return with_sdl(text, caption, style);
  }

  std::optional<std::string> choose_file(const FileDialogRequest& request) override {
    std::optional<std::string> chosen = run_selection(file_selection_arguments(request));
    if (chosen && chosen->empty()) return std::nullopt;
    return chosen;
  }

  std::vector<std::string> choose_files(const FileDialogRequest& request) override {
    std::vector<std::string> arguments = file_selection_arguments(request);
    arguments.push_back("--multiple");
    // A line feed cannot be typed into a file name in the dialog and is
    // almost never part of one.
    arguments.push_back("--separator=\n");
    std::vector<std::string> chosen;
    std::optional<std::string> text = run_selection(arguments);
    if (!text) return chosen;
    size_t start = 0;
    while (start < text->size()) {
      size_t end = text->find('\n', start);
      if (end == std::string::npos) end = text->size();
      if (end > start) chosen.push_back(text->substr(start, end - start));
      start = end + 1;
    }
    return chosen;
  }

  std::optional<std::string> choose_folder(const FolderDialogRequest& request) override {
    std::string folder = request.folder.empty() ? std::string(".") : request.folder;
    if (folder.back() != '/') folder += '/';
    std::string title = request.title;
    if (!request.text.empty()) title += title.empty() ? request.text : " - " + request.text;
    std::optional<std::string> chosen =
        run_selection({"--file-selection", "--directory", "--title=" + title, "--filename=" + folder});
    if (chosen && chosen->empty()) return std::nullopt;
    return chosen;
  }

 private:
  static std::vector<std::string> file_selection_arguments(const FileDialogRequest& request) {
    std::vector<std::string> arguments{"--file-selection", "--title=" + request.title};
    if (request.save) arguments.push_back("--save");
    arguments.push_back("--filename=" + initial_file_name(request));
    for (const FileFilter& filter : request.filters) arguments.push_back(zenity_filter(filter));
    return arguments;
  }

  // Runs zenity with these arguments; what it printed, without the final
  // line end, or nothing when it was cancelled or cannot be shown.
  std::optional<std::string> run_selection(const std::vector<std::string>& arguments) {
    if (!have_display()) return std::nullopt;
    const std::string zenity = find_on_path("zenity");
    const std::string folder = runtime_folder();
    if (zenity.empty() || folder.empty()) return std::nullopt;

    // zenity prints the choice; a shell sends it to a file in our private
    // folder, so the process service only has to start and wait.
    static std::atomic<unsigned> counter{0};
    const std::string output = folder + "file-dialog-" + std::to_string(getpid()) + "-" +
                               std::to_string(counter.fetch_add(1)) + ".txt";
    const std::string redirect = "out=$1; shift; exec \"$@\" >\"$out\"";
    std::vector<std::string> argv{"/bin/sh", "-c", redirect, "sh", output, zenity};
    argv.insert(argv.end(), arguments.begin(), arguments.end());

    std::optional<std::string> chosen;
    ProcessStart started = process_.start("/bin/sh", argv, false);
    if (started.handle) {
      std::optional<int> code = process_.wait(*started.handle, -1);
      if (code && *code == 0) {
        std::ifstream in(output, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        chosen = text;
      }
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    return chosen;
  }

  std::optional<int> with_zenity(const std::string& zenity, const std::string& text,
                                 const std::string& caption, uint32_t style) {
    uint32_t buttons = style & 0xF;
    std::vector<std::string> argv{zenity};
    if (buttons == MB_OKCANCEL || buttons == MB_YESNO) {
      argv.push_back("--question");
      argv.push_back(buttons == MB_YESNO ? "--ok-label=Yes" : "--ok-label=OK");
      argv.push_back(buttons == MB_YESNO ? "--cancel-label=No" : "--cancel-label=Cancel");
    } else if ((style & 0xF0) == MB_ICONERROR) {
      argv.push_back("--error");
    } else if ((style & 0xF0) == MB_ICONWARNING) {
      argv.push_back("--warning");
    } else {
      argv.push_back("--info");
    }
    argv.push_back("--no-markup");
    argv.push_back("--title=" + caption);
    argv.push_back("--text=" + text);
    ProcessStart started = process_.start(zenity, argv, false);
    if (!started.handle) return std::nullopt;
    std::optional<int> code = process_.wait(*started.handle, -1);
    if (!code || *code > 1) return std::nullopt;
    if (buttons == MB_YESNO) return *code == 0 ? IDYES : IDNO;
    if (buttons == MB_OKCANCEL) return *code == 0 ? IDOK : IDCANCEL;
    return IDOK;
  }

  static int with_sdl(const std::string& text, const std::string& caption, uint32_t style) {
    uint32_t buttons = style & 0xF;
    SDL_MessageBoxButtonData data[2]{};
    int count = 1;
    if (buttons == MB_YESNO) {
      data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
      data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
      count = 2;
    } else if (buttons == MB_OKCANCEL) {
      data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
      data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
      count = 2;
    } else {
      data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
                 "OK"};
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((style & 0xF0) == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;
    if ((style & 0xF0) == MB_ICONWARNING) flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData box{flags, nullptr, caption.c_str(), text.c_str(), count, data, nullptr};
    int answer = 0;
    if (!have_display() || SDL_ShowMessageBox(&box, &answer) != 0 || answer <= 0) return first_answer(style);
    return answer;
  }

  Process& process_;
};

}  // namespace

std::unique_ptr<Dialogs> create_system_dialogs(Process& process) {
  return std::make_unique<SystemDialogs>(process);
}

}  // namespace platform
