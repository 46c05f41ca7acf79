#include "platform/posix_named_semaphore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "isolated_environment.h"

namespace platform {
namespace {

TEST(PosixNamedSemaphore, NameIsPerUser) {
  EXPECT_EQ(PosixNamedSemaphore::system_name("Brinewick.scr"), "/Brinewick.scr." + std::to_string(getuid()));
  EXPECT_EQ(PosixNamedSemaphore::system_name(""), "");
  EXPECT_EQ(PosixNamedSemaphore::system_name("a/b"), "");
  EXPECT_EQ(PosixNamedSemaphore::system_name(std::string(300, 'n')), "");
}

TEST(PosixNamedSemaphore, CountNeverGoesAboveOne) {
  platform_test::IsolatedEnvironment environment;
  const std::string name = "pt-unit-" + std::to_string(getpid()) + ".scr";
  PosixNamedSemaphore creator;
  ASSERT_TRUE(creator.create(name));
  PosixNamedSemaphore program;
  EXPECT_TRUE(program.open_and_release(name));
  EXPECT_TRUE(program.open_and_release(name));
  EXPECT_TRUE(program.open_and_release(name));
  EXPECT_EQ(creator.wait(0), SemaphoreWait::Signalled);
  EXPECT_EQ(creator.wait(20), SemaphoreWait::TimedOut);

  // Once closed it is gone: a release finds nothing, a wait fails.
  creator.close();
  EXPECT_FALSE(program.open_and_release(name));
  EXPECT_EQ(creator.wait(0), SemaphoreWait::Failed);
}

}  // namespace
}  // namespace platform
