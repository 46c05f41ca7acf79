#include "base/feature_locks.h"

namespace base {

FeatureLocks& feature_locks() {
  static FeatureLocks locks;
  return locks;
}

}  // namespace base
