#pragma once

#include <cstdint>

namespace platform {

// One window message: what the application's main thread handles, whether it
// was posted by the program itself, by another thread or by another process.
struct Message {
  uint32_t id = 0;
  uint64_t wparam = 0;
  int64_t lparam = 0;
  // 0 for a posted message; otherwise the sender waits for a result, which the
  // handler hands back with InstanceRegistry::complete(reply_token, result).
  uint64_t reply_token = 0;
};

}  // namespace platform
