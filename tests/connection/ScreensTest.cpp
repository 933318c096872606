// The interface dialog, the address dialog and the image buttons as real windows: a second
// thread drives the open dialog like a user, photographs it from the screen after each step
// and saves the pictures as PNG files for a person to look at; the checks below look at the
// pixels for what must differ between the steps.
// <windows.h> first: its MessageBox, LoadIcon and LoadBitmap macros must rename the
// backend's operations alike in every header.
#include <windows.h>

#include "ui/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "connection/InterfaceDialog.h"
#include "connection/NetworkPort.h"
#include "platform/win32/Win32Platform.h"

namespace zenthar::testing {
namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    std::uint32_t Pixel(int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2];
    }
    Image Crop(const RECT& r) const
    {
        Image part;
        part.width = r.right - r.left;
        part.height = r.bottom - r.top;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                for (int c = 0; c < 3; ++c) part.rgb.push_back(rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]);
        return part;
    }
    std::size_t Colours() const
    {
        std::set<std::uint32_t> seen;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) seen.insert(Pixel(x, y));
        return seen.size();
    }
    friend bool operator==(const Image&, const Image&) = default;
};

// ---- PNG, uncompressed (stored deflate blocks): small and dependable ----

std::uint32_t Crc(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0xFFFFFFFFu)
{
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data)
{
    Put32(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

bool WritePng(const std::filesystem::path& path, const Image& image)
{
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        const auto row = image.rgb.begin() + static_cast<std::ptrdiff_t>(y) * image.width * 3;
        raw.insert(raw.end(), row, row + image.width * 3);
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n)), z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n)), z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        if (raw.empty()) break;
    }
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    Put32(z, b << 16 | a);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(image.width));
    Put32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return file.good();
}

// ---- The screen ----

// What the window shows on the screen now, after it has painted everything pending.
Image Photograph(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(400);
    RECT r;
    GetWindowRect(window, &r);
    Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < image.width * image.height; ++i) image.rgb.insert(image.rgb.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

// `child` in the coordinates of `window`'s photograph.
RECT Within(HWND window, HWND child)
{
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetWindowRect(child, &inner);
    return {inner.left - outer.left, inner.top - outer.top, inner.right - outer.left, inner.bottom - outer.top};
}

HWND WaitForWindow(const char* caption)
{
    for (int i = 0; i < 200; ++i) {
        if (HWND found = FindWindowA(nullptr, caption); found && IsWindowVisible(found)) return found;
        Sleep(50);
    }
    return nullptr;
}

void WaitGone(HWND window)
{
    for (int i = 0; i < 200 && IsWindow(window); ++i) Sleep(50);
}

// `child`'s client area in the coordinates of `window`'s photograph.
RECT ClientWithin(HWND window, HWND child)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(child, &client);
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    return {origin.x - outer.left, origin.y - outer.top, origin.x - outer.left + client.right,
            origin.y - outer.top + client.bottom};
}

// ---- The pictures the radios name, drawn here from the art files ----

// What a client area of width × height shows of the bitmap file `name`: the whole picture
// scaled by one factor until it fits inside, from the top-left corner, with the button face
// colour below or beside it. An empty image when the file cannot be read.
Image DrawnFromArt(const std::string& name, int width, int height)
{
    const std::string path = std::string(ZENTHAR_ART_DIR) + "/" + name;
    auto* art = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!art || width <= 0 || height <= 0) return {};
    BITMAP size{};
    GetObjectA(art, sizeof size, &size);

    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldSource = SelectObject(source, art);
    HGDIOBJ oldTarget = SelectObject(target, canvas);
    RECT all{0, 0, width, height};
    FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
    const double scale = std::min(static_cast<double>(width) / size.bmWidth, static_cast<double>(height) / size.bmHeight);
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, static_cast<int>(size.bmWidth * scale), static_cast<int>(size.bmHeight * scale), source,
               0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    GdiFlush();

    Image image;
    image.width = width;
    image.height = height;
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < width * height; ++i) image.rgb.insert(image.rgb.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteObject(canvas);
    DeleteObject(art);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return image;
}

// The mean difference of two images of one size, per colour channel (0 to 255); 255 when
// their sizes differ.
double Difference(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 255.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
}

std::filesystem::path ScreensFolder()
{
    if (const char* given = std::getenv("ZENTHAR_SCREENS")) return given;
    // The program lies in <build>/<folder>/tests/connection; the pictures go beside the other
    // results of the build.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path().parent_path().parent_path() / "results" /
           "screens" / "connection";
}

constexpr const char* kInterfaceCaption = "Select Printer's Port Infomation Dialog";
constexpr const char* kAddressCaption = "Printer IP Address";
constexpr int kPicture = 1016;

class ScreensTest : public ::testing::Test {
protected:
    ScreensTest()
    {
        ui::UseBackend(&backend);
        std::filesystem::create_directories(folder);
        // The address dialog warns when the network monitor is missing, as it is in Wine.
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTcpIpPortsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (key) RegCloseKey(key);
    }
    ~ScreensTest() override { ui::UseBackend(nullptr); }

    // Opens the interface dialog and lets `user` act on it from another thread; the dialog is
    // cancelled when the user is done.
    void RunWith(const std::function<void(HWND)>& user)
    {
        InstallSession session;
        session.codePageIndex = 13;
        InterfaceDialog dialog(win32::platform(), session, nullptr);
        std::thread driver([&] {
            if (HWND window = WaitForWindow(kInterfaceCaption)) {
                user(window);
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            } else {
                failures.push_back("the interface dialog did not appear");
            }
        });
        dialog.DoModal();
        driver.join();
        for (const auto& failure : failures) ADD_FAILURE() << failure;
    }
    Image Save(const std::string& name, const Image& image)
    {
        if (!WritePng(folder / (name + ".png"), image)) failures.push_back("could not write " + name);
        return image;
    }

    ui::win32::Win32Backend backend;
    std::filesystem::path folder = ScreensFolder();
    std::vector<std::string> failures;
};

// Which picture each interface shows, by the art file of the bitmap it names: a picture that
// went to the wrong radio is nearer to another file than to its own.
constexpr struct {
    const char* name;
    int radio;
    const char* art;  // the file of the bitmap the radio names
} kInterfaces[] = {
    {"serial", 1002, "serial.bmp"},       {"bluetooth", 1004, "bluetooth.bmp"}, {"parallel", 1005, "parallel.bmp"},
    {"usb", 1006, "usb.bmp"},             {"ethernet", 1007, "ethernet.bmp"},   {"wifi", 1008, "wifi.bmp"},
};

// The panel's drawing and the one here are the same stretch of the same pixels (measured
// under Wine: no difference at all); another picture is tens apart. The margin allows for a
// display whose depth rounds a colour differently.
constexpr double kSamePicture = 2.0;

TEST_F(ScreensTest, EachInterfaceShowsItsOwnPictureAndNetworkOnesAskForTheAddress)
{
    std::map<std::string, Image> pictures;
    Image address;
    RunWith([&](HWND window) {
        const auto take = [&](const std::string& name) {
            const Image shot = Save("interface-" + name, Photograph(window));
            pictures[name] = shot.Crop(ClientWithin(window, GetDlgItem(window, kPicture)));
        };
        take("start");
        for (const auto& [name, radio, art] : kInterfaces) {
            PostMessageA(GetDlgItem(window, radio), BM_CLICK, 0, 0);
            if (radio == 1007 || radio == 1008) {
                HWND asked = WaitForWindow(kAddressCaption);
                if (!asked) {
                    failures.push_back(std::string("no address dialog for ") + name);
                    continue;
                }
                if (radio == 1007) address = Save("address", Photograph(asked));
                PostMessageA(GetDlgItem(asked, IDOK), BM_CLICK, 0, 0);
                WaitGone(asked);
            }
            Sleep(200);
            take(name);
        }
    });

    ASSERT_EQ(pictures.size(), 7u);
    const int width = pictures["start"].width;
    const int height = pictures["start"].height;
    std::map<std::string, Image> drawn;
    for (const auto& choice : kInterfaces) {
        drawn[choice.name] = Save(std::string("expected-") + choice.name,
                                     DrawnFromArt(choice.art, width, height));
        ASSERT_FALSE(drawn[choice.name].rgb.empty()) << "cannot read " << choice.art;
    }
    EXPECT_GT(pictures["start"].Colours(), 20u) << "the picture panel shows no picture";
    EXPECT_LT(Difference(pictures["start"], drawn["usb"]), kSamePicture) << "the first picture is not the USB one";
    for (const auto& choice : kInterfaces) {
        const Image& shown = pictures[choice.name];
        const double own = Difference(shown, drawn[choice.name]);
        double nearestOther = 255.0;
        for (const auto& other : kInterfaces) {
            if (&other == &choice) continue;
            const double apart = Difference(shown, drawn[other.name]);
            nearestOther = std::min(nearestOther, apart);
            EXPECT_LT(own, apart) << choice.name << " looks more like " << other.art << " than like " << choice.art;
        }
        std::printf("picture %-9s differs from %s by %.2f, from the nearest other file by %.2f\n", choice.name,
                    choice.art, own, nearestOther);
        EXPECT_LT(own, kSamePicture) << choice.name << " does not show " << choice.art;
    }
    EXPECT_GT(address.width, 0);
}

TEST_F(ScreensTest, ImageButtonsShowTheirStates)
{
    std::map<std::string, Image> buttons;
    RunWith([&](HWND window) {
        HWND ok = GetDlgItem(window, IDOK);
        HWND exit = GetDlgItem(window, IDCANCEL);
        const auto take = [&](const std::string& name, HWND button) {
            buttons[name] = Save("button-" + name, Photograph(window).Crop(Within(window, button)));
        };
        // The focus on a radio button; Exit loses the default look it took from its template.
        PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, 1006)), TRUE);
        Sleep(200);
        SendMessageA(exit, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        take("normal", exit);
        take("default", ok);
        PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exit), TRUE);
        Sleep(200);
        take("focused", exit);
        SendMessageA(ok, BM_SETSTATE, TRUE, 0);
        take("pressed", ok);
        SendMessageA(ok, BM_SETSTATE, FALSE, 0);
        EnableWindow(ok, FALSE);
        take("disabled", ok);
    });

    ASSERT_EQ(buttons.size(), 5u);
    // The default and the focused button are framed in black; the others start with the
    // light top-left edge.
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const std::uint32_t lightPixel = GetRValue(light) << 16 | GetGValue(light) << 8 | GetBValue(light);
    EXPECT_EQ(buttons["default"].Pixel(0, 0), 0u);
    EXPECT_EQ(buttons["focused"].Pixel(0, 0), 0u);
    EXPECT_EQ(buttons["normal"].Pixel(0, 0), lightPixel);
    EXPECT_NE(buttons["pressed"], buttons["default"]);
    EXPECT_NE(buttons["disabled"], buttons["pressed"]);
    EXPECT_GT(buttons["normal"].Colours(), 10u) << "no icon drawn";
}

}  // namespace
}  // namespace zenthar::testing
