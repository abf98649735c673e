#pragma once

#include "core/Indexed.h"

namespace kov {

// What the meter downloads hand over: TestLevel(test 1..20, band index 1..20).
using DownloadLevels = Indexed2<f32, 1, 20, 1, 20>;

}  // namespace kov
