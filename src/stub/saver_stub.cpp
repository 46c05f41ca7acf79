#include "stub/saver_stub.h"

#include <csignal>

#include "host/close_instances.h"
#include "host/instance_check.h"
#include "host/saver_mode.h"
#include "host/xscreensaver_options.h"
#include "platform/command_line.h"

namespace stub {

namespace {

using platform::ProcessHandle;
using platform::SemaphoreWait;

void pass_on_termination(StubServices& services, ProcessHandle program) {
  if (services.termination.take_request()) services.processes.send_signal(program, SIGTERM);
}

void wait_for_program(StubServices& services, ProcessHandle program) {
  for (;;) {
    if (services.processes.wait(program, kWaitSliceMs)) return;
    if (!services.processes.is_running(program)) return;
    pass_on_termination(services, program);
  }
}

// The program releases the semaphore once its preview window exists, and once
// more when it ends; a program that ends without doing so ends the wait too.
void wait_for_preview_window(StubServices& services, ProcessHandle program) {
  for (;;) {
    SemaphoreWait result = services.semaphore.wait(kWaitSliceMs);
    if (result != SemaphoreWait::TimedOut) return;
    if (!services.processes.is_running(program)) return;
    pass_on_termination(services, program);
  }
}

}  // namespace

StubWait wait_for(const host::ParsedCommandLine& command_line, bool under_daemon) {
  if (under_daemon) return StubWait::Program;
  host::SaverMode mode = command_line.mode;
  if (mode == host::SaverMode::Configure) mode = host::SaverMode::Standalone;
  if (command_line.number != 0) {
    return mode == host::SaverMode::Preview ? StubWait::PreviewWindow : StubWait::Program;
  }
  return mode == host::SaverMode::FullScreenSaver ? StubWait::Program : StubWait::None;
}

std::string program_path(const platform::RegistryStore& registry, const std::string& own_folder) {
  auto path = registry.read_string(platform::Hive::Machine, host::kAppPathsKey, "");
  if (path && !path->empty()) return *path;
  return own_folder + host::kProgramFileName;
}

int run_stub(StubServices& services, const std::vector<std::string>& argv) {
  host::close_running_instances(services.instances, host::kCloseInstanceTimeoutMs);

  const host::ParsedCommandLine command_line = host::parse_command_line(platform::join_command_line(argv));
  const bool under_daemon = host::take_xscreensaver_options(argv, services.window_variable).under_daemon;
  StubWait wait = wait_for(command_line, under_daemon);

  // The semaphore exists before the program starts, so that a release by a
  // program that is quick to open its preview is not lost.
  if (wait == StubWait::PreviewWindow && !services.semaphore.create(host::kSemaphoreName)) {
    wait = StubWait::None;
  }
  if (wait != StubWait::None) services.termination.catch_requests();

  auto started = services.processes.start(program_path(services.registry, services.own_folder), argv, false);
  if (started.handle) {
    if (wait == StubWait::Program) wait_for_program(services, *started.handle);
    if (wait == StubWait::PreviewWindow) wait_for_preview_window(services, *started.handle);
  }

  services.termination.stop_catching();
  services.semaphore.close();
  return 0;
}

}  // namespace stub
