#include "host/instance_check.h"

#include "platform/ascii.h"

namespace host {

SaverMode instance_mode_of(const platform::InstanceIdentity& identity) {
  if (platform::equals_ignore_ascii_case(identity.title, kWindowTitle)) {
    return identity.has_parent ? SaverMode::Preview : SaverMode::Standalone;
  }
  if (platform::equals_ignore_ascii_case(identity.title, kDesktopTitle)) return SaverMode::ActiveDesktop;
  return SaverMode::None;
}

bool check_running_instance(platform::InstanceRegistry& instances, SaverMode mode) {
  auto found = instances.find(kWindowClass, kWindowTitle);
  if (!found) found = instances.find("", kDesktopTitle);
  if (!found) return true;
  if (mode == SaverMode::FullScreenSaver) return false;
  SaverMode found_mode = instance_mode_of(found->identity);
  if (mode != SaverMode::Preview && found_mode != mode) {
    instances.send(*found, platform::Message{MSG_CLOSE_INSTANCE, 0, 0, 0}, kCloseInstanceTimeoutMs);
    return true;
  }
  instances.bring_to_front(*found);
  return false;
}

}  // namespace host
