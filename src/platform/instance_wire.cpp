#include "platform/instance_wire.h"

#include <string>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace platform::instance_wire {

namespace {

// A writer with room for the header, which finish() fills in.
base::ByteWriter start_frame(Kind kind) {
  base::ByteWriter writer;
  writer.u32(0);
  writer.u8(static_cast<uint8_t>(kind));
  return writer;
}

std::vector<uint8_t> finish(base::ByteWriter& writer) {
  writer.patch_u32(0, static_cast<uint32_t>(writer.size() - kHeaderBytes));
  return writer.take();
}

void write_name(base::ByteWriter& writer, const std::string& name) {
  writer.u32(static_cast<uint32_t>(name.size()));
  writer.bytes(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
}

std::optional<std::string> read_name(base::ByteReader& reader) {
  uint32_t length = reader.u32();
  if (!reader.ok() || length > kMaxNameBytes || reader.remaining() < length) return std::nullopt;
  auto bytes = reader.bytes(length);
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Reads the kind byte and checks it.
bool expect_kind(base::ByteReader& reader, Kind kind) {
  return reader.u8() == static_cast<uint8_t>(kind) && reader.ok();
}

bool read_whole(const base::ByteReader& reader) { return reader.ok() && reader.remaining() == 0; }

}  // namespace

std::vector<uint8_t> identify_request() {
  base::ByteWriter writer = start_frame(Kind::IdentifyRequest);
  return finish(writer);
}

std::vector<uint8_t> message_request(Kind kind, const Message& message) {
  base::ByteWriter writer = start_frame(kind);
  writer.u32(message.id);
  writer.u64(message.wparam);
  writer.i64(message.lparam);
  return finish(writer);
}

std::vector<uint8_t> identity_reply(const InstanceIdentity& identity) {
  if (identity.window_class.size() > kMaxNameBytes || identity.title.size() > kMaxNameBytes) {
    return {};
  }
  base::ByteWriter writer = start_frame(Kind::IdentityReply);
  writer.i32(identity.pid);
  writer.i32(identity.mode);
  writer.u8(identity.has_parent ? 1 : 0);
  write_name(writer, identity.window_class);
  write_name(writer, identity.title);
  return finish(writer);
}

std::vector<uint8_t> result_reply(int64_t result) {
  base::ByteWriter writer = start_frame(Kind::ResultReply);
  writer.i64(result);
  return finish(writer);
}

std::vector<uint8_t> accepted_reply() {
  base::ByteWriter writer = start_frame(Kind::AcceptedReply);
  return finish(writer);
}

std::optional<size_t> payload_length(std::span<const uint8_t, kHeaderBytes> header) {
  base::ByteReader reader(header);
  uint32_t length = reader.u32();
  if (length == 0 || length > kMaxPayloadBytes) return std::nullopt;
  return length;
}

std::optional<Request> parse_request(std::span<const uint8_t> payload) {
  base::ByteReader reader(payload);
  Request request;
  request.kind = static_cast<Kind>(reader.u8());
  switch (request.kind) {
    case Kind::IdentifyRequest:
      break;
    case Kind::SendRequest:
    case Kind::PostRequest:
      request.message.id = reader.u32();
      request.message.wparam = reader.u64();
      request.message.lparam = reader.i64();
      break;
    default:
      return std::nullopt;
  }
  if (!read_whole(reader)) return std::nullopt;
  return request;
}

std::optional<InstanceIdentity> parse_identity_reply(std::span<const uint8_t> payload) {
  base::ByteReader reader(payload);
  if (!expect_kind(reader, Kind::IdentityReply)) return std::nullopt;
  InstanceIdentity identity;
  identity.pid = reader.i32();
  identity.mode = reader.i32();
  uint8_t has_parent = reader.u8();
  if (!reader.ok() || has_parent > 1) return std::nullopt;
  identity.has_parent = has_parent == 1;
  auto window_class = read_name(reader);
  if (!window_class) return std::nullopt;
  auto title = read_name(reader);
  if (!title || !read_whole(reader)) return std::nullopt;
  identity.window_class = std::move(*window_class);
  identity.title = std::move(*title);
  return identity;
}

std::optional<int64_t> parse_result_reply(std::span<const uint8_t> payload) {
  base::ByteReader reader(payload);
  if (!expect_kind(reader, Kind::ResultReply)) return std::nullopt;
  int64_t result = reader.i64();
  if (!read_whole(reader)) return std::nullopt;
  return result;
}

bool parse_accepted_reply(std::span<const uint8_t> payload) {
  base::ByteReader reader(payload);
  return expect_kind(reader, Kind::AcceptedReply) && read_whole(reader);
}

}  // namespace platform::instance_wire
