#include "render/device_errors.h"

namespace render {

std::string device_error_text(HResult code, ErrorSeverity severity) {
  std::string text;
  switch (code) {
    case kOutOfMemory:
      text = "Not enough memory.";
      break;
    case kNoDirect3D:
      text =
          "Could not initialize Direct3D.\nYou may want to check that the version of\nDirectX 9 is correctly "
          "installed on your system.";
      break;
    case kNoCompatibleDevices:
      text = "Could not find any compatible Direct3D devices.";
      break;
    case kNoWindowableDevices:
      text =
          "Could not run in the desktop/window with the current\ndisplay settings. Please change your "
          "desktop "
          "settings to 16/32-bit or less resolution display mode.";
      break;
    case kNoHardwareDevice:
      text = "No hardware accelerated Direct3D devices were found.";
      break;
    case kHalMissingFeatures:
      text = "The hardware accelerator could not support\nsome requires functionality.";
      break;
    case kNoWindowedHal:
      text = "The hardware accelerator cannot run at window mode.";
      break;
    case kNoDesktopHal:
      text =
          "The hardware accelerator cannot render into a \nwindow with the current desktop display settings.";
      break;
    case kNoHalThisMode:
      text = "The hardware accelerator cannot render\ninto this display mode settings.";
      break;
    case kNonZeroRefCount:
      text = "A D3D object has a non-zero reference count\n(meaning things were not properly cleaned up).";
      break;
    case kMediaNotFound:
      text = "Could not load required media.";
      break;
    case kResetFailed:
      text = "Could not reset the Direct3D device.";
      break;
    case kNullError:
      return {};
    case kOutOfVideoMemory:
      text = "Not enough video memory.";
      break;
    default:
      text = "Generic application error.";
      severity = ErrorSeverity::Fatal;
      break;
  }
  if (severity == ErrorSeverity::Fatal) {
    text += "\n\nThis application will now exit.";
  } else if (severity == ErrorSeverity::Switching) {
    text +=
        "\n\nSwitching to the reference rasterizer,\na software device that implements the entire\nDirect3D "
        "feature set, but runs very slowly.";
  }
  return text;
}

}  // namespace render
