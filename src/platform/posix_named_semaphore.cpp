#include "platform/posix_named_semaphore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>

#include "platform/folders.h"

namespace platform {

namespace {

// glibc puts "sem." before the name in a file name of at most NAME_MAX bytes.
constexpr size_t kMaxSystemName = NAME_MAX - 4;

// Serialises releases of one semaphore between processes; the kernel drops
// the lock when its holder dies. Without a runtime folder it does nothing.
class ReleaseLock {
 public:
  explicit ReleaseLock(const std::string& system_name) {
    std::string folder = runtime_folder();
    if (folder.empty()) return;
    std::string path = folder + "semaphore-" + system_name.substr(1) + ".lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~ReleaseLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReleaseLock(const ReleaseLock&) = delete;
  ReleaseLock& operator=(const ReleaseLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

std::string PosixNamedSemaphore::system_name(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  std::string result = "/" + name + "." + std::to_string(getuid());
  if (result.size() > kMaxSystemName) return {};
  return result;
}

PosixNamedSemaphore::~PosixNamedSemaphore() { close(); }

bool PosixNamedSemaphore::create(const std::string& name) {
  close();
  std::string system = system_name(name);
  if (system.empty()) return false;
  // Whatever is left under this name belongs to a run that is over: remove
  // it, so the count starts at 0. A second try covers a creator racing us.
  for (int attempt = 0; attempt < 2; ++attempt) {
    sem_unlink(system.c_str());
    semaphore_ = sem_open(system.c_str(), O_CREAT | O_EXCL, 0600, 0U);
    if (semaphore_ != SEM_FAILED) {
      system_name_ = system;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return false;
}

bool PosixNamedSemaphore::open_and_release(const std::string& name) {
  std::string system = system_name(name);
  if (system.empty()) return false;
  sem_t* semaphore = sem_open(system.c_str(), 0);
  if (semaphore == SEM_FAILED) return false;
  {
    ReleaseLock lock(system);
    int value = 0;
    if (sem_getvalue(semaphore, &value) == 0 && value < 1) sem_post(semaphore);
  }
  sem_close(semaphore);
  return true;
}

SemaphoreWait PosixNamedSemaphore::wait(int timeout_ms) {
  if (semaphore_ == SEM_FAILED) return SemaphoreWait::Failed;
  if (timeout_ms < 0) {
    while (sem_wait(semaphore_) != 0) {
      if (errno != EINTR) return SemaphoreWait::Failed;
    }
    return SemaphoreWait::Signalled;
  }
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += timeout_ms / 1000;
  deadline.tv_nsec += static_cast<long>(timeout_ms % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (sem_clockwait(semaphore_, CLOCK_MONOTONIC, &deadline) != 0) {
    if (errno == ETIMEDOUT) return SemaphoreWait::TimedOut;
    if (errno != EINTR) return SemaphoreWait::Failed;
  }
  return SemaphoreWait::Signalled;
}

void PosixNamedSemaphore::close() {
  if (semaphore_ == SEM_FAILED) return;
  sem_close(semaphore_);
  sem_unlink(system_name_.c_str());
  semaphore_ = SEM_FAILED;
  system_name_.clear();
}

}  // namespace platform
