#pragma once
// The error codes and their texts live with the device code; the host keeps
// using them under its own names.
#include "render/device_errors.h"

namespace host {

using render::device_error_text;
using render::ErrorSeverity;
using render::failed;
using render::HResult;
using render::kDeviceLost;
using render::kDeviceNotReset;
using render::kFail;
using render::kHalMissingFeatures;
using render::kMediaNotFound;
using render::kNoCompatibleDevices;
using render::kNoDesktopHal;
using render::kNoDirect3D;
using render::kNoHalThisMode;
using render::kNoHardwareDevice;
using render::kNonZeroRefCount;
using render::kNoWindowableDevices;
using render::kNoWindowedHal;
using render::kNullError;
using render::kOk;
using render::kOutOfMemory;
using render::kOutOfVideoMemory;
using render::kResetFailed;

}  // namespace host
