#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance_registry.h"
#include "platform/message_queue.h"

namespace platform {

// Instances publish themselves as Unix-domain stream sockets in one private
// folder (the runtime folder). Finding lists the folder and asks every socket
// for its identity; a socket nobody listens on any more is removed.
//
// A registered instance runs one listener thread. It answers identity
// requests itself and hands messages to the main thread through the inbox;
// the connection of a sent message stays open until the main thread calls
// complete(), or the sender gives up. The listener owns every socket it
// serves; other threads only leave it notes and wake it.
class PosixInstanceRegistry final : public InstanceRegistry {
 public:
  // Publishes in the runtime folder.
  explicit PosixInstanceRegistry(MessageQueue& inbox);
  PosixInstanceRegistry(MessageQueue& inbox, std::string folder);
  // Unregisters; senders still waiting get no result.
  ~PosixInstanceRegistry() override;
  PosixInstanceRegistry(const PosixInstanceRegistry&) = delete;
  PosixInstanceRegistry& operator=(const PosixInstanceRegistry&) = delete;

  bool register_instance(const InstanceIdentity& identity) override;
  void unregister_instance() override;
  bool set_title(const std::string& title) override;
  std::optional<InstanceHandle> find(std::string_view window_class, std::string_view title) override;
  std::optional<int64_t> send(const InstanceHandle& peer, const Message& message, int timeout_ms) override;
  bool post(const InstanceHandle& peer, const Message& message) override;
  void complete(uint64_t reply_token, int64_t result) override;

  // The published socket; "" while not registered.
  std::string socket_path() const;

 private:
  struct PendingReply {
    uint64_t token = 0;
    bool completed = false;
    int64_t result = 0;
  };
  struct Connection;

  void listen_loop();
  // Reads what arrived on a connection; false when it is to be closed.
  bool on_readable(Connection& connection);
  bool on_request(Connection& connection);
  void drop_pending(uint64_t token);
  void wake();

  MessageQueue& inbox_;
  const std::string folder_;
  int wake_fd_ = -1;
  std::thread listener_;

  mutable std::mutex mutex_;
  InstanceIdentity identity_;
  std::string socket_path_;
  int listen_fd_ = -1;
  std::vector<int> retired_fds_;  // listening sockets for the listener to close
  std::vector<PendingReply> pending_;
  uint64_t next_token_ = 1;
  bool stopping_ = false;
};

}  // namespace platform
