#include "platform/instance_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/instance_wire.h"

namespace platform::instance_socket {

namespace {

// Reads exactly out.size() bytes.
bool read_exactly(int fd, std::span<uint8_t> out, const Deadline& deadline) {
  size_t done = 0;
  while (done < out.size()) {
    pollfd entry{fd, POLLIN, 0};
    int ready = poll(&entry, 1, deadline.remaining_ms());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    ssize_t got = recv(fd, out.data() + done, out.size() - done, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool write_all(int fd, std::span<const uint8_t> data, const Deadline& deadline) {
  size_t done = 0;
  while (done < data.size()) {
    pollfd entry{fd, POLLOUT, 0};
    int ready = poll(&entry, 1, deadline.remaining_ms());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    ssize_t sent = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (sent <= 0) return false;
    done += static_cast<size_t>(sent);
  }
  return true;
}

}  // namespace

Deadline::Deadline(int timeout_ms)
    : forever_(timeout_ms < 0),
      at_(std::chrono::steady_clock::now() + std::chrono::milliseconds(forever_ ? 0 : timeout_ms)) {}

int Deadline::remaining_ms() const {
  if (forever_) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(at_ - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

Connection connect_to(const std::string& path, const Deadline& deadline) {
  Connection connection;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return connection;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return connection;
  // A full backlog makes connect wait; the send time-out bounds that wait.
  int wait_ms = deadline.remaining_ms();
  if (wait_ms >= 0) {
    wait_ms = std::max(wait_ms, 1);
    timeval limit{wait_ms / 1000, static_cast<suseconds_t>(wait_ms % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  }
  int result;
  do {
    result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    connection.fd = fd;
    connection.status = ConnectStatus::Connected;
    return connection;
  }
  int error = errno;
  close(fd);
  if (error == ECONNREFUSED)
    connection.status = ConnectStatus::Refused;
  else if (error == ENOENT)
    connection.status = ConnectStatus::Missing;
  return connection;
}

std::optional<std::vector<uint8_t>> exchange(int fd, std::span<const uint8_t> frame,
                                             const Deadline& deadline) {
  if (!write_all(fd, frame, deadline)) return std::nullopt;
  std::array<uint8_t, instance_wire::kHeaderBytes> header{};
  if (!read_exactly(fd, header, deadline)) return std::nullopt;
  auto length = instance_wire::payload_length(header);
  if (!length) return std::nullopt;
  std::vector<uint8_t> payload(*length);
  if (!read_exactly(fd, payload, deadline)) return std::nullopt;
  return payload;
}

std::optional<std::vector<uint8_t>> request(const std::string& path, std::span<const uint8_t> frame,
                                            const Deadline& deadline) {
  Connection connection = connect_to(path, deadline);
  if (connection.status != ConnectStatus::Connected) return std::nullopt;
  auto reply = exchange(connection.fd, frame, deadline);
  close(connection.fd);
  return reply;
}

}  // namespace platform::instance_socket
