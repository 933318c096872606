#include "app/InstallerApp.h"

#include "app/MainDialog.h"

namespace zenthar {

void RunInstallerApp(platform::Platform& platform, ProcessState& state)
{
    MainDialog mainDialog(platform, state);
    // The result does not matter: every way out of the dialog ends the program.
    mainDialog.DoModal();
}

}  // namespace zenthar
