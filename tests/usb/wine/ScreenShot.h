// Pictures of windows for the record: a window as it is drawn now, saved as a PNG file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zenthar::testing {

// Top-down rows of 0x00RRGGBB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The window with its frame, as it draws itself; empty when it cannot be drawn.
Picture CaptureWindow(HWND window);
// The folder screenshots go to (made when missing), ending in a slash.
std::string ScreensFolder();
// Writes the picture as an uncompressed-deflate PNG; false when the file cannot be written.
bool SavePng(const Picture& picture, const std::string& path);

}  // namespace zenthar::testing
