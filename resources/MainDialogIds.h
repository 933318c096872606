// The main dialog's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::main_ids {

// Model information: the group and its labels (the values beside the versions have no id).
inline constexpr int kModelGroup = 1031;
inline constexpr int kModelNameLabel = 1032;
inline constexpr int kInstallerVersionLabel = 1033;
inline constexpr int kDriverVersionLabel = 1034;
inline constexpr int kModelName = 1035;

// The printer list with a check box per row.
inline constexpr int kModelList = 1019;

// The cloning option.
inline constexpr int kCloneGroup = 1049;
inline constexpr int kCloneCheck = 1047;
inline constexpr int kCopiesLabel = 1050;
inline constexpr int kCopiesEdit = 1048;

// Progress of a run.
inline constexpr int kStatusLabel = 1036;
inline constexpr int kStatusLine = 1015;
inline constexpr int kProgressBar = 1013;

inline constexpr int kInstallButton = 1000;
inline constexpr int kExitButton = 1012;

}  // namespace zenthar::resources::main_ids
