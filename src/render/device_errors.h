#pragma once
#include <cstdint>
#include <string>

namespace render {

using HResult = int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
inline constexpr HResult kNoDirect3D = static_cast<HResult>(0x82000001);
inline constexpr HResult kNoCompatibleDevices = static_cast<HResult>(0x82000003);
inline constexpr HResult kNoWindowableDevices = static_cast<HResult>(0x82000004);
inline constexpr HResult kNoHardwareDevice = static_cast<HResult>(0x82000005);
inline constexpr HResult kHalMissingFeatures = static_cast<HResult>(0x82000006);
inline constexpr HResult kNoWindowedHal = static_cast<HResult>(0x82000007);
inline constexpr HResult kNoDesktopHal = static_cast<HResult>(0x82000008);
inline constexpr HResult kNoHalThisMode = static_cast<HResult>(0x82000009);
inline constexpr HResult kNonZeroRefCount = static_cast<HResult>(0x8200000A);
inline constexpr HResult kMediaNotFound = static_cast<HResult>(0x8200000B);
inline constexpr HResult kResetFailed = static_cast<HResult>(0x8200000C);
inline constexpr HResult kNullError = static_cast<HResult>(0x8200000F);
inline constexpr HResult kOutOfVideoMemory = static_cast<HResult>(0x8876017C);
inline constexpr HResult kDeviceLost = static_cast<HResult>(0x88760868);
inline constexpr HResult kDeviceNotReset = static_cast<HResult>(0x88760869);

inline bool failed(HResult code) { return code < 0; }

enum class ErrorSeverity { Fatal, Switching, Plain };

// The text shown for a device error, with the severity's closing sentence;
// empty for the code that shows nothing.
std::string device_error_text(HResult code, ErrorSeverity severity);

}  // namespace render
