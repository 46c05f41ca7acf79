#pragma once

// Vectors, matrices and quaternions in one include.

#include "base/box_probe.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"
