#pragma once

#include "support/temp_folder.h"

namespace model_test {

using TempFolder = test_support::TempFolder;

}  // namespace model_test
