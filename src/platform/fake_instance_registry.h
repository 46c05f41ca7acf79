#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/instance_registry.h"
#include "platform/message_queue.h"

namespace platform {

// Other instances played by the test. Each peer answers sent messages with
// its responder (0 when it has none); a responder that returns empty plays a
// peer that does not answer in time. What this process sends and posts is
// recorded; requests from others are injected with receive().
class FakeInstanceRegistry final : public InstanceRegistry {
 public:
  using Responder = std::function<std::optional<int64_t>(const Message& message)>;

  struct Delivery {
    InstanceIdentity peer;
    Message message;
    bool posted = false;
    int timeout_ms = 0;  // of a sent message
  };

  explicit FakeInstanceRegistry(MessageQueue& inbox) : inbox_(inbox) {}

  bool register_instance(const InstanceIdentity& identity) override;
  void unregister_instance() override;
  bool set_title(const std::string& title) override;
  std::optional<InstanceHandle> find(std::string_view window_class, std::string_view title) override;
  std::optional<int64_t> send(const InstanceHandle& peer, const Message& message, int timeout_ms) override;
  bool post(const InstanceHandle& peer, const Message& message) override;
  void complete(uint64_t reply_token, int64_t result) override;

  // Adds a running instance; found in the order added.
  InstanceHandle add_peer(const InstanceIdentity& identity, Responder responder = {});
  // The instance ends: no longer found, and messages to it fail. A responder
  // may remove its own peer.
  void remove_peer(const InstanceHandle& peer);

  // A message from another instance arrives in the inbox; with wants_reply it
  // carries a new reply token, which is returned (else 0).
  uint64_t receive(const Message& message, bool wants_reply);
  // The result completed for a token, if any.
  std::optional<int64_t> completion_of(uint64_t reply_token) const;

  std::optional<InstanceIdentity> registered;  // what is published now
  std::vector<Delivery> deliveries;
  std::vector<std::pair<uint64_t, int64_t>> completions;

 private:
  struct Peer {
    InstanceHandle handle;
    Responder responder;
    bool running = true;
  };
  Peer* peer_of(const InstanceHandle& handle);

  MessageQueue& inbox_;
  std::vector<Peer> peers_;
  uint64_t next_token_ = 1;
};

}  // namespace platform
