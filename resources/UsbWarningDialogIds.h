// The USB connection warning's controls: three numbered instructions and OK.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::warning_ids {

inline constexpr int kConnectStep = 1037;
inline constexpr int kTurnOnStep = 1038;
inline constexpr int kClickStep = 1039;
inline constexpr int kOk = kIdOk;

}  // namespace zenthar::resources::warning_ids
