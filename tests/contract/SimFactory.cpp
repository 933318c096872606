// The contract against the simulated machine: a fresh default machine for every test.
#include "platform/sim/SimMachine.h"
#include "tests/contract/ContractTest.h"

namespace zenthar::contract {

std::shared_ptr<platform::Platform> MakePlatform()
{
    auto machine = std::make_shared<sim::SimMachine>();
    return std::shared_ptr<platform::Platform>(machine, &machine->platform());
}

}  // namespace zenthar::contract
