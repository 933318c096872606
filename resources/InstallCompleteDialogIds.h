// The installation-complete dialog's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::complete_ids {

inline constexpr int kCompletedText = 1040;
inline constexpr int kOk = kIdOk;

}  // namespace zenthar::resources::complete_ids
