#pragma once
#include "platform/instance_registry.h"

namespace host {

// Tells a running aquarium to close: first the one with the program's window
// class and title (free-standing, saver or preview), then the one on the
// desktop. Each is sent MSG_CLOSE_INSTANCE and given `timeout_ms` to handle
// it; the answer comes once it can no longer be found. Returns how many
// were found.
int close_running_instances(platform::InstanceRegistry& instances, int timeout_ms);

}  // namespace host
