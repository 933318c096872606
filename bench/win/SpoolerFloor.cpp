// The spooler's own floor for the quiet run: for each of N clones, the driver, printer and
// settings-record calls the installation makes, with the same arguments, in a loop and
// nothing else (no file copies, no checks, no log). Timed as a whole process beside
// "zenthar.exe /quiet /clones N", it tells how much of the quiet run is the spooler's.
//
//   spooler-floor.exe N PORT
//
// Exit code 0 when every call succeeded; otherwise the first failure is printed and 1.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/CodePageTable.h"
#include "core/InstallSession.h"
#include "install/DeviceConfigRecord.h"
#include "install/DriverRegistration.h"
#include "install/NameTables.h"

namespace {

using Record = std::uint8_t[zenthar::kDeviceConfigRecordSize];

bool Fail(const char* call, const char* name)
{
    std::fprintf(stderr, "%s failed for %s, error %lu\n", call, name, GetLastError());
    return false;
}

bool OneClone(const char* name, char* port, Record& record)
{
    // The driver record the installation registers, field by field.
    const zenthar::platform::DriverInfo3A ours =
        zenthar::MakeDriverRecord(zenthar::Processor::X86, zenthar::OsFamily::WinXP, name);
    DRIVER_INFO_3A driver{};
    driver.cVersion = ours.cVersion;
    driver.pName = ours.pName;
    driver.pEnvironment = ours.pEnvironment;
    driver.pDriverPath = ours.pDriverPath;
    driver.pDataFile = ours.pDataFile;
    driver.pConfigFile = ours.pConfigFile;
    driver.pHelpFile = ours.pHelpFile;
    driver.pDependentFiles = ours.pDependentFiles;
    driver.pMonitorName = ours.pMonitorName;
    driver.pDefaultDataType = ours.pDefaultDataType;
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) return Fail("AddPrinterDriverA", name);

    char winPrint[] = "WinPrint";
    PRINTER_INFO_2A printer{};
    printer.pPrinterName = const_cast<char*>(name);
    printer.pDriverName = const_cast<char*>(name);
    printer.pPortName = port;
    printer.pPrintProcessor = winPrint;
    printer.Attributes = PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST | PRINTER_ATTRIBUTE_ENABLE_BIDI;
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!added) return Fail("AddPrinterA", name);
    ClosePrinter(added);

    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE opened = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &opened, &defaults)) return Fail("OpenPrinterA", name);
    const DWORD written = SetPrinterDataA(opened, const_cast<char*>(zenthar::kDeviceConfigValueName), REG_BINARY,
                                          record, static_cast<DWORD>(zenthar::kDeviceConfigRecordSize));
    ClosePrinter(opened);
    if (written != ERROR_SUCCESS) {
        SetLastError(written);
        return Fail("SetPrinterDataA", name);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: spooler-floor N PORT\n");
        return 2;
    }
    const int clones = std::atoi(argv[1]);
    std::unique_ptr<Record> record(new Record[1]());
    zenthar::FillDeviceConfigRecord(*record, zenthar::CodePageAt(0));
    for (int i = 0; i < clones && i < zenthar::kCloneTable.count; ++i) {
        if (!OneClone(zenthar::kCloneTable[i], argv[2], *record)) return 1;
    }
    return 0;
}
