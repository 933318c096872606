#include "tests/common/WindowTestKit.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zenthar::testing {

// ---- Programs and windows ----

bool StartProgram(const std::string& commandLine, PROCESS_INFORMATION& started, bool inheritHandles)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0, nullptr, nullptr,
                          &startup, &started) != FALSE;
}

namespace {

struct WindowSearch {
    DWORD processId;
    bool enabledOnly;
    std::vector<HWND> found;
};

// A named callback: on 32-bit Windows a lambda cannot become the stdcall WNDENUMPROC.
BOOL CALLBACK CollectShownWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) && (!search->enabledOnly || IsWindowEnabled(window)))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ShownWindowsOf(DWORD processId, bool enabledOnly)
{
    WindowSearch search{processId, enabledOnly, {}};
    EnumWindows(&CollectShownWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForShownWindow(const char* caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindWindowA(nullptr, caption); found && IsWindowVisible(found)) return found;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

std::string WindowText(HWND window)
{
    char text[2048] = {};
    if (window) GetWindowTextA(window, text, sizeof text - 1);
    return text;
}

std::vector<HWND> ChildrenLeftToRight(HWND window)
{
    std::vector<std::pair<LONG, HWND>> placed;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        placed.emplace_back(r.left, child);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<HWND> children;
    for (const auto& [left, child] : placed) children.push_back(child);
    return children;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        PumpMessages();
        Sleep(10);
    }
}

// ---- Typing ----

namespace {

void Deliver(HWND target, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery)
{
    if (delivery == Delivery::Post) {
        PostMessageA(target, message, wParam, lParam);
    } else {
        SendMessageA(target, message, wParam, lParam);
    }
}

}  // namespace

void TypeText(HWND edit, const std::string& text, Delivery delivery)
{
    Deliver(edit, EM_SETSEL, 0, -1, delivery);
    if (text.empty()) Deliver(edit, WM_CHAR, VK_BACK, 1, delivery);
    for (unsigned char c : text) Deliver(edit, WM_CHAR, c, 1, delivery);
}

void PressKey(HWND target, WPARAM key, Delivery delivery)
{
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    Deliver(target, WM_KEYDOWN, key, static_cast<LPARAM>(1u | (scan << 16)), delivery);
    Deliver(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u | (scan << 16)), delivery);
}

// ---- Pictures ----

Picture Picture::Crop(const RECT& area) const
{
    Picture part;
    const LONG left = std::max<LONG>(area.left, 0), top = std::max<LONG>(area.top, 0);
    const LONG right = std::min<LONG>(area.right, width), bottom = std::min<LONG>(area.bottom, height);
    if (right <= left || bottom <= top) return part;
    part.width = right - left;
    part.height = bottom - top;
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x) part.pixels.push_back(At(x, y));
    return part;
}

namespace {

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Picture ScreenPicture(HWND window)
{
    Picture picture;
    RECT frame{};
    if (!window || !GetWindowRect(window, &frame)) return picture;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return picture;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(source, source + static_cast<std::size_t>(width) * height);
        for (auto& pixel : picture.pixels) pixel &= 0x00FFFFFF;
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

Picture BitmapPicture(HBITMAP bitmap, int width, int height)
{
    Picture picture;
    if (!bitmap || width <= 0 || height <= 0) return picture;
    BITMAPINFO info = TopDown32(width, height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != height) return picture;
    for (auto& pixel : pixels) pixel &= 0x00FFFFFF;
    picture.width = width;
    picture.height = height;
    picture.pixels = std::move(pixels);
    return picture;
}

namespace {

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc32(body.data(), body.size()));
}

// A zlib stream of stored blocks: no compression, which keeps this short and exact.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
        out.push_back(at + size == raw.size() ? 1 : 0);
        PutLittle(out, static_cast<std::uint32_t>(size), 2);
        PutLittle(out, static_cast<std::uint32_t>(~size & 0xFFFF), 2);
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

}  // namespace

bool SaveBmp(const Picture& picture, const std::string& path)
{
    if (picture.Empty()) return false;
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
    const std::uint32_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<std::uint8_t> file;
    file.reserve(offset + imageSize);
    // BITMAPFILEHEADER, then BITMAPINFOHEADER: bottom-up rows of blue, green, red.
    PutLittle(file, 0x4D42, 2);
    PutLittle(file, offset + imageSize, 4);
    PutLittle(file, 0, 4);
    PutLittle(file, offset, 4);
    PutLittle(file, sizeof(BITMAPINFOHEADER), 4);
    PutLittle(file, static_cast<std::uint32_t>(picture.width), 4);
    PutLittle(file, static_cast<std::uint32_t>(picture.height), 4);
    PutLittle(file, 1, 2);
    PutLittle(file, 24, 2);
    PutLittle(file, BI_RGB, 4);
    PutLittle(file, imageSize, 4);
    for (int i = 0; i < 4; ++i) PutLittle(file, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) PutLittle(file, picture.At(x, y), 3);
        for (std::uint32_t pad = static_cast<std::uint32_t>(picture.width) * 3; pad < stride; ++pad) file.push_back(0);
    }
    return WriteBytes(path, file);
}

bool SavePng(const Picture& picture, const std::string& path)
{
    if (picture.Empty()) return false;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(picture.height) * (1 + 3 * static_cast<std::size_t>(picture.width)));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel = picture.At(x, y);
            raw.push_back(static_cast<std::uint8_t>(pixel >> 16));
            raw.push_back(static_cast<std::uint8_t>(pixel >> 8));
            raw.push_back(static_cast<std::uint8_t>(pixel));
        }
    }
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(picture.width));
    PutBig32(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", ZlibStored(raw));
    PutChunk(file, "IEND", {});
    return WriteBytes(path, file);
}

}  // namespace zenthar::testing
