// Plain types of the dialog framework: geometry, colours, handles, and the Windows numbers
// (messages, notification codes, states, flags) that custom controls see. The numbers are the
// ones Windows uses, so the win32 backend passes them through unchanged.
#pragma once

#include <cstdint>

namespace zenthar::ui {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// left/top inclusive, right/bottom exclusive, as RECT.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00BBGGRR, as COLORREF.
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Opaque handles; 0 is none.
using IconHandle = std::uintptr_t;
using BitmapHandle = std::uintptr_t;

// Dialog results and the two standard command ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Control notification codes, as the WM_COMMAND high word carries them.
enum Notification : unsigned {
    kButtonClicked = 0,    // BN_CLICKED
    kListSelChange = 1,    // LBN_SELCHANGE
    kComboSelChange = 1,   // CBN_SELCHANGE
    kEditChange = 0x0300,  // EN_CHANGE
};

// Messages a custom control may see.
inline constexpr unsigned kWmSetFocus = 0x0007;
inline constexpr unsigned kWmKillFocus = 0x0008;  // wParam: the window that gets it, 0 none
inline constexpr unsigned kWmEnable = 0x000A;
inline constexpr unsigned kWmGetDlgCode = 0x0087;
inline constexpr unsigned kWmLButtonDown = 0x0201;
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmLButtonDblClk = 0x0203;
inline constexpr unsigned kBmSetState = 0x00F3;
inline constexpr unsigned kBmSetStyle = 0x00F4;

// WM_GETDLGCODE answers.
inline constexpr unsigned kDlgcDefPushButton = 0x0010;
inline constexpr unsigned kDlgcUndefPushButton = 0x0020;
inline constexpr unsigned kDlgcRadioButton = 0x0040;
inline constexpr unsigned kDlgcStatic = 0x0100;
inline constexpr unsigned kDlgcButton = 0x2000;

// Owner-draw item states.
inline constexpr unsigned kOdsSelected = 0x0001;
inline constexpr unsigned kOdsDisabled = 0x0004;
inline constexpr unsigned kOdsFocus = 0x0010;

// DrawText formats.
inline constexpr unsigned kDtCenter = 0x0001;
inline constexpr unsigned kDtVCenter = 0x0004;
inline constexpr unsigned kDtWordBreak = 0x0010;
inline constexpr unsigned kDtSingleLine = 0x0020;
inline constexpr unsigned kDtCalcRect = 0x0400;

// System colour indices.
inline constexpr int kColorWindow = 5;
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorHighlight = 13;
inline constexpr int kColorHighlightText = 14;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnText = 18;
inline constexpr int kColorBtnHighlight = 20;

// System metrics.
inline constexpr int kSmCxIcon = 11;
inline constexpr int kSmCyIcon = 12;

// System menu commands the framework handles itself.
inline constexpr unsigned kScClose = 0xF060;

enum class MessageIcon { None, Exclamation };

}  // namespace zenthar::ui
