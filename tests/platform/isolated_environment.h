#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

// Header-only helpers shared by the platform tests: a temporary folder and an
// environment whose XDG folders point into it, so no test touches the real
// runtime or configuration folders of the user running it.
namespace platform_test {

// A fresh folder under /tmp, removed with its content at the end.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/pt-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = std::string(pattern) + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // With a trailing '/'; "" when the folder could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Sets (or, with nullopt, unsets) an environment variable while it lives.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = getenv(name_.c_str())) old_ = old;
    if (value)
      setenv(name_.c_str(), value->c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  ~ScopedVariable() {
    if (old_)
      setenv(name_.c_str(), old_->c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Programs the tests start under AddressSanitizer keep its memory checks but
// not its leak report at exit: the system's display, GL and D-Bus libraries
// leave allocations behind that are not ours, and the report would turn every
// clean exit into a failure.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr const char* kChildSanitizerOptions = "detect_leaks=0";
#else
inline constexpr const char* kChildSanitizerOptions = nullptr;
#endif

// HOME, XDG_RUNTIME_DIR, XDG_CONFIG_HOME and XDG_CONFIG_DIRS inside one
// temporary folder (runtime/, config/, system/, home/; all created).
class IsolatedEnvironment {
 public:
  IsolatedEnvironment()
      : home_("HOME", make("home/")),
        runtime_("XDG_RUNTIME_DIR", make("runtime/")),
        config_("XDG_CONFIG_HOME", make("config/")),
        system_("XDG_CONFIG_DIRS", make("system/")),
        sanitizer_("ASAN_OPTIONS", kChildSanitizerOptions != nullptr
                                       ? std::optional<std::string>(kChildSanitizerOptions)
                                       : optional_variable("ASAN_OPTIONS")) {}

  std::string root() const { return folder_.path(); }
  std::string home() const { return root() + "home/"; }
  std::string runtime() const { return root() + "runtime/"; }
  std::string config() const { return root() + "config/"; }
  std::string system() const { return root() + "system/"; }

 private:
  std::string make(const std::string& name) {
    std::filesystem::create_directories(folder_.path() + name);
    return folder_.path() + name;
  }

  static std::optional<std::string> optional_variable(const char* name) {
    const char* value = getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
  }

  TempFolder folder_;  // first: the variables point into it
  ScopedVariable home_;
  ScopedVariable runtime_;
  ScopedVariable config_;
  ScopedVariable system_;
  ScopedVariable sanitizer_;
};

}  // namespace platform_test
