// The printer IP address dialog's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::address_ids {

inline constexpr int kAddressLabel = 1043;
inline constexpr int kAddressField = 1044;
inline constexpr int kOk = kIdOk;

}  // namespace zenthar::resources::address_ids
