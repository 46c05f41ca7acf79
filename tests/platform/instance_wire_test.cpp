#include "platform/instance_wire.h"

#include <gtest/gtest.h>

namespace platform::instance_wire {
namespace {

// The payload of a whole frame, after checking its header.
std::vector<uint8_t> payload_of(const std::vector<uint8_t>& frame) {
  EXPECT_GE(frame.size(), kHeaderBytes);
  auto length = payload_length(std::span<const uint8_t, kHeaderBytes>(frame.data(), kHeaderBytes));
  EXPECT_EQ(length, frame.size() - kHeaderBytes);
  return {frame.begin() + kHeaderBytes, frame.end()};
}

TEST(InstanceWire, RequestsAndRepliesRoundTrip) {
  auto identify = parse_request(payload_of(identify_request()));
  ASSERT_TRUE(identify);
  EXPECT_EQ(identify->kind, Kind::IdentifyRequest);

  Message message{0x8005, 0xFFFFFFFFFFFFFFFFu, -1234567890123, 77};
  for (Kind kind : {Kind::SendRequest, Kind::PostRequest}) {
    auto request = parse_request(payload_of(message_request(kind, message)));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->kind, kind);
    EXPECT_EQ(request->message.id, message.id);
    EXPECT_EQ(request->message.wparam, message.wparam);
    EXPECT_EQ(request->message.lparam, message.lparam);
    EXPECT_EQ(request->message.reply_token, 0u);  // tokens never cross processes
  }

  InstanceIdentity identity{"Pelorin Tessaly Class", "Pelorin Tessaly ActiveDesktop", true, 5, 4242};
  EXPECT_EQ(parse_identity_reply(payload_of(identity_reply(identity))), identity);
  EXPECT_EQ(parse_result_reply(payload_of(result_reply(INT64_MIN))), INT64_MIN);
  EXPECT_TRUE(parse_accepted_reply(payload_of(accepted_reply())));
}

TEST(InstanceWire, FrameHeaderIsLittleEndianAndBounded) {
  auto frame = result_reply(1);
  EXPECT_EQ((std::vector<uint8_t>(frame.begin(), frame.begin() + 4)), (std::vector<uint8_t>{9, 0, 0, 0}));
  using Header = std::array<uint8_t, kHeaderBytes>;
  EXPECT_EQ(payload_length(Header{0, 0, 0, 0}), std::nullopt);
  EXPECT_EQ(payload_length(Header{0x00, 0x04, 0, 0}), 1024u);
  EXPECT_EQ(payload_length(Header{0x01, 0x04, 0, 0}), std::nullopt);
  EXPECT_EQ(payload_length(Header{0xFF, 0xFF, 0xFF, 0xFF}), std::nullopt);
}

TEST(InstanceWire, RefusesNamesItCouldNotSendWhole) {
  InstanceIdentity identity{std::string(kMaxNameBytes + 1, 'c'), "t", false, 4, 1};
  EXPECT_TRUE(identity_reply(identity).empty());
  identity.window_class.resize(kMaxNameBytes);
  EXPECT_FALSE(identity_reply(identity).empty());
}

// Every way a payload can be wrong: each must be refused, never read past.
TEST(InstanceWire, RefusesMalformedPayloads) {
  auto send = payload_of(message_request(Kind::SendRequest, Message{1, 2, 3, 0}));
  auto identity = payload_of(identity_reply({"Class", "Title", false, 4, 99}));
  auto result = payload_of(result_reply(5));

  auto truncated = [](std::vector<uint8_t> p) {
    p.pop_back();
    return p;
  };
  auto extended = [](std::vector<uint8_t> p) {
    p.push_back(0);
    return p;
  };

  EXPECT_FALSE(parse_request({}));
  EXPECT_FALSE(parse_request(std::vector<uint8_t>{0x7F}));        // unknown kind
  EXPECT_FALSE(parse_request(std::vector<uint8_t>{0x81}));        // a reply, not a request
  EXPECT_FALSE(parse_request(std::vector<uint8_t>{0x01, 0x00}));  // identify with extra bytes
  EXPECT_FALSE(parse_request(truncated(send)));
  EXPECT_FALSE(parse_request(extended(send)));

  EXPECT_FALSE(parse_identity_reply(truncated(identity)));
  EXPECT_FALSE(parse_identity_reply(extended(identity)));
  EXPECT_FALSE(parse_identity_reply(result));
  auto bad_flag = identity;
  bad_flag[9] = 2;  // has_parent is 0 or 1
  EXPECT_FALSE(parse_identity_reply(bad_flag));
  auto huge_name = identity;
  huge_name[10] = 0xFF;  // class length 255: more than what follows
  EXPECT_FALSE(parse_identity_reply(huge_name));
  auto long_name = identity;
  long_name[10] = 0x01;  // class length 257, over the limit
  long_name[11] = 0x01;
  EXPECT_FALSE(parse_identity_reply(long_name));

  EXPECT_FALSE(parse_result_reply(truncated(result)));
  EXPECT_FALSE(parse_result_reply(extended(result)));
  EXPECT_FALSE(parse_result_reply(identity));
  EXPECT_FALSE(parse_accepted_reply(result));
  EXPECT_FALSE(parse_accepted_reply(std::vector<uint8_t>{0x83, 0}));
}

}  // namespace
}  // namespace platform::instance_wire
