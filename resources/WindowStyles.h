// Window, dialog and control style bits, with the values Windows gives them.
//
// The templates are data shared by both user-interface backends, so they cannot use the
// <windows.h> macros; these carry the same numbers under names that do not collide with them.
#pragma once

#include <cstdint>

namespace zenthar::resources {

using StyleBits = std::uint32_t;

// Window styles.
inline constexpr StyleBits kWsPopup = 0x80000000u;
inline constexpr StyleBits kWsChild = 0x40000000u;
inline constexpr StyleBits kWsMinimize = 0x20000000u;
inline constexpr StyleBits kWsVisible = 0x10000000u;
inline constexpr StyleBits kWsDisabled = 0x08000000u;
inline constexpr StyleBits kWsCaption = 0x00C00000u;
inline constexpr StyleBits kWsBorder = 0x00800000u;
inline constexpr StyleBits kWsVScroll = 0x00200000u;
inline constexpr StyleBits kWsHScroll = 0x00100000u;
inline constexpr StyleBits kWsSysMenu = 0x00080000u;
inline constexpr StyleBits kWsGroup = 0x00020000u;
inline constexpr StyleBits kWsTabStop = 0x00010000u;

// Extended window styles.
inline constexpr StyleBits kWsExDlgModalFrame = 0x00000001u;
inline constexpr StyleBits kWsExToolWindow = 0x00000080u;
inline constexpr StyleBits kWsExAppWindow = 0x00040000u;

// Dialog styles.
inline constexpr StyleBits kDsSysModal = 0x0002u;
inline constexpr StyleBits kDsSetFont = 0x0040u;
inline constexpr StyleBits kDsModalFrame = 0x0080u;
inline constexpr StyleBits kDsCenter = 0x0800u;

// Buttons.
inline constexpr StyleBits kBsPushButton = 0x0u;
inline constexpr StyleBits kBsDefPushButton = 0x1u;
inline constexpr StyleBits kBsCheckBox = 0x2u;
inline constexpr StyleBits kBsAutoCheckBox = 0x3u;
inline constexpr StyleBits kBsRadioButton = 0x4u;
inline constexpr StyleBits kBs3State = 0x5u;
inline constexpr StyleBits kBsAuto3State = 0x6u;
inline constexpr StyleBits kBsGroupBox = 0x7u;
inline constexpr StyleBits kBsAutoRadioButton = 0x9u;
inline constexpr StyleBits kBsOwnerDraw = 0xBu;
inline constexpr StyleBits kBsTypeMask = 0xFu;

// Static controls.
inline constexpr StyleBits kSsLeft = 0x0u;
inline constexpr StyleBits kSsCenter = 0x1u;
inline constexpr StyleBits kSsRight = 0x2u;
inline constexpr StyleBits kSsIcon = 0x3u;
inline constexpr StyleBits kSsBlackFrame = 0x7u;
inline constexpr StyleBits kSsNoPrefix = 0x80u;
inline constexpr StyleBits kSsTypeMask = 0x1Fu;

// Edit boxes.
inline constexpr StyleBits kEsLeft = 0x0u;
inline constexpr StyleBits kEsCenter = 0x1u;
inline constexpr StyleBits kEsAutoHScroll = 0x80u;

// List boxes.
inline constexpr StyleBits kLbsNotify = 0x1u;
inline constexpr StyleBits kLbsSort = 0x2u;
inline constexpr StyleBits kLbsOwnerDrawFixed = 0x10u;
inline constexpr StyleBits kLbsHasStrings = 0x40u;
inline constexpr StyleBits kLbsNoIntegralHeight = 0x100u;

// Combo boxes.
inline constexpr StyleBits kCbsDropDownList = 0x3u;
inline constexpr StyleBits kCbsSort = 0x100u;

// Progress bars.
inline constexpr StyleBits kPbsSmooth = 0x1u;

}  // namespace zenthar::resources
