#include "stub/saver_stub.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "host/saver_mode.h"
#include "platform/command_line.h"
#include "platform/fake_instance_registry.h"
#include "platform/fake_named_semaphore.h"
#include "platform/fake_process.h"
#include "platform/fake_registry_store.h"
#include "platform/fake_termination_requests.h"

namespace stub {
namespace {

using platform::ProcessHandle;
using platform::ProcessStart;

// The started program as the stub sees it, plus what the program does the
// moment it starts.
class ScriptedProcess final : public platform::Process {
 public:
  ProcessStart start(const std::string& executable, const std::vector<std::string>& argv,
                     bool new_process_group) override {
    ProcessStart started = fake.start(executable, argv, new_process_group);
    if (started.handle && on_start) on_start(*started.handle);
    return started;
  }
  std::optional<int> wait(ProcessHandle handle, int timeout_ms) override {
    return fake.wait(handle, timeout_ms);
  }
  bool is_running(ProcessHandle handle) override { return fake.is_running(handle); }
  bool send_signal(ProcessHandle handle, int signal_number) override {
    return fake.send_signal(handle, signal_number);
  }

  platform::FakeProcess fake;
  std::function<void(ProcessHandle)> on_start;
};

constexpr char kProgram[] = "/opt/aquarium/Brinewick.scr";
constexpr char kOwnFolder[] = "/usr/lib/pelorin-tessaly/";
constexpr ProcessHandle kChild{1};

class SaverStub : public ::testing::Test {
 protected:
  void SetUp() override { registry.write_string(platform::Hive::Machine, host::kAppPathsKey, "", kProgram); }

  int run(const std::vector<std::string>& argv) { return run_stub(services, argv); }

  // The program ends by itself at its `slice`-th wait.
  void program_ends_at_wait(int slice) {
    processes.fake.on_wait = [this, slice](ProcessHandle handle, int) {
      if (static_cast<int>(processes.fake.wait_timeouts.size()) == slice) processes.fake.finish(handle, 0);
    };
  }
  // The program opens its preview window at the stub's `slice`-th semaphore wait.
  void preview_opens_at_wait(int slice) {
    semaphore.on_wait = [this, slice](int) {
      if (static_cast<int>(semaphore.wait_timeouts.size()) == slice)
        program_side.open_and_release(host::kSemaphoreName);
    };
  }

  bool program_running() { return processes.fake.is_running(kChild); }

  platform::MessageQueue inbox;
  platform::FakeInstanceRegistry instances{inbox};
  platform::FakeRegistryStore registry;
  ScriptedProcess processes;
  platform::FakeSemaphoreTable semaphores;
  platform::FakeNamedSemaphore semaphore{semaphores};
  platform::FakeNamedSemaphore program_side{semaphores};  // the program's end of it
  platform::FakeTerminationRequests termination;
  StubServices services{instances, registry, processes, semaphore, termination, kOwnFolder, std::nullopt};
};

struct WaitCase {
  const char* name;
  std::string command_line;
  std::optional<std::string> window_variable;
  StubWait wait;
};

TEST_F(SaverStub, WaitsAsTheCommandLineAsks) {
  const WaitCase cases[] = {
      {"no arguments: the settings", "stub", {}, StubWait::None},
      {"saver", "stub /s", {}, StubWait::Program},
      {"saver, quoted name with a blank",
       "\"/usr/lib/pelorin-tessaly/Pelorin Tessaly.scr\" /s",
       {},
       StubWait::Program},
      {"free-standing", "stub /S", {}, StubWait::None},
      {"settings without a parent", "stub /c", {}, StubWait::None},
      {"settings with a parent", "stub /c:1234", {}, StubWait::Program},
      {"preview", "stub /p 5678", {}, StubWait::PreviewWindow},
      {"preview without a parent", "stub /p 0", {}, StubWait::None},
      {"password with a parent", "stub /a:12", {}, StubWait::Program},
      {"desktop", "stub /d:66052", {}, StubWait::Program},
      {"XScreenSaver root", "stub -root", {}, StubWait::Program},
      {"XScreenSaver window", "stub --window-id 0x400007", {}, StubWait::Program},
      {"XScreenSaver variable", "stub", "0x400007", StubWait::Program},
  };
  for (const WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    processes.fake = platform::FakeProcess{};
    semaphore.wait_timeouts.clear();
    services.window_variable = c.window_variable;
    program_ends_at_wait(3);
    preview_opens_at_wait(3);

    EXPECT_EQ(run(platform::split_command_line(c.command_line)), 0);

    ASSERT_EQ(processes.fake.started.size(), 1u);
    switch (c.wait) {
      case StubWait::None:
        EXPECT_TRUE(processes.fake.wait_timeouts.empty());
        EXPECT_TRUE(semaphore.wait_timeouts.empty());
        EXPECT_TRUE(program_running());
        break;
      case StubWait::Program:
        EXPECT_EQ(processes.fake.wait_timeouts.size(), 3u);
        EXPECT_FALSE(program_running());
        break;
      case StubWait::PreviewWindow:
        EXPECT_EQ(semaphore.wait_timeouts.size(), 3u);
        EXPECT_TRUE(program_running());  // it goes on as the preview
        break;
    }
    for (int timeout : processes.fake.wait_timeouts) EXPECT_GE(timeout, 0);
    for (int timeout : semaphore.wait_timeouts) EXPECT_GE(timeout, 0);
    EXPECT_TRUE(semaphores.counts.empty());  // never left behind
    EXPECT_FALSE(termination.catching);
  }
}

TEST_F(SaverStub, StartsTheProgramWithItsOwnArgumentsUnchanged) {
  const std::vector<std::string> argv{"/usr/lib/pelorin-tessaly/Pelorin Tessaly.scr", "/p", "5678", ""};
  preview_opens_at_wait(1);
  run(argv);
  ASSERT_EQ(processes.fake.started.size(), 1u);
  EXPECT_EQ(processes.fake.started[0].executable, kProgram);
  EXPECT_EQ(processes.fake.started[0].argv, argv);
  EXPECT_FALSE(processes.fake.started[0].new_process_group);
}

TEST_F(SaverStub, FindsTheProgramThroughAppPathsElseBesideItself) {
  EXPECT_EQ(program_path(registry, kOwnFolder), kProgram);
  registry.write_string(platform::Hive::Machine, host::kAppPathsKey, "", "");
  EXPECT_EQ(program_path(registry, kOwnFolder), std::string(kOwnFolder) + "Brinewick.scr");
  registry.delete_key(platform::Hive::Machine, host::kAppPathsKey);
  EXPECT_EQ(program_path(registry, kOwnFolder), std::string(kOwnFolder) + "Brinewick.scr");
  // The user's hive does not count.
  registry.write_string(platform::Hive::User, host::kAppPathsKey, "", kProgram);
  EXPECT_EQ(program_path(registry, kOwnFolder), std::string(kOwnFolder) + "Brinewick.scr");
}

TEST_F(SaverStub, AProgramThatCannotStartEndsTheStubAtOnce) {
  processes.fake.fail_start = true;
  EXPECT_EQ(run({"stub", "/p", "5678"}), 0);
  EXPECT_TRUE(semaphore.wait_timeouts.empty());
  EXPECT_TRUE(semaphores.counts.empty());
  EXPECT_FALSE(termination.catching);
}

TEST_F(SaverStub, APreviewWindowThatOpensBeforeTheWaitIsNotMissed) {
  // The semaphore must exist when the program starts, or this release is lost
  // and the stub waits until the program ends.
  processes.on_start = [this](ProcessHandle) {
    EXPECT_TRUE(semaphores.counts.contains(host::kSemaphoreName));
    program_side.open_and_release(host::kSemaphoreName);
  };
  // Were it lost, the wait would go on until the program ends.
  semaphore.on_wait = [this](int) {
    if (semaphore.wait_timeouts.size() == 5) processes.fake.finish(kChild, 0);
  };
  run({"stub", "/p", "5678"});
  EXPECT_EQ(semaphore.wait_timeouts.size(), 1u);
  EXPECT_TRUE(program_running());
}

TEST_F(SaverStub, APreviewThatEndsWithoutItsWindowEndsTheWait) {
  semaphore.on_wait = [this](int) {
    if (semaphore.wait_timeouts.size() == 2) processes.fake.finish(kChild, 1);
  };
  run({"stub", "/p", "5678"});
  EXPECT_EQ(semaphore.wait_timeouts.size(), 2u);
}

TEST_F(SaverStub, ASemaphoreThatCannotBeCreatedMeansNoWait) {
  semaphore.fail_create = true;
  run({"stub", "/p", "5678"});
  ASSERT_EQ(processes.fake.started.size(), 1u);
  EXPECT_TRUE(semaphore.wait_timeouts.empty());
}

TEST_F(SaverStub, ATerminationRequestIsPassedOnToTheProgram) {
  for (const char* command_line : {"stub /s", "stub /p 5678", "stub -root"}) {
    SCOPED_TRACE(command_line);
    processes.fake = platform::FakeProcess{};
    semaphore.on_wait = nullptr;
    // A request that comes while the program starts, and one while waiting.
    processes.on_start = [this](ProcessHandle) { termination.request(); };
    run(platform::split_command_line(command_line));
    ASSERT_EQ(processes.fake.started.size(), 1u);
    EXPECT_EQ(processes.fake.started[0].signals, std::vector<int>{SIGTERM});
    EXPECT_FALSE(program_running());
    EXPECT_EQ(termination.uncaught, 0);
    EXPECT_FALSE(termination.catching);
  }
}

TEST_F(SaverStub, WithoutAWaitARequestEndsTheStubAsUsual) {
  processes.on_start = [this](ProcessHandle) { termination.request(); };
  run({"stub", "/c"});
  EXPECT_EQ(termination.uncaught, 1);
  EXPECT_TRUE(processes.fake.started[0].signals.empty());
}

TEST_F(SaverStub, ClosesTheRunningInstancesBeforeStartingTheProgram) {
  std::vector<std::string> closed;
  auto closes = [&](const std::string& title) {
    return [&closed, title](const platform::Message& message) -> std::optional<int64_t> {
      if (message.id == host::MSG_CLOSE_INSTANCE) closed.push_back(title);
      return 0;
    };
  };
  instances.add_peer({"Other Class", "Other", false, 4, 10}, closes("other"));
  instances.add_peer({"PELORIN TESSALY CLASS", "pelorin tessaly", false, 4, 11}, closes("free-standing"));
  instances.add_peer({"Pelorin Tessaly Class", host::kDesktopTitle, true, 5, 12}, closes("desktop"));
  size_t closed_at_start = 0;
  processes.on_start = [&](ProcessHandle) { closed_at_start = closed.size(); };
  program_ends_at_wait(1);

  run({"stub", "/s"});

  EXPECT_EQ(closed, (std::vector<std::string>{"free-standing", "desktop"}));
  EXPECT_EQ(closed_at_start, 2u);
  for (const auto& delivery : instances.deliveries) {
    EXPECT_FALSE(delivery.posted);  // sent, so the stub waits until it is handled
    EXPECT_GT(delivery.timeout_ms, 0);
  }
}

}  // namespace
}  // namespace stub
