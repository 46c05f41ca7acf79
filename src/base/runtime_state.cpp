#include "base/runtime_state.h"

namespace base {

RuntimeState& runtime_state() {
  static RuntimeState state;
  return state;
}

}  // namespace base
