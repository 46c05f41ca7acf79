#include "host/close_instances.h"

#include "host/saver_mode.h"

namespace host {

int close_running_instances(platform::InstanceRegistry& instances, int timeout_ms) {
  int found = 0;
  const platform::Message close{MSG_CLOSE_INSTANCE, 0, 0, 0};
  if (auto running = instances.find(kWindowClass, kWindowTitle)) {
    ++found;
    instances.send(*running, close, timeout_ms);
  }
  if (auto desktop = instances.find("", kDesktopTitle)) {
    ++found;
    instances.send(*desktop, close, timeout_ms);
  }
  return found;
}

}  // namespace host
