#include "connection/PlatformDetection.h"

#include <cstring>

#include "core/SystemFiles.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

// Reported by 5.2 systems that are storage servers; such a system is never the XP x64 one.
constexpr platform::Word kSuiteStorageServer = 0x2000;
// Windows ME is version 4.90.
constexpr platform::Dword kWinMeMinor = 90;

// 5.2 is XP x64 when it is a workstation on AMD64 and neither R2 nor a storage server.
OsFamily FamilyOf52(platform::Platform& platform, const platform::OsVersionInfoExA& version,
                    platform::Word architecture)
{
    const bool workstationX64 = platform.system.GetSystemMetrics(platform::SM_SERVERR2).value == 0 &&
                                version.wSuiteMask != kSuiteStorageServer &&
                                version.wProductType == platform::VER_NT_WORKSTATION &&
                                architecture == platform::PROCESSOR_ARCHITECTURE_AMD64;
    return workstationX64 ? OsFamily::WinXP : OsFamily::Win2003;
}

}  // namespace

bool RunsOnArmPc(platform::Platform& platform)
{
    const auto function = Kernel32Export(platform, "IsWow64Process2");
    if (function == 0) return false;
    platform::Word processMachine = 0;
    platform::Word nativeMachine = 0;
    return platform.system.InvokeIsWow64Process2(function, &processMachine, &nativeMachine).value &&
           nativeMachine == platform::IMAGE_FILE_MACHINE_ARM64;
}

void DetectPlatform(platform::Platform& platform, InstallSession& session)
{
    platform::OsVersionInfoExA version{};
    version.dwOSVersionInfoSize = platform::kOsVersionInfoExSize;
    if (!platform.system.GetVersionExA(&version).value) {
        // Systems before NT 4 SP6 only know the basic record; the extended fields stay zero.
        version = {};
        version.dwOSVersionInfoSize = platform::kOsVersionInfoSize;
        if (!platform.system.GetVersionExA(&version).value) return;
    }

    platform::SystemInfo info{};
    if (const auto native = Kernel32Export(platform, "GetNativeSystemInfo"))
        platform.system.InvokeGetNativeSystemInfo(native, &info);
    else platform.system.GetSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
    case platform::PROCESSOR_ARCHITECTURE_INTEL: session.processor = Processor::X86; break;
    case platform::PROCESSOR_ARCHITECTURE_AMD64: session.processor = Processor::X64; break;
    case platform::PROCESSOR_ARCHITECTURE_IA64: session.processor = Processor::Itanium; break;
    default: break;
    }

    const auto major = version.dwMajorVersion;
    const auto minor = version.dwMinorVersion;
    const bool workstation = version.wProductType == platform::VER_NT_WORKSTATION;
    if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_WINDOWS) {
        if (major == 4 && minor == 0) session.osFamily = OsFamily::Win95;
        else if (major == 4 && minor == 10) session.osFamily = OsFamily::Win98;
        else if (major == 4 && minor == kWinMeMinor) session.osFamily = OsFamily::WinMe;
    } else if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_NT) {
        if (major < 4) session.osFamily = OsFamily::NT3;
        else if (major == 4) session.osFamily = OsFamily::NT4;
        else if (major == 5 && minor == 0) session.osFamily = OsFamily::Win2000;
        else if (major == 5 && minor == 1) session.osFamily = OsFamily::WinXP;
        else if (major == 5 && minor == 2)
            session.osFamily = FamilyOf52(platform, version, info.wProcessorArchitecture);
        else if (major >= 6 && minor == 0) {
            session.osFamily = workstation ? OsFamily::WinVista : OsFamily::Win2008;
            // Server 2008 for Itanium says so only through its product type.
            if (const auto productInfo = Kernel32Export(platform, "GetProductInfo")) {
                platform::Dword product = 0;
                platform.system.InvokeGetProductInfo(productInfo, 6, 0, 0, 0, &product);
                if (product == platform::PRODUCT_ENTERPRISE_SERVER_IA64) session.processor = Processor::Itanium;
            }
        } else if (major >= 6 && minor == 1) {
            session.osFamily = workstation ? OsFamily::Win7 : OsFamily::Win2008;
        } else if (major >= 6) {
            session.osFamily = OsFamily::Win8;
        }
    }
}

PortKind ClassifyPort(const char* portName)
{
    if (portName == nullptr) return PortKind::Com;
    if (std::strncmp(portName, "COM", 3) == 0) return PortKind::Com;
    if (std::strncmp(portName, "LPT", 3) == 0) return PortKind::Lpt;
    if (std::strncmp(portName, "USB", 3) == 0) return PortKind::Usb;
    if (std::strncmp(portName, "TCP/IP", 6) == 0) return PortKind::TcpIp;
    return PortKind::Com;
}

void PrepareConnectionSession(platform::Platform& platform, InstallSession& session)
{
    DetectPlatform(platform, session);
    session.usbMonitorPort = 1;
}

}  // namespace zenthar
