#pragma once
#include <cstdint>

namespace host {

enum class SaverMode : int32_t {
  None = 0,
  FullScreenSaver = 1,
  Configure = 2,
  Preview = 3,
  Standalone = 4,
  ActiveDesktop = 5,
  ChangePassword = 6,
};

// Identities shared by the three programs; compared ignoring case.
inline constexpr char kWindowClass[] = "Pelorin Tessaly Class";
inline constexpr char kWindowTitle[] = "Pelorin Tessaly";
inline constexpr char kDesktopTitle[] = "Pelorin Tessaly ActiveDesktop";
inline constexpr char kProgramFileName[] = "Brinewick.scr";
inline constexpr char kSemaphoreName[] = "Brinewick.scr";
inline constexpr char kAppPathsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brinewick.scr";

// Window messages of the program.
inline constexpr uint32_t MSG_STARTED = 0x8001;
inline constexpr uint32_t MSG_DESKTOP_CLICK = 0x8002;
inline constexpr uint32_t MSG_MUSIC_EVENT = 0x8003;
inline constexpr uint32_t MSG_MUSIC_NEXT = 0x8004;
inline constexpr uint32_t MSG_CLOSE_INSTANCE = 0x8005;

}  // namespace host
