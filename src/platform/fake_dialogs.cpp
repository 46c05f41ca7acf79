#include "platform/dialogs.h"

namespace platform {

int FakeDialogs::message_box(const std::string& text, const std::string& caption, uint32_t style) {
  shown.push_back(Shown{text, caption, style});
  if (answers.empty()) return IDOK;
  int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

std::optional<std::string> FakeDialogs::choose_file(const FileDialogRequest& request) {
  file_requests.push_back(request);
  if (chosen_files.empty()) return std::nullopt;
  std::optional<std::string> chosen = chosen_files.front();
  chosen_files.erase(chosen_files.begin());
  return chosen;
}

std::vector<std::string> FakeDialogs::choose_files(const FileDialogRequest& request) {
  if (chosen_file_lists.empty()) return Dialogs::choose_files(request);
  file_requests.push_back(request);
  std::vector<std::string> chosen = chosen_file_lists.front();
  chosen_file_lists.erase(chosen_file_lists.begin());
  return chosen;
}

std::optional<std::string> FakeDialogs::choose_folder(const FolderDialogRequest& request) {
  folder_requests.push_back(request);
  if (chosen_folders.empty()) return std::nullopt;
  std::optional<std::string> chosen = chosen_folders.front();
  chosen_folders.erase(chosen_folders.begin());
  return chosen;
}

}  // namespace platform
