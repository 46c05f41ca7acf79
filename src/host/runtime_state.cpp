#include "host/runtime_state.h"

namespace host {

RuntimeState& runtime_state() {
  static RuntimeState state;
  return state;
}

}  // namespace host
