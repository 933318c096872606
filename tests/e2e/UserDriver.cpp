// The user of the end-to-end scenarios: starts the installer and works it only as a person
// at the screen could, through window messages to its real windows (clicks, keys, picks,
// typing), reads back what the screen shows, writes a transcript and saves a picture of
// every dialog and message box it meets. What to do comes from a steps file (see
// run-e2e.sh for the verbs; also: focus CONTROL moves the focus as Tab would, key NAME
// presses space, down, up, tab or enter on the focused control, `expect CONTROL focus yes|no`
// reads where the focus is, and `expect window ...` reads the current window itself, for
// example whether a window behind a modal one takes input). A CONTROL is named as in
// resources/ControlNames.h ("main.install"); a bare number is still taken as the id.
//
// `start-beside ARG...` starts a second run while the first goes on, `beside-ends CODE
// [SECONDS]` reads how it ended; `add-printer NAME PORT` sets up another maker's printer, `run-entry KEY [ARG...]`
// starts the program an uninstall entry names, `exit-code N` reads how the program ended, `lines ID TEXT...` reads a
// plain list's rows or a text box's lines.
//
//   e2e-user.exe PROGRAM STEPS_FILE OUT_FOLDER
//
// Exit code 0 when every step held, 1 when one failed (the program is then ended).
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "resources/ControlNames.h"
#include "resources/DialogTemplates.h"
#include "resources/UninstallerTemplates.h"
#include "tests/common/WindowTestKit.h"
#include "tests/e2e/ScriptLines.h"

namespace {

using zenthar::e2e::Quoted;
using zenthar::e2e::ScriptLine;
using zenthar::testing::Delivery;
using zenthar::testing::WindowText;

constexpr UINT kReadTimeout = 5000;     // a busy program answers within its longest pause
constexpr DWORD kCloseTimeout = 15000;  // a window closing after a click or a key

// ---- Reading other windows without ever blocking on a busy program ----

bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReadTimeout, &answer)) return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

LRESULT AskOr(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT fallback)
{
    LRESULT result = 0;
    return Ask(window, message, wParam, lParam, result) ? result : fallback;
}

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name - 1);
    return name;
}

std::string TextOf(HWND window)
{
    char text[2048] = {};
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            kReadTimeout, &copied))
        return std::string(text, std::min<std::size_t>(copied, sizeof text - 1));
    return WindowText(window);
}

std::string CaptionOf(HWND window)
{
    return WindowText(window);
}

// Asked in the wide form: Wine hands a row of another process's list back to an ANSI
// caller as wide characters.
std::string ListRow(HWND list, int index, bool combo)
{
    const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, lengthMessage, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, kReadTimeout,
                             &length) ||
        static_cast<LRESULT>(length) < 0 || length > 4000)
        return "?";
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(list, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()),
                             SMTO_ABORTIFHUNG, kReadTimeout, &copied) ||
        static_cast<LRESULT>(copied) < 0)
        return "?";
    wide.resize(std::wcslen(wide.c_str()));
    char text[8192] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

const char* CheckName(LRESULT state)
{
    switch (state) {
    case 0: return "unchecked";
    case 1: return "checked";
    case 2: return "indeterminate";
    default: return "unknown";
    }
}

bool IsCheckable(HWND button)
{
    const LONG_PTR kind = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON ||
           kind == BS_3STATE || kind == BS_AUTO3STATE;
}

std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The IP address control keeps its four fields in edit children of its own.
std::string AddressOf(HWND control)
{
    std::string address;
    for (HWND field : zenthar::testing::ChildrenLeftToRight(control))
        address += (address.empty() ? "" : ".") + TextOf(field);
    return address;
}

// ---- The session ----

// A process and every process started under it, as Wine lists them now: on a 64-bit Windows
// the 32-bit program hands its work to its 64-bit twin, whose windows are the program's.
std::set<DWORD> FamilyOf(DWORD root)
{
    std::set<DWORD> family{root};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return family;
    std::vector<std::pair<DWORD, DWORD>> links;  // id, parent
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        links.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    CloseHandle(snapshot);
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [id, parent] : links)
            if (family.count(parent) && family.insert(id).second) grew = true;
    }
    return family;
}

// The first visible top-level window of a process family.
struct WindowLook {
    std::set<DWORD> processes;
    std::string seen;
};

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM data)
{
    auto& look = *reinterpret_cast<WindowLook*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (look.processes.count(owner) && IsWindowVisible(window) && look.seen.empty()) look.seen = Quoted(TextOf(window));
    return TRUE;
}

struct SeenProcess {
    DWORD id;
    DWORD parent;
    std::string name;
};

class Session {
public:
    Session(std::string program, std::string outFolder) : program(std::move(program)), outFolder(std::move(outFolder))
    {}

    ~Session()
    {
        watching = false;
        if (watcher.joinable()) watcher.join();
        for (HANDLE held : heldProcesses) CloseHandle(held);
        if (transcript) std::fclose(transcript);
    }

    bool Open()
    {
        transcript = std::fopen((outFolder + "\\transcript.txt").c_str(), "wb");
        startTick = GetTickCount();
        return transcript != nullptr;
    }

    void Log(const char* format, ...)
    {
        char line[8192];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        const DWORD elapsed = GetTickCount() - startTick;
        std::fprintf(transcript, "[%3lu.%02lu] %s\n", static_cast<unsigned long>(elapsed / 1000),
                     static_cast<unsigned long>(elapsed % 1000 / 10), line);
        std::fflush(transcript);
        std::printf("%s\n", line);
        std::fflush(stdout);
    }

    bool Run(const ScriptLine& step)
    {
        const auto& w = step.words;
        std::string shown;
        for (const std::string& word : w)
            shown += (shown.empty() ? "" : " ") +
                     (word.find(' ') != std::string::npos || word.empty() ? Quoted(word) : word);
        Log("step %d: %s", step.number, shown.c_str());
        const std::string& verb = w[0];
        auto arg = [&](std::size_t i) { return i < w.size() ? w[i] : std::string(); };
        if (verb == "start") return Start(std::vector<std::string>(w.begin() + 1, w.end()));
        if (verb == "start-beside") return StartBeside(std::vector<std::string>(w.begin() + 1, w.end()));
        if (verb == "beside-ends") return BesideEnds(std::stoul(arg(1)), w.size() > 2 ? std::stoi(arg(2)) : 120);
        if (verb == "run-entry") return RunEntry(arg(1), std::vector<std::string>(w.begin() + 2, w.end()));
        if (verb == "exit-code") return ExpectExitCode(arg(1));
        if (verb == "add-printer") return AddForeignPrinter(arg(1), arg(2));
        if (verb == "lines") return ExpectLines(ControlId(arg(1)), std::vector<std::string>(w.begin() + 2, w.end()));
        if (verb == "wait") return Wait(arg(1), w.size() > 2 ? std::stoi(arg(2)) : 20);
        if (verb == "look") return Look(arg(1));
        if (verb == "shot") {
            // Windows uncovered by a dialog that just closed repaint a moment later.
            Sleep(500);
            return Shot(current, arg(1).empty() ? "again" : arg(1));
        }
        if (verb == "describe") return Describe(current);
        if (verb == "click") return Click(ControlId(arg(1)), false);
        if (verb == "close") return Click(ControlId(arg(1)), true);
        if (verb == "ok") return Click(IDOK, true);
        if (verb == "escape") return Escape();
        if (verb == "tick") return Tick(std::stoi(arg(1)));
        if (verb == "focus") return FocusControl(ControlId(arg(1)));
        if (verb == "key") return Key(arg(1));
        if (verb == "type") return Type(ControlId(arg(1)), arg(2));
        if (verb == "pick") return Pick(ControlId(arg(1)), arg(2));
        if (verb == "ip") return SetAddress(ControlId(arg(1)), arg(2));
        if (verb == "expect") return Expect(ControlId(arg(1)), arg(2), arg(3));
        if (verb == "rows") return ExpectRows(ControlId(arg(1)), std::vector<std::string>(w.begin() + 2, w.end()));
        if (verb == "message") return ExpectMessage(arg(1));
        if (verb == "pause") {
            Sleep(static_cast<DWORD>(std::stoi(arg(1))));
            return true;
        }
        if (verb == "end") return End(w.size() > 1 ? std::stoi(arg(1)) : 20);
        if (verb == "end-windowless") return EndWindowless(std::stoul(arg(1)), w.size() > 2 ? std::stoi(arg(2)) : 120);
        if (verb == "processes") return ExpectProcesses(arg(1), std::stoi(arg(2)));
        return Fail("unknown step " + Quoted(verb));
    }

    // After a failed step: what was on the screen, then the program is ended.
    void Abandon()
    {
        if (beside.hProcess && WaitForSingleObject(beside.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(beside.hProcess, 99);
            WaitForSingleObject(beside.hProcess, 5000);
        }
        if (!process.hProcess) return;
        for (HWND window : ProgramWindows(false)) {
            Describe(window);
            Shot(window, "at-failure");
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            Log("ending the program");
            // The twin first: the checker must not meet it still at work.
            for (DWORD id : FamilyOf(process.dwProcessId)) {
                if (id == process.dwProcessId) continue;
                if (HANDLE other = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                    TerminateProcess(other, 99);
                    WaitForSingleObject(other, 5000);
                    CloseHandle(other);
                }
            }
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
    }

    bool StillRunning() const { return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

    bool Fail(const std::string& why)
    {
        Log("FAIL: %s", why.c_str());
        return false;
    }

private:
    std::string program, outFolder;
    FILE* transcript = nullptr;
    DWORD startTick = 0;
    PROCESS_INFORMATION process{};
    PROCESS_INFORMATION beside{};
    HWND current = nullptr;
    std::set<HWND> met;
    int shots = 0;
    std::thread watcher;
    std::atomic<bool> watching{false};
    std::mutex seenLock;
    // Every process seen, in order. Wine hands a finished process's id to the next one at
    // once, so an id that comes back after a snapshot without it is another process.
    std::vector<SeenProcess> seen;
    std::map<DWORD, std::size_t> alive;  // id -> its entry in `seen`, as of the last snapshot
    std::vector<HANDLE> heldProcesses;

    // The dialog template a window was made from, found by its caption; 0 for a window that
    // is none of the program's dialogs (a message box).
    int CurrentDialog() { return DialogOf(current); }

    int DialogOf(HWND window)
    {
        if (!window || !IsWindow(window)) return 0;
        const std::string caption = CaptionOf(window);
        for (const auto table :
             {zenthar::resources::AllDialogTemplates(), zenthar::resources::UninstallerDialogTemplates()})
            for (const zenthar::resources::DialogTemplate& dialog : table)
                if (caption == dialog.caption) return dialog.id;
        return 0;
    }

    // The id a scenario's control word stands for: a control's name, "window" for the current
    // window itself, or a number. A name of another dialog than the current one is a mistake
    // of the scenario, said as such rather than worked on a control that happens to share
    // the number.
    int ControlId(const std::string& word)
    {
        if (word == "window") return 0;
        if (const zenthar::resources::ControlName* named = zenthar::resources::FindControlName(word)) {
            const int dialog = CurrentDialog();
            if (dialog != 0 && dialog != named->dialog)
                throw std::invalid_argument(word + " is no control of " + Quoted(CaptionOf(current)));
            return named->id;
        }
        if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos) return std::stoi(word);
        throw std::invalid_argument("no control is named " + Quoted(word));
    }

    // A control as the transcript names it: its name where it has one, with its id.
    std::string Shown(int id)
    {
        const std::string_view name = zenthar::resources::ControlNameOf(CurrentDialog(), id);
        return name.empty() ? std::to_string(id) : std::string(name) + " (" + std::to_string(id) + ")";
    }

    // The words after "start" go on the program's command line, each quoted that has a blank.
    std::string CommandLineOf(const std::vector<std::string>& arguments) const
    {
        std::string commandLine = "\"" + program + "\"";
        for (const std::string& word : arguments)
            commandLine += " " + (word.find(' ') != std::string::npos || word.empty() ? "\"" + word + "\"" : word);
        return commandLine;
    }

    bool Start(const std::vector<std::string>& arguments) { return StartCommand(CommandLineOf(arguments)); }

    // start-beside ARG...: a second run of the program while the first goes on, as two
    // deployment tools start it at once; beside-ends CODE [SECONDS] waits for it and reads
    // how it ended. Later steps still work the first.
    bool StartBeside(const std::vector<std::string>& arguments)
    {
        const std::string commandLine = CommandLineOf(arguments);
        if (!zenthar::testing::StartProgram(commandLine, beside))
            return Fail("cannot start " + commandLine + ", error " + std::to_string(GetLastError()));
        Log("started beside it %s, process %lu", commandLine.c_str(), static_cast<unsigned long>(beside.dwProcessId));
        return true;
    }

    bool BesideEnds(unsigned long wanted, int seconds)
    {
        if (!beside.hProcess) return Fail("no second run was started");
        if (WaitForSingleObject(beside.hProcess, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0)
            return Fail("the second run did not end within " + std::to_string(seconds) + " s");
        DWORD code = 0;
        GetExitCodeProcess(beside.hProcess, &code);
        Log("the second run ended, exit code %lu", static_cast<unsigned long>(code));
        if (code != wanted) return Fail("exit code " + std::to_string(code) + ", wanted " + std::to_string(wanted));
        return true;
    }

    // Later steps work the newest program started; the process watch runs once per session.
    bool StartCommand(const std::string& commandLine)
    {
        if (process.hProcess) {
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
            process = {};
        }
        if (!zenthar::testing::StartProgram(commandLine, process))
            return Fail("cannot start " + commandLine + ", error " + std::to_string(GetLastError()));
        Log("started %s, process %lu", commandLine.c_str(), static_cast<unsigned long>(process.dwProcessId));
        if (!watching.exchange(true)) watcher = std::thread([this]() { WatchProcesses(); });
        return true;
    }

    // run-entry KEY [ARG...]: the UninstallString under HKLM\KEY (read as written, no
    // redirection) started as the system's list of programs starts it, ARGs after it as an
    // administrator would type them.
    bool RunEntry(const std::string& key, const std::vector<std::string>& arguments)
    {
        HKEY entry = nullptr;
        LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &entry);
        char command[1024] = {};
        DWORD size = sizeof command - 1, type = 0;
        if (error == ERROR_SUCCESS) {
            error = RegQueryValueExA(entry, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
            RegCloseKey(entry);
        }
        if (error != ERROR_SUCCESS || type != REG_SZ)
            return Fail("no UninstallString under HKLM\\" + key + " (error " + std::to_string(error) + ")");
        Log("the entry's UninstallString is %s", Quoted(command).c_str());
        std::string commandLine = command;
        for (const std::string& argument : arguments) commandLine += " " + argument;
        return StartCommand(commandLine);
    }

    // add-printer NAME PORT: a printer of another maker set up as an administrator would, with
    // a driver of the same name whose files are the package's older ones (none ours uses on
    // this machine), and the data type Wine needs to open it later.
    bool AddForeignPrinter(const std::string& name, const std::string& port)
    {
        std::string folder = "C:\\NORVA Orbix Printer 4.X\\WinNT\\", driverPath = folder + "RASDD.DLL",
                    dataFile = folder + "THERMAL.DLL", configFile = folder + "RASDDUI.DLL", driverName = name;
        DRIVER_INFO_3A driver{};
        driver.cVersion = 3;
        driver.pName = driverName.data();
        driver.pDriverPath = driverPath.data();
        driver.pDataFile = dataFile.data();
        driver.pConfigFile = configFile.data();
        if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
            return Fail("AddPrinterDriverA " + Quoted(name) + " failed, error " + std::to_string(GetLastError()));
        std::string printerName = name, portName = port, processor = "WinPrint", datatype = "RAW";
        PRINTER_INFO_2A printer{};
        printer.pPrinterName = printerName.data();
        printer.pPortName = portName.data();
        printer.pDriverName = driverName.data();
        printer.pPrintProcessor = processor.data();
        printer.pDatatype = datatype.data();
        HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
        if (!added) return Fail("AddPrinterA " + Quoted(name) + " failed, error " + std::to_string(GetLastError()));
        ClosePrinter(added);
        Log("added printer %s on %s", Quoted(name).c_str(), port.c_str());
        return true;
    }

    bool ExpectExitCode(const std::string& wanted)
    {
        DWORD code = 0;
        if (!process.hProcess || StillRunning() || !GetExitCodeProcess(process.hProcess, &code))
            return Fail("the program has not ended");
        if (std::to_string(code) != wanted) return Fail("exit code " + std::to_string(code) + ", wanted " + wanted);
        return true;
    }

    // The process list as Wine keeps it, sampled often enough to see each short command.
    void WatchProcesses()
    {
        while (watching) {
            HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            if (snapshot != INVALID_HANDLE_VALUE) {
                PROCESSENTRY32 entry{};
                entry.dwSize = sizeof entry;
                std::map<DWORD, std::size_t> now;
                std::lock_guard<std::mutex> hold(seenLock);
                for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
                    auto found = alive.find(entry.th32ProcessID);
                    if (found == alive.end() || seen[found->second].parent != entry.th32ParentProcessID) {
                        seen.push_back(SeenProcess{entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
                        // Held open, the process keeps its id until the session ends.
                        if (HANDLE held = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID))
                            heldProcesses.push_back(held);
                        now[entry.th32ProcessID] = seen.size() - 1;
                    } else {
                        // A process only just created may not have its image name yet.
                        if (seen[found->second].name.empty()) seen[found->second].name = entry.szExeFile;
                        now[entry.th32ProcessID] = found->second;
                    }
                }
                alive = std::move(now);
                CloseHandle(snapshot);
            }
            Sleep(15);
        }
    }

    // Parents are looked up among the processes seen before the child.
    bool DescendsFromProgram(std::size_t index)
    {
        for (int depth = 0; depth < 8; ++depth) {
            if (seen[index].parent == process.dwProcessId) return true;
            const DWORD parent = seen[index].parent;
            std::size_t found = index;
            while (found > 0 && seen[found - 1].id != parent) --found;
            if (found == 0) return false;
            index = found - 1;
        }
        return false;
    }

    bool ExpectProcesses(const std::string& name, int wanted)
    {
        std::lock_guard<std::mutex> hold(seenLock);
        int count = 0;
        std::string all;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const SeenProcess& p = seen[i];
            if (!DescendsFromProgram(i)) continue;
            all += " " + p.name;
            if (_stricmp(p.name.c_str(), name.c_str()) == 0) ++count;
        }
        Log("processes started by the program:%s", all.c_str());
        if (count != wanted)
            return Fail(std::to_string(count) + " processes " + name + " seen, wanted " + std::to_string(wanted));
        return true;
    }

    std::vector<HWND> ProgramWindows(bool enabledOnly)
    {
        std::vector<HWND> windows;
        for (DWORD id : FamilyOf(process.dwProcessId)) {
            const std::vector<HWND> own = zenthar::testing::ShownWindowsOf(id, enabledOnly);
            windows.insert(windows.end(), own.begin(), own.end());
        }
        return windows;
    }

    bool Wait(const std::string& caption, int seconds)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            HWND match = nullptr;
            for (HWND window : ProgramWindows(true)) {
                if (CaptionOf(window) != caption) continue;
                if (!match || !met.count(window)) match = window;
            }
            if (match) {
                current = match;
                if (met.insert(match).second) {
                    // When it was first there, for timings; then the moment a person would
                    // need to see it painted.
                    Log("appeared %s after %lu ms", Quoted(caption).c_str(),
                        static_cast<unsigned long>(GetTickCount() - start));
                    Sleep(600);
                    Log("met %s after %lu ms", Quoted(caption).c_str(),
                        static_cast<unsigned long>(GetTickCount() - start));
                    Describe(match);
                    Shot(match, caption);
                }
                return true;
            }
            if (!StillRunning()) {
                DWORD code = 0;
                GetExitCodeProcess(process.hProcess, &code);
                return Fail("the program ended (exit code " + std::to_string(code) + ") while waiting for " +
                            Quoted(caption));
            }
            if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000)
                return Fail("no window " + Quoted(caption) + " within " + std::to_string(seconds) + " s");
            Sleep(50);
        }
    }

    // A window behind a modal one: still on the screen, to be read but not worked.
    bool Look(const std::string& caption)
    {
        for (HWND window : ProgramWindows(false)) {
            if (CaptionOf(window) != caption) continue;
            current = window;
            return Describe(window);
        }
        return Fail("no window " + Quoted(caption) + " on the screen");
    }

    bool Describe(HWND window)
    {
        if (!window || !IsWindow(window)) return Fail("no current window");
        RECT r{};
        GetWindowRect(window, &r);
        HWND owner = GetWindow(window, GW_OWNER);
        Log("window %s (%s, %ldx%ld%s%s)", Quoted(CaptionOf(window)).c_str(), ClassOf(window).c_str(), r.right - r.left,
            r.bottom - r.top, owner ? ", owner " : "", owner ? Quoted(CaptionOf(owner)).c_str() : "");
        const int dialog = DialogOf(window);
        for (HWND child : ChildrenOf(window)) {
            const std::string cls = ClassOf(child);
            const int id = GetDlgCtrlID(child);
            const std::string name(zenthar::resources::ControlNameOf(dialog, id));
            std::string state;
            if (!IsWindowVisible(child)) state += " hidden";
            if (!IsWindowEnabled(child)) state += " disabled";
            std::string detail;
            if (_stricmp(cls.c_str(), "Button") == 0 && IsCheckable(child)) {
                detail = std::string(" ") + CheckName(AskOr(child, BM_GETCHECK, 0, 0, -1));
            } else if (_stricmp(cls.c_str(), "ListBox") == 0) {
                const LRESULT count = AskOr(child, LB_GETCOUNT, 0, 0, 0);
                detail = " rows " + std::to_string(count) + ", selected " +
                         std::to_string(AskOr(child, LB_GETCURSEL, 0, 0, -1));
                for (int i = 0; i < count && i < 12; ++i)
                    detail += "\n      " + Quoted(ListRow(child, i, false)) + " " +
                              CheckName(AskOr(child, LB_GETITEMDATA, i, 0, -1));
                if (count > 12) detail += "\n      ...";
            } else if (_stricmp(cls.c_str(), "ComboBox") == 0) {
                const LRESULT count = AskOr(child, CB_GETCOUNT, 0, 0, 0);
                const LRESULT selected = AskOr(child, CB_GETCURSEL, 0, 0, -1);
                detail =
                    " selected " +
                    (selected >= 0 ? Quoted(ListRow(child, static_cast<int>(selected), true)) : std::string("none")) +
                    ", entries";
                for (int i = 0; i < count; ++i) detail += " " + Quoted(ListRow(child, i, true));
            } else if (_stricmp(cls.c_str(), PROGRESS_CLASSA) == 0) {
                detail = " position " + std::to_string(AskOr(child, PBM_GETPOS, 0, 0, -1));
            } else if (_stricmp(cls.c_str(), WC_IPADDRESSA) == 0) {
                detail = " address " + AddressOf(child);
            }
            const bool icon = _stricmp(cls.c_str(), "Static") == 0 &&
                              (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            const std::string text = icon ? std::string("(icon)") : Quoted(TextOf(child));
            Log("  %5d %-26s %-18s %s%s%s", id, name.c_str(), cls.c_str(), text.c_str(), state.c_str(), detail.c_str());
        }
        return true;
    }

    // What the screen shows of the window, frame included, as a 24-bit BMP.
    bool Shot(HWND window, const std::string& label)
    {
        if (!window || !IsWindow(window)) return Fail("no current window to picture");
        RECT r{};
        GetWindowRect(window, &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        if (width <= 0 || height <= 0) return Fail("window has no area");
        const zenthar::testing::Picture picture = zenthar::testing::ScreenPicture(window);
        if (picture.Empty()) return Fail("cannot read the screen");

        std::string slug;
        for (char c : label) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) slug += c;
            else if (!slug.empty() && slug.back() != '-') slug += '-';
            if (slug.size() >= 40) break;
        }
        while (!slug.empty() && slug.back() == '-') slug.pop_back();
        char name[96];
        std::snprintf(name, sizeof name, "%02d-%s.bmp", ++shots, slug.c_str());
        if (!zenthar::testing::SaveBmp(picture, outFolder + "\\" + name))
            return Fail(std::string("cannot write ") + name);
        Log("picture %.*s", static_cast<int>(std::strlen(name) - 4), name);
        return true;
    }

    HWND Control(int id, std::string& why)
    {
        if (!current || !IsWindow(current)) {
            why = "no current window";
            return nullptr;
        }
        HWND control = GetDlgItem(current, id);
        if (!control) why = "no control " + Shown(id) + " in " + Quoted(CaptionOf(current));
        return control;
    }

    // A user can only work a control that is shown and enabled.
    HWND UsableControl(int id, std::string& why)
    {
        HWND control = Control(id, why);
        if (control && (!IsWindowVisible(control) || !IsWindowEnabled(control))) {
            why = "control " + Shown(id) + " " + Quoted(TextOf(control)) + " is " +
                  (IsWindowVisible(control) ? "disabled" : "hidden") + ": a user cannot work it";
            return nullptr;
        }
        return control;
    }

    bool WaitClosed(HWND window)
    {
        const DWORD start = GetTickCount();
        while (IsWindow(window) && IsWindowVisible(window)) {
            if (GetTickCount() - start > kCloseTimeout) return Fail(Quoted(CaptionOf(window)) + " did not close");
            Sleep(30);
        }
        Log("closed after %lu ms", static_cast<unsigned long>(GetTickCount() - start));
        if (window == current) current = nullptr;
        return true;
    }

    bool Click(int id, bool closes)
    {
        std::string why;
        HWND button = UsableControl(id, why);
        if (!button) return Fail(why);
        HWND window = current;
        PostMessageA(button, BM_CLICK, 0, 0);
        return closes ? WaitClosed(window) : true;
    }

    // The control of the current window that has the keyboard focus, null when none has.
    HWND FocusedControl()
    {
        if (!current || !IsWindow(current)) return nullptr;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(current, nullptr), &info) || !info.hwndFocus) return nullptr;
        return info.hwndFocus == current || IsChild(current, info.hwndFocus) ? info.hwndFocus : nullptr;
    }

    // As Tab arriving at the control: the dialog manager moves the focus (and the default
    // push button) there.
    bool FocusControl(int id)
    {
        std::string why;
        HWND control = UsableControl(id, why);
        if (!control) return Fail(why);
        PostMessageA(current, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        Sleep(200);
        return true;
    }

    // A key pressed and let go on the focused control, through the program's message loop
    // (so the dialog manager sees it first, as it sees a real key).
    bool Key(const std::string& name)
    {
        static const std::map<std::string, WPARAM> kKeys = {
            {"space", VK_SPACE}, {"down", VK_DOWN}, {"up", VK_UP}, {"tab", VK_TAB}, {"enter", VK_RETURN}};
        const auto key = kKeys.find(name);
        if (key == kKeys.end()) return Fail("unknown key " + Quoted(name));
        HWND target = FocusedControl();
        if (!target)
            return Fail("no control of " + Quoted(current ? CaptionOf(current) : std::string()) + " has the focus");
        zenthar::testing::PressKey(target, key->second, Delivery::Post);
        Sleep(300);
        return true;
    }

    bool Escape()
    {
        if (!current || !IsWindow(current)) return Fail("no current window");
        HWND window = current;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        HWND target = window;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
            (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
            target = info.hwndFocus;
        zenthar::testing::PressKey(target, VK_ESCAPE, Delivery::Post);
        return WaitClosed(window);
    }

    // A click on the row's check box, at the left of the row.
    bool Tick(int row)
    {
        std::string why;
        HWND list = UsableControl(zenthar::resources::main_ids::kModelList, why);
        if (!list) return Fail(why);
        const LRESULT count = AskOr(list, LB_GETCOUNT, 0, 0, 0);
        if (row < 0 || row >= count)
            return Fail("no row " + std::to_string(row) + " (the list has " + std::to_string(count) + ")");
        AskOr(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0, 0);
        const LRESULT top = AskOr(list, LB_GETTOPINDEX, 0, 0, 0);
        const LRESULT height = AskOr(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0, 0);
        if (height <= 0) return Fail("cannot measure the list's rows");
        const LPARAM point = MAKELPARAM(height / 2, static_cast<int>((row - top) * height + height / 2));
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(list, WM_LBUTTONUP, 0, point);
        Sleep(200);
        Log("row %d %s is now %s", row, Quoted(ListRow(list, row, false)).c_str(),
            CheckName(AskOr(list, LB_GETITEMDATA, row, 0, -1)));
        return true;
    }

    bool Type(int id, const std::string& text)
    {
        std::string why;
        HWND edit = UsableControl(id, why);
        if (!edit) return Fail(why);
        zenthar::testing::TypeText(edit, text, Delivery::Post);
        Sleep(300);
        return true;
    }

    bool Pick(int id, const std::string& label)
    {
        std::string why;
        HWND combo = UsableControl(id, why);
        if (!combo) return Fail(why);
        const LRESULT count = AskOr(combo, CB_GETCOUNT, 0, 0, 0);
        for (int i = 0; i < count; ++i) {
            if (ListRow(combo, i, true) != label) continue;
            AskOr(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0, -1);
            PostMessageA(current, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            Sleep(100);
            return true;
        }
        return Fail("combo " + Shown(id) + " has no entry " + Quoted(label));
    }

    bool SetAddress(int id, const std::string& address)
    {
        std::string why;
        HWND control = UsableControl(id, why);
        if (!control) return Fail(why);
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (std::sscanf(address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return Fail("bad address " + address);
        LRESULT ignored = 0;
        if (!Ask(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(a, b, c, d)), ignored))
            return Fail("the address field did not answer");
        return true;
    }

    bool Expect(int id, const std::string& property, const std::string& wanted)
    {
        std::string why;
        HWND control = id == 0 ? current : Control(id, why);
        if (id == 0 && (!current || !IsWindow(current))) why = "no current window";
        if (!control) return Fail(why);
        std::string seen;
        if (property == "text") seen = TextOf(control);
        else if (property == "focus") seen = control != current && FocusedControl() == control ? "yes" : "no";
        else if (property == "enabled") seen = IsWindowEnabled(control) ? "yes" : "no";
        else if (property == "visible") seen = IsWindowVisible(control) ? "yes" : "no";
        else if (property == "checked") seen = CheckName(AskOr(control, BM_GETCHECK, 0, 0, -1));
        else if (property == "progress") seen = std::to_string(AskOr(control, PBM_GETPOS, 0, 0, -1));
        else if (property == "address") seen = AddressOf(control);
        else if (property == "count") seen = std::to_string(AskOr(control, CB_GETCOUNT, 0, 0, -1));
        else if (property == "selected") {
            const LRESULT selected = AskOr(control, CB_GETCURSEL, 0, 0, -1);
            seen = selected >= 0 ? ListRow(control, static_cast<int>(selected), true) : std::string("(none)");
        } else return Fail("unknown property " + property);
        const std::string shown = id == 0 ? std::string("window") : Shown(id);
        if (seen != wanted)
            return Fail("control " + shown + " " + property + " is " + Quoted(seen) + ", wanted " + Quoted(wanted));
        Log("control %s %s is %s", shown.c_str(), property.c_str(), Quoted(seen).c_str());
        return true;
    }

    // rows ID NAME STATE NAME STATE ...: the whole list, in order.
    bool ExpectRows(int id, const std::vector<std::string>& wanted)
    {
        std::string why;
        HWND list = Control(id, why);
        if (!list) return Fail(why);
        const LRESULT count = AskOr(list, LB_GETCOUNT, 0, 0, -1);
        std::string seen;
        for (int i = 0; i < count; ++i)
            seen += (i ? " " : "") + Quoted(ListRow(list, i, false)) + " " +
                    CheckName(AskOr(list, LB_GETITEMDATA, i, 0, -1));
        std::string expected;
        for (std::size_t i = 0; i + 1 < wanted.size(); i += 2)
            expected += (i ? " " : "") + Quoted(wanted[i]) + " " + wanted[i + 1];
        if (seen != expected) return Fail("rows are [" + seen + "], wanted [" + expected + "]");
        Log("rows [%s]", seen.c_str());
        return true;
    }

    // lines ID TEXT...: every row of a plain list, or every line of a text box, in order.
    bool ExpectLines(int id, const std::vector<std::string>& wanted)
    {
        std::string why;
        HWND list = Control(id, why);
        if (!list) return Fail(why);
        std::vector<std::string> seen;
        if (_stricmp(ClassOf(list).c_str(), "Edit") == 0) {
            const std::string text = TextOf(list);
            for (std::size_t start = 0, end = 0; end != std::string::npos && !text.empty(); start = end + 2)
                seen.push_back(text.substr(start, (end = text.find("\r\n", start)) - start));
        } else {
            for (LRESULT i = 0, count = AskOr(list, LB_GETCOUNT, 0, 0, -1); i < count; ++i)
                seen.push_back(ListRow(list, static_cast<int>(i), false));
        }
        std::string shown;
        for (const std::string& row : seen) shown += (shown.empty() ? "" : " ") + Quoted(row);
        if (seen != wanted) return Fail("rows are [" + shown + "]");
        Log("rows [%s]", shown.c_str());
        return true;
    }

    // A message box shows its text in a static control; the icon is a static of its own.
    bool ExpectMessage(const std::string& text)
    {
        if (!current || !IsWindow(current)) return Fail("no current window");
        std::string shown;
        for (HWND child : ChildrenOf(current)) {
            if (_stricmp(ClassOf(child).c_str(), "Static") != 0) continue;
            const std::string t = TextOf(child);
            if (t == text) {
                Log("message %s", Quoted(t).c_str());
                return true;
            }
            if (!t.empty()) shown += " " + Quoted(t);
        }
        return Fail("the window shows" + shown + ", not " + Quoted(text));
    }

    // Waits for the program to end with `wanted`, looking every few milliseconds for a window of
    // it: a run without windows must not show one, not even for a moment.
    bool EndWindowless(unsigned long wanted, int seconds)
    {
        if (!process.hProcess) return Fail("the program was not started");
        WindowLook look{{}, {}};
        const DWORD start = GetTickCount();
        for (;;) {
            look.processes = FamilyOf(process.dwProcessId);
            EnumWindows(&NoteVisibleWindow, reinterpret_cast<LPARAM>(&look));
            if (!look.seen.empty()) return Fail("the program showed a window " + look.seen);
            if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) break;
            if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000)
                return Fail("the program did not end within " + std::to_string(seconds) + " s");
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        Log("the program ended without a window, exit code %lu", static_cast<unsigned long>(code));
        if (code != wanted) return Fail("exit code " + std::to_string(code) + ", wanted " + std::to_string(wanted));
        return true;
    }

    bool End(int seconds)
    {
        if (!process.hProcess) return Fail("the program was not started");
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0)
            return Fail("the program did not end within " + std::to_string(seconds) + " s");
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        Log("the program ended, exit code %lu", static_cast<unsigned long>(code));
        return true;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: e2e-user PROGRAM STEPS_FILE OUT_FOLDER\n");
        return 2;
    }
    std::vector<ScriptLine> steps;
    if (!zenthar::e2e::ReadScript(argv[2], steps)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    Session session(argv[1], argv[3]);
    if (!session.Open()) {
        std::fprintf(stderr, "cannot write the transcript in %s\n", argv[3]);
        return 2;
    }
    for (const ScriptLine& step : steps) {
        bool held = false;
        try {
            held = session.Run(step);
        } catch (const std::exception& error) {
            held = session.Fail(std::string("bad step: ") + error.what());
        }
        if (!held) {
            session.Abandon();
            session.Log("scenario failed at step %d", step.number);
            return 1;
        }
    }
    if (session.StillRunning()) {
        session.Fail("the program still runs after the last step");
        session.Abandon();
        return 1;
    }
    session.Log("all steps held");
    return 0;
}
