// The Windows families the installer knows, as machine profiles; and small record helpers.
#include "platform/sim/SimCore.h"

namespace zenthar::sim {

namespace {

using namespace zenthar::platform;

constexpr Dword kProductBusiness = 0x06;
constexpr Dword kProductEnterpriseServer = 0x0A;
constexpr Dword kProductProfessional = 0x30;
constexpr Word kSuiteSingleUserTs = 0x0100;
constexpr Word kSuiteTerminalSingleUser = 0x0110;

enum class Cpu { X86, X64, Itanium };

struct ProfileRow {
    const char* name;
    Dword platformId;
    Dword major;
    Dword minor;
    Dword build;
    const char* servicePack;
    Word servicePackMajor;
    std::uint8_t productType;
    Word suiteMask;
    Cpu cpu;
    Dword productInfo;
    int serverR2;
    bool refusesExtended;
    bool nativeInfo;
    bool productInfoExport;
    bool setDefaultExport;
    const char* windows;
};

// One row per family: what GetVersionExA says and which optional exports the system has.
const ProfileRow kProfiles[] = {
    {"Windows 95", 1, 4, 0, 950, "", 0, 0, 0, Cpu::X86, 0, 0, true, false, false, false, "C:\\WINDOWS"},
    {"Windows 98", 1, 4, 10, 1998, "", 0, 0, 0, Cpu::X86, 0, 0, true, false, false, false, "C:\\WINDOWS"},
    {"Windows Me", 1, 4, 90, 3000, "", 0, 0, 0, Cpu::X86, 0, 0, true, false, false, false, "C:\\WINDOWS"},
    {"Windows NT 3.51", 2, 3, 51, 1057, "Service Pack 5", 5, 1, 0, Cpu::X86, 0, 0, true, false, false, false,
     "C:\\WINNT"},
    {"Windows NT 4.0", 2, 4, 0, 1381, "Service Pack 6", 6, 1, 0, Cpu::X86, 0, 0, false, false, false, false,
     "C:\\WINNT"},
    {"Windows 2000", 2, 5, 0, 2195, "Service Pack 4", 4, 1, 0, Cpu::X86, 0, 0, false, false, false, true, "C:\\WINNT"},
    {"Windows XP", 2, 5, 1, 2600, "Service Pack 3", 3, 1, kSuiteSingleUserTs, Cpu::X86, 0, 0, false, true, false, true,
     "C:\\WINDOWS"},
    {"Windows XP x64", 2, 5, 2, 3790, "Service Pack 2", 2, 1, kSuiteSingleUserTs, Cpu::X64, 0, 0, false, true, false,
     true, "C:\\WINDOWS"},
    {"Windows Server 2003", 2, 5, 2, 3790, "Service Pack 2", 2, 3, kSuiteTerminalSingleUser, Cpu::X86, 0, 0, false,
     true, false, true, "C:\\WINDOWS"},
    {"Windows Server 2003 R2", 2, 5, 2, 3790, "Service Pack 2", 2, 3, kSuiteTerminalSingleUser, Cpu::X86, 0, 1, false,
     true, false, true, "C:\\WINDOWS"},
    {"Windows Vista", 2, 6, 0, 6002, "Service Pack 2", 2, 1, kSuiteSingleUserTs, Cpu::X86, kProductBusiness, 0, false,
     true, true, true, "C:\\Windows"},
    {"Windows Server 2008", 2, 6, 0, 6002, "Service Pack 2", 2, 3, kSuiteTerminalSingleUser, Cpu::X86,
     kProductEnterpriseServer, 0, false, true, true, true, "C:\\Windows"},
    {"Windows Server 2008 Itanium", 2, 6, 0, 6002, "Service Pack 2", 2, 3, kSuiteTerminalSingleUser, Cpu::Itanium,
     PRODUCT_ENTERPRISE_SERVER_IA64, 0, false, true, true, true, "C:\\Windows"},
    {"Windows 7", 2, 6, 1, 7601, "Service Pack 1", 1, 1, kSuiteSingleUserTs, Cpu::X86, kProductProfessional, 0, false,
     true, true, true, "C:\\Windows"},
    {"Windows 7 x64", 2, 6, 1, 7601, "Service Pack 1", 1, 1, kSuiteSingleUserTs, Cpu::X64, kProductProfessional, 0,
     false, true, true, true, "C:\\Windows"},
    {"Windows Server 2008 R2", 2, 6, 1, 7601, "Service Pack 1", 1, 3, kSuiteTerminalSingleUser, Cpu::X64,
     kProductEnterpriseServer, 0, false, true, true, true, "C:\\Windows"},
    {"Windows 8 x64", 2, 6, 2, 9200, "", 0, 1, kSuiteSingleUserTs, Cpu::X64, kProductProfessional, 0, false, true, true,
     true, "C:\\Windows"},
    {"Windows 10 x64", 2, 6, 2, 9200, "", 0, 1, kSuiteSingleUserTs, Cpu::X64, kProductProfessional, 0, false, true,
     true, true, "C:\\Windows"},
    {"Windows 10 x86", 2, 6, 2, 9200, "", 0, 1, kSuiteSingleUserTs, Cpu::X86, kProductProfessional, 0, false, true,
     true, true, "C:\\Windows"},
};

MachineProfile Make(std::string_view name)
{
    const ProfileRow* row = &kProfiles[0];
    for (const auto& candidate : kProfiles)
        if (name == candidate.name) row = &candidate;
    MachineProfile p;
    p.name = row->name;
    p.platformId = row->platformId;
    p.majorVersion = row->major;
    p.minorVersion = row->minor;
    p.buildNumber = row->build;
    p.servicePack = row->servicePack;
    p.servicePackMajor = row->servicePackMajor;
    p.servicePackMinor = 0;
    p.suiteMask = row->suiteMask;
    p.productType = row->productType;
    p.refusesExtendedVersionInfo = row->refusesExtended;
    switch (row->cpu) {
    case Cpu::X86: p.nativeArchitecture = PROCESSOR_ARCHITECTURE_INTEL; break;
    case Cpu::X64: p.nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64; break;
    case Cpu::Itanium: p.nativeArchitecture = PROCESSOR_ARCHITECTURE_IA64; break;
    }
    constexpr Word kMachineIa64 = 0x0200;
    p.nativeMachine = row->cpu == Cpu::X86   ? IMAGE_FILE_MACHINE_I386
                      : row->cpu == Cpu::X64 ? IMAGE_FILE_MACHINE_AMD64
                                             : kMachineIa64;
    p.hasIsWow64Process2Export = std::string_view(row->name).rfind("Windows 10", 0) == 0;
    // The installer is a 32-bit program: on a 64-bit system it runs under WOW64.
    p.wow64 = row->cpu != Cpu::X86;
    p.systemInfoArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    p.serverR2Metric = row->serverR2;
    p.productInfoType = row->productInfo;
    p.hasGetNativeSystemInfo = row->nativeInfo;
    p.hasGetProductInfo = row->productInfoExport;
    // Came with the same Windows (Vista) as GetProductInfo.
    p.hasGetFinalPathNameByHandle = row->productInfoExport;
    p.hasWow64FsRedirectionExport = row->cpu != Cpu::X86;
    p.hasSetDefaultPrinterExport = row->setDefaultExport;
    // Windows 8 brought the loader's search flags; 7 and 2008 R2 have them only with an update
    // that the profiles assume missing.
    p.supportsLoadLibrarySearchFlags = row->platformId == 2 && (row->major > 6 || (row->major == 6 && row->minor >= 2));
    p.windowsDirectory = row->windows;
    p.hasSpoolerService = row->platformId == 2;
    p.hasLpdService = false;
    return p;
}

}  // namespace

namespace Profiles {
MachineProfile Windows95()
{
    return Make("Windows 95");
}
MachineProfile Windows98()
{
    return Make("Windows 98");
}
MachineProfile WindowsMe()
{
    return Make("Windows Me");
}
MachineProfile NT351()
{
    return Make("Windows NT 3.51");
}
MachineProfile NT4()
{
    return Make("Windows NT 4.0");
}
MachineProfile Windows2000()
{
    return Make("Windows 2000");
}
MachineProfile WindowsXP()
{
    return Make("Windows XP");
}
MachineProfile WindowsXPx64()
{
    return Make("Windows XP x64");
}
MachineProfile Windows2003()
{
    return Make("Windows Server 2003");
}
MachineProfile Windows2003R2()
{
    return Make("Windows Server 2003 R2");
}
MachineProfile WindowsVista()
{
    return Make("Windows Vista");
}
MachineProfile Windows2008()
{
    return Make("Windows Server 2008");
}
MachineProfile Windows2008Itanium()
{
    return Make("Windows Server 2008 Itanium");
}
MachineProfile Windows7()
{
    return Make("Windows 7");
}
MachineProfile Windows7x64()
{
    return Make("Windows 7 x64");
}
MachineProfile Windows2008R2()
{
    return Make("Windows Server 2008 R2");
}
MachineProfile Windows8x64()
{
    return Make("Windows 8 x64");
}
MachineProfile Windows10x64()
{
    return Make("Windows 10 x64");
}
MachineProfile Windows10x86()
{
    return Make("Windows 10 x86");
}
MachineProfile Windows11Arm64()
{
    MachineProfile p = Make("Windows 10 x64");
    p.name = "Windows 11 on Arm";
    p.nativeMachine = IMAGE_FILE_MACHINE_ARM64;
    return p;
}
}  // namespace Profiles

// ---- Record helpers ---------------------------------------------------------------------------

std::shared_ptr<const SimPrinterData> SimPrinter::FindData(std::string_view valueName) const
{
    for (const auto& value : data)
        if (detail::SameText(value.name, valueName)) return std::make_shared<const SimPrinterData>(value);
    return nullptr;
}

ServiceStartScript ServiceStartScript::RunsAtOnce()
{
    return {};
}

ServiceStartScript ServiceStartScript::PendingThenRunning(unsigned reads, std::vector<Dword> waitHints)
{
    ServiceStartScript script;
    script.pendingReads = reads;
    script.waitHints = std::move(waitHints);
    return script;
}

ServiceStartScript ServiceStartScript::PendingForever(Dword waitHint)
{
    ServiceStartScript script;
    script.outcome = Outcome::StaysPending;
    script.checkPointGrows = false;
    script.waitHints = {waitHint};
    return script;
}

ServiceStartScript ServiceStartScript::StopsByItself(unsigned pendingReads)
{
    ServiceStartScript script;
    script.outcome = Outcome::Stopped;
    script.pendingReads = pendingReads;
    return script;
}

ServiceStartScript ServiceStartScript::Fails(Dword error)
{
    ServiceStartScript script;
    script.outcome = Outcome::Fails;
    script.error = error;
    return script;
}

}  // namespace zenthar::sim
