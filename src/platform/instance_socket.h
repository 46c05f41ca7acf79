#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The client side of an instance's socket: connect, send one request frame,
// read one reply frame, all within one deadline.
namespace platform::instance_socket {

// A point in time to give up at, or never.
class Deadline {
 public:
  // -1: never; otherwise that many milliseconds from now.
  explicit Deadline(int timeout_ms);
  // Milliseconds left for poll(): -1 for never, 0 once passed.
  int remaining_ms() const;

 private:
  bool forever_;
  std::chrono::steady_clock::time_point at_;
};

enum class ConnectStatus {
  Connected,
  Refused,  // a socket file without a listener: left by a process that died
  Missing,  // no such socket file
  Failed,   // anything else, the deadline included
};

struct Connection {
  int fd = -1;
  ConnectStatus status = ConnectStatus::Failed;
};

Connection connect_to(const std::string& path, const Deadline& deadline);

// Writes `frame` to `fd` and reads the reply's payload; empty on a malformed
// reply, end of stream, error or the deadline. Closes nothing.
std::optional<std::vector<uint8_t>> exchange(int fd, std::span<const uint8_t> frame,
                                             const Deadline& deadline);

// Connects, exchanges, closes. Empty when any step fails.
std::optional<std::vector<uint8_t>> request(const std::string& path, std::span<const uint8_t> frame,
                                            const Deadline& deadline);

}  // namespace platform::instance_socket
