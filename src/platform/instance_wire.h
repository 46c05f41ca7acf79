#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/instance_identity.h"
#include "platform/message.h"

// What instances say to each other over their sockets. Every frame is a
// 32-bit little-endian payload length followed by the payload, whose first
// byte tells its kind. One connection carries one request and its reply.
namespace platform::instance_wire {

enum class Kind : uint8_t {
  IdentifyRequest = 0x01,  // nothing more
  SendRequest = 0x02,      // u32 id, u64 wparam, i64 lparam
  PostRequest = 0x03,      // the same
  IdentityReply = 0x81,    // i32 pid, i32 mode, u8 has_parent, then class and title,
                           // each a u32 length and that many bytes
  ResultReply = 0x82,      // i64 result
  AcceptedReply = 0x83,    // nothing more
};

inline constexpr size_t kHeaderBytes = 4;
inline constexpr size_t kMaxPayloadBytes = 1024;
// Longest window class or title an identity may carry.
inline constexpr size_t kMaxNameBytes = 256;

std::vector<uint8_t> identify_request();
std::vector<uint8_t> message_request(Kind kind, const Message& message);
// Empty when a name is longer than kMaxNameBytes.
std::vector<uint8_t> identity_reply(const InstanceIdentity& identity);
std::vector<uint8_t> result_reply(int64_t result);
std::vector<uint8_t> accepted_reply();

// The payload length a header announces; empty when it is 0 or too long.
std::optional<size_t> payload_length(std::span<const uint8_t, kHeaderBytes> header);

struct Request {
  Kind kind = Kind::IdentifyRequest;
  Message message;  // for SendRequest and PostRequest; reply_token 0
};

// Each parser takes a whole payload and accepts nothing else: a wrong kind, a
// field past the end or bytes left over make it return empty.
std::optional<Request> parse_request(std::span<const uint8_t> payload);
std::optional<InstanceIdentity> parse_identity_reply(std::span<const uint8_t> payload);
std::optional<int64_t> parse_result_reply(std::span<const uint8_t> payload);
bool parse_accepted_reply(std::span<const uint8_t> payload);

}  // namespace platform::instance_wire
