#pragma once
#include <cstdint>

// Message numbers and virtual-key codes. The numbers are the ones the rest of
// the program is written against (mouse and key handling compare against
// them), so the platform layer translates its native events into these.
namespace platform {

enum : uint32_t {
  WM_NULL = 0x0000,
  WM_DESTROY = 0x0002,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ACTIVATEAPP = 0x001C,
  WM_DISPLAYCHANGE = 0x007E,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MOUSEWHEEL = 0x020A,
  WM_POWERBROADCAST = 0x0218,
  WM_ENTERSIZEMOVE = 0x0231,
  WM_EXITSIZEMOVE = 0x0232,
  WM_APP = 0x8000,
};

// WM_SIZE kinds.
enum : uint32_t { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// Mouse-message key state bits (wparam).
enum : uint32_t { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

// Virtual keys.
enum : uint32_t {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_PAUSE = 0x13,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_LWIN = 0x5B,
  VK_RWIN = 0x5C,
  VK_APPS = 0x5D,
  VK_NUMPAD0 = 0x60,
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,
  VK_F12 = 0x7B,
  VK_OEM_PLUS = 0xBB,
  VK_OEM_MINUS = 0xBD,
};
// Letters and digits use their upper-case ASCII codes ('A'..'Z', '0'..'9').

// Pack and unpack the mouse position of a mouse message: x in the low 16 bits,
// y in the high 16 bits, both signed.
constexpr int64_t make_point_lparam(int x, int y) {
  return static_cast<int64_t>((static_cast<uint32_t>(static_cast<uint16_t>(x))) |
                              (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
constexpr int point_x(int64_t lparam) { return static_cast<int16_t>(lparam & 0xFFFF); }
constexpr int point_y(int64_t lparam) { return static_cast<int16_t>((lparam >> 16) & 0xFFFF); }

}  // namespace platform
