// Reads a machine's state back through Wine's own spooler, registry and file system and
// compares it with a list of expectations, one per line (see run-e2e.sh for the verbs).
// Prints "ok ..." or "FAIL ..." per line and ends with exit code 1 when any line failed.
//
//   e2e-check.exe CHECKS_FILE
#include <windows.h>
#include <winspool.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/ScriptLines.h"

namespace {

using zenthar::e2e::Quoted;
using zenthar::e2e::ScriptLine;

// ---- The settings record a printer must carry ----
//
// Written out again from the record's layout, field by field at absolute offsets, and not
// built the way the installer builds it: where the two disagree, one of them is wrong.

constexpr std::size_t kRecordSize = 17616;

// Every 32-bit number that is not zero, except the code page at 0x0004.
struct Word {
    std::size_t offset;
    std::uint32_t value;
};

constexpr Word kWords[] = {
    {0x0000, 8},
    {0x0008, 1},
    {0x04A0, 1},
    {0x04A8, 1},
    {0x04C0, 150},
    {0x04C4, 150},
    {0x04C8, 150},
    {0x04CC, 150},
    // Eight units of six numbers (k, 3, 162, 0, 0, 0), 24 bytes apart.
    {0x05C0, 0},
    {0x05C4, 3},
    {0x05C8, 162},
    {0x05D8, 1},
    {0x05DC, 3},
    {0x05E0, 162},
    {0x05F0, 2},
    {0x05F4, 3},
    {0x05F8, 162},
    {0x0608, 3},
    {0x060C, 3},
    {0x0610, 162},
    {0x0620, 4},
    {0x0624, 3},
    {0x0628, 162},
    {0x0638, 5},
    {0x063C, 3},
    {0x0640, 162},
    {0x0650, 6},
    {0x0654, 3},
    {0x0658, 162},
    {0x0668, 7},
    {0x066C, 3},
    {0x0670, 162},
    {0x068C, 1},
    {0x0690, 800},
    {0x0694, 2970},
    {0x069C, 0xFFFFFFFFu},
    {0x1030, 1},
    {0x1034, 1},
    {0x1038, 1},
    {0x1040, 2},
    {0x1044, 2},
    {0x1048, 1},
    {0x111C, 100},
    {0x1120, 100},
};

// Texts without their terminating zero, and where each one's length is kept.
struct Text {
    std::size_t offset;
    const char* text;
    std::size_t lengthAt;
    std::uint32_t length;
};

constexpr Text kTexts[] = {
    {0x10B0, "1234567890", 0x1114, 10},
    {0x2100, "1C700100", 0x2164, 8},
    {0x2168, "1C700200", 0x21CC, 8},
    {0x21D0, "1C700300", 0x2234, 8},
    {0x2238, "1C700400", 0x229C, 8},
    {0x22A0, "1C700500", 0x2304, 8},
    // Nothing at 0x2988: the second group has a gap after its first text.
    {0x2920, "1C700100", 0x2984, 8},
    {0x29F0, "1C700200", 0x2A54, 8},
    {0x2A58, "1C700300", 0x2ABC, 8},
    {0x2AC0, "1C700400", 0x2B24, 8},
    {0x2B28, "1C700500", 0x2B8C, 8},
};

void PutWord(std::vector<unsigned char>& record, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<unsigned char> ExpectedRecord(std::uint32_t codePage)
{
    std::vector<unsigned char> record(kRecordSize, 0);
    for (const Word& word : kWords) PutWord(record, word.offset, word.value);
    PutWord(record, 0x0004, codePage);
    for (const Text& text : kTexts) {
        std::memcpy(&record[text.offset], text.text, std::strlen(text.text));
        PutWord(record, text.lengthAt, text.length);
    }
    return record;
}

// ---- Reading Wine's state ----

struct Printer {
    std::string name, driver, port, processor;
    DWORD attributes = 0;
};

std::vector<Printer> LocalPrinters()
{
    std::vector<Printer> printers;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return printers;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return printers;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        auto text = [](const char* s) { return std::string(s ? s : ""); };
        printers.push_back({text(info[i].pPrinterName), text(info[i].pDriverName), text(info[i].pPortName),
                            text(info[i].pPrintProcessor), info[i].Attributes});
    }
    return printers;
}

struct Driver {
    std::string name, driverPath, dataFile, configFile, helpFile;
    std::vector<std::string> dependents;
    DWORD version = 0;
};

std::vector<Driver> Drivers()
{
    std::vector<Driver> drivers;
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
    if (needed == 0) return drivers;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrinterDriversA(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) return drivers;
    const auto* info = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        auto text = [](const char* s) { return std::string(s ? s : ""); };
        Driver driver{text(info[i].pName),       text(info[i].pDriverPath), text(info[i].pDataFile),
                      text(info[i].pConfigFile), text(info[i].pHelpFile),   {},
                      info[i].cVersion};
        for (const char* p = info[i].pDependentFiles; p && *p; p += std::strlen(p) + 1) driver.dependents.push_back(p);
        drivers.push_back(driver);
    }
    return drivers;
}

std::vector<std::pair<std::string, std::string>> Monitors()
{
    std::vector<std::pair<std::string, std::string>> monitors;
    DWORD needed = 0, count = 0;
    EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return monitors;
    std::vector<BYTE> buffer(needed);
    if (!EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &count)) return monitors;
    const auto* info = reinterpret_cast<const MONITOR_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        monitors.emplace_back(info[i].pName ? info[i].pName : "", info[i].pDLLName ? info[i].pDLLName : "");
    return monitors;
}

std::vector<std::string> Ports()
{
    std::vector<std::string> ports;
    DWORD needed = 0, count = 0;
    EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count);
    if (needed == 0) return ports;
    std::vector<BYTE> buffer(needed);
    if (!EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count)) return ports;
    const auto* info = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) ports.push_back(info[i].pName ? info[i].pName : "");
    return ports;
}

std::string DriverDirectory()
{
    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory - 1,
                                    &needed))
        return {};
    return directory;
}

// The checks read the machine as it is, whatever the checker's own width: the i686 build's
// checker would otherwise see C:\windows\system32 as syswow64 and HKLM\Software as its
// Wow6432Node. (The spooler's calls stay the checker's own: drivers and the driver directory
// of its environment.) In a 64-bit checker both are no-ops.
constexpr REGSAM kNativeRead = KEY_READ | KEY_WOW64_64KEY;

class NativeFiles {
public:
    NativeFiles() : off_(Wow64DisableWow64FsRedirection(&old_) != FALSE) {}
    ~NativeFiles()
    {
        if (off_) Wow64RevertWow64FsRedirection(old_);
    }
    NativeFiles(const NativeFiles&) = delete;
    NativeFiles& operator=(const NativeFiles&) = delete;

private:
    PVOID old_ = nullptr;
    bool off_;
};

bool ReadWholeFile(const std::string& path, std::string& content)
{
    const NativeFiles native;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    char chunk[4096];
    std::size_t got;
    content.clear();
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, got);
    std::fclose(in);
    return true;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string Hex(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

struct RegistryValue {
    DWORD type = 0;
    std::vector<unsigned char> data;
};

// Every value of a key below HKEY_LOCAL_MACHINE, by name; false when the key does not open.
bool KeyValues(const std::string& path, std::map<std::string, RegistryValue>& values)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, kNativeRead, &key) != ERROR_SUCCESS) return false;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0, size = 0;
        LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) break;
        RegistryValue value;
        value.type = type;
        value.data.resize(size);
        nameLength = sizeof name;
        status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, value.data.data(), &size);
        if (status != ERROR_SUCCESS) break;
        value.data.resize(size);
        values[std::string(name, nameLength)] = value;
    }
    RegCloseKey(key);
    return true;
}

const char* StateName(DWORD state)
{
    switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "start-pending";
    case SERVICE_STOP_PENDING: return "stop-pending";
    case SERVICE_RUNNING: return "running";
    default: return "other";
    }
}

// ---- The checks ----

class Checks {
public:
    int failures = 0;

    void Run(const ScriptLine& line)
    {
        const auto& w = line.words;
        const std::string& verb = w[0];
        auto need = [&](std::size_t n) {
            if (w.size() < n + 1) {
                Fail(line, "needs " + std::to_string(n) + " arguments");
                return false;
            }
            return true;
        };
        if (verb == "printer" && need(2)) CheckPrinter(line, w[1], w[2]);
        else if (verb == "no-printer" && need(1)) CheckNoPrinter(line, w[1]);
        else if (verb == "printers" && need(2)) CheckPrinterCount(line, w[1], std::stoi(w[2]));
        else if (verb == "driver" && need(1)) CheckDriver(line, w[1]);
        else if (verb == "drivers" && need(2)) CheckDriverCount(line, w[1], std::stoi(w[2]));
        else if (verb == "record" && need(2)) CheckRecord(line, w[1], static_cast<std::uint32_t>(std::stoul(w[2])));
        else if (verb == "default" && need(1)) CheckDefault(line, w[1]);
        else if (verb == "monitor" && need(2)) CheckMonitor(line, w[1], w[2], true);
        else if (verb == "no-monitor" && need(1)) CheckMonitor(line, w[1], "", false);
        else if (verb == "port" && need(1)) CheckPort(line, w[1]);
        else if (verb == "no-port" && need(1)) CheckNoPort(line, w[1]);
        else if (verb == "driverdir" && need(1)) CheckDriverDirectory(line, w[1]);
        else if (verb == "driverdir-files" && need(1)) CheckDriverDirectoryFiles(line, std::stoi(w[1]));
        else if (verb == "driverdir-file" && need(2)) CheckFile(line, DriverDirectory() + "\\" + w[1], w[2]);
        else if (verb == "file" && need(2)) CheckFile(line, w[1], w[2]);
        else if (verb == "file-line" && need(2)) CheckFileLine(line, w[1], w[2]);
        else if (verb == "no-file" && need(1)) CheckNoFile(line, w[1]);
        else if (verb == "exists" && need(1)) CheckExists(line, w[1]);
        else if (verb == "key-class" && need(2)) CheckKeyClass(line, w[1], w[2]);
        else if (verb == "key" && need(2)) CheckKey(line, w[1], std::stoi(w[2]));
        else if (verb == "no-key" && need(1)) CheckNoKey(line, w[1]);
        else if (verb == "value" && need(4)) CheckValue(line, w[1], w[2], w[3], w[4]);
        else if (verb == "service" && need(2)) CheckService(line, w[1], w[2]);
        else if (w.size() >= 1 && !IsKnown(verb)) Fail(line, "unknown check " + Quoted(verb));
    }

private:
    static bool IsKnown(const std::string& verb)
    {
        static const char* verbs[] = {"printer",   "no-printer", "printers",        "driver",         "drivers",
                                      "record",    "default",    "monitor",         "no-monitor",     "port",
                                      "no-port",   "driverdir",  "driverdir-files", "driverdir-file", "file",
                                      "file-line", "no-file",    "exists",          "key-class",      "key",
                                      "no-key",    "value",      "service"};
        for (const char* v : verbs)
            if (verb == v) return true;
        return false;
    }

    void Pass(const ScriptLine& line, const std::string& what)
    {
        std::printf("ok   %d: %s\n", line.number, what.c_str());
    }

    void Fail(const ScriptLine& line, const std::string& what)
    {
        std::printf("FAIL %d: %s\n", line.number, what.c_str());
        ++failures;
    }

    void CheckPrinter(const ScriptLine& line, const std::string& name, const std::string& port)
    {
        for (const Printer& p : LocalPrinters()) {
            if (p.name != name) continue;
            char attributes[16];
            std::snprintf(attributes, sizeof attributes, "0x%lX", static_cast<unsigned long>(p.attributes));
            const std::string seen = "printer " + Quoted(p.name) + " driver " + Quoted(p.driver) + " port " +
                                     Quoted(p.port) + " processor " + Quoted(p.processor) + " attributes " + attributes;
            if (p.driver == name && p.port == port && p.processor == "WinPrint") Pass(line, seen);
            else
                Fail(line,
                     seen + ", wanted driver " + Quoted(name) + " port " + Quoted(port) + " processor \"WinPrint\"");
            return;
        }
        Fail(line, "no printer " + Quoted(name));
    }

    void CheckNoPrinter(const ScriptLine& line, const std::string& name)
    {
        for (const Printer& p : LocalPrinters())
            if (p.name == name) return Fail(line, "printer " + Quoted(name) + " exists");
        Pass(line, "no printer " + Quoted(name));
    }

    void CheckPrinterCount(const ScriptLine& line, const std::string& prefix, int wanted)
    {
        std::string names;
        int count = 0;
        for (const Printer& p : LocalPrinters()) {
            if (p.name.rfind(prefix, 0) != 0) continue;
            ++count;
            names += " " + Quoted(p.name);
        }
        const std::string seen = std::to_string(count) + " printers named " + Quoted(prefix + "...") + ":" + names;
        if (count == wanted) Pass(line, seen);
        else Fail(line, seen + ", wanted " + std::to_string(wanted));
    }

    void CheckDriver(const ScriptLine& line, const std::string& name)
    {
        for (const Driver& d : Drivers()) {
            if (d.name != name) continue;
            std::string dependents;
            for (const std::string& f : d.dependents) dependents += " " + f.substr(f.find_last_of('\\') + 1);
            auto base = [](const std::string& path) { return path.substr(path.find_last_of('\\') + 1); };
            const std::string seen = "driver " + Quoted(name) + " version " + std::to_string(d.version) + " files " +
                                     base(d.driverPath) + " " + base(d.dataFile) + " " + base(d.configFile) + " " +
                                     base(d.helpFile) + ", dependent:" + dependents;
            const bool files = _stricmp(base(d.driverPath).c_str(), "UNIDRV.DLL") == 0 &&
                               _stricmp(base(d.dataFile).c_str(), "VXTHM4.GPD") == 0 &&
                               _stricmp(base(d.configFile).c_str(), "UNIDRVUI.DLL") == 0 &&
                               _stricmp(base(d.helpFile).c_str(), "UNIDRV.HLP") == 0 && d.dependents.size() == 9;
            if (d.version == 3 && files) Pass(line, seen);
            else Fail(line, seen + ", wanted version 3 with the universal driver's files and nine dependent files");
            return;
        }
        Fail(line, "no driver " + Quoted(name));
    }

    void CheckDriverCount(const ScriptLine& line, const std::string& prefix, int wanted)
    {
        std::string names;
        int count = 0;
        for (const Driver& d : Drivers()) {
            if (d.name.rfind(prefix, 0) != 0) continue;
            ++count;
            names += " " + Quoted(d.name);
        }
        const std::string seen = std::to_string(count) + " drivers named " + Quoted(prefix + "...") + ":" + names;
        if (count == wanted) Pass(line, seen);
        else Fail(line, seen + ", wanted " + std::to_string(wanted));
    }

    void CheckRecord(const ScriptLine& line, const std::string& printer, std::uint32_t codePage)
    {
        HANDLE handle = nullptr;
        if (!OpenPrinterA(const_cast<char*>(printer.c_str()), &handle, nullptr))
            return Fail(line, "cannot open printer " + Quoted(printer) + ", error " + std::to_string(GetLastError()));
        DWORD type = 0, needed = 0;
        char valueName[] = "TTY DeviceConfig";
        GetPrinterDataA(handle, valueName, &type, nullptr, 0, &needed);
        std::vector<unsigned char> data(needed);
        const DWORD status = needed ? GetPrinterDataA(handle, valueName, &type, data.data(), needed, &needed)
                                    : ERROR_FILE_NOT_FOUND;
        ClosePrinter(handle);
        if (status != ERROR_SUCCESS)
            return Fail(line, Quoted(printer) + " has no \"TTY DeviceConfig\" (" + std::to_string(status) + ")");
        const std::vector<unsigned char> expected = ExpectedRecord(codePage);
        if (type != REG_BINARY)
            return Fail(line, "\"TTY DeviceConfig\" of " + Quoted(printer) + " has type " + std::to_string(type));
        if (data.size() != expected.size())
            return Fail(line, "\"TTY DeviceConfig\" of " + Quoted(printer) + " has " + std::to_string(data.size()) +
                                  " bytes, wanted " + std::to_string(expected.size()));
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (data[i] == expected[i]) continue;
            char where[96];
            std::snprintf(where, sizeof where, " differs first at offset 0x%04zX: %02X, wanted %02X", i, data[i],
                          expected[i]);
            return Fail(line, "\"TTY DeviceConfig\" of " + Quoted(printer) + where);
        }
        Pass(line, "\"TTY DeviceConfig\" of " + Quoted(printer) + ": 17616 bytes, equal to the record for code page " +
                       std::to_string(codePage));
    }

    void CheckDefault(const ScriptLine& line, const std::string& name)
    {
        char buffer[512] = {};
        DWORD size = sizeof buffer;
        const std::string seen = GetDefaultPrinterA(buffer, &size) ? std::string(buffer) : std::string("(none)");
        if (seen == name) Pass(line, "default printer " + Quoted(seen));
        else Fail(line, "default printer " + Quoted(seen) + ", wanted " + Quoted(name));
    }

    void CheckMonitor(const ScriptLine& line, const std::string& name, const std::string& library, bool present)
    {
        for (const auto& [monitor, dll] : Monitors()) {
            if (monitor != name) continue;
            if (!present) return Fail(line, "monitor " + Quoted(name) + " is registered");
            if (_stricmp(dll.c_str(), library.c_str()) == 0)
                return Pass(line, "monitor " + Quoted(name) + " library " + Quoted(dll));
            return Fail(line, "monitor " + Quoted(name) + " library " + Quoted(dll) + ", wanted " + Quoted(library));
        }
        if (present) Fail(line, "no monitor " + Quoted(name));
        else Pass(line, "no monitor " + Quoted(name));
    }

    void CheckPort(const ScriptLine& line, const std::string& name)
    {
        std::string all;
        for (const std::string& port : Ports()) {
            if (port == name) return Pass(line, "port " + Quoted(name) + " listed by the spooler");
            all += " " + port;
        }
        Fail(line, "no port " + Quoted(name) + "; the spooler lists:" + all);
    }

    void CheckNoPort(const ScriptLine& line, const std::string& name)
    {
        for (const std::string& port : Ports()) {
            if (port == name) return Fail(line, "port " + Quoted(name) + " is still listed by the spooler");
        }
        Pass(line, "no port " + Quoted(name));
    }

    // One line of the file (without its line end) is exactly the text. "A|B" names two files,
    // either of which must have it: the log of whichever of two runs got there second.
    void CheckFileLine(const ScriptLine& line, const std::string& paths, const std::string& wanted)
    {
        std::string held;
        for (std::size_t from = 0; from <= paths.size();) {
            std::size_t bar = paths.find('|', from);
            if (bar == std::string::npos) bar = paths.size();
            const std::string path = paths.substr(from, bar - from);
            from = bar + 1;
            std::string content;
            if (!ReadWholeFile(path, content)) {
                held += "no file " + Quoted(path) + "; ";
                continue;
            }
            if (HasLine(content, wanted)) return Pass(line, Quoted(path) + " has the line " + Quoted(wanted));
            held += Quoted(path) + " holds " + Quoted(content.substr(0, 300)) + "; ";
        }
        Fail(line, "no line " + Quoted(wanted) + ": " + held);
    }

    static bool HasLine(const std::string& content, const std::string& wanted)
    {
        for (std::size_t start = 0; start < content.size();) {
            std::size_t end = content.find('\n', start);
            if (end == std::string::npos) end = content.size();
            std::string text = content.substr(start, end - start);
            if (!text.empty() && text.back() == '\r') text.pop_back();
            if (text == wanted) return true;
            start = end + 1;
        }
        return false;
    }

    void CheckDriverDirectory(const ScriptLine& line, const std::string& wanted)
    {
        const std::string directory = DriverDirectory();
        if (_stricmp(directory.c_str(), wanted.c_str()) == 0) Pass(line, "driver directory " + Quoted(directory));
        else Fail(line, "driver directory " + Quoted(directory) + ", wanted " + Quoted(wanted));
    }

    void CheckDriverDirectoryFiles(const ScriptLine& line, int wanted)
    {
        const std::string directory = DriverDirectory();
        const NativeFiles native;
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
        int count = 0;
        std::string names;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                ++count;
                names += std::string(" ") + found.cFileName;
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        const std::string seen = std::to_string(count) + " files in " + Quoted(directory) + ":" + names;
        if (count == wanted) Pass(line, seen);
        else Fail(line, seen + ", wanted " + std::to_string(wanted));
    }

    void CheckFile(const ScriptLine& line, const std::string& path, const std::string& wanted)
    {
        std::string content;
        if (!ReadWholeFile(path, content)) return Fail(line, "no file " + Quoted(path));
        content = Trimmed(content);
        if (content == wanted) Pass(line, Quoted(path) + " holds " + Quoted(content));
        else Fail(line, Quoted(path) + " holds " + Quoted(content.substr(0, 200)) + ", wanted " + Quoted(wanted));
    }

    void CheckNoFile(const ScriptLine& line, const std::string& path)
    {
        const NativeFiles native;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) Pass(line, "no file " + Quoted(path));
        else Fail(line, Quoted(path) + " exists");
    }

    void CheckExists(const ScriptLine& line, const std::string& path)
    {
        const NativeFiles native;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return Fail(line, "no file " + Quoted(path));
        Pass(line, Quoted(path) + " exists, " + std::to_string(data.nFileSizeLow) + " bytes");
    }

    void CheckKeyClass(const ScriptLine& line, const std::string& path, const std::string& wanted)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, kNativeRead, &key) != ERROR_SUCCESS)
            return Fail(line, "no key HKLM\\" + path);
        char keyClass[256] = {};
        DWORD length = sizeof keyClass;
        const LONG status = RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return Fail(line, "cannot read the class of HKLM\\" + path);
        if (wanted == keyClass) Pass(line, "key HKLM\\" + path + " has class " + Quoted(keyClass));
        else Fail(line, "key HKLM\\" + path + " has class " + Quoted(keyClass) + ", wanted " + Quoted(wanted));
    }

    void CheckKey(const ScriptLine& line, const std::string& path, int wantedValues)
    {
        std::map<std::string, RegistryValue> values;
        if (!KeyValues(path, values)) return Fail(line, "no key HKLM\\" + path);
        std::string names;
        for (const auto& [name, value] : values) names += " " + Quoted(name);
        const std::string seen = "key HKLM\\" + path + " with " + std::to_string(values.size()) + " values:" + names;
        if (static_cast<int>(values.size()) == wantedValues) Pass(line, seen);
        else Fail(line, seen + ", wanted " + std::to_string(wantedValues));
    }

    void CheckNoKey(const ScriptLine& line, const std::string& path)
    {
        std::map<std::string, RegistryValue> values;
        if (KeyValues(path, values)) Fail(line, "key HKLM\\" + path + " exists");
        else Pass(line, "no key HKLM\\" + path);
    }

    // "dword N" is four little-endian bytes; "sz TEXT" is the text with its terminating zero.
    void CheckValue(const ScriptLine& line, const std::string& path, const std::string& name, const std::string& kind,
                    const std::string& data)
    {
        std::map<std::string, RegistryValue> values;
        if (!KeyValues(path, values)) return Fail(line, "no key HKLM\\" + path);
        const auto found = values.find(name);
        if (found == values.end()) return Fail(line, "no value " + Quoted(name) + " in HKLM\\" + path);
        RegistryValue wanted;
        if (kind == "dword") {
            const auto number = static_cast<std::uint32_t>(std::stoul(data));
            wanted.type = REG_DWORD;
            for (int i = 0; i < 4; ++i) wanted.data.push_back(static_cast<unsigned char>(number >> (8 * i)));
        } else {
            wanted.type = REG_SZ;
            wanted.data.assign(data.begin(), data.end());
            wanted.data.push_back(0);
        }
        const RegistryValue& seen = found->second;
        const std::string description = Quoted(name) + " type " + std::to_string(seen.type) + " bytes " +
                                        Hex(seen.data);
        if (seen.type == wanted.type && seen.data == wanted.data) Pass(line, description);
        else Fail(line, description + ", wanted type " + std::to_string(wanted.type) + " bytes " + Hex(wanted.data));
    }

    void CheckService(const ScriptLine& line, const std::string& name, const std::string& wanted)
    {
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        SC_HANDLE service = manager ? OpenServiceA(manager, name.c_str(), SERVICE_QUERY_STATUS) : nullptr;
        SERVICE_STATUS status{};
        const bool read = service && QueryServiceStatus(service, &status);
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
        if (!read) return Fail(line, "cannot query service " + Quoted(name));
        const std::string seen = std::string("service ") + Quoted(name) + " " + StateName(status.dwCurrentState);
        if (wanted == StateName(status.dwCurrentState)) Pass(line, seen);
        else Fail(line, seen + ", wanted " + wanted);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: e2e-check CHECKS_FILE\n");
        return 2;
    }
    std::vector<ScriptLine> lines;
    if (!zenthar::e2e::ReadScript(argv[1], lines)) {
        std::printf("FAIL 0: cannot read %s\n", argv[1]);
        return 2;
    }
    Checks checks;
    for (const ScriptLine& line : lines) checks.Run(line);
    std::printf("%s: %d of %zu checks failed\n", checks.failures ? "FAIL" : "ok", checks.failures, lines.size());
    std::fflush(stdout);
    return checks.failures ? 1 : 0;
}
