// The USB dialogs on real windows: their pictures for the record, and the search run through
// to its end with the real setup library, which finds no printer here.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "connection/UsbSearch.h"
#include "connection/UsbWarningDialog.h"
#include "core/Notice.h"
#include "core/Pause.h"
#include "platform/win32/Win32Platform.h"
#include "resources/DialogTemplates.h"
#include "resources/InstallerWords.h"
#include "resources/ResourceIds.h"
#include "resources/UsbSearchDialogIds.h"
#include "resources/UsbWarningDialogIds.h"
#include "tests/common/WindowTestKit.h"
#include "ui/win32/Win32Backend.h"

namespace zenthar::testing {
namespace {

// The search in its windows over `mainDialog`, ended on failure as the installation run ends
// it: the message, half a second, and the main dialog closed with cancel.
bool SearchAsTheRunDoes(platform::Platform& platform, UsbChannel& channel, ui::Dialog& mainDialog)
{
    UsbSearchWindows windows(&mainDialog);
    if (SearchUsbPrinter(platform, channel, windows).outcome != UsbSearchOutcome::Failed) return true;
    MessageBoxNotices(&mainDialog).Show(MainWindowNotice(resources::Text(resources::Words::UsbSearchFailed)));
    Pause(platform, 500);
    mainDialog.EndDialog(ui::kIdCancel);
    return false;
}

namespace ids = resources;
using ui::win32::Win32Backend;

using resources::search_ids::kSearchBar;
namespace warning_ids = resources::warning_ids;

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool FramesSettingPresent(HKEY key)
{
    for (const char* name : {"Decorated", "Managed"}) {
        char value[4] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
            type != REG_SZ || value[0] != 'N')
            return false;
    }
    return true;
}

// Without a window manager nobody draws a caption, unless Wine draws every window itself.
// Its display driver reads that setting when the process starts, before anything here runs:
// when it was missing, it is made and the program runs again as a child that sees it.
struct WineDrawsFrames {
    WineDrawsFrames()
    {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return;
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        const bool present = FramesSettingPresent(key);
        if (!present) {
            for (const char* name : {"Decorated", "Managed"})
                RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        }
        RegCloseKey(key);
        if (present || std::getenv("ZENTHAR_FRAMES_RERUN")) return;

        SetEnvironmentVariableA("ZENTHAR_FRAMES_RERUN", "1");
        PROCESS_INFORMATION child{};
        if (!StartProgram(GetCommandLineA(), child, true)) return;
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD exitCode = 1;
        GetExitCodeProcess(child.hProcess, &exitCode);
        ExitProcess(exitCode);
    }
} wineDrawsFrames;

// The folder screenshots go to (made when missing), ending in a slash.
std::string ScreensFolder()
{
    std::string folder;
    if (const char* chosen = std::getenv("ZENTHAR_SCREENS_DIR"); chosen && *chosen) {
        folder = chosen;
    } else {
        folder = ZENTHAR_DEFAULT_SCREENS_DIR;
    }
    if (folder.back() != '/' && folder.back() != '\\') folder += '/';
    for (std::size_t at = 3; at < folder.size(); ++at) {
        if (folder[at] == '/' || folder[at] == '\\') CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    }
    return folder;
}

bool Save(HWND window, const std::string& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine hands what was drawn to the display a little later, from its message loop.
    PumpMessagesFor(300);
    const Picture picture = ScreenPicture(window);
    const std::string path = ScreensFolder() + name;
    const bool saved = SavePng(picture, path);
    if (saved) std::printf("screen: %s (%dx%d)\n", path.c_str(), picture.width, picture.height);
    return saved;
}

// The client area in dialog units, as the template's font turns pixels back into them.
SIZE ClientInDialogUnits(HWND dialog)
{
    RECT client{};
    GetClientRect(dialog, &client);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    return SIZE{MulDiv(client.right, 4, unit.right), MulDiv(client.bottom, 8, unit.bottom)};
}

// The real backend, noting what each modal dialog ended with: a test reads the result the
// dialog itself gave, not the one it meant to cause.
class RecordingBackend : public Win32Backend {
public:
    int RunModal(ui::Dialog& dialog, ui::Dialog* parent) override
    {
        const int result = Win32Backend::RunModal(dialog, parent);
        ended.emplace_back(dialog.TemplateId(), result);
        return result;
    }
    // The results of the dialogs of one template, in order.
    std::vector<int> Results(int templateId) const
    {
        std::vector<int> results;
        for (const auto& [id, result] : ended)
            if (id == templateId) results.push_back(result);
        return results;
    }

private:
    std::vector<std::pair<int, int>> ended;
};

class UsbScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::UseBackend(&backend);
        current = this;
    }
    void TearDown() override
    {
        if (watchTimer) KillTimer(nullptr, watchTimer);
        watchTimer = 0;
        SetPauseHook(nullptr);
        ui::UseBackend(nullptr);
        current = nullptr;
    }

    // Runs `step` once from inside the next message loop, after `delay` ms.
    template <class Step>
    void After(UINT delay, Step step)
    {
        pending.push_back(std::function<void()>(step));
        SetTimer(nullptr, 0, delay, &UsbScreensTest::Fire);
    }

    static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        if (!current || current->pending.empty()) return;
        auto step = std::move(current->pending.front());
        current->pending.erase(current->pending.begin());
        step();
    }

    // Tries `attempt` every `period` ms, from whatever message loop runs, until it returns true.
    void Until(UINT period, std::function<bool()> attempt)
    {
        watcher = std::move(attempt);
        watchTimer = SetTimer(nullptr, 0, period, &UsbScreensTest::Watch);
    }

    static void CALLBACK Watch(HWND, UINT, UINT_PTR timer, DWORD)
    {
        if (!current || timer != current->watchTimer || current->watching) return;
        current->watching = true;
        const bool done = current->watcher();
        current->watching = false;
        if (done) {
            KillTimer(nullptr, timer);
            current->watchTimer = 0;
        }
    }

    RecordingBackend backend;
    win32::Win32Platform machine;
    std::vector<std::function<void()>> pending;
    std::function<bool()> watcher;
    UINT_PTR watchTimer = 0;
    bool watching = false;
    static inline UsbScreensTest* current = nullptr;
};

TEST_F(UsbScreensTest, TheWarningDialogAsTheUserSeesIt)
{
    UsbWarningDialog warning;
    bool looked = false;
    After(300, [&] {
        HWND window = Win32Backend::DialogHandle(warning);
        ASSERT_NE(window, nullptr);
        looked = true;
        EXPECT_EQ(WindowText(window), "USB Connection Warning");
        EXPECT_EQ(ItemText(window, warning_ids::kConnectStep), "1. Connect USB Printer to Desktop Computer.");
        EXPECT_EQ(ItemText(window, warning_ids::kTurnOnStep), "2. Turn on the printer.");
        EXPECT_EQ(ItemText(window, warning_ids::kClickStep), "3. Click  \"OK\"  button.");
        EXPECT_EQ(ItemText(window, warning_ids::kOk), "OK");
        EXPECT_TRUE(SendMessageA(GetDlgItem(window, warning_ids::kOk), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
        EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        const SIZE units = ClientInDialogUnits(window);
        EXPECT_NEAR(units.cx, 187, 2);
        EXPECT_NEAR(units.cy, 94, 2);
        EXPECT_TRUE(Save(window, "usb-warning-142.png"));
        SendMessageA(GetDlgItem(window, warning_ids::kOk), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(warning.DoModal(), IDOK);
    EXPECT_TRUE(looked);
}

TEST_F(UsbScreensTest, TheSearchDialogWithItsBarPartWay)
{
    UsbSearchDialog search;
    ASSERT_TRUE(search.Create());
    search.ShowWindow();
    search.SetBarPos(40);
    PumpMessages();
    HWND window = Win32Backend::DialogHandle(search);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(WindowText(window), "Now USB Port Searching......");
    EXPECT_EQ(ItemText(window, resources::search_ids::kWaitText), "Please wait a minite ......");
    EXPECT_EQ(SendMessageA(GetDlgItem(window, kSearchBar), PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(search.BarPos(), 40);
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(window, kSearchBar), GWL_STYLE) & PBS_SMOOTH);
    const SIZE units = ClientInDialogUnits(window);
    EXPECT_NEAR(units.cx, 187, 2);
    EXPECT_NEAR(units.cy, 52, 2);
    EXPECT_TRUE(Save(window, "usb-search-141.png"));
    search.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
}

// The pauses of the search, shortened: the windows are kept drawn and the bar is pictured
// once it is part way.
std::vector<DWORD> searchPauses;
bool searchPictured = false;

void FastPause(platform::Platform&, platform::Dword milliseconds)
{
    searchPauses.push_back(milliseconds);
    PumpMessages();
    HWND search = FindWindowA(nullptr, "Now USB Port Searching......");
    if (search && !searchPictured && SendMessageA(GetDlgItem(search, kSearchBar), PBM_GETPOS, 0, 0) >= 40) {
        searchPictured = Save(search, "usb-search-run.png");
    }
    Sleep(1);
}

TEST_F(UsbScreensTest, ASearchThatFindsNothingEndsTheMainDialog)
{
    searchPauses.clear();
    SetPauseHook(&FastPause);
    UsbChannel channel(machine.Get());
    ui::Dialog mainDialog(ids::kMainDialog);
    bool goesOn = true;
    bool warned = false;
    std::string failure;
    HWND failureOwner = nullptr;

    After(200, [&] {
        // The warning's OK, from inside its own loop.
        After(300, [&] {
            HWND warning = FindWindowA(nullptr, "USB Connection Warning");
            ASSERT_NE(warning, nullptr);
            warned = true;
            SendMessageA(GetDlgItem(warning, warning_ids::kOk), BM_CLICK, 0, 0);
        });
        // The failure message, once it is there.
        Until(100, [&] {
            HWND box = FindWindowA("#32770", backend.AppTitle().c_str());
            if (!box || !IsWindowVisible(box)) return false;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (WindowText(child) == resources::Text(resources::Words::UsbSearchFailed))
                    failure = WindowText(child);
            }
            failureOwner = GetWindow(box, GW_OWNER);
            Save(box, "usb-search-failed.png");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        goesOn = SearchAsTheRunDoes(machine.Get(), channel, mainDialog);
    });

    EXPECT_EQ(mainDialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(goesOn);
    EXPECT_TRUE(warned);
    EXPECT_EQ(backend.Results(ids::kUsbWarningDialog), std::vector<int>{IDOK});
    EXPECT_TRUE(searchPictured);
    EXPECT_EQ(failure, resources::Text(resources::Words::UsbSearchFailed));
    EXPECT_NE(failureOwner, nullptr);
    std::vector<DWORD> expected(29, 1000);
    expected.push_back(500);
    EXPECT_EQ(searchPauses, expected);
    EXPECT_EQ(channel.IsOpen(), 0);
}

TEST_F(UsbScreensTest, DecliningTheWarningLetsTheRunGoOn)
{
    searchPauses.clear();
    SetPauseHook(&FastPause);
    UsbChannel channel(machine.Get());
    ui::Dialog mainDialog(ids::kMainDialog);
    bool goesOn = false;
    bool escaped = false;
    bool failureShown = false;

    After(200, [&] {
        After(300, [&] {
            HWND warning = FindWindowA(nullptr, "USB Connection Warning");
            ASSERT_NE(warning, nullptr);
            MSG escape{GetFocus() ? GetFocus() : warning, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
            IsDialogMessageA(warning, &escape);
            escaped = true;
        });
        // A search that should not have run ends in its failure message: closed here, so
        // that the test fails instead of waiting for ever.
        Until(100, [&] {
            HWND box = FindWindowA("#32770", backend.AppTitle().c_str());
            if (!box || !IsWindowVisible(box)) return false;
            failureShown = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        goesOn = SearchAsTheRunDoes(machine.Get(), channel, mainDialog);
        mainDialog.EndDialog(IDOK);
    });

    EXPECT_EQ(mainDialog.DoModal(), IDOK);
    EXPECT_TRUE(escaped);
    EXPECT_EQ(backend.Results(ids::kUsbWarningDialog), std::vector<int>{IDCANCEL});
    EXPECT_TRUE(goesOn);
    EXPECT_TRUE(searchPauses.empty()) << "a search ran after the warning was declined";
    EXPECT_FALSE(failureShown);
    EXPECT_EQ(channel.UsbPortName(), "");
}

}  // namespace
}  // namespace zenthar::testing
