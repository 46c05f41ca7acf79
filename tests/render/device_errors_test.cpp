#include "render/device_errors.h"

#include <gtest/gtest.h>

namespace {

using render::ErrorSeverity;

TEST(DeviceErrorsTest, TextsCloseWithTheirSeverity) {
  const std::string fatal = "\n\nThis application will now exit.";
  const std::string switching =
      "\n\nSwitching to the reference rasterizer,\na software device that implements the entire\nDirect3D "
      "feature set, but runs very slowly.";
  struct Case {
    render::HResult code;
    ErrorSeverity severity;
    std::string expected;
  };
  const Case cases[] = {
      {render::kNoCompatibleDevices, ErrorSeverity::Fatal,
       "Could not find any compatible Direct3D devices." + fatal},
      {render::kOutOfMemory, ErrorSeverity::Fatal, "Not enough memory." + fatal},
      {render::kNoHardwareDevice, ErrorSeverity::Switching,
       "No hardware accelerated Direct3D devices were found." + switching},
      {render::kNoWindowedHal, ErrorSeverity::Switching,
       "The hardware accelerator cannot run at window mode." + switching},
      {render::kNoDesktopHal, ErrorSeverity::Plain,
       "The hardware accelerator cannot render into a \nwindow with the current desktop display settings."},
      {render::kOutOfVideoMemory, ErrorSeverity::Plain, "Not enough video memory."},
      // An unknown code is always fatal.
      {static_cast<render::HResult>(0x80004005), ErrorSeverity::Switching,
       "Generic application error." + fatal},
      {render::kNullError, ErrorSeverity::Fatal, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.code);
    EXPECT_EQ(render::device_error_text(c.code, c.severity), c.expected);
  }
}

}  // namespace
