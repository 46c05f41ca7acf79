#include "platform/posix_termination_requests.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace platform {
namespace {

TEST(PosixTerminationRequests, ACaughtRequestIsRememberedInsteadOfEndingTheProcess) {
  PosixTerminationRequests requests;
  EXPECT_FALSE(requests.take_request());
  ASSERT_TRUE(requests.catch_requests());
  EXPECT_FALSE(requests.take_request());
  raise(SIGTERM);
  raise(SIGTERM);
  EXPECT_TRUE(requests.take_request());
  EXPECT_FALSE(requests.take_request());  // two requests before a look count as one
}

TEST(PosixTerminationRequests, OnlyOneCatcherAtATimeAndTheOldHandlingComesBack) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction before {};
  ASSERT_EQ(sigaction(SIGTERM, &ignore, &before), 0);
  {
    PosixTerminationRequests first;
    PosixTerminationRequests second;
    ASSERT_TRUE(first.catch_requests());
    EXPECT_FALSE(second.catch_requests());
    raise(SIGTERM);
    first.stop_catching();
    EXPECT_FALSE(first.take_request());

    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);

    // Free again for another catcher, which is let go by its destructor.
    EXPECT_TRUE(second.catch_requests());
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  sigaction(SIGTERM, &before, nullptr);
}

}  // namespace
}  // namespace platform
