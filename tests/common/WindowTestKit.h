// What every test that works real windows needs, in one place: starting a program, finding
// its windows, typing and pressing keys as a user would, and pictures of what the screen
// shows, saved as BMP or PNG files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zenthar::testing {

// ---- Programs and windows ----

// Starts `commandLine` (the program's path first, quoted when it holds spaces).
bool StartProgram(const std::string& commandLine, PROCESS_INFORMATION& started, bool inheritHandles = false);

// The top-level windows of a process that are visible (and enabled, when asked).
std::vector<HWND> ShownWindowsOf(DWORD processId, bool enabledOnly);

// The visible top-level window with this caption, waited for; null when none came in time.
HWND WaitForShownWindow(const char* caption, DWORD timeoutMs = 10000);

std::string WindowText(HWND window);

// A window's children from left to right: the fields of an address control, for one.
std::vector<HWND> ChildrenLeftToRight(HWND window);

// Handles this thread's waiting messages; the timed form keeps doing so for `milliseconds`.
void PumpMessages();
void PumpMessagesFor(DWORD milliseconds);

// ---- Typing ----

// Sent messages are handled before the call returns, within the window's own thread; posted
// ones go through the owner's message loop, as the keyboard's do, and never block on a busy
// program.
enum class Delivery { Send, Post };

// Replaces the edit's text by `text`, character by character; an empty text is a backspace
// over the selected whole.
void TypeText(HWND edit, const std::string& text, Delivery delivery);

// A key pressed and let go on `target`.
void PressKey(HWND target, WPARAM key, Delivery delivery);

// ---- Pictures ----

// Top-down rows of 0x00RRGGBB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool Empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Picture Crop(const RECT& area) const;
    friend bool operator==(const Picture&, const Picture&) = default;
};

// What the screen shows of the window now, frame included; empty when it has no area.
Picture ScreenPicture(HWND window);
// The pixels of a bitmap that no device context holds; empty when they cannot be read.
Picture BitmapPicture(HBITMAP bitmap, int width, int height);

// False when the picture is empty or the file cannot be written.
bool SaveBmp(const Picture& picture, const std::string& path);  // 24-bit
bool SavePng(const Picture& picture, const std::string& path);  // 8-bit RGB, stored deflate

}  // namespace zenthar::testing
