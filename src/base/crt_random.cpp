#include "base/crt_random.h"

namespace base {

CrtRandom& crt_rand() {
  static CrtRandom generator;
  return generator;
}

}  // namespace base
