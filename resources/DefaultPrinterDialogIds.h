// The default-printer question's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::default_ids {

inline constexpr int kSetDefaultCheck = 1023;
inline constexpr int kOk = kIdOk;

}  // namespace zenthar::resources::default_ids
