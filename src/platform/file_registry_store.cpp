#include "platform/file_registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/folders.h"

namespace platform {

namespace {

std::string folder_of(const std::string& file) {
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

// The file's text; "" when it does not exist; empty when it cannot be read.
std::optional<std::string> read_file(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return text;
}

bool write_all(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// Writes `text` to a temporary file beside `path` and renames it over `path`.
// On failure the old file is left as it was.
bool save_atomically(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = write_all(fd, text) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (written && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

// Holds an exclusive lock on a folder while it lives, so that two programs
// changing the same hive do not lose each other's change.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

std::string user_registry_file() { return config_home_folder() + "pelorin-tessaly/user.reg"; }

std::string machine_registry_file() { return config_system_folder() + "pelorin-tessaly/machine.reg"; }

FileRegistryStore::FileRegistryStore() : FileRegistryStore(machine_registry_file(), user_registry_file()) {}

FileRegistryStore::FileRegistryStore(std::string machine_file, std::string user_file)
    : machine_file_(std::move(machine_file)), user_file_(std::move(user_file)) {}

const std::string& FileRegistryStore::file_of(Hive hive) const {
  return hive == Hive::Machine ? machine_file_ : user_file_;
}

std::optional<RegistryValue> FileRegistryStore::read(Hive hive, std::string_view key,
                                                     std::string_view name) const {
  auto text = read_file(file_of(hive));
  if (!text) return std::nullopt;
  RegistryData data = RegistryData::parse(*text);
  const RegistryValue* value = data.find(key, name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

std::optional<std::string> FileRegistryStore::read_string(Hive hive, std::string_view key,
                                                          std::string_view name) const {
  auto value = read(hive, key, name);
  if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
  return std::get<std::string>(std::move(*value));
}

std::optional<uint32_t> FileRegistryStore::read_dword(Hive hive, std::string_view key,
                                                      std::string_view name) const {
  auto value = read(hive, key, name);
  if (!value || !std::holds_alternative<uint32_t>(*value)) return std::nullopt;
  return std::get<uint32_t>(*value);
}

bool FileRegistryStore::write_string(Hive hive, std::string_view key, std::string_view name,
                                     std::string_view value) {
  return modify(hive,
                [&](RegistryData& data) { return data.set(key, name, RegistryValue(std::string(value))); });
}

bool FileRegistryStore::write_dword(Hive hive, std::string_view key, std::string_view name, uint32_t value) {
  return modify(hive, [&](RegistryData& data) { return data.set(key, name, RegistryValue(value)); });
}

bool FileRegistryStore::delete_value(Hive hive, std::string_view key, std::string_view name) {
  return modify(hive, [&](RegistryData& data) { return data.erase_value(key, name); });
}

bool FileRegistryStore::delete_key(Hive hive, std::string_view key) {
  return modify(hive, [&](RegistryData& data) { return data.erase_key(key); });
}

bool FileRegistryStore::modify(Hive hive, const std::function<bool(RegistryData&)>& change) {
  const std::string& path = file_of(hive);
  std::string folder = folder_of(path);
  if (!make_directories(folder)) return false;
  FolderLock lock(folder);
  // A file that exists but cannot be read is never replaced: its values
  // would be lost.
  auto text = read_file(path);
  if (!text) return false;
  RegistryData data = RegistryData::parse(*text);
  if (!change(data)) return false;
  return save_atomically(path, data.to_text());
}

}  // namespace platform
