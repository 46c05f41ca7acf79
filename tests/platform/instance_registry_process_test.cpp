#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <future>

#include "instance_peer.h"
#include "isolated_environment.h"
#include "peer_process.h"
#include "platform/posix_instance_registry.h"

namespace platform {
namespace {

using platform_test::eventually;
using platform_test::kPatienceMs;
using platform_test::PeerProcess;

constexpr const char* kClass = "Pelorin Tessaly Class";
constexpr const char* kTitle = "Pelorin Tessaly";
constexpr const char* kDesktopTitle = "Pelorin Tessaly ActiveDesktop";

class InstanceProcesses : public ::testing::Test {
 protected:
  // Waits until a peer of that class and title can be found.
  std::optional<InstanceHandle> find_soon(const std::string& window_class, const std::string& title) {
    return eventually<InstanceHandle>([&] { return registry.find(window_class, title); });
  }

  platform_test::IsolatedEnvironment environment;
  MessageQueue inbox;
  PosixInstanceRegistry registry{inbox};
};

TEST_F(InstanceProcesses, FindEachOtherByClassAndTitleIgnoringCase) {
  PeerProcess windowed({"serve", kClass, kTitle, "0", "4"});
  PeerProcess desktop({"serve", kClass, kDesktopTitle, "1", "5"});
  ASSERT_TRUE(windowed.started() && desktop.started());

  auto by_class_and_title = find_soon("pelorin tessaly CLASS", "PELORIN TESSALY");
  ASSERT_TRUE(by_class_and_title);
  EXPECT_EQ(by_class_and_title->identity.pid, windowed.pid());
  EXPECT_EQ(by_class_and_title->identity.title, kTitle);
  EXPECT_FALSE(by_class_and_title->identity.has_parent);
  EXPECT_EQ(by_class_and_title->identity.mode, 4);

  auto by_title = find_soon("", "pelorin tessaly activedesktop");
  ASSERT_TRUE(by_title);
  EXPECT_EQ(by_title->identity.pid, desktop.pid());
  EXPECT_TRUE(by_title->identity.has_parent);
  EXPECT_EQ(by_title->identity.mode, 5);

  auto by_class = registry.find(kClass, "");
  ASSERT_TRUE(by_class);
  EXPECT_TRUE(by_class->identity.pid == windowed.pid() || by_class->identity.pid == desktop.pid());
  EXPECT_EQ(registry.find(kClass, "Pelorin Tessaly Other"), std::nullopt);
  EXPECT_EQ(registry.find("Other Class", kTitle), std::nullopt);

  // And the other way round: another process finds this one.
  ASSERT_TRUE(registry.register_instance({"Test Host Class", "Test Host", false, 3, 0}));
  EXPECT_EQ(platform_test::run_peer({"find", "TEST HOST CLASS", "test host"}), 0);
  EXPECT_EQ(platform_test::run_peer({"find", "Test Host Class", "Another Title"}), 3);
}

TEST_F(InstanceProcesses, ExchangeMessagesSynchronously) {
  PeerProcess peer({"serve", kClass, kTitle, "0", "4", kDesktopTitle});
  auto handle = find_soon(kClass, kTitle);
  ASSERT_TRUE(handle);

  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerDouble, 0, 21, 0}, kPatienceMs), 42);
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerDouble, 0, -1LL << 40, 0}, kPatienceMs),
            -1LL << 41);

  // Posted messages are handled in order before a later sent one.
  EXPECT_TRUE(registry.bring_to_front(*handle));
  EXPECT_TRUE(registry.bring_to_front(*handle));
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerCountFronts, 0, 0, 0}, kPatienceMs), 2);

  // A new title is what the others find from then on.
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerRetitle, 0, 0, 0}, kPatienceMs), 1);
  auto renamed = registry.find("", kDesktopTitle);
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->identity.pid, peer.pid());
  EXPECT_EQ(registry.find("", kTitle), std::nullopt);
}

TEST_F(InstanceProcesses, RequestToAPeerThatDoesNotAnswerReturnsAfterItsTimeOut) {
  PeerProcess peer({"serve", kClass, kTitle, "0", "4"});
  auto handle = find_soon(kClass, kTitle);
  ASSERT_TRUE(handle);
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerIgnore, 0, 0, 0}, 200), std::nullopt);
  // The peer goes on serving.
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerDouble, 0, 5, 0}, kPatienceMs), 10);
}

TEST_F(InstanceProcesses, RequestEndsWhenThePeerDiesWhileHandlingIt) {
  PeerProcess peer({"serve", kClass, kTitle, "0", "4"});
  auto handle = find_soon(kClass, kTitle);
  ASSERT_TRUE(handle);
  auto result = std::async(std::launch::async, [&] {
    return registry.send(*handle, Message{platform_test::kPeerIgnore, 0, 0, 0}, -1);
  });
  // Give the request a moment to reach the peer; the outcome is the same if not.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  peer.kill_now();
  EXPECT_EQ(result.get(), std::nullopt);
}

TEST_F(InstanceProcesses, ClosingPeerIsNoLongerFoundWhenItsAnswerArrives) {
  PeerProcess peer({"serve", kClass, kTitle, "0", "4"});
  auto handle = find_soon(kClass, kTitle);
  ASSERT_TRUE(handle);
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerQuit, 0, 0, 0}, kPatienceMs), 1);
  EXPECT_EQ(registry.find(kClass, kTitle), std::nullopt);
  EXPECT_EQ(peer.wait(), 0);
}

TEST_F(InstanceProcesses, SocketOfAKilledPeerIsRemovedAndDoesNotConfuseTheNextFind) {
  std::optional<InstanceHandle> dead;
  {
    PeerProcess victim({"serve", kClass, kTitle, "0", "4"});
    dead = find_soon(kClass, kTitle);
    ASSERT_TRUE(dead);
    victim.kill_now();
  }
  ASSERT_TRUE(std::filesystem::exists(dead->address));  // nobody cleaned up
  EXPECT_EQ(registry.send(*dead, Message{platform_test::kPeerDouble, 0, 1, 0}, kPatienceMs), std::nullopt);

  EXPECT_EQ(registry.find(kClass, kTitle), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(dead->address));

  PeerProcess successor({"serve", kClass, kTitle, "0", "4"});
  auto handle = find_soon(kClass, kTitle);
  ASSERT_TRUE(handle);
  EXPECT_EQ(handle->identity.pid, successor.pid());
  EXPECT_EQ(registry.send(*handle, Message{platform_test::kPeerDouble, 0, 8, 0}, kPatienceMs), 16);
}

}  // namespace
}  // namespace platform
