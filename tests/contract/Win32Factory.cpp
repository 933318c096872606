// The contract against Windows itself (under Wine in our runs): the one machine there is.
#include "platform/win32/Win32Platform.h"
#include "tests/contract/ContractTest.h"

namespace zenthar::contract {

std::shared_ptr<platform::Platform> MakePlatform()
{
    return std::shared_ptr<platform::Platform>(std::shared_ptr<void>(), &win32::platform());
}

}  // namespace zenthar::contract
