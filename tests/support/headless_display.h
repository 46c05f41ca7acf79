#pragma once
#include <string>

namespace test_support {

// Makes sure SDL can open windows with OpenGL: uses $DISPLAY when set, else
// starts a private Xvfb for the rest of the test program (stopped at exit).
// Returns false, with the reason in *why, when neither works.
bool ensure_display(std::string* why);

// The X display name in use (":42"), empty when none.
std::string display_name();

}  // namespace test_support
