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

}  // namespace platform
