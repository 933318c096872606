#include "install/DriverRegistration.h"

#include "core/FixedText.h"
#include "core/InstallSession.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

// The spelling of the dependent files is the one the package was registered with from the
// start; the spooler compares file names without regard to case, so it is kept as it is.
char kUnidrvDependentFiles[] =
    "VXTHM4.Dll\0VXTHM4.GPD\0STDNAMES.GPD\0UNIRES.Dll\0unidrvui.dll\0VXTHM4E.DLL\0VXTHM4UI.DLL\0VXTHM4.INI\0"
    "unidrv.hlp\0";
char kRasddDependentFiles[] = "THERMAL.Dll\0RASDDUI.dll\0RASDDUI.hlp\0";

char kUnidrvDriver[] = "UNIDRV.DLL";
char kUnidrvData[] = "VXTHM4.GPD";
char kUnidrvConfig[] = "UNIDRVUI.DLL";
char kUnidrvHelp[] = "UNIDRV.HLP";
char kRasddDriver[] = "RASDD.DLL";
char kRasddData[] = "THERMAL.DLL";
char kRasddConfig[] = "RASDDUI.DLL";
char kRasddHelp[] = "RASDDUI.HLP";
char kRaw[] = "RAW";

}  // namespace

platform::DriverInfo3A MakeDriverRecord(Processor processor, OsFamily osFamily, const char* name)
{
    platform::DriverInfo3A record{};
    record.pName = const_cast<char*>(name);
    record.pEnvironment = nullptr;  // the spooler's own environment
    record.pMonitorName = nullptr;
    record.pDefaultDataType = kRaw;
    if (processor == Processor::X86 && osFamily == OsFamily::NT4) {
        record.cVersion = 2;
        record.pDriverPath = kRasddDriver;
        record.pDataFile = kRasddData;
        record.pConfigFile = kRasddConfig;
        record.pHelpFile = kRasddHelp;
        record.pDependentFiles = kRasddDependentFiles;
    } else {
        record.cVersion = 3;
        record.pDriverPath = kUnidrvDriver;
        record.pDataFile = kUnidrvData;
        record.pConfigFile = kUnidrvConfig;
        record.pHelpFile = kUnidrvHelp;
        record.pDependentFiles = kUnidrvDependentFiles;
    }
    return record;
}

bool RegisterDriver(platform::Platform& platform, Processor processor, OsFamily osFamily, const char* name,
                    const NoticeSink& notices)
{
    const platform::DriverInfo3A record = MakeDriverRecord(processor, osFamily, name);
    auto result = platform.spooler.AddPrinterDriverA(nullptr, 3, &record);
    if (result.value) return true;

    if (result.error == platform::ERROR_MOD_NOT_FOUND) {
        CopyFrameDyn(platform);
        result = platform.spooler.AddPrinterDriverA(nullptr, 3, &record);
        if (result.value) return true;
    }

    char message[128];
    FormatText(message, resources::Text(resources::Words::AddDriverFailed), static_cast<int>(result.error));
    notices.Show(MainWindowNotice(message));
    return false;
}

}  // namespace zenthar
