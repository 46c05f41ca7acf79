#include "platform/posix_instance_registry.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/folders.h"
#include "platform/instance_socket.h"
#include "platform/instance_wire.h"

namespace platform {

namespace wire = instance_wire;
using instance_socket::ConnectStatus;
using instance_socket::Deadline;
using Clock = std::chrono::steady_clock;

namespace {

// How long find waits for one instance to tell its identity; the listener
// thread answers that itself, so only a stopped or stuck process is slow.
constexpr int kIdentifyTimeoutMs = 1000;
// How long post waits for the peer to take the message in.
constexpr int kPostTimeoutMs = 1000;
// How long a client may take to send its request.
constexpr auto kRequestReadTimeout = std::chrono::seconds(2);
constexpr size_t kMaxConnections = 64;
constexpr int kBacklog = 16;

constexpr std::string_view kSocketSuffix = ".sock";
constexpr std::string_view kTemporarySuffix = ".tmp";

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A name no other registration uses, even one of a process with the same id
// from before a crash: "<pid>-<counter><clock>".
std::string unique_name() {
  static std::atomic<uint32_t> counter{0};
  auto ticks = static_cast<uint32_t>(Clock::now().time_since_epoch().count());
  char name[48];
  std::snprintf(name, sizeof name, "%d-%x%08x", static_cast<int>(getpid()), counter.fetch_add(1), ticks);
  return name;
}

bool fill_address(sockaddr_un& address, const std::string& path) {
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// A listening socket published at `path`. It is bound under a temporary name
// and renamed once it listens, so that a finder never meets the published
// name without a listener and takes it for a dead instance's socket.
int create_listening_socket(const std::string& folder, const std::string& path) {
  std::string temporary = folder + "." + unique_name() + std::string(kTemporarySuffix);
  sockaddr_un address;
  if (!fill_address(address, temporary) || path.size() >= sizeof address.sun_path) return -1;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    if (listen(fd, kBacklog) == 0 && rename(temporary.c_str(), path.c_str()) == 0) return fd;
    unlink(temporary.c_str());
  }
  close(fd);
  return -1;
}

bool peer_is_same_user(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == geteuid();
}

void send_frame(int fd, const std::vector<uint8_t>& frame) {
  // A fresh connection's buffer takes a small frame whole; a client that
  // went away just misses its reply.
  (void)!send(fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// A temporary socket name left by a process that died between bind and
// rename: ".<pid>-….tmp".
void remove_if_orphaned(const std::string& folder, const std::string& name) {
  char* end = nullptr;
  long pid = std::strtol(name.c_str() + 1, &end, 10);
  if (pid <= 0 || end == nullptr || *end != '-') return;
  if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) unlink((folder + name).c_str());
}

}  // namespace

struct PosixInstanceRegistry::Connection {
  int fd = -1;
  std::array<uint8_t, wire::kHeaderBytes + wire::kMaxPayloadBytes> buffer{};
  size_t filled = 0;
  size_t frame_size = 0;  // known once the header is in
  uint64_t token = 0;     // set while the request waits for the main thread
  Clock::time_point read_deadline;
};

PosixInstanceRegistry::PosixInstanceRegistry(MessageQueue& inbox)
    : PosixInstanceRegistry(inbox, runtime_folder()) {}

PosixInstanceRegistry::PosixInstanceRegistry(MessageQueue& inbox, std::string folder)
    : inbox_(inbox), folder_(std::move(folder)), wake_fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

PosixInstanceRegistry::~PosixInstanceRegistry() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (!socket_path_.empty()) unlink(socket_path_.c_str());
    socket_path_.clear();
  }
  wake();
  if (listener_.joinable()) listener_.join();
  if (listen_fd_ >= 0) close(listen_fd_);
  for (int fd : retired_fds_) close(fd);
  if (wake_fd_ >= 0) close(wake_fd_);
}

bool PosixInstanceRegistry::register_instance(const InstanceIdentity& identity) {
  if (identity.window_class.size() > wire::kMaxNameBytes || identity.title.size() > wire::kMaxNameBytes) {
    return false;
  }
  InstanceIdentity own = identity;
  own.pid = static_cast<int32_t>(getpid());
  {
    std::lock_guard lock(mutex_);
    if (!socket_path_.empty()) {
      identity_ = own;
      return true;
    }
  }
  if (folder_.empty() || wake_fd_ < 0) return false;
  std::string path = folder_ + unique_name() + std::string(kSocketSuffix);
  int fd = create_listening_socket(folder_, path);
  if (fd < 0) return false;
  {
    std::lock_guard lock(mutex_);
    identity_ = own;
    socket_path_ = path;
    listen_fd_ = fd;
  }
  if (!listener_.joinable()) listener_ = std::thread(&PosixInstanceRegistry::listen_loop, this);
  wake();
  return true;
}

void PosixInstanceRegistry::unregister_instance() {
  std::lock_guard lock(mutex_);
  if (socket_path_.empty()) return;
  unlink(socket_path_.c_str());
  socket_path_.clear();
  retired_fds_.push_back(listen_fd_);
  listen_fd_ = -1;
  wake();
}

bool PosixInstanceRegistry::set_title(const std::string& title) {
  if (title.size() > wire::kMaxNameBytes) return false;
  std::lock_guard lock(mutex_);
  if (socket_path_.empty()) return false;
  identity_.title = title;
  return true;
}

std::string PosixInstanceRegistry::socket_path() const {
  std::lock_guard lock(mutex_);
  return socket_path_;
}

std::optional<InstanceHandle> PosixInstanceRegistry::find(std::string_view window_class,
                                                          std::string_view title) {
  if (folder_.empty()) return std::nullopt;
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder_.c_str())) {
    while (dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  const std::string own_path = socket_path();
  const auto own_pid = static_cast<int32_t>(getpid());
  const std::vector<uint8_t> question = wire::identify_request();

  for (const std::string& name : names) {
    if (name[0] == '.' && ends_with(name, kTemporarySuffix)) {
      remove_if_orphaned(folder_, name);
      continue;
    }
    if (!ends_with(name, kSocketSuffix)) continue;
    std::string path = folder_ + name;
    if (path == own_path) continue;
    Deadline deadline(kIdentifyTimeoutMs);
    auto connection = instance_socket::connect_to(path, deadline);
    if (connection.status == ConnectStatus::Refused) {
      // Nobody listens: its process was killed before it could clean up.
      unlink(path.c_str());
      continue;
    }
    if (connection.status != ConnectStatus::Connected) continue;
    auto reply = instance_socket::exchange(connection.fd, question, deadline);
    close(connection.fd);
    if (!reply) continue;
    auto identity = wire::parse_identity_reply(*reply);
    if (!identity || identity->pid == own_pid) continue;
    if (identity_matches(*identity, window_class, title)) {
      return InstanceHandle{std::move(*identity), std::move(path)};
    }
  }
  return std::nullopt;
}

std::optional<int64_t> PosixInstanceRegistry::send(const InstanceHandle& peer, const Message& message,
                                                   int timeout_ms) {
  auto reply = instance_socket::request(peer.address, wire::message_request(wire::Kind::SendRequest, message),
                                        Deadline(timeout_ms));
  if (!reply) return std::nullopt;
  return wire::parse_result_reply(*reply);
}

bool PosixInstanceRegistry::post(const InstanceHandle& peer, const Message& message) {
  auto reply = instance_socket::request(peer.address, wire::message_request(wire::Kind::PostRequest, message),
                                        Deadline(kPostTimeoutMs));
  return reply && wire::parse_accepted_reply(*reply);
}

void PosixInstanceRegistry::complete(uint64_t reply_token, int64_t result) {
  std::lock_guard lock(mutex_);
  for (PendingReply& pending : pending_) {
    if (pending.token == reply_token) {
      pending.completed = true;
      pending.result = result;
      wake();
      return;
    }
  }
}

void PosixInstanceRegistry::wake() {
  uint64_t one = 1;
  (void)!write(wake_fd_, &one, sizeof one);
}

void PosixInstanceRegistry::drop_pending(uint64_t token) {
  std::lock_guard lock(mutex_);
  std::erase_if(pending_, [token](const PendingReply& pending) { return pending.token == token; });
}

void PosixInstanceRegistry::listen_loop() {
  std::vector<Connection> connections;
  std::vector<pollfd> fds;
  for (;;) {
    int listen_fd;
    {
      std::lock_guard lock(mutex_);
      // Hand the main thread's results to the senders still waiting; also
      // when stopping, so a result completed just before the registry is
      // destroyed (the answer to a close request) still arrives.
      std::erase_if(connections, [this](Connection& connection) {
        if (connection.token == 0) return false;
        auto it = std::find_if(pending_.begin(), pending_.end(),
                               [&](const PendingReply& p) { return p.token == connection.token; });
        if (it == pending_.end() || !it->completed) return false;
        send_frame(connection.fd, wire::result_reply(it->result));
        pending_.erase(it);
        close(connection.fd);
        return true;
      });
      if (stopping_) break;
      for (int fd : retired_fds_) close(fd);
      retired_fds_.clear();
      listen_fd = listen_fd_;
    }

    const bool accepting = listen_fd >= 0 && connections.size() < kMaxConnections;
    fds.clear();
    fds.push_back({wake_fd_, POLLIN, 0});
    fds.push_back({accepting ? listen_fd : -1, POLLIN, 0});
    auto now = Clock::now();
    int timeout_ms = -1;
    for (const Connection& connection : connections) {
      fds.push_back({connection.fd, POLLIN, 0});
      if (connection.token != 0) continue;
      auto left = std::chrono::ceil<std::chrono::milliseconds>(connection.read_deadline - now);
      int left_ms = static_cast<int>(std::max<int64_t>(left.count(), 0));
      timeout_ms = timeout_ms < 0 ? left_ms : std::min(timeout_ms, left_ms);
    }
    int ready = poll(fds.data(), fds.size(), timeout_ms);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      uint64_t count;
      (void)!read(wake_fd_, &count, sizeof count);
    }

    now = Clock::now();
    for (size_t i = connections.size(); i-- > 0;) {
      Connection& connection = connections[i];
      bool keep = true;
      if (fds[i + 2].revents != 0)
        keep = on_readable(connection);
      else if (connection.token == 0 && now >= connection.read_deadline)
        keep = false;
      if (keep) continue;
      if (connection.token != 0) drop_pending(connection.token);
      close(connection.fd);
      connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
    }

    if (accepting && (fds[1].revents & POLLIN) != 0) {
      std::lock_guard lock(mutex_);
      // Unregistered meanwhile: leave the queued clients to the close.
      if (listen_fd != listen_fd_) continue;
      while (connections.size() < kMaxConnections) {
        int fd = accept4(listen_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        if (!peer_is_same_user(fd)) {
          close(fd);
          continue;
        }
        Connection& connection = connections.emplace_back();
        connection.fd = fd;
        connection.read_deadline = now + kRequestReadTimeout;
      }
    }
  }

  // Closing the connections tells senders still waiting that no result comes.
  for (const Connection& connection : connections) close(connection.fd);
  std::lock_guard lock(mutex_);
  pending_.clear();
}

bool PosixInstanceRegistry::on_readable(Connection& connection) {
  // A request waiting for the main thread expects nothing more from its
  // client: anything here is the client hanging up, or breaking the protocol.
  if (connection.token != 0) return false;
  size_t want = connection.frame_size != 0 ? connection.frame_size : wire::kHeaderBytes;
  ssize_t got =
      recv(connection.fd, connection.buffer.data() + connection.filled, want - connection.filled, 0);
  if (got < 0) return errno == EAGAIN || errno == EINTR;
  if (got == 0) return false;
  connection.filled += static_cast<size_t>(got);
  if (connection.frame_size == 0 && connection.filled == wire::kHeaderBytes) {
    auto length = wire::payload_length(
        std::span<const uint8_t, wire::kHeaderBytes>(connection.buffer.data(), wire::kHeaderBytes));
    if (!length) return false;
    connection.frame_size = wire::kHeaderBytes + *length;
  }
  if (connection.frame_size != 0 && connection.filled == connection.frame_size) {
    return on_request(connection);
  }
  return true;
}

bool PosixInstanceRegistry::on_request(Connection& connection) {
  auto request = wire::parse_request(std::span<const uint8_t>(connection.buffer.data() + wire::kHeaderBytes,
                                                              connection.frame_size - wire::kHeaderBytes));
  if (!request) return false;
  std::vector<uint8_t> reply;
  {
    std::lock_guard lock(mutex_);
    // Unregistered since the client connected: it learns nothing and its
    // message is not delivered, as if it had come a moment later.
    if (socket_path_.empty()) return false;
    if (request->kind == wire::Kind::IdentifyRequest) reply = wire::identity_reply(identity_);
  }
  switch (request->kind) {
    case wire::Kind::IdentifyRequest: {
      send_frame(connection.fd, reply);
      return false;
    }
    case wire::Kind::PostRequest:
      inbox_.post(request->message);
      send_frame(connection.fd, wire::accepted_reply());
      return false;
    case wire::Kind::SendRequest: {
      Message message = request->message;
      {
        std::lock_guard lock(mutex_);
        message.reply_token = next_token_++;
        pending_.push_back({message.reply_token, false, 0});
      }
      connection.token = message.reply_token;
      inbox_.post(message);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace platform
