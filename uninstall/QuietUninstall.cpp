#include "uninstall/QuietUninstall.h"

namespace zenthar::uninstall {

// First cut so the entry program can be built against the interface.
int RunQuietUninstall(platform::Platform&, const std::vector<std::string>&) { return 1; }
bool WantsQuietRun(const std::vector<std::string>&) { return false; }

}  // namespace zenthar::uninstall
