// A simulated machine and a headless screen, shared by the tests of the system's operations.
// A test fails when it misused the machine or when the scripted user met a step it could not
// take (the screen's errors).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/InstallSession.h"
#include "platform/sim/SimMachine.h"
#include "tests/common/TranscriptLines.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {

class MachineTest : public ::testing::Test {
protected:
    explicit MachineTest(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : machine(std::move(profile))
    {
        ui::UseBackend(&screen);
    }
    ~MachineTest() override { ui::UseBackend(nullptr); }
    void TearDown() override
    {
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        EXPECT_TRUE(screen.Errors().empty()) << ::testing::PrintToString(screen.Errors());
    }

    platform::Platform& Platform() { return machine.platform(); }

    // The message boxes shown so far, one line each.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> lines;
        for (const auto& event : screen.Transcript())
            if (event.kind == ui::headless::Event::Kind::MessageBox) lines.push_back(event.Describe());
        return lines;
    }

    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
    InstallSession session;
};

}  // namespace zenthar::testing
