#include "platform/fake_instance_registry.h"

namespace platform {

bool FakeInstanceRegistry::register_instance(const InstanceIdentity& identity) {
  registered = identity;
  return true;
}

void FakeInstanceRegistry::unregister_instance() { registered.reset(); }

bool FakeInstanceRegistry::set_title(const std::string& title) {
  if (!registered) return false;
  registered->title = title;
  return true;
}

std::optional<InstanceHandle> FakeInstanceRegistry::find(std::string_view window_class,
                                                         std::string_view title) {
  for (const Peer& peer : peers_) {
    if (peer.running && identity_matches(peer.handle.identity, window_class, title)) {
      return peer.handle;
    }
  }
  return std::nullopt;
}

std::optional<int64_t> FakeInstanceRegistry::send(const InstanceHandle& handle, const Message& message,
                                                  int timeout_ms) {
  deliveries.push_back({handle.identity, message, false, timeout_ms});
  Peer* peer = peer_of(handle);
  if (peer == nullptr) return std::nullopt;
  if (!peer->responder) return 0;
  // A copy: the responder may add or remove peers, moving the one it belongs to.
  Responder responder = peer->responder;
  return responder(message);
}

bool FakeInstanceRegistry::post(const InstanceHandle& handle, const Message& message) {
  deliveries.push_back({handle.identity, message, true, 0});
  Peer* peer = peer_of(handle);
  if (peer == nullptr) return false;
  if (peer->responder) {
    Responder responder = peer->responder;
    responder(message);
  }
  return true;
}

void FakeInstanceRegistry::complete(uint64_t reply_token, int64_t result) {
  completions.emplace_back(reply_token, result);
}

InstanceHandle FakeInstanceRegistry::add_peer(const InstanceIdentity& identity, Responder responder) {
  InstanceHandle handle{identity, "peer-" + std::to_string(peers_.size() + 1)};
  peers_.push_back({handle, std::move(responder), true});
  return handle;
}

void FakeInstanceRegistry::remove_peer(const InstanceHandle& handle) {
  if (Peer* peer = peer_of(handle)) peer->running = false;
}

uint64_t FakeInstanceRegistry::receive(const Message& message, bool wants_reply) {
  Message delivered = message;
  delivered.reply_token = wants_reply ? next_token_++ : 0;
  inbox_.post(delivered);
  return delivered.reply_token;
}

std::optional<int64_t> FakeInstanceRegistry::completion_of(uint64_t reply_token) const {
  for (const auto& [token, result] : completions) {
    if (token == reply_token) return result;
  }
  return std::nullopt;
}

FakeInstanceRegistry::Peer* FakeInstanceRegistry::peer_of(const InstanceHandle& handle) {
  for (Peer& peer : peers_) {
    if (peer.handle.address == handle.address && peer.running) return &peer;
  }
  return nullptr;
}

}  // namespace platform
