// Numbers of the uninstaller's resources: its dialog templates, its icon, and the controls of
// each dialog that the program addresses. They lie apart from the installer's numbers, so one
// template table and one set of backends serve both programs.
#pragma once

namespace zenthar::resources {

inline constexpr int kConfirmRemovalDialog = 200;
inline constexpr int kRemovalProgressDialog = 201;
inline constexpr int kRemovalSummaryDialog = 202;

inline constexpr int kUninstallIcon = 160;

// "What will be removed": the parts found, then Remove (the dialog's OK) and Cancel.
namespace confirm_removal {
inline constexpr int kPartList = 2001;
inline constexpr int kRemoveButton = 1;
inline constexpr int kCancelButton = 2;
}  // namespace confirm_removal

// The removal under way: a status line and a bar, nothing to press.
namespace removal_progress {
inline constexpr int kStatusLine = 2011;
inline constexpr int kProgressBar = 2012;
}  // namespace removal_progress

// The end: a headline, one line per part in a read-only text box, and OK.
namespace removal_summary {
inline constexpr int kHeadline = 2021;
inline constexpr int kOutcomeList = 2022;
inline constexpr int kOkButton = 1;
}  // namespace removal_summary

}  // namespace zenthar::resources
