// The registry's serving side, exercised from threads of this one process:
// the requests arrive through its socket exactly as from another program.
#include "platform/posix_instance_registry.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>

#include "isolated_environment.h"
#include "platform/folders.h"
#include "platform/instance_socket.h"
#include "platform/instance_wire.h"

namespace platform {
namespace {

namespace wire = instance_wire;
using instance_socket::ConnectStatus;
using instance_socket::Deadline;

// Generous: only a broken registry ever waits this long.
constexpr int kPatienceMs = 10000;

const InstanceIdentity kIdentity{"Pelorin Tessaly Class", "Pelorin Tessaly", false, 4, 0};

std::optional<InstanceIdentity> ask_identity(const std::string& path) {
  auto reply = instance_socket::request(path, wire::identify_request(), Deadline(kPatienceMs));
  if (!reply) return std::nullopt;
  return wire::parse_identity_reply(*reply);
}

// A raw connection, for a client that misbehaves.
int raw_connect(const std::string& path) {
  auto connection = instance_socket::connect_to(path, Deadline(kPatienceMs));
  EXPECT_EQ(connection.status, ConnectStatus::Connected);
  return connection.fd;
}

// True when the server closed the connection without a word. (Closing with
// bytes left unread shows as a reset.)
bool closed_by_server(int fd) {
  timeval limit{kPatienceMs / 1000, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  char byte;
  ssize_t got = recv(fd, &byte, 1, 0);
  return got == 0 || (got < 0 && errno == ECONNRESET);
}

void write_bytes(int fd, const std::vector<uint8_t>& bytes) {
  ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

class InstanceRegistryServing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(served->register_instance(kIdentity));
    peer = InstanceHandle{kIdentity, served->socket_path()};
  }

  // The next message the served instance's main thread receives.
  Message next_message() {
    Message message;
    EXPECT_TRUE(inbox.wait(message, kPatienceMs)) << "no message arrived";
    return message;
  }

  platform_test::IsolatedEnvironment environment;
  MessageQueue inbox;
  std::unique_ptr<PosixInstanceRegistry> served = std::make_unique<PosixInstanceRegistry>(inbox);
  MessageQueue client_inbox;
  PosixInstanceRegistry client{client_inbox};
  InstanceHandle peer;
};

TEST_F(InstanceRegistryServing, PublishesItsIdentityInTheRuntimeFolder) {
  EXPECT_EQ(peer.address.rfind(runtime_folder(), 0), 0u);
  auto identity = ask_identity(peer.address);
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->window_class, kIdentity.window_class);
  EXPECT_EQ(identity->title, kIdentity.title);
  EXPECT_EQ(identity->mode, 4);
  EXPECT_EQ(identity->pid, getpid());

  ASSERT_TRUE(served->set_title("Pelorin Tessaly ActiveDesktop"));
  EXPECT_EQ(ask_identity(peer.address)->title, "Pelorin Tessaly ActiveDesktop");
  EXPECT_EQ(served->socket_path(), peer.address);  // same socket, new identity
}

TEST_F(InstanceRegistryServing, SentMessageIsAnsweredByTheMainThread) {
  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8101, 7, 21, 0}, kPatienceMs);
  });
  Message message = next_message();
  EXPECT_EQ(message.id, 0x8101u);
  EXPECT_EQ(message.wparam, 7u);
  EXPECT_EQ(message.lparam, 21);
  ASSERT_NE(message.reply_token, 0u);
  served->complete(message.reply_token, message.lparam * 2);
  EXPECT_EQ(result.get(), 42);
}

TEST_F(InstanceRegistryServing, PostedMessagesCarryNoReplyToken) {
  EXPECT_TRUE(client.post(peer, Message{0x8004, 1, 2, 99}));
  EXPECT_TRUE(client.bring_to_front(peer));
  Message posted = next_message();
  EXPECT_EQ(posted.id, 0x8004u);
  EXPECT_EQ(posted.reply_token, 0u);
  Message front = next_message();
  EXPECT_EQ(front.id, MSG_BRING_TO_FRONT);
  EXPECT_EQ(front.reply_token, 0u);
}

TEST_F(InstanceRegistryServing, SenderGivesUpAfterItsTimeOutAndLateResultsAreIgnored) {
  EXPECT_EQ(client.send(peer, Message{0x8102, 0, 0, 0}, 100), std::nullopt);
  Message unanswered = next_message();
  served->complete(unanswered.reply_token, 5);  // too late: nobody waits
  served->complete(12345, 5);                   // never issued

  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8101, 0, 3, 0}, kPatienceMs);
  });
  Message message = next_message();
  EXPECT_NE(message.reply_token, unanswered.reply_token);
  served->complete(message.reply_token, 6);
  EXPECT_EQ(result.get(), 6);
}

TEST_F(InstanceRegistryServing, UnregisteringBeforeCompletingHidesTheInstanceYetAnswers) {
  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8005, 0, 0, 0}, kPatienceMs);
  });
  Message close_request = next_message();
  served->unregister_instance();
  EXPECT_EQ(served->socket_path(), "");
  EXPECT_FALSE(std::filesystem::exists(peer.address));
  EXPECT_EQ(instance_socket::connect_to(peer.address, Deadline(kPatienceMs)).status, ConnectStatus::Missing);
  served->complete(close_request.reply_token, 1);
  EXPECT_EQ(result.get(), 1);
  EXPECT_FALSE(client.post(peer, Message{1, 0, 0, 0}));
}

TEST_F(InstanceRegistryServing, RegisteringAgainPublishesANewSocket) {
  served->unregister_instance();
  ASSERT_TRUE(served->register_instance(kIdentity));
  std::string path = served->socket_path();
  EXPECT_NE(path, peer.address);
  EXPECT_TRUE(ask_identity(path));
}

TEST_F(InstanceRegistryServing, DestroyingWithARequestPendingReleasesTheSender) {
  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8102, 0, 0, 0}, -1);
  });
  next_message();
  served.reset();
  EXPECT_EQ(result.get(), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(peer.address));
}

TEST_F(InstanceRegistryServing, ResultCompletedJustBeforeDestructionStillArrives) {
  // What a closing instance does: answer the close request, then go away.
  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8005, 0, 0, 0}, kPatienceMs);
  });
  Message close_request = next_message();
  served->unregister_instance();
  served->complete(close_request.reply_token, 1);
  served.reset();
  EXPECT_EQ(result.get(), 1);
}

TEST_F(InstanceRegistryServing, ClientThatHangsUpEarlyIsHarmless) {
  int fd = raw_connect(peer.address);
  write_bytes(fd, wire::message_request(wire::Kind::SendRequest, Message{0x8101, 0, 1, 0}));
  close(fd);
  Message orphan = next_message();
  served->complete(orphan.reply_token, 2);

  auto result = std::async(std::launch::async, [&] {
    return client.send(peer, Message{0x8101, 0, 4, 0}, kPatienceMs);
  });
  Message message = next_message();
  served->complete(message.reply_token, 8);
  EXPECT_EQ(result.get(), 8);
}

TEST_F(InstanceRegistryServing, HalfSentFrameDoesNotHoldUpOthers) {
  int slow = raw_connect(peer.address);
  write_bytes(slow, {1, 0});
  EXPECT_TRUE(ask_identity(peer.address));
  write_bytes(slow, {0, 0, 0x01});  // the rest of an identity request
  std::array<uint8_t, 4> header{};
  ASSERT_EQ(recv(slow, header.data(), header.size(), MSG_WAITALL), 4);
  EXPECT_TRUE(wire::payload_length(header));
  close(slow);
}

TEST_F(InstanceRegistryServing, MalformedFrameClosesOnlyItsOwnConnection) {
  const std::vector<std::vector<uint8_t>> bad_frames = {
      {0xFF, 0xFF, 0, 0, 1},           // longer than any frame
      {0, 0, 0, 0},                    // empty
      {1, 0, 0, 0, 0x7F},              // unknown kind
      {1, 0, 0, 0, 0x82},              // a reply sent as a request
      {2, 0, 0, 0, 0x01, 0x00},        // identify with a stray byte
      {5, 0, 0, 0, 0x02, 1, 2, 3, 4},  // message cut short
  };
  for (const auto& frame : bad_frames) {
    int fd = raw_connect(peer.address);
    write_bytes(fd, frame);
    EXPECT_TRUE(closed_by_server(fd));
    close(fd);
  }
  Message none;
  EXPECT_FALSE(inbox.peek(none, false));
  EXPECT_TRUE(ask_identity(peer.address));
}

TEST_F(InstanceRegistryServing, FindSkipsItsOwnProcessAndRemovesDeadSockets) {
  // What a killed instance leaves: a socket file nobody listens on.
  std::string dead = runtime_folder() + "1-dead.sock";
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, dead.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
  std::ofstream(runtime_folder() + "notes.txt") << "not a socket";

  EXPECT_EQ(client.find("", ""), std::nullopt);  // the only live one is this process
  EXPECT_EQ(served->find("", ""), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(runtime_folder() + "notes.txt"));
  EXPECT_TRUE(std::filesystem::exists(peer.address));
}

TEST(InstanceRegistry, RefusesWhatItCouldNotPublish) {
  platform_test::IsolatedEnvironment environment;
  MessageQueue inbox;
  PosixInstanceRegistry registry(inbox);
  EXPECT_FALSE(registry.set_title("not registered yet"));
  EXPECT_FALSE(registry.register_instance({std::string(300, 'x'), "t", false, 4, 0}));
  EXPECT_EQ(registry.socket_path(), "");
  ASSERT_TRUE(registry.register_instance(kIdentity));
  EXPECT_FALSE(registry.set_title(std::string(300, 't')));

  PosixInstanceRegistry nowhere(inbox, "");
  EXPECT_FALSE(nowhere.register_instance(kIdentity));
  EXPECT_EQ(nowhere.find("", ""), std::nullopt);
}

}  // namespace
}  // namespace platform
