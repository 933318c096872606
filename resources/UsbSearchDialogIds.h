// The USB search progress window's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::search_ids {

inline constexpr int kWaitText = 1028;
inline constexpr int kSearchBar = 1026;

}  // namespace zenthar::resources::search_ids
