// The interface dialog, the address dialog and the image buttons as real windows: a second
// thread drives the open dialog like a user, photographs it from the screen after each step
// and saves the pictures as PNG files for a person to look at; the checks below look at the
// pixels for what must differ between the steps.
// <windows.h> first: its MessageBox, LoadIcon and LoadBitmap macros must rename the
// backend's operations alike in every header.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "connection/InterfaceDialog.h"
#include "connection/NetworkPort.h"
#include "platform/win32/Win32Platform.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "tests/common/WindowTestKit.h"
#include "ui/win32/Win32Backend.h"

namespace zenthar::testing {
namespace {

using Image = Picture;

std::size_t Colours(const Image& image)
{
    return std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()).size();
}

// ---- The screen ----

// What the window shows on the screen now, after it has painted everything pending.
Image Photograph(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(400);
    return ScreenPicture(window);
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
    return WaitForShownWindow(caption, 10000);
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
    const double scale =
        std::min(static_cast<double>(width) / size.bmWidth, static_cast<double>(height) / size.bmHeight);
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, static_cast<int>(size.bmWidth * scale), static_cast<int>(size.bmHeight * scale), source, 0,
               0, size.bmWidth, size.bmHeight, SRCCOPY);
    GdiFlush();

    Image image;
    image.width = width;
    image.height = height;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (auto& pixel : image.pixels) pixel &= 0x00FFFFFF;
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
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 255.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8)
            sum +=
                std::abs(static_cast<int>(a.pixels[i] >> shift & 0xFF) - static_cast<int>(b.pixels[i] >> shift & 0xFF));
    }
    return sum / (3.0 * static_cast<double>(a.pixels.size()));
}

std::filesystem::path ScreensFolder()
{
    if (const char* given = std::getenv("ZENTHAR_SCREENS")) return given;
    // The program lies in <build>/<folder>/tests/connection; the pictures go beside the other
    // results of the build.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path().parent_path().parent_path() / "results" / "screens" /
           "connection";
}

constexpr const char* kInterfaceCaption = "Select Printer's Port Infomation Dialog";
constexpr const char* kAddressCaption = "Printer IP Address";
namespace interface_ids = resources::interface_ids;

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
        if (!SavePng(image, (folder / (name + ".png")).string())) failures.push_back("could not write " + name);
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
    {"serial", interface_ids::kSerialRadio, "serial.bmp"},
    {"bluetooth", interface_ids::kBluetoothRadio, "bluetooth.bmp"},
    {"parallel", interface_ids::kParallelRadio, "parallel.bmp"},
    {"usb", interface_ids::kUsbRadio, "usb.bmp"},
    {"ethernet", interface_ids::kEthernetRadio, "ethernet.bmp"},
    {"wifi", interface_ids::kWiFiRadio, "wifi.bmp"},
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
            pictures[name] = shot.Crop(ClientWithin(window, GetDlgItem(window, interface_ids::kPictureFrame)));
        };
        take("start");
        for (const auto& [name, radio, art] : kInterfaces) {
            PostMessageA(GetDlgItem(window, radio), BM_CLICK, 0, 0);
            if (radio == interface_ids::kEthernetRadio || radio == interface_ids::kWiFiRadio) {
                HWND asked = WaitForWindow(kAddressCaption);
                if (!asked) {
                    failures.push_back(std::string("no address dialog for ") + name);
                    continue;
                }
                if (radio == interface_ids::kEthernetRadio) address = Save("address", Photograph(asked));
                PostMessageA(GetDlgItem(asked, resources::address_ids::kOk), BM_CLICK, 0, 0);
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
        drawn[choice.name] = Save(std::string("expected-") + choice.name, DrawnFromArt(choice.art, width, height));
        ASSERT_FALSE(drawn[choice.name].pixels.empty()) << "cannot read " << choice.art;
    }
    EXPECT_GT(Colours(pictures["start"]), 20u) << "the picture panel shows no picture";
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
        HWND ok = GetDlgItem(window, interface_ids::kOk);
        HWND exit = GetDlgItem(window, interface_ids::kExit);
        const auto take = [&](const std::string& name, HWND button) {
            buttons[name] = Save("button-" + name, Photograph(window).Crop(Within(window, button)));
        };
        // The focus on a radio button; Exit loses the default look it took from its template.
        PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, interface_ids::kUsbRadio)),
                     TRUE);
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
    EXPECT_EQ(buttons["default"].At(0, 0), 0u);
    EXPECT_EQ(buttons["focused"].At(0, 0), 0u);
    EXPECT_EQ(buttons["normal"].At(0, 0), lightPixel);
    EXPECT_NE(buttons["pressed"], buttons["default"]);
    EXPECT_NE(buttons["disabled"], buttons["pressed"]);
    EXPECT_GT(Colours(buttons["normal"]), 10u) << "no icon drawn";
}

}  // namespace
}  // namespace zenthar::testing
