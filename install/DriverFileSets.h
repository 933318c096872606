// Which driver files are copied for which Windows, and the copy itself.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/InstallSession.h"
#include "platform/Platform.h"

namespace zenthar {

// One file set: where each destination file of the driver directory comes from.
struct DriverFileSet {
    const char* name;
    const char* languageFolder;  // holds the code-page description files; none for NT 4
    int fileCount;               // 10, or 4 for NT 4
    const char* sources[10];     // in the order of the destinations; none = the system's own copy
    const char* stdNamesSource;  // copied into the version directory unless one is there; none for NT 4
};

inline constexpr int kLanguageGpdCount = 23;
extern const char* const LanguageGpdNames[kLanguageGpdCount];

// The set for a processor kind and Windows family; none for a processor kind the package
// does not serve (the installation then copies nothing).
const DriverFileSet* PickDriverFileSet(Processor processor, OsFamily osFamily);

// The names every set gives its copies in the driver directory (the universal driver's ten,
// then the four of NT 4), where the spooler takes them from when a driver is registered.
std::vector<std::string_view> DriverDirectoryFileNames();

// Fills the spooler's driver directory with the set of the session's processor and family,
// with the description file of the session's code page. Reports nothing: a missing file
// shows up later, when the driver cannot be registered. Leaves the driver directory as the
// current directory.
void CopyDriverFiles(platform::Platform& platform, const InstallSession& session);

}  // namespace zenthar
