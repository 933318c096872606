// Owners close what was opened exactly once, wherever the owner is moved to, and never what
// they handed over.
#include <gtest/gtest.h>

#include <utility>

#include "core/Owners.h"
#include "platform/sim/SimMachine.h"

namespace zenthar::testing {
namespace {

constexpr const char* kKeyPath = "Software\\Microsoft";

TEST(Owners, AKeyIsClosedOnceWhereverItsOwnerMovesAndNeverOnceReleased)
{
    sim::SimMachine machine;
    auto& registry = machine.platform().registry;
    {
        auto opened = OpenKey(registry, platform::kHkeyLocalMachine, kKeyPath, platform::KEY_READ);
        ASSERT_TRUE(opened);
        KeyOwner moved = std::move(*opened);
        EXPECT_FALSE(opened->IsOpen());
        auto other = OpenKey(registry, platform::kHkeyLocalMachine, kKeyPath, platform::KEY_READ);
        ASSERT_TRUE(other);
        // Taking another key over closes the one held before.
        *other = std::move(moved);
        EXPECT_EQ(machine.CallCount("RegCloseKey"), 1u);
    }
    EXPECT_EQ(machine.CallCount("RegCloseKey"), 2u);

    platform::RegKey kept = 0;
    {
        auto opened = OpenKey(registry, platform::kHkeyLocalMachine, kKeyPath, platform::KEY_READ);
        ASSERT_TRUE(opened);
        kept = opened->Release();
    }
    EXPECT_EQ(machine.CallCount("RegCloseKey"), 2u);
    EXPECT_EQ(registry.RegCloseKey(kept).value, 0);

    const auto missing = OpenKey(registry, platform::kHkeyLocalMachine, "Software\\No such key", platform::KEY_READ);
    EXPECT_FALSE(missing);
    EXPECT_STREQ(missing.Failed().call, "RegOpenKeyExA");
    EXPECT_EQ(missing.Failed().error, platform::ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
}

}  // namespace
}  // namespace zenthar::testing
