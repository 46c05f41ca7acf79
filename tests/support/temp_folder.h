#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace test_support {

// A fresh folder for one test, removed with it.
class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("pt-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
