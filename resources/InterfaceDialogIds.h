// The interface dialog's controls.
// The template, the dialog's code and every test address them by these names.
#pragma once

#include "resources/ResourceIds.h"

namespace zenthar::resources::interface_ids {

inline constexpr int kInterfaceGroup = 1030;

// One radio per interface.
inline constexpr int kSerialRadio = 1002;
inline constexpr int kBluetoothRadio = 1004;
inline constexpr int kParallelRadio = 1005;
inline constexpr int kUsbRadio = 1006;
inline constexpr int kEthernetRadio = 1007;
inline constexpr int kWiFiRadio = 1008;

// The family radios: below the visible area, never shown, but in the same range as the
// interface radios, so that checking one of those clears them.
inline constexpr int kWindowsXpRadio = 1009;
inline constexpr int kWindows2003Radio = 1010;
inline constexpr int kWindowsVistaRadio = 1024;
inline constexpr int kWindows2008Radio = 1045;
inline constexpr int kWindows7Radio = 1046;
inline constexpr int kWindows8Radio = 1047;
inline constexpr int kWindows2012Radio = 1048;

// The range CheckRadioButton is given: every radio of the dialog lies within it.
inline constexpr int kFirstRadio = kSerialRadio;
inline constexpr int kLastRadio = kWindows2012Radio;

// The frame the interface's picture replaces.
inline constexpr int kPictureFrame = 1016;

inline constexpr int kProcessorLabel = 1031;
inline constexpr int kProcessorCombo = 1027;
inline constexpr int kCodePageLabel = 1029;
inline constexpr int kCodePageCombo = 1025;
inline constexpr int kPortLabel = 1042;
inline constexpr int kPortCombo = 1026;

inline constexpr int kOk = kIdOk;
inline constexpr int kExit = kIdCancel;

}  // namespace zenthar::resources::interface_ids
