#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/rect.h"

namespace test_support {

// A connection to the test's X server for playing the user and the desktop:
// making parent windows, pressing keys, moving the pointer, and looking at
// the windows other processes made.
class XSession {
 public:
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool ok() const { return display_ != nullptr; }
  // A mapped top-level window of the given size at (x, y).
  uint64_t create_window(int x, int y, int width, int height);
  void destroy_window(uint64_t window);
  // The children of a window, and a window's size and position in its parent.
  std::vector<uint64_t> children(uint64_t window);
  std::optional<base::Rect> geometry(uint64_t window);
  // A top-level window (or a child of one) whose name is `title`.
  std::optional<uint64_t> find_window(const std::string& title);
  uint64_t root() const;

  void press_key(const char* key_name);  // "Escape", "s", "Next", ...
  void move_pointer(int x, int y);
  void sync();

 private:
  void* display_ = nullptr;
};

}  // namespace test_support
