#include "platform/instance_identity.h"

#include "platform/ascii.h"

namespace platform {

bool identity_matches(const InstanceIdentity& identity, std::string_view window_class,
                      std::string_view title) {
  return (window_class.empty() || equals_ignore_ascii_case(identity.window_class, window_class)) &&
         (title.empty() || equals_ignore_ascii_case(identity.title, title));
}

}  // namespace platform
