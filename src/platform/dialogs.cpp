#include "platform/dialogs.h"

namespace platform {

std::vector<std::string> Dialogs::choose_files(const FileDialogRequest& request) {
  std::optional<std::string> chosen = choose_file(request);
  if (!chosen) return {};
  return {*chosen};
}

}  // namespace platform
