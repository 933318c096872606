// Numbers of the program's resources: dialog templates, icons, bitmaps and strings.
#pragma once

namespace zenthar::resources {

inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kInterfaceDialog = 129;
inline constexpr int kInstallCompleteDialog = 138;
inline constexpr int kDefaultPrinterDialog = 140;
inline constexpr int kUsbSearchDialog = 141;
inline constexpr int kUsbWarningDialog = 142;
inline constexpr int kIpAddressDialog = 143;

inline constexpr int kAppIcon = 128;
inline constexpr int kInstallIcon = 145;
inline constexpr int kExitIcon = 146;
inline constexpr int kCancelIcon = 147;
inline constexpr int kOkIcon = 148;

inline constexpr int kBluetoothBitmap = 149;
inline constexpr int kEthernetBitmap = 150;
inline constexpr int kParallelBitmap = 151;
inline constexpr int kSerialBitmap = 152;
inline constexpr int kUsbBitmap = 153;
inline constexpr int kWifiBitmap = 154;

inline constexpr int kAboutMenuString = 101;

// The control id of a template item that the program never addresses.
inline constexpr int kNoControlId = -1;

// The dialog manager's own command ids (IDOK, IDCANCEL): Enter presses the first button,
// Escape the second. Each dialog's control ids are in a header of its own (MainDialogIds.h, ...).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

}  // namespace zenthar::resources
