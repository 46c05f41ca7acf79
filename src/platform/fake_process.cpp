#include "platform/fake_process.h"

namespace platform {

ProcessStart FakeProcess::start(const std::string& executable, const std::vector<std::string>& argv,
                                bool new_process_group) {
  if (fail_start) return {std::nullopt, executable + ": cannot start"};
  started.push_back({executable, argv, new_process_group, std::nullopt, {}});
  return {ProcessHandle{static_cast<int64_t>(started.size())}, {}};
}

std::optional<int> FakeProcess::wait(ProcessHandle handle, int timeout_ms) {
  wait_timeouts.push_back(timeout_ms);
  if (find(handle) == nullptr) return std::nullopt;
  if (on_wait) on_wait(handle, timeout_ms);
  return find(handle)->exit_code;
}

bool FakeProcess::is_running(ProcessHandle handle) {
  Started* program = find(handle);
  return program != nullptr && !program->exit_code;
}

bool FakeProcess::send_signal(ProcessHandle handle, int signal_number) {
  Started* program = find(handle);
  if (program == nullptr || program->exit_code) return false;
  program->signals.push_back(signal_number);
  if (signals_end_programs) program->exit_code = 128 + signal_number;
  return true;
}

void FakeProcess::finish(ProcessHandle handle, int exit_code) {
  if (Started* program = find(handle)) program->exit_code = exit_code;
}

FakeProcess::Started* FakeProcess::find(ProcessHandle handle) {
  if (handle.id < 1 || static_cast<size_t>(handle.id) > started.size()) return nullptr;
  return &started[static_cast<size_t>(handle.id - 1)];
}

}  // namespace platform
