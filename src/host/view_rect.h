#pragma once
#include "base/rect.h"

namespace host {

// The part of the back buffer the scene is drawn in: the whole buffer, or a
// centred 16:10 or 16:9 band with black bars (aspect 1 and 2); aspect 0 keeps
// the whole buffer unless it is wider than 16:9.
base::Rect compute_view_rectangle(int aspect, int width, int height);

// The client size a user resize ends at: at least the minimum, and never
// wider than `ratio` (height / width) allows. The direction the user dragged
// most decides whether the height grows or the width shrinks.
struct ClientSize {
  int width;
  int height;
};
ClientSize constrain_user_resize(ClientSize requested, ClientSize old_client, ClientSize minimum,
                                 float ratio);

}  // namespace host
