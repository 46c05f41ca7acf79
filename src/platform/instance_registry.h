#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/instance_identity.h"
#include "platform/message.h"

namespace platform {

// Asks an instance to show its window in front of the others (restore it if
// minimised, raise it, give it the focus). Posted, never answered.
inline constexpr uint32_t MSG_BRING_TO_FRONT = 0xC001;

// The running instances of the program on this machine, for this user. An
// instance registers itself so that the others can find it and send it
// messages; the messages arrive in the message queue the registry was given,
// for the main thread. A message that expects a result carries a reply token;
// the sender waits until the main thread hands the result back with complete.
class InstanceRegistry {
 public:
  virtual ~InstanceRegistry() = default;

  // Makes this process findable under `identity` (its pid is filled in).
  // Registering again while registered replaces the identity.
  virtual bool register_instance(const InstanceIdentity& identity) = 0;
  // From now on no one finds this process and no new requests arrive.
  // Requests already delivered can still be completed.
  virtual void unregister_instance() = 0;
  // Changes the published title; false when not registered.
  virtual bool set_title(const std::string& title) = 0;

  // Another running instance whose class and title match (ignoring ASCII
  // case; an empty name matches anything). Never this process itself.
  virtual std::optional<InstanceHandle> find(std::string_view window_class, std::string_view title) = 0;

  // Delivers a message and waits up to `timeout_ms` (-1: forever) for the
  // peer's main thread to handle it. Empty on time-out or when the peer is
  // gone. The message's reply_token is ignored.
  virtual std::optional<int64_t> send(const InstanceHandle& peer, const Message& message, int timeout_ms) = 0;
  // Delivers a message without waiting for it to be handled. True when the
  // peer took it in.
  virtual bool post(const InstanceHandle& peer, const Message& message) = 0;

  bool bring_to_front(const InstanceHandle& peer) { return post(peer, Message{MSG_BRING_TO_FRONT, 0, 0, 0}); }

  // The main thread's result for a received message with a reply token. An
  // unknown token, or one whose sender has given up, is ignored.
  virtual void complete(uint64_t reply_token, int64_t result) = 0;
};

}  // namespace platform
