// The about box's controls: only its OK button is ever addressed.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::about_ids {

inline constexpr int kOk = kIdOk;

}  // namespace zenthar::resources::about_ids
