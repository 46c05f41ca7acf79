#pragma once

#include <string>

namespace platform {

enum class SemaphoreWait { Signalled, TimedOut, Failed };

// A counting semaphore shared by name between the programs of one user, whose
// count never goes above 1. One side creates it and waits; the other side only
// opens it by name and releases it.
class NamedSemaphore {
 public:
  virtual ~NamedSemaphore() = default;

  // Creates the semaphore `name` with count 0 and holds it. One left over
  // from an earlier run (whatever its count) is replaced by a fresh one.
  virtual bool create(const std::string& name) = 0;

  // If the semaphore `name` exists, raises its count by one unless it is
  // already 1. Returns whether it existed. Needs no create.
  virtual bool open_and_release(const std::string& name) = 0;

  // Waits on the created semaphore until it can be taken (count down by one)
  // or `timeout_ms` passes (-1: forever). A caller that must also watch
  // something else waits in short slices.
  virtual SemaphoreWait wait(int timeout_ms) = 0;

  // Closes and removes the created semaphore; nothing when none is held.
  virtual void close() = 0;
};

}  // namespace platform
