#include "spooler/PrintProcessor.h"

#include "core/FixedText.h"
#include "core/InstallSession.h"
#include "core/Owners.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

constexpr const char* kPrintProcessorName = "VXTHM4PP";
constexpr const char* kPrintProcessorsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors";
constexpr const char* kNt4Files[] = {"\\spool\\prtprocs\\w32x86\\Thermal.ini",
                                     "\\spool\\prtprocs\\w32x86\\genprint.dll"};
constexpr const char* kFiles[] = {"\\spool\\prtprocs\\w32x86\\VXTHM4A.ini",
                                  "\\spool\\prtprocs\\w32x86\\VXTHM4PP32.dll"};

}  // namespace

void RemovePrintProcessor(platform::Platform& platform, OsFamily osFamily, const NoticeSink& notices)
{
    platform.spooler.DeletePrintProcessorA(nullptr, nullptr, kPrintProcessorName);

    if (const auto processors =
            OpenKey(platform.registry, platform::kHkeyLocalMachine, kPrintProcessorsKey, platform::KEY_ALL_ACCESS))
        platform.registry.RegDeleteKeyA(processors->Get(), kPrintProcessorName);

    // Without the whole system directory the paths would name files at the drive's root:
    // they are not used, and each file counts as not deleted, for the reason it could not be
    // named.
    char systemDirectory[platform::MAX_PATH] = {};
    const auto system = platform.files.GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    const bool known = system.value != 0 && system.value < sizeof systemDirectory;
    const platform::Dword unknownReason = system.value == 0 ? system.error : platform::ERROR_FILENAME_EXCED_RANGE;

    for (const char* file : osFamily == OsFamily::NT4 ? kNt4Files : kFiles) {
        char path[platform::MAX_PATH];
        platform::Call<bool> deleted{false, known ? platform::ERROR_FILENAME_EXCED_RANGE : unknownReason};
        if (known && FormatWhole(path, "%s%s", systemDirectory, file)) deleted = platform.files.DeleteFileA(path);
        if (!deleted.value) {
            char message[128];
            FormatText(message, resources::Text(resources::Words::DeletePrintProcessorFailed),
                       static_cast<int>(deleted.error));
            notices.Show(AppNotice(message));
        }
    }
}

}  // namespace zenthar
