#include "platform/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/own_process.h"

namespace platform {

namespace {

// A socket's path must fit into sockaddr_un (108 bytes) with the socket's own
// name after the folder; longer runtime folders are passed over.
constexpr size_t kMaxRuntimeFolderLength = 80;

std::string with_slash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// An environment variable that holds an absolute path, as the XDG rules want.
std::optional<std::string> absolute_path_variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

bool is_directory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates `path` (mode 0700) unless it exists, then accepts it only when it is
// a real folder owned by this user; group and other permissions are removed.
bool ensure_private_folder(std::string path) {
  // Without the trailing '/', lstat sees a link instead of following it.
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid()) return false;
  if ((info.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

// The value of `XDG_DOCUMENTS_DIR="…"` in user-dirs.dirs: shell quoting with
// backslash escapes; the path is absolute or starts with $HOME.
std::optional<std::string> documents_entry(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  std::optional<std::string> found;
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    size_t pos = start + key.size();
    if (pos >= line.size() || line[pos] != '"') continue;
    std::string value;
    bool closed = false;
    for (++pos; pos < line.size(); ++pos) {
      char c = line[pos];
      if (c == '\\' && pos + 1 < line.size()) {
        value += line[++pos];
      } else if (c == '"') {
        closed = true;
        break;
      } else {
        value += c;
      }
    }
    if (!closed) continue;
    const std::string home_word = "$HOME";
    if (value.compare(0, home_word.size(), home_word) == 0 &&
        (value.size() == home_word.size() || value[home_word.size()] == '/')) {
      std::string rest = value.substr(home_word.size());
      std::string base = home;
      while (!base.empty() && base.back() == '/') base.pop_back();
      found = base + rest;
    } else if (!value.empty() && value[0] == '/') {
      found = value;
    }
  }
  return found;
}

}  // namespace

std::string home_folder() {
  if (auto home = absolute_path_variable("HOME")) return with_slash(*home);
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* result = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_dir != nullptr && result->pw_dir[0] == '/') {
    return with_slash(result->pw_dir);
  }
  return "/";
}

std::string config_home_folder() {
  if (auto config = absolute_path_variable("XDG_CONFIG_HOME")) return with_slash(*config);
  return home_folder() + ".config/";
}

std::string config_system_folder() {
  if (auto dirs = absolute_path_variable("XDG_CONFIG_DIRS")) {
    std::string first = dirs->substr(0, dirs->find(':'));
    if (!first.empty()) return with_slash(first);
  }
  return "/etc/xdg/";
}

std::string documents_folder() {
  std::string home = home_folder();
  if (auto entry = documents_entry(config_home_folder() + "user-dirs.dirs", home)) {
    return with_slash(*entry);
  }
  return home + "Documents/";
}

std::string runtime_folder() {
  if (auto runtime = absolute_path_variable("XDG_RUNTIME_DIR")) {
    std::string folder = with_slash(*runtime) + "pelorin-tessaly/";
    if (folder.size() <= kMaxRuntimeFolderLength && is_directory(*runtime) && ensure_private_folder(folder)) {
      return folder;
    }
  }
  std::string folder = "/tmp/pelorin-tessaly-" + std::to_string(geteuid()) + "/";
  if (ensure_private_folder(folder)) return folder;
  return {};
}

std::string executable_folder() {
  std::string path = current_executable_path();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash + 1);
}

bool make_directories(const std::string& path) {
  if (path.empty()) return false;
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    if (!prefix.empty() && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return is_directory(path);
}

}  // namespace platform
