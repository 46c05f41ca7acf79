#include "host/feature_locks.h"

namespace host {

FeatureLocks& feature_locks() {
  static FeatureLocks locks;
  return locks;
}

}  // namespace host
